"""The Linux build of tavik-send, run outside Wine as a user on another machine would run it."""

from __future__ import annotations

import os
import subprocess
from pathlib import Path

from tavik_harness import REPO_ROOT

NATIVE_BIN = Path(os.environ.get("TAVIK_NATIVE_BIN_DIR", REPO_ROOT / "build" / "native" / "bin"))


def native_tavik_send(args, locale: str = "C.UTF-8", timeout: float = 60) -> subprocess.CompletedProcess:
    """Runs build/native/bin/tavik-send under locale (LANG and LC_ALL) to its end."""
    program = NATIVE_BIN / "tavik-send"
    if not program.exists():
        raise FileNotFoundError(f"{program} is missing: build the native preset (make test builds it)")
    env = dict(os.environ, LANG=locale, LC_ALL=locale)
    return subprocess.run([str(program), *map(str, args)], env=env, stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=timeout)
