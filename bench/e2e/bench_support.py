"""What the end-to-end benchmarks share: the end-to-end tests' Wine harness, a Tavik started for
measuring, counting stored files as they land, and the figures they report."""

from __future__ import annotations

import os
import statistics
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

REPO_ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO_ROOT / "tests" / "e2e"))

from tavik_harness import (SETTINGS_KEY, TavikProcess, WineSession, free_port,  # noqa: E402,F401
                           wait_until)

# Native programs of the Release build (`make bench` builds them).
NATIVE_BIN = Path(os.environ.get("TAVIK_BENCH_NATIVE_BIN", REPO_ROOT / "build" / "bench" / "bin"))
START_TIMEOUT = 90


@dataclass
class Figure:
    part: str
    what: str
    value: float
    unit: str
    detail: str = ""


def median(values: list[float]) -> float:
    return statistics.median(values) if values else float("nan")


def native_program(name: str) -> str:
    path = NATIVE_BIN / name
    if not path.exists():
        raise FileNotFoundError(f"{path} is missing: run `make bench`, which builds it")
    return str(path)


def computer_name(session: WineSession) -> str:
    return session.run(["cmd", "/c", "echo %COMPUTERNAME%"]).stdout.decode().strip()


def write_settings(session: WineSession, **dwords: int) -> None:
    """The settings key with no sound and the given values."""
    session.reg_add(SETTINGS_KEY)
    for name, value in {"PlaySound": 0, **dwords}.items():
        session.reg_add(SETTINGS_KEY, name, "REG_DWORD", value)


def start_tavik(session: WineSession) -> TavikProcess:
    """Starts Tavik.exe as it is configured (no setting is added on the way) and waits for its window."""
    tavik = TavikProcess(session, session.start([session.bin_dir / "Tavik.exe"]), launched=False)
    tavik.wait_for_main_window(START_TIMEOUT, visible_only=True)
    return tavik


class StoredFiles:
    """Counts the finished files of a folder (a file being written has another name until it is whole)."""

    def __init__(self, folder: Path, suffix: str = ""):
        self.folder = folder
        self.suffix = suffix

    def count(self) -> int:
        try:
            return sum(1 for entry in os.scandir(self.folder) if entry.name.endswith(self.suffix))
        except FileNotFoundError:
            return 0

    def wait_for(self, count: int, idle_limit: float = 10.0, poll: float = 0.005) -> tuple[int, float]:
        """Polls every `poll` seconds until count files are there, or none came for idle_limit seconds;
        returns the count reached and when (time.monotonic()) the last of them was seen."""
        found = self.count()
        last_growth = time.monotonic()
        while found < count and time.monotonic() - last_growth < idle_limit:
            time.sleep(poll)
            now_found = self.count()
            if now_found > found:
                found, last_growth = now_found, time.monotonic()
        return found, last_growth


def run_quietly(command: list[str], timeout: float = 600) -> subprocess.CompletedProcess:
    return subprocess.run(command, capture_output=True, text=True, timeout=timeout)
