"""Junk on every transport at once, as fast as the senders go, for a minute: Tavik still runs, and valid
messages sent afterwards on each transport are stored (each confirmed one, and at least one of each)."""

from __future__ import annotations

import random
import time

from flood_set import FloodSet, wait_until_stored
from junk import MailslotJunk, SessionJunk, TcpJunk, UdpJunk
from outcome import Outcome
from scenario_floods import memory_line
from soak_tavik import SoakTavik, wait_until_quiet

JUNK_SECONDS = 60
VALID_SECONDS = 10
# Junk that made it into the queues before the valid messages is stored first.
STORED_WITHIN = 120


def run(wine, outcome: Outcome, seconds: float) -> None:
    junk_seconds = min(JUNK_SECONDS, seconds)
    seed = random.randrange(1 << 30)
    tavik = SoakTavik(wine)
    tavik.start()
    before = tavik.memory()
    senders = [UdpJunk(seed, tavik.udp_port), TcpJunk(seed, tavik.tcp_port), SessionJunk(seed, tavik),
               MailslotJunk(seed, wine)]
    try:
        for sender in senders:
            sender.start()
        time.sleep(junk_seconds)
    finally:
        for sender in senders:
            sender.stop()
    survived = tavik.running()
    outcome.details.append(f"junk for {junk_seconds:.0f} s (seed {seed}): " + ", ".join(
        f"{sender.name} {sender.sent} ({sender.sent / junk_seconds:.0f}/s)" for sender in senders))
    if not survived:
        outcome.problems.append(f"Tavik ended during the junk: exit code {tavik.process.popen.returncode}\n"
                                f"{tavik.process.printed_tail()}")
        outcome.summary = "ended during the junk"
        return
    floods = FloodSet(tavik)
    floods.start()
    time.sleep(VALID_SECONDS)
    floods.stop()
    stored_after = wait_until_stored(floods.confirmed(), tavik.data_dir, STORED_WITHIN)
    wait_until_quiet(tavik.data_dir)
    floods.finish()
    after = tavik.memory()
    tallies = floods.report(outcome, tavik.data_dir)
    outcome.details.append(memory_line(before, after))
    for t in tallies:
        if t.stored == 0:
            outcome.problems.append(f"{t.name}: no valid message sent after the junk was stored")
    if stored_after is None:
        outcome.problems.append(f"the valid messages confirmed after the junk were not stored within "
                                f"{STORED_WITHIN} s")
    if not tavik.running():
        outcome.problems.append("Tavik ended after the junk")
    outcome.summary = "still running; " + ", ".join(f"{sender.name} {sender.sent / junk_seconds:.0f}/s"
                                                    for sender in senders)
