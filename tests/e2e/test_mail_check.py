"""Mail checks against a private Dovecot: the new-mail tray icon and its tip follow the unseen count,
a refused login shows the error icon until the next check starts, and the window answers keys while a
check waits for the server."""

from __future__ import annotations

from mail_support import NEW_MAIL_TIP, LOGIN_REFUSED_TIP, PASSWORD, USER, HeldRelay, scrambled, wait_mail_tips
from stored_messages import quiet_settings, store_messages
from tavik_harness import SETTINGS_KEY, wait_until

TIMEOUT = 60
WM_TIMER = 0x113
MAIL_CHECK_TIMER = 1
TITLE = "Quorlex Tavik - message {} of {}"


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
