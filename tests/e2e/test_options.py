"""The options sheet and the check-now dialog worked as a user works them, by their control ids: OK puts
a new hot key into effect and brings the listeners back; check now runs against a private Dovecot from
the tray command and from the mail page's unsaved fields; a cancelled check shows nothing afterwards."""

from __future__ import annotations

import socket
import threading
import time

from mail_support import NEW_MAIL_TIP, PASSWORD, USER, scrambled, tray_tips, wait_mail_tips
from stored_messages import message_files, quiet_settings
from tavik_harness import SETTINGS_KEY, free_port, wait_until

TIMEOUT = 60
OPTIONS = "^Tavik Options$"
CHECK_NOW = "^Check Mail Now$"
CMD_OPTIONS, CMD_CHECK_MAIL_NOW = 1007, 40002
IDC_RESTORE_HOT_KEY = 1050
IDC_MAIL_SERVER, IDC_CHECK_NOW_BUTTON, IDC_POP3 = 1030, 1031, 1041
IDC_CHECK_STATUS = 1032
CTRL_ALT_K = 0x064B  # hot-key control value: Ctrl (2) and Alt (4) in the high byte, then the key


def drive(wine, handle: int, *operations: str) -> None:
    result = wine.run(["drive-dialog.exe", f"{handle:x}", *operations])
    assert result.returncode == 0, result.stdout + result.stderr


def wait_win32(wine, title: str):
    """The visible Win32 window of that title, once there."""
    return wait_until(lambda: next(iter(wine.find_win32_windows(title, visible_only=True)), None), TIMEOUT, 0.3,
                      f"a window {title}")


def wait_gone(wine, title: str) -> None:
    wait_until(lambda: not wine.find_win32_windows(title, visible_only=True), TIMEOUT, 0.3, f"{title} to close")


def start(wine, **settings):
    quiet_settings(wine, SETTINGS_KEY)
    for name, value in settings.items():
        kind = "REG_SZ" if isinstance(value, str) else "REG_DWORD"
        wine.reg_add(SETTINGS_KEY, name, kind, value)
    tavik = wine.start_tavik()
    window = tavik.wait_for_main_window(TIMEOUT, visible_only=True)
    return tavik, window, wine.tavik_main_windows()[0].handle


def mail_account(server_port: int) -> dict:
    """A stored IMAP4 account on the test Dovecot, without periodic checks."""
    return {"CheckMail": 0, "MailServerType": 1, "PlayMailSound": 0, "UserName": USER,
            "Password": scrambled(PASSWORD), "IncomingMailServer": f"127.0.0.1:{server_port}"}


def finished_status(wine) -> str:
    """The status line of the check-now dialog once its button reads Close (the check has ended)."""
    def ended():
        dialog = next(iter(wine.find_win32_windows(CHECK_NOW, visible_only=True)), None)
        return dialog and dialog.child(2).text == "Close" and dialog.child(IDC_CHECK_STATUS).text
    return wait_until(ended, TIMEOUT, 0.3, "the check to end")


def test_ok_puts_a_new_hot_key_into_effect_and_brings_the_listeners_back(wine, artifacts):
    port = free_port()
    tavik, window, main = start(wine, DisableUDPTread=0, UDPPort=port, RestoreHotKey=0x0641)
    drive(wine, main, "command", str(CMD_OPTIONS))
    sheet = wait_win32(wine, OPTIONS)
    x_sheet = wine.wait_for_window(OPTIONS, visible_only=True)
    wine.screenshot(artifacts / "options_messages_page.png", x_sheet)
    drive(wine, sheet.handle, "page", "1")
    wine.screenshot(artifacts / "options_mail_page.png", x_sheet)

    # A second open brings the sheet forward rather than opening another.
    drive(wine, main, "command", str(CMD_OPTIONS))
    drive(wine, sheet.handle, "page", "0", "@page", "hot-key", str(IDC_RESTORE_HOT_KEY), str(CTRL_ALT_K))
    assert len(wine.find_win32_windows(OPTIONS)) == 1
    drive(wine, sheet.handle, "press", "ok")
    wait_gone(wine, OPTIONS)
    assert wine.reg_dword(SETTINGS_KEY, "RestoreHotKey") == CTRL_ALT_K

    # The listeners stopped and started again: a message to the port is stored.
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as peer:
        datagram = b"MESSAGE\0#0after the options\0#1PC\0#2\0#3\0#4\0#5\0#6\0"
        wait_until(lambda: peer.sendto(datagram, ("127.0.0.1", port)) and message_files(wine.data_dir()), TIMEOUT,
                   1, "the message sent after OK to be stored")

    wine.send_keys(window, "Escape")
    wait_until(lambda: not wine.is_visible(window), 20, 0.2, "the window to hide")
    wine.press_keys("ctrl+alt+k")
    wait_until(lambda: wine.is_visible(window), 20, 0.2, "the new hot key to restore the window")
    assert tavik.stop() == 0


