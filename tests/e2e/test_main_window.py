"""The main window: titles and navigation, hiding and restoring, exit rules, fonts, tray icon."""

from __future__ import annotations

import time

import pytest

from stored_messages import message_files, store_messages
from tavik_harness import SETTINGS_KEY, read_rgb, wait_until
from stored_messages import quiet_settings

TITLE = "Quorlex Tavik - message {} of {}"


def start_with_messages(wine, count: int, **settings):
    """Creates the settings key (with extra DWORD values) and count stored messages, then starts Tavik."""
    quiet_settings(wine, SETTINGS_KEY)
    for name, value in settings.items():
        wine.reg_add(SETTINGS_KEY, name, "REG_DWORD", value)
    if count:
        store_messages(wine.data_dir(), count)
    tavik = wine.start_tavik()
    window = tavik.wait_for_main_window(visible_only=True)
    return tavik, window


def wait_title(wine, window, expected: str, timeout: float = 20) -> None:
    wait_until(lambda: wine.window_name(window) == expected, timeout, 0.2, f"the title {expected!r}")


def main_window_controls(wine):
    windows = wine.tavik_main_windows()
    assert windows, "the main window is not listed"
    return windows[0]


def test_title_and_navigation_follow_the_stored_messages(wine, artifacts):
    tavik, window = start_with_messages(wine, 3)
    wait_title(wine, window, TITLE.format(3, 3))
    controls = main_window_controls(wine)
    assert controls.child(1000).text.endswith("Message number 3")
    assert controls.child(1002).text == "PC"
    wine.screenshot(artifacts / "main_window_with_message.png", window)

    wine.send_keys(window, "alt+Left")
    wait_title(wine, window, TITLE.format(2, 3))
    wine.send_keys(window, "alt+Home")
    wait_title(wine, window, TITLE.format(1, 3))
    assert main_window_controls(wine).child(1000).text.endswith("Message number 1")
    wine.send_keys(window, "alt+Left")  # nothing older: stays
    wine.send_keys(window, "alt+Right")
    wait_title(wine, window, TITLE.format(2, 3))
    wine.send_keys(window, "alt+End")
    wait_title(wine, window, TITLE.format(3, 3))
    assert tavik.stop() == 0


def test_escape_hides_and_the_restore_command_brings_the_window_back(wine):
    quiet_settings(wine, SETTINGS_KEY)
    wine.reg_add(SETTINGS_KEY, "RestoreHotKey", "REG_DWORD", 0x0641)  # Ctrl+Alt+A
    tavik = wine.start_tavik()
    window = tavik.wait_for_main_window(visible_only=True)
    wine.send_keys(window, "Escape")
    wait_until(lambda: not wine.is_visible(window), 20, 0.2, "the window to hide")
    assert tavik.is_running()
    # The hot key reaches the program wherever the focus is.
    wine.press_keys("ctrl+alt+a")
    wait_until(lambda: wine.is_visible(window), 20, 0.2, "the hot key to restore the window")
    assert tavik.stop() == 0


def test_exit_asks_and_no_keeps_the_program_running(wine):
    tavik, window = start_with_messages(wine, 0)
    wine.send_keys(window, "alt+x")
    question = wait_until(lambda: [w for w in tavik.main_windows(visible_only=True) if w != window], 20, 0.25,
                          "the exit question")[0]
    wine.send_keys(question, "n")
    wait_until(lambda: question not in tavik.main_windows(visible_only=True), 20, 0.25, "the question to close")
    assert tavik.is_running()
    assert tavik.exit_with_keys() == 0


def test_with_close_disabled_close_exit_and_alt_x_only_hide(wine):
    tavik, window = start_with_messages(wine, 0, DisableCloseProgram=1)
    tray = wine.wait_for_window(r"^Wine System Tray$", timeout=30, visible_only=True)
    icon = wine.window_geometry(tray)[3] // 2

    def hidden_and_back(what):
        wait_until(lambda: not wine.is_visible(window), 20, 0.2, f"{what} to hide the window")
        assert tavik.is_running() and not tavik.boxes(), f"{what} asks nothing and ends nothing"
        wine.click(tray, icon, icon, button=1)
        wait_until(lambda: wine.is_visible(window), 20, 0.2, "the tray click to restore the window")

    wine.send_keys(window, "alt+x")
    hidden_and_back("Alt+X")
    wine.send_keys(window, "alt+F4")
    hidden_and_back("Close")
    wine.click(tray, icon, icon, button=3)
    wait_until(lambda: [w for w in wine.win32_windows() if w.class_name == "#32768" and w.visible], 20, 0.25,
               "the tray menu")
    wine.send_keys(window, "x")  # the menu's Exit item
    hidden_and_back("Exit")
    assert tavik.stop() == 0


