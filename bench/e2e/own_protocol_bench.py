"""The own protocol under load, each message counted once its file is on disk: a burst of 1,000 UDP
datagrams sent back to back, and TCP messages from one client, one connection after another (each
waits for the receiver's answer, as a sender does). Each round starts from an empty messages folder."""

from __future__ import annotations

import socket
import time

from bench_support import (Figure, StoredFiles, WineSession, free_port, median, start_tavik,
                           write_settings)

BURST = 1000
TCP_COUNT = 300


def udp_datagram(index: int, reply: bytes) -> bytes:
    text = f"Message from BENCH to ANN.\r\nbench-u{index} ".encode() + b"." * 80
    return b"MESSAGE\0#0" + text + b"\0#1BENCH\0#2\0#30\0#4\0#5" + reply + b"\0#6\0"


def tcp_message(index: int) -> bytes:
    text = f"Message from BENCH to ANN.\r\nbench-t{index} ".encode() + b"." * 80
    return b"/$0" + text + b"/$1BENCH/$2/$30/$4/$5/$6/$7"


def empty(files: StoredFiles) -> None:
    for path in files.folder.glob("*.qms"):
        path.unlink()


def udp_burst(port: int, files: StoredFiles) -> tuple[int, float]:
    """Stored count and seconds from the first datagram to the last file."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sender, \
            socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as receipts:
        sender.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4 << 20)
        receipts.bind(("127.0.0.1", 0))  # receipts land here unread, as at a busy sender
        reply = f"127.0.0.1:{receipts.getsockname()[1]}u".encode()
        datagrams = [udp_datagram(i, reply) for i in range(BURST)]
        started = time.monotonic()
        for datagram in datagrams:
            sender.sendto(datagram, ("127.0.0.1", port))
        stored, last = files.wait_for(BURST)
    return stored, last - started


def tcp_sequence(port: int, files: StoredFiles) -> tuple[int, int, float]:
    """Answered and stored counts, and seconds from the first connection to the last file."""
    answered = 0
    started = time.monotonic()
    for i in range(TCP_COUNT):
        message = tcp_message(i)
        with socket.create_connection(("127.0.0.1", port), timeout=30) as connection:
            connection.sendall(message)
            connection.shutdown(socket.SHUT_WR)
            answer = b""
            while chunk := connection.recv(100):
                answer += chunk
        answered += answer == str(len(message)).encode()
    stored, last = files.wait_for(TCP_COUNT)
    return answered, stored, last - started


def run(rounds: int = 3) -> list[Figure]:
    session = WineSession()
    tavik = None
    try:
        udp_port, tcp_port = free_port(), free_port()
        while tcp_port == udp_port:
            tcp_port = free_port()
        write_settings(session, UDPPort=udp_port, TCPPort=tcp_port, NetbiosPort=free_port())
        tavik = start_tavik(session)
        files = StoredFiles(session.data_dir() / "messages", ".qms")
        udp_rates, udp_stored, tcp_rates, tcp_answered, tcp_stored = [], [], [], [], []
        for _ in range(rounds):
            empty(files)
            stored, seconds = udp_burst(udp_port, files)
            udp_stored.append(stored)
            udp_rates.append(stored / seconds)
            empty(files)
            answered, stored, seconds = tcp_sequence(tcp_port, files)
            tcp_answered.append(answered)
            tcp_stored.append(stored)
            tcp_rates.append(stored / seconds)
        return [
            Figure("own protocol", f"UDP burst of {BURST}, stored", median(udp_rates), "msg/s",
                   f"{rounds} runs; stored per burst: {', '.join(map(str, udp_stored))}"),
            Figure("own protocol", "TCP from one client, stored", median(tcp_rates), "msg/s",
                   f"{rounds} runs of {TCP_COUNT}; answered {', '.join(map(str, tcp_answered))}; "
                   f"stored {', '.join(map(str, tcp_stored))}"),
        ]
    finally:
        if tavik is not None:
            tavik.stop()
        session.close()


if __name__ == "__main__":
    from bench_table import print_table
    print_table(run(rounds=1))
