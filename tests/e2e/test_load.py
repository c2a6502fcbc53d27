"""Tavik under load, in one running program: paced and burst UDP, sequential TCP, a mailslot flood and
a very long one-line message. Every message the program confirms (byte count, delivery receipt) must be
stored and counted in the title; nothing may hold the next message back for long. The rates are printed,
never asserted."""

from __future__ import annotations

import re
import socket
import threading
import time
from dataclasses import dataclass, field
from pathlib import Path

import pytest

from stored_messages import message_files
from tavik_harness import SETTINGS_KEY, TavikProcess, WineSession, free_port, wait_until

START_TIMEOUT = 60
# A part is over when everything arrived, or when nothing more arrived for this long.
IDLE_LIMIT = 8
PART_LIMIT = 120

PACED_COUNT = 300
PACED_GAP = 0.010
BURST_COUNT = 1000
BURST_COUNTED_AT_LEAST = 990
TCP_COUNT = 500
SLOT_COUNT = 200
SLOT_LIMIT = 10
LONG_TEXT_BYTES = 65000
SHORT_AFTER = 0.5
SHORT_LIMIT = 3

TAG = re.compile(rb"load-([a-z]+)-(\d+)")
RECEIPT_TARGET = re.compile(rb"^NOTIFY_MESSAGE\0#0Message to ([A-Z])(\d{4}) ")
TITLE_COUNT = re.compile(r" of (\d+)$")


def udp_datagram(text: bytes, name: bytes, reply: bytes) -> bytes:
    return b"MESSAGE\0#0" + text + b"\0#1" + name + b"\0#2\0#30\0#4\0#5" + reply + b"\0#6\0"


def tcp_message(text: bytes, name: bytes) -> bytes:
    return b"/$0" + text + b"/$1" + name + b"/$2/$30/$4/$5/$6/$7"


def tagged_text(part: str, letter: str, index: int, padding: int = 0) -> bytes:
    """A message whose heading names the recipient <letter><index> (the receipt repeats it) and whose body
    carries load-<part>-<index> (the stored file shows it); padding makes the length unique to the index."""
    return f"Message from LOAD to {letter}{index:04d}.\r\nload-{part}-{index} ".encode() + b"." * padding


class Stored:
    """The tags of the stored message files (load-<part>-<index>), read once per file."""

    def __init__(self, data_dir: Path):
        self.folder = data_dir / "messages"
        self._tags: dict[str, tuple[str, int]] = {}

    def file_count(self) -> int:
        try:
            return sum(1 for entry in self.folder.iterdir() if entry.name.lower().endswith(".qms"))
        except FileNotFoundError:
            return 0

    def indices(self, part: str) -> set[int]:
        for path in message_files(self.folder.parent):
            if path.name in self._tags:
                continue
            try:
                found = TAG.search(path.read_bytes())
            except OSError:
                continue
            if found:  # a file still being written is read again next time
                self._tags[path.name] = (found.group(1).decode(), int(found.group(2)))
        return {index for tagged_part, index in self._tags.values() if tagged_part == part}


@dataclass
class Receiver:
    session: WineSession
    tavik: TavikProcess
    window: int
    udp_port: int
    tcp_port: int
    stored: Stored

    def title_count(self) -> int:
        found = TITLE_COUNT.search(self.session.window_name(self.window))
        return int(found.group(1)) if found else 0

    def settle(self, done, limit: float = PART_LIMIT) -> float:
        """Waits until done() holds, or until the stored files stop growing for IDLE_LIMIT seconds;
        returns when the file count last grew (time.monotonic())."""
        started = time.monotonic()
        last_count, last_growth = self.stored.file_count(), started
        while not done() and time.monotonic() - started < limit:
            time.sleep(0.25)
            count = self.stored.file_count()
            if count != last_count:
                last_count, last_growth = count, time.monotonic()
            elif time.monotonic() - last_growth >= IDLE_LIMIT:
                break
        return last_growth

    def check_title_counts_files(self) -> None:
        """The title counts exactly the messages stored so far (it may trail the files a little)."""
        try:
            wait_until(lambda: self.title_count() == self.stored.file_count(), 30, 0.25, "the title to catch up")
        except TimeoutError:
            pass
        assert self.title_count() == self.stored.file_count(), "the title count differs from the stored files"