def test_font_steps_are_kept_at_exit(wine):
    tavik, window = start_with_messages(wine, 1)
    # 8 -> 16 takes six steps up; the seventh beeps and changes nothing.
    for _ in range(7):
        wine.send_keys(window, "alt+z")
    wine.send_keys(window, "shift+alt+z")  # 16 -> 14
    assert tavik.stop() == 0
    assert wine.reg_dword(SETTINGS_KEY, "MessageTextFontSize") == 14


@pytest.mark.parametrize("count,limit", [(150, 100)])
def test_every_stored_file_loads_whatever_the_limit(wine, count, limit):
    tavik, window = start_with_messages(wine, count, MessageCountLimit=limit)
    wait_title(wine, window, TITLE.format(count, count), timeout=60)
    assert tavik.stop() == 0


def test_unreadable_files_are_skipped_and_the_rest_load(wine):
    quiet_settings(wine, SETTINGS_KEY)
    data = wine.data_dir()
    store_messages(data, 3, first_second=1765000000)
    (data / "messages" / "1765000001AAA.qms").write_bytes(b"")
    (data / "messages" / "1765000002AAA.qms").write_bytes(b"0PC only one line")
    tavik = wine.start_tavik()
    # One box says some messages could not be read; the rest are loaded in order.
    box = wait_until(lambda: tavik.boxes(), 60, 0.25, "the load box")[0]
    texts = [t for w in wine.find_win32_windows(r"^Quorlex Tavik$", visible_only=True) for t in w.texts]
    assert any("could not be read" in t for t in texts), texts
    wine.send_keys(box, "Return")
    wait_until(lambda: not tavik.boxes(), 30, 0.25, "the box to close")
    window = tavik.wait_for_main_window(visible_only=True)
    wait_title(wine, window, TITLE.format(3, 3))
    wine.send_keys(window, "alt+Home")
    wait_title(wine, window, TITLE.format(1, 3))
    assert main_window_controls(wine).child(1000).text.endswith("Message number 1")
    assert len(message_files(data)) == 5, "the unreadable files stay on disk"
    assert tavik.stop() == 0


def tray_picture(wine, tray, path):
    wine.screenshot(path, tray)
    return read_rgb(path)[2]


def differing_pixels(first: bytes, second: bytes) -> int:
    return sum(1 for i in range(0, min(len(first), len(second)), 3) if first[i:i + 3] != second[i:i + 3])


def test_tray_icon_shows_the_count_up_to_ten_and_one_picture_beyond(wine, artifacts):
    tavik, window = start_with_messages(wine, 25)
    wait_title(wine, window, TITLE.format(25, 25))
    tray = wine.wait_for_window(r"^Wine System Tray$", timeout=30, visible_only=True)
    many = tray_picture(wine, tray, artifacts / "tray_with_count.png")
    time.sleep(1.5)  # a delete right after start is taken as aimed at a just-arrived message
    for remaining in range(24, 10, -1):
        wine.send_keys(window, "alt+Delete")
        wait_title(wine, window, TITLE.format(remaining, remaining))
    eleven = tray_picture(wine, tray, artifacts / "tray_eleven.png")
    wine.send_keys(window, "alt+Delete")
    wait_title(wine, window, TITLE.format(10, 10))
    ten = tray_picture(wine, tray, artifacts / "tray_ten.png")
    # The tray redraws scaled icons with a few pixels of noise; a different picture differs widely.
    assert differing_pixels(many, eleven) < 60, "11 and 25 messages share the '10+' picture"
    assert differing_pixels(ten, eleven) > 120, "10 messages have a picture of their own"
    assert tavik.stop() == 0


def test_tray_menu_opens_and_a_tray_click_restores_the_window(wine, artifacts):
    tavik, window = start_with_messages(wine, 1)
    tray = wine.wait_for_window(r"^Wine System Tray$", timeout=30, visible_only=True)
    _, _, _, height = wine.window_geometry(tray)
    icon = height // 2  # the one icon sits at the tray's left end
    wine.click(tray, icon, icon, button=3)
    menu = wait_until(lambda: [w for w in wine.win32_windows() if w.class_name == "#32768" and w.visible], 20, 0.25,
                      "the tray menu")
    assert menu
    wine.screenshot(artifacts / "tray_menu.png")
    wine.send_keys(window, "Escape")  # the menu belongs to the main window
    wait_until(lambda: not [w for w in wine.win32_windows() if w.class_name == "#32768" and w.visible], 20, 0.25,
               "the tray menu to close")
    wine.send_keys(window, "Escape")
    wait_until(lambda: not wine.is_visible(window), 20, 0.2, "the window to hide")
    # A click on the tray icon brings the window back.
    wine.click(tray, icon, icon, button=1)
    wait_until(lambda: wine.is_visible(window), 20, 0.2, "the tray click to restore the window")
    assert tavik.stop() == 0
