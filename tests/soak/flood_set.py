"""The four floods at once against one SoakTavik, and what their stored files show: every message file
whole (flag, sender line, CR LF, date line, CR LF, text), each confirmed message stored once with the
text that was sent."""

from __future__ import annotations

import time
from pathlib import Path

from floods import TAG, Flood, MailslotFlood, MessengerFlood, StoredFlood, Tally, TcpFlood, UdpFlood, tally
from outcome import Outcome
from soak_tavik import SoakTavik, message_paths

ALL_TRANSPORTS = "utnm"  # UDP, TCP, Messenger sessions (NetBIOS), mailslot


class FloodSet:
    def __init__(self, tavik: SoakTavik, transports: str = ALL_TRANSPORTS):
        makers = {
            "u": lambda: UdpFlood(tavik.udp_port),
            "t": lambda: TcpFlood(tavik.tcp_port),
            "n": lambda: MessengerFlood(tavik.netbios_port, tavik.computer),
            "m": lambda: MailslotFlood(tavik.wine, tavik.computer),
        }
        self.floods: list[Flood] = [makers[letter]() for letter in transports]

    def start(self) -> None:
        for flood in self.floods:
            flood.start()

    def stop(self) -> None:
        for flood in self.floods:
            flood.stop()

    def finish(self) -> None:
        """Stops and waits for the messages under way to be answered (or to fail)."""
        for flood in self.floods:
            flood.stop()
        for flood in self.floods:
            flood.finish()

    def confirmed(self) -> dict[str, set[str]]:
        """The keys confirmed so far, by flood letter (a copy: the floods go on)."""
        return {flood.letter: set(flood.confirmed) for flood in self.floods if flood.confirms}

    def tallies(self, data_dir: Path) -> list[Tally]:
        stored = StoredFlood.read(data_dir)
        return [tally(flood, stored) for flood in self.floods]

    def report(self, outcome: Outcome, data_dir: Path) -> list[Tally]:
        """Counts the stored files against the floods into the outcome; returns the tallies."""
        tallies = self.tallies(data_dir)
        outcome.add_tallies(tallies)
        unanswered = [f"{flood.name} {flood.failures}" for flood in self.floods if flood.confirms]
        outcome.details.append("messages sent that got no answer or a wrong one (a refused connection is not "
                               "sent): " + ", ".join(unanswered))
        return tallies


def missing(confirmed: dict[str, set[str]], data_dir: Path) -> int:
    """How many of these confirmed messages have no file."""
    stored = StoredFlood.read(data_dir)
    return sum(len(keys - stored.texts.get(letter, {}).keys()) for letter, keys in confirmed.items())


def wait_until_stored(confirmed: dict[str, set[str]], data_dir: Path, limit: float) -> float | None:
    """Seconds until every one of these confirmed messages has its file, or None when some still lack
    one after limit seconds."""
    started = time.monotonic()
    while True:
        if missing(confirmed, data_dir) == 0:
            return time.monotonic() - started
        if time.monotonic() - started >= limit:
            return None
        time.sleep(1)


def broken_files(data_dir: Path) -> list[str]:
    """Message files that do not take the stored form, or hold no flood message: what a write cut off
    in the middle would leave."""
    broken = []
    for path in message_paths(data_dir):
        data = path.read_bytes()
        sender, line_end, stamped = data[1:].partition(b"\r\n")
        date_line, second_end, text = stamped.partition(b"\r\n")
        if data[:1] not in (b"0", b"1") or not sender or not line_end or not date_line or not second_end \
                or not TAG.search(text):
            broken.append(f"{path.name} ({len(data)} bytes)")
    return broken