@dataclass
class UdpPeer:
    """A sending socket whose count replies and receipts are collected by a thread."""

    sock: socket.socket
    counts: list[int] = field(default_factory=list)
    receipts: list[bytes] = field(default_factory=list)
    _stop: bool = False
    _thread: threading.Thread | None = None

    @classmethod
    def open(cls) -> "UdpPeer":
        sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4 << 20)
        sock.bind(("127.0.0.1", 0))
        sock.settimeout(0.2)
        peer = cls(sock)
        peer._thread = threading.Thread(target=peer._collect, daemon=True)
        peer._thread.start()
        return peer

    @property
    def reply_address(self) -> bytes:
        return f"127.0.0.1:{self.sock.getsockname()[1]}u".encode()

    def _collect(self) -> None:
        while not self._stop:
            try:
                data, _ = self.sock.recvfrom(70000)
            except socket.timeout:
                continue
            except OSError:
                return
            if len(data) == 4:
                self.counts.append(int.from_bytes(data, "little"))
            else:
                self.receipts.append(data)

    def receipt_targets(self, letter: str) -> set[int]:
        found = (RECEIPT_TARGET.match(r) for r in self.receipts)
        return {int(m.group(2)) for m in found if m and m.group(1).decode() == letter}

    def close(self) -> None:
        self._stop = True
        if self._thread is not None:
            self._thread.join(5)
        self.sock.close()


@pytest.fixture(scope="module")
def receiver():
    """One Tavik for the whole file, with sound and tray blinking as installed, the list limit lifted,
    and its own ports; both listeners have answered once before the parts start."""
    session = WineSession()
    tavik = None
    try:
        udp_port = free_port()
        tcp_port = free_port()
        while tcp_port == udp_port:
            tcp_port = free_port()
        session.reg_add(SETTINGS_KEY)
        session.reg_add(SETTINGS_KEY, "UDPPort", "REG_DWORD", udp_port)
        session.reg_add(SETTINGS_KEY, "TCPPort", "REG_DWORD", tcp_port)
        session.reg_add(SETTINGS_KEY, "MessageCountLimit", "REG_DWORD", 100000)
        tavik = session.start_tavik()
        window = tavik.wait_for_main_window(START_TIMEOUT, visible_only=True)
        found = Receiver(session, tavik, window, udp_port, tcp_port, Stored(session.data_dir()))
        wait_for_listeners(found)
        yield found
    finally:
        try:
            if tavik is not None:
                tavik.stop()
        finally:
            session.close()


