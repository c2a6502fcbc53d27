"""A private Dovecot for the mail tests, and what the tests read of the tray's mail icons."""

from __future__ import annotations

import imaplib
import os
import shutil
import socket
import subprocess
import tempfile
import threading
from pathlib import Path

import pytest

from tavik_harness import REPO_ROOT, wait_until

DOVECOT = REPO_ROOT / "tests" / "support" / "dovecot.sh"
USER = "maria"
PASSWORD = "secret"
TIMEOUT = 60
NEW_MAIL_TIP = "{} new message(s) for {}"
LOGIN_REFUSED_TIP = "Mail check: login refused for {}"


class Dovecot:
    """A private Dovecot holding USER's INBOX, stopped by its PID however the test ends."""

    def __init__(self, folder):
        self.folder = folder
        # Should this test process die, the script stops the server once it has gone.
        started = subprocess.run(["bash", str(DOVECOT), "start", str(folder), USER, PASSWORD], capture_output=True,
                                 text=True, timeout=60, env=dict(os.environ, TAVIK_DOVECOT_OWNER=str(os.getpid())))
        if started.returncode == 77:
            pytest.skip(started.stderr.strip())
        assert started.returncode == 0, started.stdout + started.stderr
        self.pop3_port = int(started.stdout.split("pop3=")[1].split()[0])
        self.imap_port = int(started.stdout.split("imap=")[1])

    def deliver(self, *states: str) -> None:
        for state in states:
            subprocess.run(["bash", str(DOVECOT), "deliver", str(self.folder), state], check=True, timeout=30)

    def mark_one_seen(self) -> None:
        """Reads one unseen message as a mail program does, over IMAP."""
        with imaplib.IMAP4("127.0.0.1", self.imap_port) as imap:
            imap.login(USER, PASSWORD)
            imap.select("INBOX")
            unseen = imap.search(None, "UNSEEN")[1][0].split()
            imap.store(unseen[0], "+FLAGS", "\\Seen")
            imap.logout()

    def change_password(self, password: str) -> None:
        """The account's password on the server (its user file is read again at each login)."""
        (self.folder / "users").write_text(f"{USER}:{{PLAIN}}{password}\n")

    def stop(self) -> None:
        subprocess.run(["bash", str(DOVECOT), "stop", str(self.folder)], timeout=60)


class HeldRelay:
    """A TCP relay in front of the server whose answers can be held back: a check that connects while
    they are held waits for the greeting, so it stays under way for as long as the test wants."""

    def __init__(self, target_port: int):
        self.target_port = target_port
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.port = self.listener.getsockname()[1]
        self.connections = 0
        self._open = threading.Event()
        self._open.set()
        self._sockets: list[socket.socket] = []
        threading.Thread(target=self._accept, daemon=True).start()

    def hold(self) -> None:
        self._open.clear()

    def release(self) -> None:
        self._open.set()

    def _accept(self) -> None:
        while True:
            try:
                client, _ = self.listener.accept()
                server = socket.create_connection(("127.0.0.1", self.target_port), timeout=30)
            except OSError:
                return
            server.settimeout(None)
            self._sockets += [client, server]
            self.connections += 1
            threading.Thread(target=self._pump, args=(client, server, False), daemon=True).start()
            threading.Thread(target=self._pump, args=(server, client, True), daemon=True).start()

    def _pump(self, source: socket.socket, target: socket.socket, answers: bool) -> None:
        try:
            while data := source.recv(65536):
                if answers:
                    self._open.wait()
                target.sendall(data)
            target.shutdown(socket.SHUT_WR)
        except OSError:
            pass

    def close(self) -> None:
        self._open.set()
        for each in [self.listener, *self._sockets]:
            each.close()


def running_dovecot():
    """A started Dovecot (a generator for a fixture), stopped and removed however the test ends."""
    # A folder of its own in /tmp: the server's processes run as nobody and must reach it.
    folder = Path(tempfile.mkdtemp(prefix="tavik-dovecot-"))
    try:
        server = Dovecot(folder)
        try:
            yield server
        finally:
            server.stop()
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def scrambled(password: str) -> str:
    """The password as Tavik stores it: every byte XORed with 0x5A."""
    return "".join(chr(ord(c) ^ 0x5A) for c in password)


def tray_tips(wine) -> list[str]:
    """The tips of the tray's icons from left to right, as the tray's tooltips hold them."""
    result = wine.run(["tray-tips.exe"])
    assert result.returncode == 0, result.stdout + result.stderr
    return [line.split("\t", 1)[1] for line in result.stdout.decode().splitlines() if "\t" in line]


def wait_mail_tips(wine, expected: list[str]) -> None:
    """Waits until the icons after Tavik's own (the first, there from the start) carry these tips."""
    seen = []

    def matches():
        seen[:] = tray_tips(wine)
        return seen[:1] and seen[0].startswith("Quorlex Tavik") and seen[1:] == expected

    try:
        wait_until(matches, TIMEOUT, 1, f"the mail icons {expected}")
    except TimeoutError:
        raise AssertionError(f"tray tips {seen}, expected Tavik's own and then {expected}") from None
