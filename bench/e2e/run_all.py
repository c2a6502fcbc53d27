"""`make bench`'s end-to-end part: start-up, the own protocol and Messenger sessions beside smbd, in a
network of their own where the machine allows it; prints one table."""

from __future__ import annotations

import os
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from private_network import enter_private_network  # noqa: E402


def main() -> int:
    private = enter_private_network()
    import messenger_bench
    import own_protocol_bench
    import startup_bench
    from bench_support import Figure
    from bench_table import print_table

    print(f"end-to-end benchmarks ({'a private network' if private else 'the machine network'}; load average "
          f"{os.getloadavg()[0]:.2f})", flush=True)
    figures: list[Figure] = []
    figures += startup_bench.run()
    bare = figures[0].value
    newest = figures[-1]
    figures.append(Figure("start-up", "Tavik with 10,000 messages beside bare Wine", newest.value - bare, "s",
                          "target: within 1 s"))
    figures += own_protocol_bench.run()
    figures += messenger_bench.run(tavik_port=139 if private else None)
    print_table(figures)
    print(f"load average at the end {os.getloadavg()[0]:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
