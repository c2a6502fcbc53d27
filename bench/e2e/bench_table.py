"""The end-to-end figures as one table."""

from __future__ import annotations

from bench_support import Figure


def print_table(figures: list[Figure]) -> None:
    rows = [("part", "figure", "median", "unit", "detail")]
    rows += [(f.part, f.what, f"{f.value:.3g}" if f.value < 1000 else f"{f.value:.0f}", f.unit, f.detail)
             for f in figures]
    widths = [max(len(row[i]) for row in rows) for i in range(4)]
    for index, row in enumerate(rows):
        print("  ".join(cell.ljust(widths[i]) if i < 4 else cell for i, cell in enumerate(row)).rstrip())
        if index == 0:
            print("  ".join("-" * w for w in widths) + "  " + "-" * 6)
