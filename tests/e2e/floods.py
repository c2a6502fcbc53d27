"""Floods of messages over Tavik's four transports, for tests that run them at once for a while.

Each flood runs threads of its own from start() until stop(), and keeps the keys of the messages the
program confirmed: the UDP delivery receipt, the TCP byte count, the Messenger answer to the single
block or to the end block. The mailslot confirms nothing; its flood only counts what it wrote.
Every message carries the tag flood-<letter>-<key>, and its text follows from the key alone, so a long
run keeps no copy of what it sent. tally() then holds the stored message files against that.
"""

from __future__ import annotations

import itertools
import re
import socket
import struct
import threading
import time
from dataclasses import dataclass, field
from pathlib import Path

from stored_messages import message_files, read_message

TAG = re.compile(rb"flood-([a-z])-(\d+(?:-\d+)?)")
SENDER = "FLOOD"
# Each client waits this long for an answer; a confirmation that waits for storing takes a while under load.
ANSWER_TIMEOUT = 30


def _filler(key: int, most: int) -> str:
    """Some bytes whose length and content follow from the key, so no two messages are alike."""
    letters = "abcdefghijklmnopqrstuvwxyz0123456789"
    size = key * 7919 % (most + 1)
    return "".join(letters[(key + i) % len(letters)] if i % 40 else " " for i in range(size))


class Flood:
    """What the four floods share: the worker threads, the stop flag, and the counts."""

    letter = ""
    name = ""
    confirms = True  # False: the transport answers nothing, and confirmed stays empty
    headed = False  # True: the program puts a heading and an empty line before the text it stores

    def __init__(self, workers: int = 1):
        self.sent = 0  # messages whose bytes all went out
        self.confirmed: set[str] = set()
        self.failures = 0  # messages that got no (or a wrong) answer
        self._workers = workers
        self._next_key = itertools.count()
        self._lock = threading.Lock()
        self._stopping = threading.Event()
        self._threads: list[threading.Thread] = []

    def start(self) -> None:
        for number in range(self._workers):
            thread = threading.Thread(target=self._work, name=f"{self.name}-{number}", daemon=True)
            thread.start()
            self._threads.append(thread)

    def stop(self) -> None:
        """No new message is begun; one under way still waits for its answer."""
        self._stopping.set()

    def finish(self, timeout: float = ANSWER_TIMEOUT + 10) -> None:
        """Stops and waits for the messages under way to end (answered, failed or timed out)."""
        self.stop()
        deadline = time.monotonic() + timeout
        for thread in self._threads:
            thread.join(max(0.0, deadline - time.monotonic()))

    def text(self, key: str) -> bytes:
        """The message text sent under this key, as the stored file must hold it."""
        raise NotImplementedError

    def _work(self) -> None:
        while not self._stopping.is_set():
            self._send_one(next(self._next_key))

    def _send_one(self, key: int) -> None:
        raise NotImplementedError

    def _count(self, key: int | None, sent: bool = True) -> None:
        """Notes one message: confirmed under key, or (key None) not."""
        with self._lock:
            self.sent += sent
            if key is None:
                self.failures += 1
            else:
                self.confirmed.add(str(key))


class UdpFlood(Flood):
    """One socket sends datagrams that name it as the reply address and collects what comes back: the
    4-byte count sent on receipt and the receipt sent once the message is stored. At most `window`
    datagrams are out without a count, so the sender keeps pace with what the program reads. Counts that
    stall for STALL seconds (a program killed, or gone) let another window go out: a shorter wait would
    pile datagrams up in the socket while the program merely waits for room in its queue."""

    letter = "u"
    name = "UDP"
    RECEIPT = re.compile(rb"^NOTIFY_MESSAGE\0#0[^\0]*?\bU(\d+)\b")
    STALL = 2.0

    def __init__(self, port: int, window: int = 64):
        super().__init__()
        self.counts = 0
        self.unknown_receipts = 0
        self._port = port
        self._window = window
        self._sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self._sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4 << 20)
        self._sock.bind(("127.0.0.1", 0))
        self._sock.settimeout(0.2)
        self._reply_address = f"127.0.0.1:{self._sock.getsockname()[1]}u".encode()
        self._counted = threading.Condition(self._lock)
        self._closing = False
        self._collector = threading.Thread(target=self._collect, name="UDP-replies", daemon=True)

    def start(self) -> None:
        self._collector.start()
        super().start()

    def text(self, key: str) -> bytes:
        # The receipt names the text between " to " and the line end: U<key> tells whose receipt it is.
        return f"flood-u-{key} to U{key}.\r\n{_filler(int(key), 300)}".encode()

    def datagram(self, key: int) -> bytes:
        return (b"MESSAGE\0#0" + self.text(str(key)) + b"\0#1" + SENDER.encode() + b"\0#2\0#30\0#4\0#5"
                + self._reply_address + b"\0#6\0")

    def _work(self) -> None:
        uncounted_from = 0  # datagrams sent before this many are taken for lost once counts stall
        last_count, counts_seen = time.monotonic(), 0
        while not self._stopping.is_set():
            with self._counted:
                if self.counts != counts_seen:
                    last_count, counts_seen = time.monotonic(), self.counts
                if self.sent - max(self.counts, uncounted_from) >= self._window:
                    if not self._counted.wait(0.2) and time.monotonic() - last_count > self.STALL:
                        uncounted_from = self.sent
                        last_count = time.monotonic()
                    continue
            key = next(self._next_key)
            try:
                self._sock.sendto(self.datagram(key), ("127.0.0.1", self._port))
            except OSError:
                time.sleep(0.05)  # a full send buffer; the datagram counts as not sent
                continue
            with self._lock:
                self.sent += 1

    def _collect(self) -> None:
        while not self._closing:
            try:
                data = self._sock.recv(70000)
            except socket.timeout:
                continue
            except OSError:
                return
            with self._counted:
                if len(data) == 4:
                    self.counts += 1
                    self._counted.notify_all()
                    continue
                found = self.RECEIPT.match(data)
                if found:
                    self.confirmed.add(found.group(1).decode())
                else:
                    self.unknown_receipts += 1

    def finish(self, timeout: float = 5) -> None:
        """Receipts may still come while the program ends: call this once it has ended."""
        super().finish(timeout)
        time.sleep(0.5)
        self._closing = True
        self._collector.join(timeout)
        self._sock.close()


