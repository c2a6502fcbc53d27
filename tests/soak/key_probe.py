"""How fast the main window answers a key while it is flooded. Alt+Home shows the oldest message, which
puts "message 1 of N" in the title; xprop -spy reports each title the window takes, with no polling, so
the probe times from the key to that title. Arrivals make the newest message current again, so the
probe first makes sure the window is not at the oldest already (Alt+End, untimed)."""

from __future__ import annotations

import re
import subprocess
import threading
import time

from tavik_harness import XPROP, WineSession

OLDEST = re.compile(r"message 1 of \d+")
# A key that gets no answer within this is counted as this long.
PROBE_LIMIT = 10.0


class TitleWatch:
    """Every title the window takes, with the moment it came."""

    def __init__(self, wine: WineSession, window: int):
        self._popen = subprocess.Popen([XPROP, "-spy", "-id", str(window), "WM_NAME"], env=wine.env,
                                       stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                       stderr=subprocess.DEVNULL, text=True, start_new_session=True)
        self._titles: list[tuple[float, str]] = []
        self._changed = threading.Condition()
        threading.Thread(target=self._read, name="titles", daemon=True).start()

    def _read(self) -> None:
        for line in self._popen.stdout:
            with self._changed:
                self._titles.append((time.monotonic(), line.partition("=")[2].strip().strip('"')))
                self._changed.notify_all()

    def latest(self) -> str:
        with self._changed:
            return self._titles[-1][1] if self._titles else ""

    def first_since(self, since: float, pattern: re.Pattern, timeout: float) -> float | None:
        """The moment of the first title from `since` on that matches, or None after timeout."""
        deadline = time.monotonic() + timeout
        with self._changed:
            while True:
                first = len(self._titles)
                while first > 0 and self._titles[first - 1][0] >= since:
                    first -= 1
                for moment, title in self._titles[first:]:
                    if pattern.search(title):
                        return moment
                left = deadline - time.monotonic()
                if left <= 0:
                    return None
                self._changed.wait(left)

    def close(self) -> None:
        self._popen.kill()
        self._popen.wait(10)


class KeyProbe:
    def __init__(self, wine: WineSession, window: int):
        self._wine = wine
        self._window = window
        self._titles = TitleWatch(wine, window)
        self.answers: list[float] = []  # seconds from each key to its title; PROBE_LIMIT when none came

    def probe(self) -> float:
        """Seconds from the key command's start (focus, then the key) to the title it brings."""
        if OLDEST.search(self._titles.latest()):
            moved = time.monotonic()
            self._wine.send_keys(self._window, "alt+End")
            self._titles.first_since(moved, re.compile(r"message (?!1 of)\d+ of"), PROBE_LIMIT)
        pressed = time.monotonic()
        self._wine.send_keys(self._window, "alt+Home")
        shown = self._titles.first_since(pressed, OLDEST, PROBE_LIMIT)
        answer = PROBE_LIMIT if shown is None else shown - pressed
        self.answers.append(answer)
        return answer

    def close(self) -> None:
        self._titles.close()

    def summary(self) -> str:
        if not self.answers:
            return "no key probe"
        ordered = sorted(self.answers)
        return (f"{len(ordered)} keys: median {ordered[len(ordered) // 2]:.2f} s, "
                f"slowest {ordered[-1]:.2f} s")
