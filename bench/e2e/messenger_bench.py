"""Messenger messages over NetBIOS over TCP, stored per second, by Tavik under Wine and by Samba's smbd
with a message command that stores each message as a file: both fed by messenger-flood (the project's
own Messenger sender, as tavik-send --messenger sends), one session after another; a message counts
once its file is on disk. Each round starts from an empty folder; one more round of Tavik's starts from a
folder that holds 10,000 message files, as a user's folder may (under Wine a new file's name costs a read
of the folder it is made in)."""

from __future__ import annotations

import time

from bench_support import (Figure, StoredFiles, WineSession, computer_name, free_port, median, native_program,
                           run_quietly, start_tavik, write_settings)
from samba_peer import NETBIOS_NAME, SambaPeer

TAVIK_COUNT = 1000
SAMBA_COUNT = 200
FULL_FOLDER = 10000


def flood(port: int, name: str, count: int, files: StoredFiles, stored_before: int = 0) -> tuple[float, int, str]:
    """Stored per second, stored count, and the sender's own report; the folder holds stored_before
    message files when the sender starts."""
    for path in files.folder.iterdir():
        path.unlink()
    for number in range(stored_before):
        (files.folder / f"{1000000000 + number}Earlier.qms").write_bytes(b"0Earlier\r\nan earlier message")
    started = time.monotonic()
    sender = run_quietly([native_program("messenger-flood"), "127.0.0.1", str(port), name, str(count)])
    # A full folder is counted less often: listing it takes a while itself.
    stored, last = files.wait_for(stored_before + count, poll=0.05 if stored_before else 0.005)
    return (stored - stored_before) / (last - started), stored - stored_before, sender.stdout.strip()


def tavik_rates(rounds: int, port: int, stored_before: int = 0) -> tuple[list[float], list[int], str]:
    session = WineSession()
    tavik = None
    try:
        write_settings(session, UDPPort=free_port(), TCPPort=free_port(), NetbiosPort=port)
        name = computer_name(session)
        tavik = start_tavik(session)
        files = StoredFiles(session.data_dir() / "messages", ".qms")
        deadline = time.monotonic() + 60
        while run_quietly([native_program("messenger-flood"), "127.0.0.1", str(port), name, "1"]).returncode != 0:
            if time.monotonic() > deadline:
                raise RuntimeError(f"Tavik does not answer Messenger sessions on port {port}")
            time.sleep(0.5)
        files.wait_for(1)
        results = [flood(port, name, TAVIK_COUNT, files, stored_before) for _ in range(rounds)]
        return [r[0] for r in results], [r[1] for r in results], results[-1][2]
    finally:
        if tavik is not None:
            tavik.stop()
        session.close()


def samba_rates(rounds: int, durable: bool = False) -> tuple[list[float], list[int], str]:
    peer = SambaPeer(free_port(), durable)
    try:
        files = StoredFiles(peer.stored)
        results = [flood(peer.port, NETBIOS_NAME, SAMBA_COUNT, files) for _ in range(rounds)]
        return [r[0] for r in results], [r[1] for r in results], results[-1][2]
    finally:
        peer.stop()


def run(rounds: int = 3, tavik_port: int | None = None) -> list[Figure]:
    port = tavik_port or free_port()
    tavik, tavik_stored, tavik_sender = tavik_rates(rounds, port)
    full, full_stored, _ = tavik_rates(1, port, FULL_FOLDER)
    samba, samba_stored, samba_sender = samba_rates(rounds)
    synced, synced_stored, _ = samba_rates(rounds, durable=True)
    return [
        Figure("messenger", f"Tavik under Wine, port {port}, stored", median(tavik), "msg/s",
               f"{rounds} runs of {TAVIK_COUNT}; stored {', '.join(map(str, tavik_stored))}; last sender: "
               f"{tavik_sender}"),
        Figure("messenger", f"Tavik under Wine, {FULL_FOLDER:,} message files in its folder, stored", median(full),
               "msg/s", f"1 run of {TAVIK_COUNT}; stored {full_stored[0]}"),
        Figure("messenger", "smbd with a storing message command, stored", median(samba), "msg/s",
               f"{rounds} runs of {SAMBA_COUNT}; stored {', '.join(map(str, samba_stored))}; last sender: "
               f"{samba_sender}"),
        Figure("messenger", "smbd whose message command syncs each message, then moves it", median(synced),
               "msg/s", f"{rounds} runs of {SAMBA_COUNT}; stored {', '.join(map(str, synced_stored))}"),
        Figure("messenger", "Tavik / smbd", median(tavik) / median(samba), "x", "medians of the same run"),
        Figure("messenger", "Tavik / smbd that syncs", median(tavik) / median(synced), "x",
               "both write each message through to the disk"),
    ]


if __name__ == "__main__":
    import sys
    from bench_table import print_table
    if sys.argv[1:2] == ["--tavik-only"]:
        # Tavik's side alone, for comparing two builds (TAVIK_BIN_DIR names the build's bin folder):
        # --tavik-only [ROUNDS [FILES_ALREADY_IN_THE_FOLDER]]
        rates, stored, sender = tavik_rates(int(sys.argv[2]) if len(sys.argv) > 2 else 3, free_port(),
                                            int(sys.argv[3]) if len(sys.argv) > 3 else 0)
        print(f"rates {' '.join(f'{r:.1f}' for r in rates)} msg/s; stored {stored}; last sender: {sender}")
    else:
        print_table(run(rounds=1))
