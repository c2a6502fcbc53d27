"""Nothing stored is lost: a delete whose trash record fails, delete-all while a message arrives,
messages that cannot be saved, and a logoff that another program cancels."""

from __future__ import annotations

import socket
import time

from stored_messages import message_files, quiet_settings, store_messages
from tavik_harness import SETTINGS_KEY, free_port, wait_until

TITLE = "Quorlex Tavik - message {} of {}"
TIMEOUT = 60
WM_QUERYENDSESSION = 0x11
WM_ENDSESSION = 0x16


def start(wine, **dwords):
    quiet_settings(wine, SETTINGS_KEY)
    for name, value in dwords.items():
        wine.reg_add(SETTINGS_KEY, name, "REG_DWORD", value)
    tavik = wine.start_tavik()
    window = tavik.wait_for_main_window(TIMEOUT, visible_only=True)
    wine.wait_for_mailslot()
    return tavik, window


def wait_title(wine, window, expected: str) -> None:
    wait_until(lambda: wine.window_name(window) == expected, TIMEOUT, 0.2, f"the title {expected!r}")


def new_box(tavik, before: set[int]) -> int:
    return wait_until(lambda: [w for w in tavik.boxes() if w not in before], TIMEOUT, 0.25, "a box")[0]


def box_text(wine) -> str:
    boxes = [w for w in wine.find_win32_windows("^Quorlex Tavik$", visible_only=True) if w.owner != 0]
    return " ".join(" ".join(box.texts) for box in boxes)


def send_mailslot(wine, sender: str, text: str) -> None:
    result = wine.run(["tavik-send.exe", "--mailslot", "--from", sender, "--to", "BOB", text])
    assert result.returncode == 0, result.stdout + result.stderr


def test_a_delete_whose_trash_record_cannot_be_written_keeps_the_message(wine):
    paths = store_messages(wine.data_dir(), 2)
    (wine.data_dir() / "trash").write_bytes(b"a file where the trash folder belongs")
    tavik, window = start(wine)
    wait_title(wine, window, TITLE.format(2, 2))
    time.sleep(1.5)  # a delete within a second of the window's start is taken for a slip
    before = set(tavik.boxes())
    wine.send_keys(window, "alt+Delete")
    box = new_box(tavik, before)
    assert "could not put this message into the trash" in box_text(wine)
    wine.send_keys(box, "Return")
    assert wine.window_name(window) == TITLE.format(2, 2)
    assert all(path.exists() for path in paths)
    assert tavik.stop() == 0


def test_delete_all_removes_what_it_asked_about_and_keeps_what_came_meanwhile(wine):
    paths = store_messages(wine.data_dir(), 2)
    # The oldest leaves the list through the count limit while the question is open: it was asked about.
    tavik, window = start(wine, MessageCountLimit=1)
    wait_title(wine, window, TITLE.format(2, 2))
    before = set(tavik.boxes())
    wine.send_keys(window, "shift+alt+Delete")
    question = new_box(tavik, before)
    send_mailslot(wine, "LATE", "came while the question was open")
    wait_until(lambda: len(message_files(wine.data_dir())) == 3, TIMEOUT, 0.2, "the new message stored")
    wine.send_keys(question, "y")
    wait_title(wine, window, TITLE.format(1, 1))
    remaining = message_files(wine.data_dir())
    assert len(remaining) == 1 and remaining[0].name.endswith("LATE.qms"), remaining
    assert not any(path.exists() for path in paths)
    assert wine.tavik_main_windows()[0].child(1002).text == "LATE"
    assert tavik.stop() == 0


def test_messages_that_cannot_be_saved_are_shown_and_reported_once(wine):
    messages = wine.data_dir() / "messages"
    wine.data_dir().mkdir(parents=True, exist_ok=True)
    messages.write_bytes(b"a file where the messages folder belongs")
    tavik, window = start(wine)
    before = set(tavik.boxes())
    send_mailslot(wine, "PC1", "first")
    box = new_box(tavik, before)
    assert "cannot save new messages in" in box_text(wine) and "messages" in box_text(wine)
    wait_title(wine, window, TITLE.format(1, 1))
    send_mailslot(wine, "PC2", "second, still not saved")
    wait_title(wine, window, TITLE.format(2, 2))
    wine.send_keys(box, "Return")
    wait_until(lambda: not tavik.boxes(), TIMEOUT, 0.25, "the box closed")

    # Writing works again: the next message is saved with the two that waited, and nobody is told anything.
    messages.unlink()
    messages.mkdir()
    send_mailslot(wine, "PC3", "third, saved")
    wait_until(lambda: len(message_files(wine.data_dir())) == 3, TIMEOUT, 0.2, "all three messages' files")
    wait_title(wine, window, TITLE.format(3, 3))
    time.sleep(1)
    assert not tavik.boxes(), box_text(wine)
    assert tavik.stop() == 0


def test_a_cancelled_logoff_keeps_tavik_receiving_and_a_real_one_ends_it(wine):
    port = free_port()
    tavik, window = start(wine, DisableUDPTread=0, UDPPort=port, TCPPort=port)
    handle = wine.tavik_main_windows()[0].handle
    query = wine.run(["send-window-message.exe", f"{handle:x}", str(WM_QUERYENDSESSION), "0", "0"])
    assert query.stdout.strip() == b"1", query.stdout + query.stderr
    cancelled = wine.run(["send-window-message.exe", f"{handle:x}", str(WM_ENDSESSION), "0", "0"])
    assert cancelled.returncode == 0
    assert tavik.is_running()

    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as peer:
        peer.settimeout(2)
        datagram = b"MESSAGE\0#0still here\0#1PC1\0#2\0#30\0#4\0#5\0#6\0"
        deadline = time.monotonic() + TIMEOUT
        while True:
            peer.sendto(datagram, ("127.0.0.1", port))
            try:
                peer.recvfrom(100)
                break
            except socket.timeout:
                assert time.monotonic() < deadline, "the UDP listener stopped after the cancelled logoff"
    wait_title(wine, window, TITLE.format(1, 1))

    wine.logoff()
    assert tavik.exit_code(TIMEOUT) == 0
    assert wine.reg_query(SETTINGS_KEY, "ClassName") is None
    assert wine.reg_dword(SETTINGS_KEY, "MessageTextFontSize") == 8
