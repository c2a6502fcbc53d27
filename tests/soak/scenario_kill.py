"""Tavik killed (kill -9) in the middle of a flood, again and again, with a start after each: no message
file cut off or garbled, no temporary of the killed run left once the next one has started, every
message confirmed before a kill stored."""

from __future__ import annotations

import random
import time

from flood_set import FloodSet, broken_files, missing
from outcome import Outcome
from soak_tavik import SoakTavik, temporaries, wait_until_quiet

KILLS = 20
SHORTEST_RUN = 2.0  # seconds of flood before a kill, at least


def run(wine, outcome: Outcome, seconds: float) -> None:
    longest_run = max(SHORTEST_RUN + 1, seconds / KILLS)
    seed = random.randrange(1 << 30)
    chance = random.Random(seed)
    tavik = SoakTavik(wine)
    tavik.start()
    floods = FloodSet(tavik)
    restarts: list[float] = []
    left_behind: list[str] = []
    lost_by_round: list[str] = []
    try:
        floods.start()
        for round_number in range(1, KILLS + 1):
            time.sleep(chance.uniform(SHORTEST_RUN, longest_run))
            confirmed = floods.confirmed()
            tavik.kill()
            cut_off = temporaries(tavik.data_dir)
            restarts.append(tavik.start())
            still = [path.name for path in cut_off if path.exists()]
            if still:
                left_behind.append(f"round {round_number}: {', '.join(still[:5])}")
            lost = missing(confirmed, tavik.data_dir)
            if lost:
                lost_by_round.append(f"round {round_number}: {lost}")
        floods.stop()
        wait_until_quiet(tavik.data_dir)
        floods.finish()
    finally:
        floods.stop()
    floods.report(outcome, tavik.data_dir)
    broken = broken_files(tavik.data_dir)
    outcome.details.append(f"{KILLS} kills after {SHORTEST_RUN:.0f} to {longest_run:.1f} s of flood each (seed "
                           f"{seed}); start after a kill: {min(restarts):.1f} to {max(restarts):.1f} s")
    if broken:
        outcome.problems.append(f"{len(broken)} message files cut off or garbled: {', '.join(broken[:10])}")
    if left_behind:
        outcome.problems.append("temporaries of a killed run still there after the next start: "
                                + "; ".join(left_behind[:10]))
    if lost_by_round:
        outcome.problems.append("confirmed before a kill, not stored after the start that followed: "
                                + "; ".join(lost_by_round[:10]))
    outcome.summary = f"{KILLS} kills; {len(broken)} broken files, {len(left_behind)} rounds with temporaries left"
