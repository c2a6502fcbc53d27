"""A logoff at the end of a flood of the soak time, with messages still under way: every confirmed message
stored, and a clean exit (exit code 0, ClassName removed from the registry) within 10 s."""

from __future__ import annotations

import subprocess
import time
from pathlib import Path

from flood_set import FloodSet
from outcome import Outcome
from soak_tavik import SoakTavik
from tavik_harness import SETTINGS_KEY

EXIT_WITHIN = 10
# How long the scenario waits for the end before it kills the program and looks at what is stored.
END_WAIT = 30
# What Wine's logoff shows when a program does not answer the end of the session.
NOT_RESPONDING = "Waiting for Program"


def run(wine, outcome: Outcome, seconds: float) -> None:
    tavik = SoakTavik(wine)
    tavik.start()
    floods = FloodSet(tavik)
    took = None
    hung_note = ""
    try:
        floods.start()
        time.sleep(seconds)
        floods.stop()
        began = time.monotonic()
        logoff = wine.start(["wineboot", "-e"])
        try:
            tavik.process.popen.wait(timeout=END_WAIT)
            took = time.monotonic() - began
        except subprocess.TimeoutExpired:
            hung_note = _what_hangs(wine, tavik)
            tavik.kill()
        try:
            logoff.wait(timeout=END_WAIT)
        except subprocess.TimeoutExpired:
            pass  # the session's close ends it
    finally:
        floods.finish()
    class_name = wine.reg_query(SETTINGS_KEY, "ClassName") if took is not None else None
    floods.report(outcome, tavik.data_dir)
    code = tavik.process.popen.returncode
    if took is None:
        outcome.details.append(f"the logoff had not ended Tavik after {END_WAIT} s; it was killed. {hung_note}")
        outcome.problems.append(f"the logoff did not end Tavik within {EXIT_WITHIN} s (not after {END_WAIT} s)")
    else:
        outcome.details.append(f"the logoff ended Tavik in {took:.1f} s with exit code {code}")
        if took > EXIT_WITHIN:
            outcome.problems.append(f"the logoff took {took:.1f} s to end Tavik, more than {EXIT_WITHIN} s")
        if code != 0:
            outcome.problems.append(f"Tavik ended with exit code {code}:\n{tavik.process.printed_tail()}")
        if class_name is not None:
            outcome.problems.append("ClassName is left in the registry: the shut-down did not run to its end")
    outcome.summary = f"ended after {took:.1f} s, exit code {code}" if took is not None \
        else f"not ended after {END_WAIT} s (killed)"


def _what_hangs(wine, tavik: SoakTavik) -> str:
    """What the session shows of a program that does not end: Wine's box, and the program's threads."""
    notes = []
    if any(w.visible and NOT_RESPONDING in w.text for w in wine.win32_windows()):
        notes.append(f"Wine shows its {NOT_RESPONDING!r} box: Tavik has not answered the end of the session")
    pid = tavik.process.pid if tavik.process else None
    if pid is not None:
        try:
            threads = list(Path(f"/proc/{pid}/task").iterdir())
            states = [(t / "wchan").read_text() or "?" for t in threads]
            notes.append(f"Tavik.exe has {len(threads)} threads left, waiting in: {', '.join(states)}")
        except OSError:
            pass
    return "; ".join(notes)
