"""Messenger messages over NetBIOS sessions: smbclient, tavik-send and raw message blocks to port 139,
where Tavik serves its names over TCP because Wine's NetBIOS cannot listen."""

from __future__ import annotations

import shutil
import socket
import struct
import subprocess
import time

import pytest

from native_send import native_tavik_send
from stored_messages import message_files, quiet_settings
from tavik_harness import SETTINGS_KEY, wait_until

TIMEOUT = 60
PORT = 139


def computer_name(wine) -> str:
    return wine.run(["cmd", "/c", "echo %COMPUTERNAME%"]).stdout.decode().strip()


def start(wine, **dwords):
    quiet_settings(wine, SETTINGS_KEY)
    for name, value in dwords.items():
        wine.reg_add(SETTINGS_KEY, name, "REG_DWORD", value)
    tavik = wine.start_tavik()
    tavik.wait_for_main_window(TIMEOUT)
    return tavik


def port_answers() -> bool:
    try:
        with socket.create_connection(("127.0.0.1", PORT), timeout=1):
            return True
    except OSError:
        return False


def encoded_name(name: str, suffix: int) -> bytes:
    raw = name.upper().encode()[:15].ljust(15) + bytes([suffix])
    return bytes([32]) + bytes(b for c in raw for b in (0x41 + (c >> 4), 0x41 + (c & 0x0F))) + b"\0"


def session(name: str) -> socket.socket:
    """A NetBIOS session to name on port 139, positively answered."""
    connection = socket.create_connection(("127.0.0.1", PORT), timeout=10)
    request = encoded_name(name, 0x03) + encoded_name("TESTER", 0x00)
    connection.sendall(bytes([0x81, 0]) + struct.pack(">H", len(request)) + request)
    assert connection.recv(4)[0] == 0x82, "the session request was refused"
    return connection


def block(command: int, area: bytes) -> bytes:
    smb = b"\xffSMB" + bytes([command]) + bytes(27) + b"\0" + struct.pack("<H", len(area)) + area
    return bytes([0, 0]) + struct.pack(">H", len(smb)) + smb


def single_block_area(sender: str, recipient: str, text: bytes) -> bytes:
    return (b"\x04" + sender.encode() + b"\0" + b"\x04" + recipient.encode() + b"\0" + b"\x01"
            + struct.pack("<H", len(text)) + text)


def stored(wine, count: int) -> list[bytes]:
    files = wait_until(lambda: len(message_files(wine.data_dir())) >= count and message_files(wine.data_dir()),
                       TIMEOUT, 0.25, f"{count} stored message(s)")
    return [path.read_bytes() for path in files]


@pytest.mark.skipif(shutil.which("smbclient") is None, reason="smbclient is not installed")
def test_smbclient_tavik_send_and_raw_blocks_are_stored_and_shown(wine):
    name = computer_name(wine)
    tavik = start(wine, NetbiosPort=PORT)
    wait_until(port_answers, TIMEOUT, 0.5, "port 139")

    text = "First line of a message\nthat smbclient sends in blocks of at most 127 bytes: " + "x" * 150
    sent = subprocess.run(["smbclient", "-M", name, "-I", "127.0.0.1", "-p", str(PORT), "-N", "-U", "ANN"],
                          input=text.encode(), capture_output=True, timeout=TIMEOUT)
    first = stored(wine, 1)[0]
    assert first.startswith(b"0ANN\r\n"), first[:40]
    heading = f"Message from ANN to {name}.".encode()
    assert heading in first and b"First line of a message\r\nthat smbclient" in first, (first, sent.stderr)
    main = wine.tavik_main_windows()[0]
    assert main.child(1002).text == "ANN"

    with session(name) as single:
        single.sendall(block(0xD0, single_block_area("BEN", name, b"one block")))
        reply = single.recv(100)
        assert reply[4:9] == b"\xffSMB\xd0", reply
    with session(name) as broadcast:
        broadcast.sendall(block(0xD1, single_block_area("CAL", name, b"to everyone")))
        broadcast.settimeout(2)
        with pytest.raises((socket.timeout, ConnectionError)):
            assert broadcast.recv(100) == b"", "a broadcast gets no reply"
            raise ConnectionError
    senders = sorted(data[1:data.index(b"\r\n")] for data in stored(wine, 3))
    assert senders == [b"ANN", b"BEN", b"CAL"]

    # tavik-send's text in the OEM code page, from Linux (UTF-8) over a session and from Windows
    # (the ANSI code page) through the mailslot; the program stores it in its ANSI code page. The
    # OEM code page has no euro sign: the senders say so and send "?".
    linux = native_tavik_send(["--messenger", f"127.0.0.1:{PORT}", "--to", name, "--from", "DORA", "--timeout",
                               "30", "Grüße, 20 €"])
    assert linux.returncode == 0, linux.stdout + linux.stderr
    assert linux.stderr.decode() == 'tavik-send: code page 850 has no "€" (U+20AC): sent as "?"\n'
    windows = wine.run(["tavik-send.exe", "--mailslot", "--from", "EVA", "--to", name, "Grüße, 20 €"])
    assert windows.returncode == 0, windows.stdout + windows.stderr
    assert b"U+20AC" in windows.stderr
    sent_by = {data[1:data.index(b"\r\n")]: data for data in stored(wine, 5)}
    for sender in (b"DORA", b"EVA"):
        assert sent_by[sender].endswith(b".\r\n\r\nGr\xfc\xdfe, 20 ?"), sent_by[sender]

    # A session left open at the logoff does not hold the exit.
    with session(name):
        wine.logoff()
        assert tavik.exit_code(TIMEOUT) == 0


def test_disabled_messenger_listeners_take_neither_the_mailslot_nor_the_port(wine):
    tavik = start(wine, DisableSMBTread=1, NetbiosPort=PORT)
    time.sleep(3)
    assert not port_answers()
    result = wine.run(["tavik-send.exe", "--mailslot", "--from", "PC1", "--to", "BOB", "nobody listens"])
    assert result.returncode != 0
    assert tavik.stop() == 0
