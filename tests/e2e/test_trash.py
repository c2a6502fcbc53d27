"""Delete to the trash, restore, delete all, and the trash emptied at start."""

from __future__ import annotations

from stored_messages import message_files, store_messages
from tavik_harness import SETTINGS_KEY, wait_until
from stored_messages import quiet_settings

TITLE = "Quorlex Tavik - message {} of {}"


def start_with_messages(wine, count: int):
    quiet_settings(wine, SETTINGS_KEY)
    paths = store_messages(wine.data_dir(), count)
    tavik = wine.start_tavik()
    window = tavik.wait_for_main_window(visible_only=True)
    wait_title(wine, window, TITLE.format(count, count))
    return tavik, window, paths


def wait_title(wine, window, expected: str, timeout: float = 20) -> None:
    wait_until(lambda: wine.window_name(window) == expected, timeout, 0.2, f"the title {expected!r}")


def shown_text(wine) -> str:
    return wine.tavik_main_windows()[0].child(1000).text


def test_delete_and_restore_put_the_message_back_in_place(wine):
    tavik, window, paths = start_with_messages(wine, 4)
    original = paths[1].read_bytes()
    wine.send_keys(window, "alt+Home", "alt+Right")
    wait_title(wine, window, TITLE.format(2, 4))
    wine.send_keys(window, "alt+Delete")
    wait_title(wine, window, TITLE.format(2, 3))
    assert shown_text(wine).endswith("Message number 3")
    assert not paths[1].exists()
    wine.send_keys(window, "ctrl+z")
    wait_title(wine, window, TITLE.format(2, 4))
    assert shown_text(wine).endswith("Message number 2")
    assert paths[1].read_bytes() == original
    assert tavik.stop() == 0


def test_restores_come_back_in_reverse_order_of_deletion(wine):
    tavik, window, paths = start_with_messages(wine, 5)
    contents = [p.read_bytes() for p in paths]
    wine.send_keys(window, "alt+Home")
    wait_title(wine, window, TITLE.format(1, 5))
    for remaining in (4, 3, 2):
        wine.send_keys(window, "alt+Delete")
        wait_title(wine, window, TITLE.format(1, remaining))
    assert len(message_files(wine.data_dir())) == 2
    for count, number in ((3, 3), (4, 2), (5, 1)):
        wine.send_keys(window, "ctrl+z")
        wait_title(wine, window, TITLE.format(1, count))
        assert shown_text(wine).endswith(f"Message number {number}")
    assert [p.read_bytes() for p in paths] == contents
    # The trash is empty now: another Ctrl+Z changes nothing.
    wine.send_keys(window, "ctrl+z", "alt+End")
    wait_title(wine, window, TITLE.format(5, 5))
    assert not list((wine.data_dir() / "trash").iterdir())
    assert tavik.stop() == 0


def test_restore_with_an_empty_trash_changes_nothing(wine):
    tavik, window, _ = start_with_messages(wine, 2)
    wine.send_keys(window, "ctrl+z")
    wine.send_keys(window, "alt+Home")
    wait_title(wine, window, TITLE.format(1, 2))
    assert len(message_files(wine.data_dir())) == 2
    assert tavik.stop() == 0


def test_delete_all_asks_and_removes_every_file(wine):
    tavik, window, _ = start_with_messages(wine, 3)
    before = set(tavik.main_windows())
    wine.send_keys(window, "shift+alt+Delete")
    question = wait_until(lambda: [w for w in tavik.main_windows(visible_only=True) if w not in before], 20, 0.25,
                          "the delete-all question")[0]
    wine.send_keys(question, "y")
    wait_title(wine, window, "Quorlex Tavik")
    assert message_files(wine.data_dir()) == []
    assert tavik.stop() == 0


def test_records_left_by_a_killed_run_are_gone_after_the_next_start(wine):
    quiet_settings(wine, SETTINGS_KEY)
    trash = wine.data_dir() / "trash"
    trash.mkdir(parents=True, exist_ok=True)
    left = trash / "del_mess0.qms"
    left.write_bytes(b"\x01\x00\x00\x00\r\n\r\n\x00PC\r\ntext\r\n")
    tavik = wine.start_tavik()
    tavik.wait_for_main_window(visible_only=True)
    assert not left.exists()
    assert tavik.stop() == 0
