"""`make soak`: Tavik.exe under Wine, flooded, killed, starved of disk and ports, logged off and fed junk,
each scenario in a fresh Wine session (so a fresh data folder); prints one table and exits non-zero when a
scenario fails. Not part of `make test`.

    python3 tests/soak/run_soak.py [SCENARIO ...]     (default: all; --list names them)

SOAK_SECONDS (default 120) is the length of the long floods; the other phases follow from it. A scenario
passes only when nothing confirmed was lost and what it promises held; each prints its figures."""

from __future__ import annotations

import argparse
import functools
import os
import platform
import signal
import sys
import time
import traceback
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parent))

import scenario_floods  # noqa: E402
import scenario_junk  # noqa: E402
import scenario_kill  # noqa: E402
import scenario_logoff  # noqa: E402
import scenario_ports  # noqa: E402
import scenario_store_outage  # noqa: E402
from outcome import Outcome, details, table  # noqa: E402
from tavik_harness import WineSession, default_bin_dir  # noqa: E402

DEFAULT_SECONDS = 120
SCENARIOS = {
    "floods": scenario_floods.run,
    "kill": scenario_kill.run,
    "full-disk": functools.partial(scenario_store_outage.run, outage=scenario_store_outage.FullDisk()),
    "folder-gone": functools.partial(scenario_store_outage.run, outage=scenario_store_outage.FolderGone()),
    "folder-readonly": functools.partial(scenario_store_outage.run, outage=scenario_store_outage.FolderUnwritable()),
    "ports": scenario_ports.run,
    "logoff": scenario_logoff.run,
    "junk": scenario_junk.run,
}
# Mounting a tmpfs and chattr need root.
NEEDS_ROOT = {"full-disk", "folder-readonly"}
TOOLS = ["Tavik.exe", "TavikRes.dll", "tavik-windows.exe", "mailslot-flood.exe", "mailslot-datagrams.exe"]


def run_scenario(name: str, seconds: float) -> Outcome:
    outcome = Outcome(name)
    if name in NEEDS_ROOT and os.geteuid() != 0:
        outcome.skipped = "needs root (mount, chattr)"
        return outcome
    print(f"[{name}] starting", flush=True)
    started = time.monotonic()
    try:
        with WineSession() as wine:
            SCENARIOS[name](wine, outcome, seconds)
    except Exception as error:  # the scenario could not be run to its end: that fails it
        outcome.problems.append(f"the scenario stopped: {error!r}\n{traceback.format_exc(limit=6)}")
    outcome.seconds = time.monotonic() - started
    print(f"[{name}] {outcome.result} after {outcome.seconds:.0f} s: {outcome.summary}", flush=True)
    for line in outcome.details + [f"FAULT: {problem}" for problem in outcome.problems]:
        print(f"[{name}]   {line}", flush=True)
    return outcome


def machine() -> str:
    model = next((line.split(":", 1)[1].strip() for line in Path("/proc/cpuinfo").read_text().splitlines()
                  if line.startswith("model name")), platform.processor())
    memory = next(int(line.split()[1]) for line in Path("/proc/meminfo").read_text().splitlines()
                  if line.startswith("MemTotal"))
    return f"{os.cpu_count()} CPUs ({model}), {memory / 1048576:.1f} GB memory, load average {os.getloadavg()[0]:.2f}"


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("scenarios", nargs="*", metavar="SCENARIO", help="scenarios to run (default: all)")
    parser.add_argument("--list", action="store_true", help="name the scenarios and end")
    arguments = parser.parse_args()
    if arguments.list:
        print("\n".join(SCENARIOS))
        return 0
    unknown = [name for name in arguments.scenarios if name not in SCENARIOS]
    if unknown:
        parser.error(f"unknown scenario {', '.join(unknown)}; there are: {', '.join(SCENARIOS)}")
    try:
        seconds = float(os.environ.get("SOAK_SECONDS", DEFAULT_SECONDS))
    except ValueError:
        parser.error(f"SOAK_SECONDS must be a number of seconds, not {os.environ['SOAK_SECONDS']!r}")
    if seconds < 10:
        parser.error("SOAK_SECONDS must be at least 10")
    missing = [tool for tool in TOOLS if not (default_bin_dir() / tool).exists()]
    if missing:
        parser.error(f"{', '.join(missing)} missing in {default_bin_dir()}: build the win64 preset (make soak does)")
    # A stop from outside ends the scenario through its clean-up (unmount, chattr -i, the session's processes).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))

    began = time.monotonic()
    print(f"soak: floods of {seconds:.0f} s; {time.strftime('%Y-%m-%d %H:%M')}; {machine()}", flush=True)
    outcomes = [run_scenario(name, seconds) for name in (arguments.scenarios or SCENARIOS)]
    print(f"\nsoak of {(time.monotonic() - began) / 60:.1f} minutes, floods of {seconds:.0f} s; "
          f"load average at the end {os.getloadavg()[0]:.2f}")
    print(table(outcomes))
    print()
    print(details(outcomes))
    return 1 if any(o.result == "FAIL" for o in outcomes) else 0


if __name__ == "__main__":
    sys.exit(main())