def wait_for_listeners(receiver: Receiver) -> None:
    """Both listeners answer a message they then drop (no field markers), so nothing is stored."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        probe.bind(("127.0.0.1", 0))
        probe.settimeout(1)

        def udp_answers():
            probe.sendto(b"ping", ("127.0.0.1", receiver.udp_port))
            try:
                return probe.recvfrom(100)[0] == (4).to_bytes(4, "little")
            except socket.timeout:
                return False

        wait_until(udp_answers, START_TIMEOUT, 0, "the UDP listener")

    def tcp_answers():
        try:
            return send_tcp(receiver.tcp_port, b"ping") == b"4"
        except OSError:
            return False

    wait_until(tcp_answers, START_TIMEOUT, 0.25, "the TCP listener")
    assert receiver.stored.file_count() == 0


def send_tcp(port: int, message: bytes, timeout: float = 30) -> bytes:
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as connection:
        connection.sendall(message)
        connection.shutdown(socket.SHUT_WR)
        answer = b""
        while chunk := connection.recv(4096):
            answer += chunk
        return answer


def report(receiver: Receiver, part: str, started: float, finished: float, stored: int, **counts) -> None:
    elapsed = max(finished - started, 1e-3)
    details = "".join(f"{name} {value}, " for name, value in counts.items())
    print(f"\nload {part}: {details}stored {stored} in {elapsed:.1f} s: {stored / elapsed:.1f} stored/s "
          f"(title counts {receiver.title_count()}, {receiver.stored.file_count()} files in all)")


def send_udp_part(receiver: Receiver, part: str, letter: str, count: int, gap: float):
    """Sends count datagrams (gap seconds apart, or back to back) from one socket that names itself as
    the reply address; waits until they are all counted and stored or arrivals stop. Returns the indices
    counted, stored and receipted, and the times of the first send and of the last stored file."""
    peer = UdpPeer.open()
    try:
        datagrams = [udp_datagram(tagged_text(part, letter, i, padding=i), b"LOAD", peer.reply_address)
                     for i in range(count)]
        index_of_length = {len(d): i for i, d in enumerate(datagrams)}
        assert len(index_of_length) == count
        files_before = receiver.stored.file_count()
        address = ("127.0.0.1", receiver.udp_port)
        started = time.monotonic()
        for i, datagram in enumerate(datagrams):
            if gap:
                delay = started + i * gap - time.monotonic()
                if delay > 0:
                    time.sleep(delay)
            peer.sock.sendto(datagram, address)
        last_growth = receiver.settle(
            lambda: len(peer.counts) >= count and receiver.stored.file_count() >= files_before + count)
        # A receipt goes out after its message was handed on: give the last ones a moment.
        deadline = time.monotonic() + 3
        while len(peer.receipts) < count and time.monotonic() < deadline:
            time.sleep(0.1)
    finally:
        peer.close()
    counted = {index_of_length[n] for n in peer.counts if n in index_of_length}
    return counted, receiver.stored.indices(part), peer.receipt_targets(letter), started, last_growth


def test_paced_udp_messages_are_all_counted_stored_and_receipted_only_when_stored(receiver):
    counted, stored, receipted, started, finished = send_udp_part(receiver, "p", "P", PACED_COUNT, PACED_GAP)
    report(receiver, "paced UDP", started, finished, len(stored), sent=PACED_COUNT, counted=len(counted),
           receipts=len(receipted))
    assert receipted <= stored, f"{len(receipted - stored)} receipts for messages that were never stored"
    assert len(counted) == PACED_COUNT, f"{PACED_COUNT - len(counted)} datagrams got no count"
    assert len(stored) == PACED_COUNT, f"{PACED_COUNT - len(stored)} messages were not stored"
    receiver.check_title_counts_files()


def test_a_udp_burst_is_counted_and_every_counted_message_stored(receiver):
    counted, stored, receipted, started, finished = send_udp_part(receiver, "b", "B", BURST_COUNT, 0)
    report(receiver, "UDP burst", started, finished, len(stored), sent=BURST_COUNT, counted=len(counted),
           receipts=len(receipted))
    assert counted <= stored, f"{len(counted - stored)} datagrams counted but never stored"
    assert receipted <= stored, f"{len(receipted - stored)} receipts for messages that were never stored"
    assert len(counted) >= BURST_COUNTED_AT_LEAST, f"only {len(counted)} of {BURST_COUNT} counted"
    receiver.check_title_counts_files()


def test_sequential_tcp_messages_are_all_answered_and_stored(receiver):
    files_before = receiver.stored.file_count()
    answered = 0
    started = time.monotonic()
    for i in range(TCP_COUNT):
        message = tcp_message(tagged_text("t", "T", i), b"LOAD")
        if send_tcp(receiver.tcp_port, message) == str(len(message)).encode():
            answered += 1
    sent = time.monotonic()
    finished = receiver.settle(lambda: receiver.stored.file_count() >= files_before + TCP_COUNT)
    stored = receiver.stored.indices("t")
    print(f"\nload TCP: {TCP_COUNT} connections answered in {sent - started:.1f} s")
    report(receiver, "TCP", started, finished, len(stored), sent=TCP_COUNT, answered=answered)
    assert answered == TCP_COUNT
    assert len(stored) == TCP_COUNT, f"{TCP_COUNT - len(stored)} answered messages were not stored"
    receiver.check_title_counts_files()


def test_a_short_message_is_not_held_back_by_a_long_single_line_one(receiver):
    files_before = receiver.stored.file_count()
    long_text = b"load-long-0 " + b"x" * (LONG_TEXT_BYTES - len(b"load-long-0 "))
    long_message = tcp_message(long_text, b"LOAD")
    started = time.monotonic()
    assert send_tcp(receiver.tcp_port, long_message) == str(len(long_message)).encode()
    time.sleep(SHORT_AFTER)
    short = udp_datagram(b"load-short-0", b"LOAD", b"")
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as peer:
        peer.bind(("127.0.0.1", 0))
        peer.settimeout(30)
        short_sent = time.monotonic()
        peer.sendto(short, ("127.0.0.1", receiver.udp_port))
        counted = peer.recvfrom(100)[0] == len(short).to_bytes(4, "little")

    # Both are shown in the end, however late: the next part starts from a window that has caught up.
    long_stored = short_shown = None
    while time.monotonic() - short_sent < PART_LIMIT and (long_stored is None or short_shown is None):
        now = time.monotonic()
        if long_stored is None and receiver.stored.indices("long") == {0}:
            long_stored = now - started
        if short_shown is None and receiver.stored.indices("short") == {0} \
                and receiver.title_count() >= files_before + 2:
            short_shown = now - short_sent
        time.sleep(0.1)
    shown = "never" if short_shown is None else f"{short_shown:.1f} s after it was sent"
    stored = "never" if long_stored is None else f"{long_stored:.1f} s after it was sent"
    print(f"\nload long text: the {LONG_TEXT_BYTES}-byte line stored {stored}; the short message stored and "
          f"counted {shown}")
    assert counted, "the short datagram got no count"
    assert long_stored is not None, "the long message was not stored"
    assert short_shown is not None and short_shown <= SHORT_LIMIT, \
        f"the short message was not stored and counted within {SHORT_LIMIT} s"
    receiver.check_title_counts_files()


def test_a_mailslot_flood_is_taken_at_once(receiver):
    session = receiver.session
    logs_before = set(session.workdir.glob("mailslot-flood-*.log"))
    flood = session.start(["mailslot-flood.exe", SLOT_COUNT, "SLOT", "BOB", "load-s"])
    log = wait_until(lambda: [p for p in session.workdir.glob("mailslot-flood-*.log") if p not in logs_before],
                     30, 0.1, "the flood's log")[0]
    wait_until(lambda: flood.poll() is not None or b"writing" in log.read_bytes(), START_TIMEOUT, 0.05,
               "the flood to open the mailslot")
    started = time.monotonic()
    try:
        wait_until(lambda: len(receiver.stored.indices("s")) >= SLOT_COUNT, SLOT_LIMIT, 0.25, "the mailslot flood")
    except TimeoutError:
        pass
    finished = time.monotonic()
    stored = receiver.stored.indices("s")
    report(receiver, "mailslot", started, finished, len(stored), sent=SLOT_COUNT)
    written = re.search(rb"written (\d+)", log.read_bytes())
    print(f"load mailslot: the flood {'wrote ' + written.group(1).decode() if written else 'was still writing'}")
    assert len(stored) == SLOT_COUNT, f"{SLOT_COUNT - len(stored)} datagrams not stored within {SLOT_LIMIT} s"
    assert flood.wait(timeout=60) == 0, log.read_bytes()
    receiver.check_title_counts_files()
