"""Tavik flooded on all four transports at once, then a logoff in the middle of it: every message the
program confirmed (UDP delivery receipt, TCP byte count, Messenger answer to the single or the end
block) is stored byte for byte and once, and the logoff still ends the program promptly and cleanly.
The figures of each transport are printed, never asserted."""

from __future__ import annotations

import socket
import struct
import subprocess
import time

from floods import MailslotFlood, MessengerFlood, StoredFlood, TcpFlood, UdpFlood, netbios_name, tally
from tavik_harness import SETTINGS_KEY, free_port, wait_until

FLOOD_SECONDS = 20
START_TIMEOUT = 90
LOGOFF_LIMIT = 10
# How long the test waits for the end before it kills the program and looks at what is stored.
END_WAIT = 30
SHOWN_KEYS = 20


def computer_name(wine) -> str:
    return wine.run(["cmd", "/c", "echo %COMPUTERNAME%"]).stdout.decode().strip()


def distinct_ports(count: int) -> list[int]:
    ports: list[int] = []
    while len(ports) < count:
        port = free_port()
        if port not in ports:
            ports.append(port)
    return ports


def wait_for_listeners(udp_port: int, tcp_port: int, netbios_port: int, computer: str) -> None:
    """Each listener answers a probe that stores nothing: a datagram and a connection without field
    markers, a session request with no message after it."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        probe.bind(("127.0.0.1", 0))
        probe.settimeout(1)

        def udp_answers():
            probe.sendto(b"ping", ("127.0.0.1", udp_port))
            try:
                return probe.recvfrom(100)[0] == (4).to_bytes(4, "little")
            except socket.timeout:
                return False

        wait_until(udp_answers, START_TIMEOUT, 0, "the UDP listener")

    def tcp_answers():
        try:
            with socket.create_connection(("127.0.0.1", tcp_port), timeout=10) as connection:
                connection.sendall(b"ping")
                connection.shutdown(socket.SHUT_WR)
                return connection.recv(100) == b"4"
        except OSError:
            return False

    wait_until(tcp_answers, START_TIMEOUT, 0.25, "the TCP listener")

    def session_answers():
        request = netbios_name(computer, 0x03) + netbios_name("PROBE", 0x00)
        try:
            with socket.create_connection(("127.0.0.1", netbios_port), timeout=10) as connection:
                connection.sendall(bytes([0x81, 0]) + struct.pack(">H", len(request)) + request)
                return connection.recv(4)[:1] == b"\x82"
        except OSError:
            return False

    wait_until(session_answers, START_TIMEOUT, 0.25, "the Messenger session port")


def logoff_and_time(wine, tavik) -> float | None:
    """Logs off; returns how long Tavik took to end from the logoff's start, or None when it had not ended
    after END_WAIT seconds: then it is killed, so the files show what a crash at that moment would leave."""
    started = time.monotonic()
    logoff = wine.start(["wineboot", "-e"])
    took = None
    try:
        tavik.popen.wait(timeout=END_WAIT)
        took = time.monotonic() - started
    except subprocess.TimeoutExpired:
        tavik.kill()
    try:
        logoff.wait(timeout=END_WAIT)
    except subprocess.TimeoutExpired:
        pass  # the session's close ends it
    return took


def test_every_confirmed_message_of_a_four_transport_flood_is_stored_once_and_a_logoff_ends_it(
        wine, artifacts, capsys):
    udp_port, tcp_port, netbios_port = distinct_ports(3)
    wine.reg_add(SETTINGS_KEY)
    for name, value in {"UDPPort": udp_port, "TCPPort": tcp_port, "NetbiosPort": netbios_port,
                        "MessageCountLimit": 1000000, "PlaySound": 0}.items():
        wine.reg_add(SETTINGS_KEY, name, "REG_DWORD", value)
    computer = computer_name(wine)
    tavik = wine.start_tavik()
    tavik.wait_for_main_window(START_TIMEOUT, visible_only=True)
    wait_for_listeners(udp_port, tcp_port, netbios_port, computer)

    udp = UdpFlood(udp_port)
    floods = [udp, TcpFlood(tcp_port), MessengerFlood(netbios_port, computer), MailslotFlood(wine, computer)]
    try:
        for flood in floods:
            flood.start()
        time.sleep(FLOOD_SECONDS)
        for flood in floods:
            flood.stop()
        # At once, with messages still under way: what the program confirms while it ends counts too.
        logoff_seconds = logoff_and_time(wine, tavik)
    finally:
        for flood in floods:
            flood.finish()
    # Wine's logoff ends a program still running once it answered WM_ENDSESSION, with exit code 0: the
    # registry tells whether the shut-down ran to its end.
    class_name = wine.reg_query(SETTINGS_KEY, "ClassName") if logoff_seconds is not None else None

    stored = StoredFlood.read(wine.data_dir())
    tallies = [tally(flood, stored) for flood in floods]
    ended = f"ended {logoff_seconds:.1f} s after it began" if logoff_seconds is not None \
        else f"had not ended after {END_WAIT} s and was killed"
    lines = [f"flood of {FLOOD_SECONDS} s, then a logoff: Tavik {ended}, exit code {tavik.popen.returncode}"]
    lines += [t.line() for t in tallies]
    lines.append(f"UDP counts received {udp.counts}, receipts naming no message {udp.unknown_receipts}")
    problems = faults(tallies, udp)
    if logoff_seconds is None or logoff_seconds > LOGOFF_LIMIT:
        problems.append(f"the logoff did not end Tavik within {LOGOFF_LIMIT} s")
    elif tavik.popen.returncode != 0:
        problems.append(f"Tavik ended with exit code {tavik.popen.returncode}:\n{tavik.printed_tail()}")
    if class_name is not None:
        problems.append("ClassName is left in the registry: the shut-down did not run to its end")
    report = "\n".join(lines + problems)
    (artifacts / "flood.txt").write_text(report + "\n")
    with capsys.disabled():
        print("\n" + report)
    assert not problems, report


def faults(tallies, udp: UdpFlood) -> list[str]:
    """What the stored files and the replies show amiss, with the first few keys of each kind."""
    found = []
    for t in tallies:
        for what, keys in (("lost although confirmed", t.lost), ("stored with another text", t.altered),
                           ("stored twice", t.doubled)):
            if keys:
                shown = ", ".join(keys[:SHOWN_KEYS]) + (" ..." if len(keys) > SHOWN_KEYS else "")
                found.append(f"{t.name}: {len(keys)} {what}: {shown}")
        if t.confirmed == 0:
            found.append(f"{t.name}: nothing was confirmed, so nothing was checked")
    if udp.unknown_receipts:
        found.append(f"UDP: {udp.unknown_receipts} receipts name no message that was sent")
    return found
