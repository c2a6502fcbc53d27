"""Tavik's UDP and TCP ports held by another process when it starts, then freed: one box for each port,
and each listener serves within its retry time (it tries a taken port again every 30 s); messages sent
then are stored."""

from __future__ import annotations

import subprocess
import sys
import time

from flood_set import FloodSet
from outcome import Outcome
from soak_tavik import SoakTavik, wait_until_quiet

RETRY_SECONDS = 30
LISTENING_WITHIN = RETRY_SECONDS + 5
HELD_AFTER_BOXES = 5  # seconds the ports stay taken once both boxes show
FLOOD_SECONDS = 5

# Another program on both ports: a TCP listener and a UDP socket on every address, answering nothing.
HOLDER = """
import socket, sys
udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); udp.bind(("", int(sys.argv[1])))
tcp = socket.socket(socket.AF_INET, socket.SOCK_STREAM); tcp.bind(("", int(sys.argv[2]))); tcp.listen(5)
print("held", flush=True)
sys.stdin.read()
"""


def run(wine, outcome: Outcome, seconds: float) -> None:
    tavik = SoakTavik(wine)
    holder = subprocess.Popen([sys.executable, "-c", HOLDER, str(tavik.udp_port), str(tavik.tcp_port)],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        if holder.stdout.readline().strip() != "held":
            raise RuntimeError("the port holder could not take the ports")
        tavik.start(listening=False)
        texts = {"UDP": f"UDP port {tavik.udp_port} is already in use", "TCP": f"TCP port {tavik.tcp_port} is already in use"}
        told = {name: tavik.wait_for_box(text, 60) for name, text in texts.items()}
        time.sleep(HELD_AFTER_BOXES)
        answered_while_held = {"UDP": tavik.udp_answers(), "TCP": tavik.tcp_answers()}
    finally:
        holder.kill()
        holder.wait(10)
    freed = time.monotonic()
    listening = _seconds_until_serving({"UDP": tavik.udp_answers, "TCP": tavik.tcp_answers}, freed,
                                       LISTENING_WITHIN + 30)
    boxes = {name: tavik.boxes_saying(text) for name, text in texts.items()}
    floods = FloodSet(tavik, "ut")
    floods.start()
    time.sleep(FLOOD_SECONDS)
    floods.stop()
    wait_until_quiet(tavik.data_dir)
    floods.finish()
    floods.report(outcome, tavik.data_dir)
    for name in ("UDP", "TCP"):
        after = listening[name]
        outcome.details.append(f"{name}: box {'seen' if told[name] is not None else 'NOT seen'} ({boxes[name]} at the "
                               f"end); serving " + (f"{after:.1f} s after the port was freed" if after is not None
                                                    else f"NOT within {LISTENING_WITHIN + 30} s"))
        if told[name] is None or boxes[name] != 1:
            outcome.problems.append(f"{name}: {boxes[name]} boxes about the taken port; one is expected")
        if answered_while_held[name]:
            outcome.problems.append(f"{name}: something answered on the port while it was held")
        if after is None or after > LISTENING_WITHIN:
            outcome.problems.append(f"{name}: not serving within {LISTENING_WITHIN} s of the port being freed")
    outcome.summary = "serving " + ", ".join(
        f"{name} {'after %.1f s' % after if after is not None else 'never'}" for name, after in listening.items())


def _seconds_until_serving(probes, since: float, limit: float) -> dict[str, float | None]:
    """For each listener, the seconds from `since` until its probe was answered (None: not within limit)."""
    serving: dict[str, float | None] = {name: None for name in probes}
    while time.monotonic() - since < limit:
        for name, answers in probes.items():
            if serving[name] is None and answers():
                serving[name] = time.monotonic() - since
        if all(after is not None for after in serving.values()):
            break
        time.sleep(0.25)
    return serving
