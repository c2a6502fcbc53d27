"""Junk for every transport, sent as fast as the senders go: random datagrams to the UDP port, random
streams to the TCP port, random datagrams to the mailslot (through mailslot-datagrams.exe), and random
blocks after a valid session request to the Messenger port. Some of it is random bytes alone, some is
random bytes around the transport's own markers, so the parsers are driven past their first checks.
Everything goes to 127.0.0.1."""

from __future__ import annotations

import random
import re
import socket
import struct
import threading
import time

from floods import netbios_name
from soak_tavik import SoakTavik

UDP_MARKS = [b"\0#" + bytes([c]) for c in b"0123456789"] + [b"MESSAGE", b"NOTIFY_MESSAGE", b":", b"u"]
TCP_MARKS = [b"/$" + bytes([c]) for c in b"01234567"] + [b"\n", b"\0", b":"]
SMB_COMMANDS = [0xD0, 0xD5, 0xD6, 0xD7]


def marker_soup(chance: random.Random, marks: list[bytes], most: int) -> bytes:
    """Random pieces with the transport's markers between them."""
    size, pieces, total = chance.randrange(most + 1), [], 0
    while total < size:
        pieces.append(chance.choice(marks) if chance.random() < 0.4 else chance.randbytes(chance.randrange(40)))
        total += len(pieces[-1])
    return b"".join(pieces)


class Junk:
    """Threads that send junk until stopped; `sent` counts the pieces that went out."""

    name = ""
    threads = 1

    def __init__(self, seed: int):
        self.sent = 0
        self._seed = seed
        self._lock = threading.Lock()
        self._stopping = threading.Event()
        self._workers: list[threading.Thread] = []

    def start(self) -> None:
        for number in range(self.threads):
            chance = random.Random(f"{self._seed}-{self.name}-{number}")
            worker = threading.Thread(target=self._work, args=(chance,), name=f"junk-{self.name}", daemon=True)
            worker.start()
            self._workers.append(worker)

    def stop(self, timeout: float = 30) -> None:
        self._stopping.set()
        deadline = time.monotonic() + timeout
        for worker in self._workers:
            worker.join(max(0.0, deadline - time.monotonic()))

    def _work(self, chance: random.Random) -> None:
        while not self._stopping.is_set():
            try:
                sent = self._send(chance)
            except OSError:
                sent = 0
                time.sleep(0.01)
            with self._lock:
                self.sent += sent

    def _send(self, chance: random.Random) -> int:
        raise NotImplementedError


class UdpJunk(Junk):
    name = "UDP"
    threads = 2

    def __init__(self, seed: int, port: int):
        super().__init__(seed)
        self._port = port

    def _send(self, chance: random.Random) -> int:
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sock:
            sock.bind(("127.0.0.1", 0))  # its counts and any receipt come back here, and are left unread
            for _ in range(200):
                kind = chance.random()
                if kind < 0.45:
                    datagram = chance.randbytes(chance.randrange(1500))
                elif kind < 0.95:
                    datagram = marker_soup(chance, UDP_MARKS, 1500)
                else:
                    datagram = chance.randbytes(chance.randrange(65280, 65508))  # over the size limit
                sock.sendto(datagram, ("127.0.0.1", self._port))
        return 200


class TcpJunk(Junk):
    """One connection per stream; half end their sending side and read the answer, a quarter close at
    once, a quarter reset the connection."""

    name = "TCP"
    threads = 8

    def __init__(self, seed: int, port: int):
        super().__init__(seed)
        self._port = port

    def _send(self, chance: random.Random) -> int:
        stream = chance.randbytes(chance.randrange(4096)) if chance.random() < 0.4 \
            else marker_soup(chance, TCP_MARKS, 4096 if chance.random() < 0.9 else 70000)
        with socket.create_connection(("127.0.0.1", self._port), timeout=5) as connection:
            connection.sendall(stream)
            ending = chance.random()
            if ending < 0.5:
                connection.shutdown(socket.SHUT_WR)
                while connection.recv(100):
                    pass
            elif ending < 0.75:
                connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        return 1


class SessionJunk(Junk):
    """A valid session request for the computer name, then random session messages: SMB message blocks
    with random fields, random bytes, other session packet types, a length that promises more than
    comes. Answers are read and dropped."""

    name = "Messenger"
    threads = 8

    def __init__(self, seed: int, tavik: SoakTavik):
        super().__init__(seed)
        self._port = tavik.netbios_port
        self._request = tavik.session_request()

    @staticmethod
    def _block(chance: random.Random) -> bytes:
        kind = chance.random()
        if kind < 0.6:
            command = chance.choice(SMB_COMMANDS) if chance.random() < 0.9 else chance.randrange(256)
            words = chance.randbytes(2 * chance.randrange(4))
            area = marker_soup(chance, [b"\x04", b"\x01", b"\0", b"FLOOD\0", b"\x01\x01"], 300)
            area_size = len(area) if chance.random() < 0.8 else chance.randrange(65536)
            smb = b"\xffSMB" + bytes([command]) + chance.randbytes(27) + bytes([len(words) // 2]) + words \
                + struct.pack("<H", area_size) + area
        else:
            smb = chance.randbytes(chance.randrange(600))
        packet_type = 0 if chance.random() < 0.9 else chance.choice([0x85, 0x81, 0x82, 0x83, chance.randrange(256)])
        length = len(smb) if chance.random() < 0.95 else len(smb) + chance.randrange(1, 1000)
        return bytes([packet_type, 0]) + struct.pack(">H", length & 0xFFFF) + smb

    def _send(self, chance: random.Random) -> int:
        with socket.create_connection(("127.0.0.1", self._port), timeout=5) as connection:
            connection.sendall(self._request)
            if connection.recv(4)[:1] != b"\x82":
                return 0
            connection.settimeout(0.05)
            sent = 0
            for _ in range(chance.randrange(1, 20)):
                connection.sendall(self._block(chance))
                sent += 1
                try:
                    if not connection.recv(4096):
                        break  # hung up
                except socket.timeout:
                    pass
        return sent


class MailslotJunk(Junk):
    """Batches of random datagrams through mailslot-datagrams.exe, one Wine process per batch. Mostly
    short, so few hold the two NULs that make a datagram a message."""

    name = "mailslot"
    BATCH = 1000
    WRITTEN = re.compile(rb"written (\d+)")

    def __init__(self, seed: int, wine):
        super().__init__(seed)
        self._wine = wine

    def _send(self, chance: random.Random) -> int:
        records = []
        for _ in range(self.BATCH):
            datagram = chance.randbytes(chance.randrange(200)) if chance.random() < 0.8 \
                else marker_soup(chance, [b"\0", b"\x14", b"SOAK\0"], 400)
            records.append(struct.pack("<I", len(datagram)) + datagram)
        result = self._wine.run(["mailslot-datagrams.exe"], input=b"".join(records), timeout=120)
        written = self.WRITTEN.search(result.stdout)
        if not written or written.group(1) == b"0":
            time.sleep(0.5)
        return int(written.group(1)) if written else 0