def test_check_now_from_the_tray_uses_the_settings_and_from_the_mail_page_its_unsaved_fields(
        wine, artifacts, dovecot):
    # IMAP4 counts the unseen messages (2), POP3 every message (3): the count tells which account was used.
    dovecot.deliver("unseen", "unseen", "seen")
    tavik, _, main = start(wine, **mail_account(dovecot.imap_port))

    drive(wine, main, "command", str(CMD_CHECK_MAIL_NOW))
    assert finished_status(wine) == f"2 new message(s) for {USER}."
    wait_mail_tips(wine, [NEW_MAIL_TIP.format(2, USER)])
    drive(wine, wait_win32(wine, CHECK_NOW).handle, "click", "2")
    wait_gone(wine, CHECK_NOW)

    drive(wine, main, "command", str(CMD_OPTIONS))
    sheet = wait_win32(wine, OPTIONS)
    drive(wine, sheet.handle, "page", "1", "@page", "click", str(IDC_POP3),
          "set-text", str(IDC_MAIL_SERVER), f"127.0.0.1:{dovecot.pop3_port}", "click", str(IDC_CHECK_NOW_BUTTON))
    assert finished_status(wine) == f"3 new message(s) for {USER}."
    wait_mail_tips(wine, [NEW_MAIL_TIP.format(3, USER)])
    wine.screenshot(artifacts / "check_now_finished.png", wine.wait_for_window(CHECK_NOW, visible_only=True))
    drive(wine, wait_win32(wine, CHECK_NOW).handle, "click", "2")
    wait_gone(wine, CHECK_NOW)
    drive(wine, sheet.handle, "press", "cancel")
    wait_gone(wine, OPTIONS)

    # The mail page was never left: the stored account is as it was.
    assert wine.reg_query(SETTINGS_KEY, "IncomingMailServer") == ("REG_SZ", f"127.0.0.1:{dovecot.imap_port}")
    assert wine.reg_dword(SETTINGS_KEY, "MailServerType") == 1
    assert tavik.stop() == 0


class SilentServer:
    """Takes connections and never says a word; closing them afterwards makes a check that still
    listened fail with an error it would show."""

    def __init__(self):
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.port = self.listener.getsockname()[1]
        self.connections: list[socket.socket] = []
        threading.Thread(target=self._accept, daemon=True).start()

    def _accept(self) -> None:
        try:
            while True:
                self.connections.append(self.listener.accept()[0])
        except OSError:
            pass

    def close(self) -> None:
        for each in [*self.connections, self.listener]:
            each.close()


def test_a_check_cancelled_while_the_server_is_silent_closes_at_once_and_shows_nothing(wine):
    server = SilentServer()
    try:
        tavik, _, main = start(wine, **mail_account(server.port))
        drive(wine, main, "command", str(CMD_CHECK_MAIL_NOW))
        dialog = wait_win32(wine, CHECK_NOW)
        wait_until(lambda: server.connections, TIMEOUT, 0.2, "the check to connect")
        drive(wine, dialog.handle, "click", "2")
        wait_gone(wine, CHECK_NOW)

        # Had the check gone on, the closed connection would now show the error icon.
        server.close()
        time.sleep(3)
        assert tray_tips(wine)[1:] == []
        assert tavik.stop() == 0
    finally:
        server.close()
