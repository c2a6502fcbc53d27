"""All four transports flooded at once for the soak time: every confirmed message stored byte for byte
and once; the window answers a key within a second throughout; the memory before and after."""

from __future__ import annotations

import time

from flood_set import FloodSet
from key_probe import KeyProbe
from outcome import Outcome
from soak_tavik import SoakTavik, wait_until_quiet

KEY_EVERY = 5  # seconds between two key probes
KEY_LIMIT = 1.0


def run(wine, outcome: Outcome, seconds: float) -> None:
    tavik = SoakTavik(wine)
    tavik.start()
    before = tavik.memory()
    floods = FloodSet(tavik)
    probe = KeyProbe(wine, tavik.window)
    try:
        floods.start()
        ends = time.monotonic() + seconds
        while time.monotonic() < ends:
            time.sleep(min(KEY_EVERY, max(0.0, ends - time.monotonic())))
            if time.monotonic() < ends:
                probe.probe()
        floods.stop()
        wait_until_quiet(tavik.data_dir)
        floods.finish()
    finally:
        probe.close()
    after = tavik.memory()
    floods.report(outcome, tavik.data_dir)
    outcome.details.append(f"key Alt+Home to its title: {probe.summary()} (xprop -spy on the main window)")
    outcome.details.append(memory_line(before, after))
    slow = [answer for answer in probe.answers if answer > KEY_LIMIT]
    if slow:
        outcome.problems.append(f"{len(slow)} of {len(probe.answers)} keys took longer than {KEY_LIMIT} s: "
                                + ", ".join(f"{answer:.2f} s" for answer in slow[:10]))
    if not tavik.running():
        outcome.problems.append("Tavik ended during the flood")
    outcome.summary = (f"key: slowest {max(probe.answers, default=0):.2f} s; VmRSS {before.get('VmRSS', 0) // 1024}"
                       f" -> {after.get('VmRSS', 0) // 1024} MB")


def memory_line(before: dict[str, int], after: dict[str, int]) -> str:
    def mb(found: dict[str, int], name: str) -> str:
        return f"{found[name] / 1024:.1f}" if name in found else "?"

    return (f"memory of Tavik.exe (MB): VmRSS {mb(before, 'VmRSS')} before, {mb(after, 'VmRSS')} after, peak "
            f"{mb(after, 'VmHWM')}; RssAnon (private) {mb(before, 'RssAnon')} before, {mb(after, 'RssAnon')} after")
