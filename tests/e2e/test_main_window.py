"""The main window: titles and navigation, hiding and restoring, exit rules, fonts, tray icon."""

from __future__ import annotations

import re

import pytest

from stored_messages import message_bytes, message_files, store_messages
from tavik_harness import SETTINGS_KEY, wait_until

TITLE = "Quorlex Tavik - message {} of {}"


def start_with_messages(wine, count: int, **settings):
    """Creates the settings key (with extra DWORD values) and count stored messages, then starts Tavik."""
    wine.reg_add(SETTINGS_KEY)
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
    windows = wine.find_win32_windows(r"^Quorlex Tavik")
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
    wine.reg_add(SETTINGS_KEY)
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


def test_with_close_disabled_exit_only_hides(wine):
    tavik, window = start_with_messages(wine, 0, DisableCloseProgram=1)
    wine.send_keys(window, "alt+x")
    wait_until(lambda: not wine.is_visible(window), 20, 0.2, "the window to hide")
    assert tavik.is_running()
    assert not [w for w in tavik.main_windows(visible_only=True) if w != window], "no question is asked"
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
    wine.reg_add(SETTINGS_KEY)
    data = wine.data_dir()
    store_messages(data, 3, first_second=1765000000)
    (data / "messages" / "1765000001AAA.qms").write_bytes(b"")
    (data / "messages" / "1765000002AAA.qms").write_bytes(b"0PC only one line")
    tavik = wine.start_tavik()
    # One box says some messages could not be read; the rest are loaded in order.
    box = wait_until(lambda: [w for w in wine.window_ids(r"^Quorlex Tavik$", visible_only=True)
                              if w not in tavik.main_windows(visible_only=True) or True], 60, 0.25, "the load box")
    texts = [w.texts for w in wine.find_win32_windows(r"^Quorlex Tavik$", visible_only=True)]
    assert any(any("could not be read" in t for t in children) for children in texts), texts
    wine.send_keys(box[0], "Return")
    window = tavik.wait_for_main_window(visible_only=True)
    wait_title(wine, window, TITLE.format(3, 3))
    assert len(message_files(data)) == 5, "the unreadable files stay on disk"
    assert tavik.stop() == 0


def test_tray_icon_follows_the_count(wine, artifacts):
    tavik, window = start_with_messages(wine, 25)
    wait_title(wine, window, TITLE.format(25, 25))
    tray = wine.wait_for_window(r"Wine System Tray", timeout=30)
    wine.screenshot(artifacts / "tray_with_count.png", tray)
    assert tavik.stop() == 0
