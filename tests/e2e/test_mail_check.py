"""Mail checks against a private Dovecot: the new-mail tray icon and its tip follow the unseen count,
a refused login shows the error icon until the next check starts, and the window answers keys while a
check waits for the server."""

from __future__ import annotations

import imaplib
import os
import shutil
import socket
import subprocess
import tempfile
import threading
from pathlib import Path

import pytest

from stored_messages import quiet_settings, store_messages
from tavik_harness import REPO_ROOT, SETTINGS_KEY, wait_until

DOVECOT = REPO_ROOT / "tests" / "support" / "dovecot.sh"
USER = "maria"
PASSWORD = "secret"
TIMEOUT = 60
WM_TIMER = 0x113
MAIL_CHECK_TIMER = 1
NEW_MAIL_TIP = "{} new message(s) for {}"
LOGIN_REFUSED_TIP = "Mail check: login refused for {}"
TITLE = "Quorlex Tavik - message {} of {}"


class Dovecot:
    """A private Dovecot holding USER's INBOX, stopped by its PID however the test ends."""

    def __init__(self, folder):
        self.folder = folder
        # Should this test process die, the script stops the server once it has gone.
        started = subprocess.run(["bash", str(DOVECOT), "start", str(folder), USER, PASSWORD], capture_output=True,
                                 text=True, timeout=60, env=dict(os.environ, TAVIK_DOVECOT_OWNER=str(os.getpid())))
        if started.returncode == 77:
            pytest.skip(started.stderr.strip())
        assert started.returncode == 0, started.stdout + started.stderr
        self.imap_port = int(started.stdout.split("imap=")[1])

    def deliver(self, *states: str) -> None:
        for state in states:
            subprocess.run(["bash", str(DOVECOT), "deliver", str(self.folder), state], check=True, timeout=30)

    def mark_one_seen(self) -> None:
        """Reads one unseen message as a mail program does, over IMAP."""
        with imaplib.IMAP4("127.0.0.1", self.imap_port) as imap:
            imap.login(USER, PASSWORD)
            imap.select("INBOX")
            unseen = imap.search(None, "UNSEEN")[1][0].split()
            imap.store(unseen[0], "+FLAGS", "\\Seen")
            imap.logout()

    def change_password(self, password: str) -> None:
        """The account's password on the server (its user file is read again at each login)."""
        (self.folder / "users").write_text(f"{USER}:{{PLAIN}}{password}\n")

    def stop(self) -> None:
        subprocess.run(["bash", str(DOVECOT), "stop", str(self.folder)], timeout=60)


class HeldRelay:
    """A TCP relay in front of the server whose answers can be held back: a check that connects while
    they are held waits for the greeting, so it stays under way for as long as the test wants."""

    def __init__(self, target_port: int):
        self.target_port = target_port
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.port = self.listener.getsockname()[1]
        self.connections = 0
        self._open = threading.Event()
        self._open.set()
        self._sockets: list[socket.socket] = []
        threading.Thread(target=self._accept, daemon=True).start()

    def hold(self) -> None:
        self._open.clear()

    def release(self) -> None:
        self._open.set()

    def _accept(self) -> None:
        while True:
            try:
                client, _ = self.listener.accept()
                server = socket.create_connection(("127.0.0.1", self.target_port), timeout=30)
            except OSError:
                return
            server.settimeout(None)
            self._sockets += [client, server]
            self.connections += 1
            threading.Thread(target=self._pump, args=(client, server, False), daemon=True).start()
            threading.Thread(target=self._pump, args=(server, client, True), daemon=True).start()

    def _pump(self, source: socket.socket, target: socket.socket, answers: bool) -> None:
        try:
            while data := source.recv(65536):
                if answers:
                    self._open.wait()
                target.sendall(data)
            target.shutdown(socket.SHUT_WR)
        except OSError:
            pass

    def close(self) -> None:
        self._open.set()
        for each in [self.listener, *self._sockets]:
            each.close()


@pytest.fixture
def dovecot():
    # A folder of its own in /tmp: the server's processes run as nobody and must reach it.
    folder = Path(tempfile.mkdtemp(prefix="tavik-dovecot-"))
    try:
        server = Dovecot(folder)
        try:
            yield server
        finally:
            server.stop()
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def scrambled(password: str) -> str:
    """The password as Tavik stores it: every byte XORed with 0x5A."""
    return "".join(chr(ord(c) ^ 0x5A) for c in password)


