"""What one soak scenario found: its figures, the faults it saw, and the table that shows them all."""

from __future__ import annotations

from dataclasses import dataclass, field

from floods import Tally

# Keys shown of each kind of fault; the rest are counted.
SHOWN_KEYS = 20


@dataclass
class Outcome:
    name: str
    seconds: float = 0.0
    sent: int = 0
    confirmed: int = 0
    stored: int = 0
    lost: int = 0
    summary: str = ""  # the few figures the table shows beside the counts
    details: list[str] = field(default_factory=list)  # lines printed under the table
    problems: list[str] = field(default_factory=list)  # any one fails the scenario
    skipped: str = ""  # why the scenario could not run here

    @property
    def result(self) -> str:
        if self.skipped:
            return "SKIP"
        return "FAIL" if self.problems else "PASS"

    def add_tallies(self, tallies: list[Tally]) -> None:
        """Counts the floods in, and notes what they show amiss: a message confirmed but not stored, one
        stored with another text, one stored twice."""
        for t in tallies:
            self.sent += t.sent
            self.confirmed += t.confirmed or 0
            self.stored += t.stored
            self.lost += len(t.lost)
            self.details.append(t.line())
            for what, keys in (("lost although confirmed", t.lost), ("stored with another text", t.altered),
                               ("stored twice", t.doubled)):
                if keys:
                    shown = ", ".join(keys[:SHOWN_KEYS]) + (" ..." if len(keys) > SHOWN_KEYS else "")
                    self.problems.append(f"{t.name}: {len(keys)} {what}: {shown}")
            if t.confirmed == 0:
                self.problems.append(f"{t.name}: nothing was confirmed, so nothing was checked")


def table(outcomes: list[Outcome]) -> str:
    header = f"{'scenario':<16} {'result':<6} {'time':>7} {'sent':>8} {'confirmed':>9} {'stored':>8} {'lost':>5}  figures"
    lines = [header, "-" * len(header)]
    for o in outcomes:
        lines.append(f"{o.name:<16} {o.result:<6} {o.seconds:>6.0f}s {o.sent:>8} {o.confirmed:>9} {o.stored:>8} "
                     f"{o.lost:>5}  {o.skipped or o.summary}")
    return "\n".join(lines)


def details(outcomes: list[Outcome]) -> str:
    blocks = []
    for o in outcomes:
        lines = [f"{o.name} ({o.result}):"] + [f"  {line}" for line in o.details]
        lines += [f"  FAULT: {problem}" for problem in o.problems]
        blocks.append("\n".join(lines))
    return "\n".join(blocks)
