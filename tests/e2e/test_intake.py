"""Messenger messages through the mailslot: delivery, filters, the stored file and its name."""

from __future__ import annotations

import re
import time

from stored_messages import message_files
from tavik_harness import SETTINGS_KEY, wait_until
from stored_messages import quiet_settings


def send_mailslot(wine, sender: str, text: str, recipient: str = "BOB"):
    result = wine.run(["tavik-send.exe", "--mailslot", "--from", sender, "--to", recipient, text])
    assert result.returncode == 0, result.stdout + result.stderr
    return result


def start_tavik(wine, **strings):
    quiet_settings(wine, SETTINGS_KEY)
    for name, value in strings.items():
        wine.reg_add(SETTINGS_KEY, name, "REG_SZ", value)
    tavik = wine.start_tavik()
    tavik.wait_for_main_window(visible_only=True)
    wine.wait_for_mailslot()
    return tavik


def test_a_datagram_is_stored_and_shown(wine):
    tavik = start_tavik(wine)
    send_mailslot(wine, "PC7", "hello\nsecond line")
    data = wine.data_dir()
    files = wait_until(lambda: message_files(data), 30, 0.2, "the message file")
    assert len(files) == 1
    assert re.fullmatch(r"\d{10}PC7\.qms", files[0].name), files[0].name
    content = files[0].read_bytes()
    assert re.fullmatch(rb"0PC7\r\n[^\r\n]+, [^\r\n]+\r\nMessage from PC7 to BOB\.\r\n\r\nhello\r\nsecond line", content), \
        content
    main = wine.tavik_main_windows()[0]
    assert main.child(1002).text == "PC7"
    assert main.child(1000).text.endswith("Message from PC7 to BOB.\r\n\r\nhello\r\nsecond line")
    assert main.text == "Quorlex Tavik - message 1 of 1"
    assert tavik.stop() == 0


def test_datagrams_written_at_once_are_all_stored(wine):
    tavik = start_tavik(wine)
    senders = [wine.start(["tavik-send.exe", "--mailslot", "--from", f"Q{i}", "--to", "BOB", f"queued {i}"])
               for i in range(3)]
    for popen in senders:
        assert popen.wait(timeout=60) == 0
    data = wine.data_dir()
    files = wait_until(lambda: len(message_files(data)) == 3 and message_files(data), 30, 0.2, "three files")
    assert sorted(f.name[10:] for f in files) == ["Q0.qms", "Q1.qms", "Q2.qms"]
    assert tavik.stop() == 0


def test_the_deny_list_drops_a_sender(wine):
    tavik = start_tavik(wine, DontRecvMess="EVIL*")
    send_mailslot(wine, "EVIL1", "should not arrive")
    send_mailslot(wine, "GOOD", "arrives")
    data = wine.data_dir()
    files = wait_until(lambda: message_files(data), 30, 0.2, "the accepted message")
    time.sleep(1.5)  # three polls: the denied datagram would have been taken by now
    names = [f.name for f in message_files(data)]
    assert len(names) == 1 and names[0].endswith("GOOD.qms"), names
    assert tavik.stop() == 0


def test_a_sender_cannot_write_outside_the_messages_folder(wine):
    tavik = start_tavik(wine)
    send_mailslot(wine, "..\\..\\x", "path trick")
    data = wine.data_dir()
    files = wait_until(lambda: message_files(data), 30, 0.2, "the message file")
    assert len(files) == 1 and files[0].parent == data / "messages"
    assert "\\" not in files[0].name and files[0].name.endswith("x.qms"), files[0].name
    # Inside the file the sender stays as it was sent.
    assert files[0].read_bytes().startswith(b"0..\\..\\x\r\n")
    strays = [p for p in wine.appdata_dir().rglob("*x.qms") if p.parent != data / "messages"]
    assert not strays, strays
    assert tavik.stop() == 0


def test_two_messages_in_one_second_keep_two_files(wine):
    tavik = start_tavik(wine)
    send_mailslot(wine, "PC7", "first")
    send_mailslot(wine, "PC7", "second")
    data = wine.data_dir()
    files = wait_until(lambda: len(message_files(data)) == 2 and message_files(data), 30, 0.2, "two files")
    texts = sorted(f.read_bytes().rsplit(b"\r\n", 1)[-1] for f in files)
    assert texts == [b"first", b"second"]
    assert tavik.stop() == 0
