"""The message files cannot be written for a while during a flood (a full disk, the messages folder gone,
the messages folder unwritable), then can again: the user is told once, in one box; a message confirmed
meanwhile is kept and written once writing works again (by the next message that is written, or by the
30-second retry), so in the end every confirmed message is stored."""

from __future__ import annotations

import shutil
import subprocess
import time
from pathlib import Path

from flood_set import FloodSet, missing, wait_until_stored
from outcome import Outcome
from soak_tavik import SoakTavik, wait_until_quiet

BOX_TEXT = "cannot save new messages in"
BOX_WAIT = 60
# Kept messages are written at the latest by the retry every 30 s, then in batches; thousands may wait,
# so the time allowed grows with what was sent: the folder takes far more than this many files a second.
WRITTEN_WITHIN = 40
KEPT_WRITTEN_PER_SECOND = 100


class Outage:
    """How the store is broken and mended. restore_while_flooding: the first message written after the
    mend writes the kept ones; otherwise the retry timer must."""

    name = ""
    restore_while_flooding = True
    normal_seconds = 5  # of flood before the outage

    def prepare(self, data_dir: Path) -> None:
        """Before the start."""

    def break_store(self, data_dir: Path) -> None:
        """During the flood."""

    def restore(self, data_dir: Path) -> None:
        raise NotImplementedError

    def clean_up(self, data_dir: Path) -> None:
        """However the scenario ended, with Tavik ended."""


class FullDisk(Outage):
    """A 1 MB tmpfs as the data folder, which the flood fills within a second; mended by a remount with
    room. The floods stop before the remount, so the 30-second retry writes what was kept."""

    name = "a full disk (1 MB tmpfs as the data folder)"
    restore_while_flooding = False
    normal_seconds = 0

    def prepare(self, data_dir: Path) -> None:
        data_dir.mkdir(parents=True, exist_ok=True)
        _run(["mount", "-t", "tmpfs", "-o", "size=1m", "tavik-soak", str(data_dir)])
        self._mounted = True

    def restore(self, data_dir: Path) -> None:
        _run(["mount", "-o", "remount,size=1g", str(data_dir)])

    def clean_up(self, data_dir: Path) -> None:
        if getattr(self, "_mounted", False):
            if subprocess.run(["umount", str(data_dir)], capture_output=True).returncode != 0:
                _run(["umount", "-l", str(data_dir)])
            self._mounted = False


class FolderGone(Outage):
    """messages\\ moved away while Tavik runs (to the program, deleted), then moved back."""

    name = "the messages folder gone"

    def break_store(self, data_dir: Path) -> None:
        (data_dir / "messages").rename(data_dir / "messages.away")

    def restore(self, data_dir: Path) -> None:
        away, messages = data_dir / "messages.away", data_dir / "messages"
        if not messages.exists():
            away.rename(messages)
            return
        for path in away.iterdir():  # the folder was made again meanwhile
            if not (messages / path.name).exists():
                shutil.move(str(path), str(messages / path.name))
        shutil.rmtree(away, ignore_errors=True)

    def clean_up(self, data_dir: Path) -> None:
        if (data_dir / "messages.away").exists():
            self.restore(data_dir)


class FolderUnwritable(Outage):
    """messages\\ made immutable (chattr +i: even root may not add a file to it), then writable again."""

    name = "the messages folder unwritable"

    def break_store(self, data_dir: Path) -> None:
        _run(["chattr", "+i", str(data_dir / "messages")])
        self._locked = True

    def restore(self, data_dir: Path) -> None:
        _run(["chattr", "-i", str(data_dir / "messages")])
        self._locked = False

    def clean_up(self, data_dir: Path) -> None:
        if getattr(self, "_locked", False):
            self.restore(data_dir)


def _run(command: list[str]) -> None:
    result = subprocess.run(command, capture_output=True, text=True, timeout=60)
    if result.returncode != 0:
        raise RuntimeError(f"{' '.join(command)} failed: {result.stderr.strip()}")


def allowed(floods: FloodSet) -> float:
    """Seconds from the mend until every kept message must be on disk."""
    return WRITTEN_WITHIN + sum(flood.sent for flood in floods.floods) / KEPT_WRITTEN_PER_SECOND


def run(wine, outcome: Outcome, seconds: float, outage: Outage) -> None:
    broken_seconds = max(10.0, seconds / 3)
    tavik = SoakTavik(wine)
    data_dir = tavik.data_dir
    outcome.details.append(f"{outage.name}, for {broken_seconds:.0f} s of flood")
    outage.prepare(data_dir)
    floods = FloodSet(tavik)
    try:
        tavik.start()
        floods.start()
        time.sleep(outage.normal_seconds)
        outage.break_store(data_dir)
        told_after = tavik.wait_for_box(BOX_TEXT, BOX_WAIT)
        time.sleep(broken_seconds)
        if outage.restore_while_flooding:
            kept = floods.confirmed()
            outage.restore(data_dir)
            written_within = allowed(floods)
            written_after = wait_until_stored(kept, data_dir, written_within + 60)
            floods.stop()
            wait_until_quiet(data_dir, limit=30)
            floods.finish()
        else:
            floods.finish()
            kept = floods.confirmed()
            outage.restore(data_dir)
            written_within = allowed(floods)
            written_after = wait_until_stored(kept, data_dir, written_within + 60)
        boxes = tavik.boxes()
        running = tavik.running()
        floods.report(outcome, data_dir)
        if written_after is None:
            outcome.details.append(f"confirmed messages without a file when the scenario ended (Tavik, killed then, "
                                   f"was still writing the kept ones): {missing(floods.confirmed(), data_dir)}")
    finally:
        floods.stop()
        tavik.kill()
        outage.clean_up(data_dir)
    outcome.details.append(
        ("box seen " + (f"{told_after:.1f} s after the outage began" if told_after is not None else "never"))
        + f"; boxes at the end: {boxes}; the messages confirmed until the mend were all stored "
        + (f"{written_after:.1f} s after it" if written_after is not None else f"NOT within {written_within + 60:.0f} s")
        + f" (allowed: {written_within:.0f} s)")
    if told_after is None:
        outcome.problems.append(f"no box saying {BOX_TEXT!r} within {BOX_WAIT} s of the outage")
    elif boxes != 1:
        outcome.problems.append(f"{boxes} boxes at the end: the user is to be told once")
    if written_after is None or written_after > written_within:
        outcome.problems.append(f"the messages kept during the outage were not all written within "
                                f"{written_within:.0f} s of the mend")
    if not running:
        outcome.problems.append("Tavik ended during the scenario")
    told = f"box after {told_after:.1f} s, {boxes} in all" if told_after is not None else "no box"
    written = f"kept ones written {written_after:.1f} s after the mend" if written_after is not None \
        else "kept ones not written"
    outcome.summary = f"{told}; {written}"
