"""Samba's smbd as a peer receiver of Messenger messages: a private configuration on a port of its
own (NT1, loopback only, its own state folders) whose message command stores each message as a file
in a folder of the run. A non-daemon process in a session of its own (at its end smbd signals its whole
process group), stopped by its PID."""

from __future__ import annotations

import os
import signal
import socket
import subprocess
import tempfile
import time
from pathlib import Path

SMBD = "/usr/sbin/smbd"
NETBIOS_NAME = "BENCHPEER"

CONFIG = """[global]
  netbios name = {name}
  workgroup = BENCH
  smb ports = {port}
  server min protocol = NT1
  interfaces = 127.0.0.1
  bind interfaces only = yes
  state directory = {root}/state
  cache directory = {root}/cache
  lock directory = {root}/lock
  pid directory = {root}/pid
  private dir = {root}/private
  ncalrpc dir = {root}/ncalrpc
  log file = {root}/log/smbd.log
  log level = 0
  load printers = no
  printcap name = /dev/null
  disable spoolss = yes
  message command = {command}
"""

# Moves each message into the folder as it stands; or first has its bytes reach the disk (as
# Tavik writes every message file through before renaming it into place).
MOVE = "/bin/mv %s {root}/stored/"
SYNC_THEN_MOVE = "/bin/sh -c 'sync %s && mv %s {root}/stored/'"


class SambaPeer:
    """smbd on 127.0.0.1:port; stored holds one file per message it took."""

    def __init__(self, port: int, durable: bool = False):
        self.port = port
        self.root = Path(tempfile.mkdtemp(prefix="tavik-bench-smbd-"))
        os.chmod(self.root, 0o755)
        for folder in ("state", "cache", "lock", "pid", "private", "ncalrpc", "log", "stored", "tmp"):
            (self.root / folder).mkdir()
        # The message command runs as the guest account: the folders it writes are open to it.
        for folder in ("stored", "tmp"):
            os.chmod(self.root / folder, 0o1777)
        self.stored = self.root / "stored"
        config = self.root / "smb.conf"
        command = (SYNC_THEN_MOVE if durable else MOVE).format(root=self.root)
        config.write_text(CONFIG.format(name=NETBIOS_NAME, port=port, root=self.root, command=command))
        env = dict(os.environ, TMPDIR=str(self.root / "tmp"))  # where smbd puts each message first
        with open(self.root / "smbd.out", "wb") as out:
            self.process = subprocess.Popen([SMBD, "--foreground", "--no-process-group", "--debug-stdout", "-s",
                                             str(config)], stdin=subprocess.DEVNULL, stdout=out,
                                            stderr=subprocess.STDOUT, env=env, start_new_session=True)
        deadline = time.monotonic() + 30
        while not self._answers():
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.stop()
                raise RuntimeError("smbd did not start: " + (self.root / "smbd.out").read_text(errors="replace"))
            time.sleep(0.1)

    def _answers(self) -> bool:
        try:
            with socket.create_connection(("127.0.0.1", self.port), timeout=1):
                return True
        except OSError:
            return False

    def stop(self) -> None:
        """Ends smbd and the session processes it forked (they are its children), then removes its folder."""
        if self.process.poll() is None:
            children = _children_of(self.process.pid)
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=10)
            for child in children:
                if _command_of(child).startswith("smbd"):  # still ours, not a reused number
                    try:
                        os.kill(child, signal.SIGKILL)
                    except OSError:
                        pass
        subprocess.run(["rm", "-rf", str(self.root)], check=False)


def _children_of(pid: int) -> list[int]:
    try:
        return [int(p) for p in Path(f"/proc/{pid}/task/{pid}/children").read_text().split()]
    except OSError:
        return []


def _command_of(pid: int) -> str:
    try:
        return Path(f"/proc/{pid}/comm").read_text().strip()
    except OSError:
        return ""
