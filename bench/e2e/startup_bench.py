"""Start-up of Tavik.exe under Wine with 0, 1,000 and 10,000 stored messages, from the start of the
process to its window showing the newest message, beside a bare Wine start of a trivial program
(send-window-message.exe, which ends at once without arguments) measured in the same session and
round. Each round measures the bare start and then each Tavik start, after one unmeasured Wine start
that lets Wine's session settle from the previous logoff."""

from __future__ import annotations

import shutil
import subprocess
import time
from pathlib import Path

from bench_support import (START_TIMEOUT, Figure, TavikProcess, WineSession, free_port, median, wait_until,
                           write_settings)
from stored_messages import store_messages

COUNTS = (0, 1000, 10000)
BARE_PROGRAM = "send-window-message.exe"


def bare_start(session: WineSession) -> float:
    started = time.monotonic()
    session.run([BARE_PROGRAM])
    return time.monotonic() - started


def tavik_start(session: WineSession, count: int) -> float:
    """Seconds from starting Tavik.exe to its visible window titled with the newest of count messages."""
    title = "^Quorlex Tavik$" if count == 0 else f" message {count} of {count}$"
    started = time.monotonic()
    tavik = TavikProcess(session, session.start([session.bin_dir / "Tavik.exe"]), launched=False)
    try:
        wait_until(lambda: session.window_ids(title, visible_only=True), START_TIMEOUT, 0.01,
                   f"Tavik's window with {count} messages")
        return time.monotonic() - started
    finally:
        tavik.stop()


def prepare_sets(data: Path) -> dict[int, Path]:
    """A messages folder for each count, beside the data folder's own, moved into place for its start."""
    sets = {}
    for count in COUNTS:
        folder = data.parent / f"messages-{count}"
        shutil.rmtree(folder, ignore_errors=True)
        store_messages(folder.parent / f"set-{count}", count)
        (folder.parent / f"set-{count}" / "messages").rename(folder) if count else folder.mkdir(parents=True)
        shutil.rmtree(folder.parent / f"set-{count}", ignore_errors=True)
        sets[count] = folder
    return sets


def run(rounds: int = 5) -> list[Figure]:
    session = WineSession()
    try:
        write_settings(session, UDPPort=free_port(), TCPPort=free_port(), NetbiosPort=free_port())
        data = session.data_dir()
        data.mkdir(parents=True, exist_ok=True)
        sets = prepare_sets(data)
        bare: list[float] = []
        starts: dict[int, list[float]] = {count: [] for count in COUNTS}
        for _ in range(rounds):
            for count in COUNTS:
                sets[count].rename(data / "messages")
                try:
                    bare_start(session)  # unmeasured: Wine settles after the last logoff
                    if count == COUNTS[0]:
                        bare.append(bare_start(session))
                    starts[count].append(tavik_start(session, count))
                finally:
                    (data / "messages").rename(sets[count])
        figures = [Figure("start-up", f"bare Wine start ({BARE_PROGRAM})", median(bare), "s", f"{rounds} runs")]
        for count in COUNTS:
            figures.append(Figure("start-up", f"Tavik, {count} messages, to the newest shown", median(starts[count]),
                                  "s", f"{rounds} runs; {median(starts[count]) - median(bare):+.2f} s beside bare"))
        return figures
    finally:
        session.close()


if __name__ == "__main__":
    from bench_table import print_table
    print_table(run(rounds=2))