class TcpFlood(Flood):
    """Clients side by side, one connection per message; a message is confirmed by the byte count."""

    letter = "t"
    name = "TCP"

    def __init__(self, port: int, clients: int = 6):
        super().__init__(clients)
        self._port = port

    def text(self, key: str) -> bytes:
        return f"flood-t-{key} {_filler(int(key), 400)}".encode()

    def _send_one(self, key: int) -> None:
        message = b"/$0" + self.text(str(key)) + b"/$1" + SENDER.encode() + b"/$2/$30/$4/$5/$6/$7"
        try:
            connection = socket.create_connection(("127.0.0.1", self._port), timeout=ANSWER_TIMEOUT)
        except OSError:
            time.sleep(0.05)
            return
        with connection:
            try:
                connection.sendall(message)
            except OSError:
                return
            answer = b""
            try:
                connection.shutdown(socket.SHUT_WR)
                while chunk := connection.recv(100):
                    answer += chunk
            except OSError:
                pass
        self._count(key if answer == str(len(message)).encode() else None)


def netbios_name(name: str, suffix: int) -> bytes:
    """A NetBIOS name, first-level encoded as a session request carries it."""
    raw = name.upper().encode()[:15].ljust(15) + bytes([suffix])
    return bytes([32]) + bytes(b for c in raw for b in (0x41 + (c >> 4), 0x41 + (c & 0x0F))) + b"\0"


