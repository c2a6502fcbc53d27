"""Find in the history: Ctrl+F opens the system's find dialog, F3 and Shift+F3 search again without it."""

from __future__ import annotations

from stored_messages import message_bytes, quiet_settings
from tavik_harness import SETTINGS_KEY, wait_until

TITLE = "Quorlex Tavik - message {} of {}"
FIRST_SECOND = 1765000000

# Sender and text of the stored messages, oldest (message 1) first.
MESSAGES = [
    ("PC1", "Ticket QX-4711 opened"),
    ("PC2", "Lunch at noon?"),
    ("ANN", "qx-4711 waits for a review"),
    ("PC3", "Printer on floor 2 is out of paper"),
    ("PC4", "QX-4711 closed"),
    ("PC5", "See you tomorrow"),
]

KEY_NAMES = {"-": "minus", " ": "space"}


def store(wine, messages) -> None:
    folder = wine.data_dir() / "messages"
    folder.mkdir(parents=True, exist_ok=True)
    for index, (sender, text) in enumerate(messages):
        (folder / f"{FIRST_SECOND + index}{sender}.qms").write_bytes(message_bytes(sender, text))


def start(wine, messages):
    quiet_settings(wine, SETTINGS_KEY)
    store(wine, messages)
    tavik = wine.start_tavik()
    return tavik, tavik.wait_for_main_window(visible_only=True)


def wait_title(wine, window, position: int, count: int, timeout: float = 30) -> None:
    expected = TITLE.format(position, count)
    wait_until(lambda: wine.window_name(window) == expected, timeout, 0.2, f"the title {expected!r}")


def shown(wine) -> tuple[str, str]:
    """(sender, last line of the text) of the message the main window shows."""
    window = wine.tavik_main_windows()[0]
    return window.child(1002).text, window.child(1000).text.splitlines()[-1]


def open_find_dialog(wine, tavik, window) -> int:
    wine.send_keys(window, "ctrl+f")
    return wine.wait_for_window(r"^Find$", timeout=30, pid=tavik.pid, visible_only=True)


def search_in_dialog(wine, dialog: int, text: str, *options: str) -> None:
    """Replaces the text sought, sets options (the dialog's Alt keys) and presses Enter (Find Next)."""
    wine.send_keys(dialog, "End", *["BackSpace"] * 30, *[KEY_NAMES.get(c, c) for c in text], *options, "Return")


def not_found_box(wine, tavik):
    """The box that says nothing was found: (its X window, its Windows record)."""
    box = wait_until(lambda: tavik.boxes(), 30, 0.25, "the not-found box")[0]
    record = wait_until(lambda: wine.find_win32_windows(r"^Quorlex Tavik$", visible_only=True), 30, 0.25,
                        "the box's texts")[0]
    return box, record


def close_box(wine, tavik, box) -> None:
    wine.send_keys(box, "Return")
    wait_until(lambda: not tavik.boxes(), 30, 0.25, "the box to close")


def test_find_steps_to_matches_in_sender_and_text_both_ways(wine, artifacts):
    tavik, window = start(wine, MESSAGES)
    count = len(MESSAGES)
    wait_title(wine, window, count, count)

    # The dialog searches up (towards older messages) first and ignores case unless asked.
    dialog = open_find_dialog(wine, tavik, window)
    search_in_dialog(wine, dialog, "qx-4711")
    wait_title(wine, window, 5, count)
    assert shown(wine) == ("PC4", "QX-4711 closed")
    wine.screenshot(artifacts / "find_dialog.png")
    wine.send_keys(dialog, "Escape")
    wait_until(lambda: not wine.window_ids(r"^Find$", pid=tavik.pid, visible_only=True), 30, 0.25,
               "the find dialog to close")

    wine.send_keys(window, "F3")
    wait_title(wine, window, 3, count)
    assert shown(wine) == ("ANN", "qx-4711 waits for a review")
    wine.send_keys(window, "F3")
    wait_title(wine, window, 1, count)
    assert shown(wine) == ("PC1", "Ticket QX-4711 opened")

    # Nothing older: a box owned by the main window says so, and the message stays.
    wine.send_keys(window, "F3")
    box, record = not_found_box(wine, tavik)
    assert any('No older message contains "qx-4711"' in text for text in record.texts), record.texts
    main_handle = wine.tavik_main_windows()[0].handle
    assert record.owner == main_handle
    close_box(wine, tavik, box)
    assert wine.window_name(window) == TITLE.format(1, count)

    # Shift+F3 searches the other way.
    wine.send_keys(window, "shift+F3")
    wait_title(wine, window, 3, count)
    wine.send_keys(window, "shift+F3")
    wait_title(wine, window, 5, count)

    # A sender is found as well as a text; with Match case and Down the dialog searches newer ones.
    dialog = open_find_dialog(wine, tavik, window)
    search_in_dialog(wine, dialog, "ann")
    wait_title(wine, window, 3, count)
    assert shown(wine)[0] == "ANN"
    search_in_dialog(wine, dialog, "QX-4711", "alt+c", "alt+d")
    wait_title(wine, window, 5, count)

    # Nothing newer: the box belongs to the open dialog.
    wine.send_keys(dialog, "Return")
    box, record = not_found_box(wine, tavik)
    assert any('No newer message contains "QX-4711"' in text for text in record.texts), record.texts
    find_handle = next(w.handle for w in wine.win32_windows() if w.text == "Find" and w.visible)
    assert record.owner == find_handle
    wine.screenshot(artifacts / "find_not_found.png")
    close_box(wine, tavik, box)
    assert wine.window_name(window) == TITLE.format(5, count)
    assert tavik.stop() == 0


def test_a_search_right_after_start_reaches_the_messages_still_loading(wine):
    # The oldest of many holds the text. So many take Wine seconds to read, so the search comes while
    # the load still runs: it waits for the messages still to come instead of finding nothing, and a
    # delete pressed after it waits behind it, so it deletes the message found.
    count = 30000
    messages = [("PC9", "Ticket ZZ-1 opened")] + [("PC8", f"routine note {i}") for i in range(1, count)]
    tavik, window = start(wine, messages)
    folder = wine.data_dir() / "messages"
    oldest, newest = folder / f"{FIRST_SECOND}PC9.qms", folder / f"{FIRST_SECOND + count - 1}PC8.qms"
    dialog = open_find_dialog(wine, tavik, window)
    search_in_dialog(wine, dialog, "zz-1")
    wine.send_keys(dialog, "Escape")
    wine.send_keys(window, "alt+Delete")
    wait_title(wine, window, 1, count - 1, timeout=120)
    assert shown(wine) == ("PC8", "routine note 1")
    assert not oldest.exists() and newest.exists()
    assert not tavik.boxes()
    assert tavik.stop() == 0