def start(wine, server_port: int, password: str = PASSWORD):
    quiet_settings(wine, SETTINGS_KEY)
    # An hour between checks: the checks seen are the one at start and those the test asks for.
    for name, value in {"CheckMail": 1, "TimeChecking": 60, "MailServerType": 1, "PlayMailSound": 0}.items():
        wine.reg_add(SETTINGS_KEY, name, "REG_DWORD", value)
    wine.reg_add(SETTINGS_KEY, "UserName", "REG_SZ", USER)
    wine.reg_add(SETTINGS_KEY, "Password", "REG_SZ", scrambled(password))
    wine.reg_add(SETTINGS_KEY, "IncomingMailServer", "REG_SZ", f"127.0.0.1:{server_port}")
    tavik = wine.start_tavik()
    return tavik, tavik.wait_for_main_window(TIMEOUT, visible_only=True)


def check_now(wine) -> None:
    """The main window's mail timer fires, as it does every TimeChecking minutes."""
    handle = wine.tavik_main_windows()[0].handle
    result = wine.run(["send-window-message.exe", f"{handle:x}", str(WM_TIMER), str(MAIL_CHECK_TIMER), "0"])
    assert result.returncode == 0, result.stdout + result.stderr


def tray_tips(wine) -> list[str]:
    """The tips of the tray's icons from left to right, as the tray's tooltips hold them."""
    result = wine.run(["tray-tips.exe"])
    assert result.returncode == 0, result.stdout + result.stderr
    return [line.split("\t", 1)[1] for line in result.stdout.decode().splitlines() if "\t" in line]


def wait_mail_tips(wine, expected: list[str]) -> None:
    """Waits until the icons after Tavik's own (the first, there from the start) carry these tips."""
    seen = []

    def matches():
        seen[:] = tray_tips(wine)
        return seen[:1] and seen[0].startswith("Quorlex Tavik") and seen[1:] == expected

    try:
        wait_until(matches, TIMEOUT, 1, f"the mail icons {expected}")
    except TimeoutError:
        raise AssertionError(f"tray tips {seen}, expected Tavik's own and then {expected}") from None


def wait_title(wine, window, expected: str) -> None:
    wait_until(lambda: wine.window_name(window) == expected, TIMEOUT, 0.2, f"the title {expected!r}")


def test_the_new_mail_icon_tells_the_unseen_count_and_follows_it(wine, artifacts, dovecot):
    dovecot.deliver("unseen", "unseen", "seen")
    tavik, _ = start(wine, dovecot.imap_port)
    wait_mail_tips(wine, [NEW_MAIL_TIP.format(2, USER)])
    tray = wine.wait_for_window(r"^Wine System Tray$", timeout=30, visible_only=True)
    wine.screenshot(artifacts / "tray_with_new_mail.png", tray)

    dovecot.mark_one_seen()
    check_now(wine)
    wait_mail_tips(wine, [NEW_MAIL_TIP.format(1, USER)])

    dovecot.mark_one_seen()
    check_now(wine)
    wait_mail_tips(wine, [])
    assert tavik.stop() == 0


def test_a_refused_login_shows_the_error_icon_until_the_next_check_starts(wine, dovecot):
    dovecot.deliver("unseen")
    relay = HeldRelay(dovecot.imap_port)
    try:
        store_messages(wine.data_dir(), 2)
        tavik, window = start(wine, relay.port, password="guess")
        wait_title(wine, window, TITLE.format(2, 2))
        wait_mail_tips(wine, [LOGIN_REFUSED_TIP.format(USER)])

        # The next check starts and waits for the server's greeting: the error icon has gone.
        relay.hold()
        check_now(wine)
        wait_until(lambda: relay.connections == 2, TIMEOUT, 0.2, "the next check to connect")
        wait_mail_tips(wine, [])

        # Meanwhile the window answers keys, and a click on Tavik's icon brings it back.
        wine.send_keys(window, "alt+Home")
        wait_title(wine, window, TITLE.format(1, 2))
        wine.send_keys(window, "Escape")
        wait_until(lambda: not wine.is_visible(window), TIMEOUT, 0.2, "the window to hide")
        tray = wine.wait_for_window(r"^Wine System Tray$", timeout=30, visible_only=True)
        icon = wine.window_geometry(tray)[3] // 2  # Tavik's icon, the only one now, sits at the left end
        wine.click(tray, icon, icon, button=1)
        wait_until(lambda: wine.is_visible(window), TIMEOUT, 0.2, "the tray click to restore the window")
        wine.send_keys(window, "alt+End")
        wait_title(wine, window, TITLE.format(2, 2))
        assert relay.connections == 2

        # The server answers: the same password is refused again, and the error icon is back.
        relay.release()
        wait_mail_tips(wine, [LOGIN_REFUSED_TIP.format(USER)])

        # Once the server takes that password, the next check puts the new-mail icon in its place.
        dovecot.change_password("guess")
        check_now(wine)
        wait_mail_tips(wine, [NEW_MAIL_TIP.format(1, USER)])
        assert tavik.stop() == 0
    finally:
        relay.close()