def smb_block(command: int, words: bytes, area: bytes) -> bytes:
    """A session message carrying one SMB message block."""
    smb = b"\xffSMB" + bytes([command]) + bytes(27) + bytes([len(words) // 2]) + words \
        + struct.pack("<H", len(area)) + area
    return bytes([0, 0]) + struct.pack(">H", len(smb)) + smb


class MessengerFlood(Flood):
    """Callers side by side, one NetBIOS session per message: a session request for the computer name,
    then the single block 0xD0 (even keys) or 0xD5, 0xD7 text blocks of at most 127 bytes and 0xD6 (odd
    keys). A message is confirmed by the answer to 0xD0 or to 0xD6."""

    letter = "n"
    name = "Messenger"
    headed = True
    GROUP = struct.pack("<H", 0x0101)
    SINGLE_MOST = 100
    TEXT_BLOCK = 127

    def __init__(self, port: int, computer: str, callers: int = 6):
        super().__init__(callers)
        self._port = port
        self._computer = computer
        self._names = b"\x04" + SENDER.encode() + b"\0\x04" + computer.encode() + b"\0"

    def text(self, key: str) -> bytes:
        most = self.SINGLE_MOST if int(key) % 2 == 0 else 400
        return f"flood-n-{key} {_filler(int(key), most - 20)}".encode()

    def _send_one(self, key: int) -> None:
        text = self.text(str(key))
        try:
            connection = socket.create_connection(("127.0.0.1", self._port), timeout=ANSWER_TIMEOUT)
        except OSError:
            time.sleep(0.05)
            return
        with connection:
            try:
                request = netbios_name(self._computer, 0x03) + netbios_name(SENDER, 0x00)
                connection.sendall(bytes([0x81, 0]) + struct.pack(">H", len(request)) + request)
                if _receive_exactly(connection, 4)[0] != 0x82:
                    self._count(None, sent=False)
                    return
                if key % 2 == 0:
                    area = self._names + b"\x01" + struct.pack("<H", len(text)) + text
                    answered = self._exchange(connection, smb_block(0xD0, b"", area), 0xD0)
                else:
                    answered = self._exchange(connection, smb_block(0xD5, b"", self._names), 0xD5)
                    for start in range(0, len(text), self.TEXT_BLOCK):
                        if not answered:
                            break
                        part = text[start:start + self.TEXT_BLOCK]
                        area = b"\x01" + struct.pack("<H", len(part)) + part
                        answered = self._exchange(connection, smb_block(0xD7, self.GROUP, area), 0xD7)
                    answered = answered and self._exchange(connection, smb_block(0xD6, self.GROUP, b""), 0xD6)
            except OSError:
                answered = False
        self._count(key if answered else None)

    @staticmethod
    def _exchange(connection: socket.socket, block: bytes, command: int) -> bool:
        """Sends a block and reads its answer: the same command and no error."""
        connection.sendall(block)
        header = _receive_exactly(connection, 4)
        if header[0] != 0:
            return False
        answer = _receive_exactly(connection, struct.unpack(">H", header[2:])[0])
        return answer[:4] == b"\xffSMB" and answer[4] == command and answer[5:9] == bytes(4)


def _receive_exactly(connection: socket.socket, size: int) -> bytes:
    data = b""
    while len(data) < size:
        chunk = connection.recv(size - len(data))
        if not chunk:
            raise ConnectionError("the session ended")
        data += chunk
    return data


class MailslotFlood(Flood):
    """mailslot-flood.exe in the Wine session, one batch after another: datagram i of batch b says
    flood-m-<b>-<i>. Nothing is confirmed; sent counts what the tool reports written."""

    letter = "m"
    name = "mailslot"
    confirms = False
    headed = True
    WRITTEN = re.compile(rb"written (\d+)")

    def __init__(self, session, recipient: str, batch: int = 200):
        super().__init__()
        self._session = session
        self._recipient = recipient
        self._batch = batch

    def text(self, key: str) -> bytes:
        return f"flood-m-{key}".encode()

    def _send_one(self, key: int) -> None:
        try:
            result = self._session.run(["mailslot-flood.exe", self._batch, SENDER, self._recipient,
                                        f"flood-m-{key}"], timeout=120)
        except Exception:  # the session is ending, or Wine could not start the tool
            time.sleep(0.5)
            return
        written = self.WRITTEN.search(result.stdout)
        with self._lock:
            self.sent += int(written.group(1)) if written else 0
        if not written or written.group(1) == b"0":
            time.sleep(0.5)  # the mailslot is not open yet, or no longer


@dataclass
class StoredFlood:
    """The flood messages found in the stored files: by letter, then by key, the texts of their files."""

    texts: dict[str, dict[str, list[bytes]]] = field(default_factory=dict)

    @classmethod
    def read(cls, data_dir: Path) -> "StoredFlood":
        found = cls()
        for path in message_files(data_dir):
            text = read_message(path.read_bytes()).text
            tag = TAG.search(text)
            if tag:
                letter, key = tag.group(1).decode(), tag.group(2).decode()
                found.texts.setdefault(letter, {}).setdefault(key, []).append(text)
        return found


@dataclass
class Tally:
    """One flood held against the stored files."""

    name: str
    sent: int
    confirmed: int | None  # None: the transport confirms nothing
    stored: int
    lost: list[str]  # confirmed, but not stored
    altered: list[str]  # stored with another text than was sent
    doubled: list[str]  # stored more than once

    def line(self) -> str:
        confirmed = "-" if self.confirmed is None else str(self.confirmed)
        return (f"{self.name:<10} sent {self.sent:>6}  confirmed {confirmed:>6}  stored {self.stored:>6}  "
                f"lost {len(self.lost):>4}  altered {len(self.altered):>4}  stored twice {len(self.doubled):>4}")


def tally(flood: Flood, stored: StoredFlood) -> Tally:
    texts = stored.texts.get(flood.letter, {})
    altered = []
    for key, copies in texts.items():
        expected = flood.text(key)
        for text in copies:
            # A Messenger transport's heading ends with the first empty line.
            if (text.partition(b"\r\n\r\n")[2] if flood.headed else text) != expected:
                altered.append(key)
                break
    return Tally(flood.name, flood.sent, len(flood.confirmed) if flood.confirms else None, len(texts),
                 sorted(flood.confirmed - texts.keys(), key=_key_order), sorted(altered, key=_key_order),
                 sorted((k for k, copies in texts.items() if len(copies) > 1), key=_key_order))


def _key_order(key: str) -> list[int]:
    return [int(part) for part in key.split("-")]
