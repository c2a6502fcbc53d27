"""Tavik.exe in a Wine session of its own, set up for floods: ports of its own, no message limit, no
sound. Started, killed and started again as a scenario needs, and looked at from outside: its memory
(from /proc of the Wine process), its message boxes, its stored files."""

from __future__ import annotations

import socket
import subprocess
import time
from pathlib import Path

from floods import netbios_name
from tavik_harness import SETTINGS_KEY, TavikProcess, WineSession, wait_until
from test_flood import computer_name, distinct_ports, wait_for_listeners

START_TIMEOUT = 90


class SoakTavik:
    def __init__(self, wine: WineSession, settings: dict[str, int] | None = None):
        self.wine = wine
        self.udp_port, self.tcp_port, self.netbios_port = distinct_ports(3)
        wine.reg_add(SETTINGS_KEY)
        values = {"UDPPort": self.udp_port, "TCPPort": self.tcp_port, "NetbiosPort": self.netbios_port,
                  "MessageCountLimit": 1000000, "PlaySound": 0, "PopUpWhenIncoming": 0}
        values.update(settings or {})
        for name, value in values.items():
            wine.reg_add(SETTINGS_KEY, name, "REG_DWORD", value)
        self.computer = computer_name(wine)
        self.process: TavikProcess | None = None
        self.window = 0  # the X window of the main window
        self._data_dir: Path | None = None

    @property
    def data_dir(self) -> Path:
        if self._data_dir is None:
            self._data_dir = self.wine.data_dir()
        return self._data_dir

    def start(self, listening: bool = True) -> float:
        """Starts Tavik and waits for its window (and, with listening, for its three listeners to answer);
        returns the seconds that took."""
        started = time.monotonic()
        self.process = self.wine.start_tavik()
        self.window = self.process.wait_for_main_window(START_TIMEOUT, visible_only=True)
        if listening:
            try:
                wait_for_listeners(self.udp_port, self.tcp_port, self.netbios_port, self.computer)
            except TimeoutError as error:
                raise TimeoutError(f"{error}; {self.state()}") from error
        return time.monotonic() - started

    def state(self) -> str:
        """What may tell why Tavik does not answer: whether it runs, its boxes, its sockets, its log."""
        sockets = subprocess.run(["ss", "-uatnp"], capture_output=True, text=True).stdout.splitlines()
        ports = (f":{self.udp_port} ", f":{self.tcp_port} ", f":{self.netbios_port} ")
        held = [" ".join(line.split()) for line in sockets if any(port in line for port in ports)]
        try:
            boxes = [" | ".join(w.texts) for w in self.wine.win32_windows() if w.owner and w.visible]
        except Exception as error:  # the program's thread may not answer
            boxes = [f"(not known: {error!r})"]
        running = self.running()
        return (f"Tavik running: {running}; boxes: {boxes}; sockets on its ports: {held[:8]}; "
                f"its log ends: {self.process.printed_tail(5) if self.process else ''}")

    def running(self) -> bool:
        return self.process is not None and self.process.is_running()

    def kill(self) -> None:
        """kill -9 of the program, as a crash or a power cut ends it (the files stay as they are)."""
        if self.process is not None:
            self.process.kill()

    def memory(self) -> dict[str, int]:
        """Kilobytes of the Wine process: VmRSS (the working set), VmHWM (its peak), RssAnon (private)."""
        found = {}
        pid = self.process.pid if self.process else None
        if pid is None:
            return found
        for line in Path(f"/proc/{pid}/status").read_text().splitlines():
            name, _, value = line.partition(":")
            if name in ("VmRSS", "VmHWM", "RssAnon"):
                found[name] = int(value.split()[0])
        return found

    def boxes_saying(self, fragment: str) -> int:
        """Message boxes of the session (owned top-level windows) whose text holds fragment. The texts are
        asked of the program's thread: while it does not answer, this finds none."""
        try:
            windows = self.wine.win32_windows()
        except subprocess.TimeoutExpired:
            return 0
        return sum(1 for w in windows if w.owner and w.visible and any(fragment in text for text in w.texts))

    def boxes(self) -> int:
        """Tavik's message boxes on the X display (its owned windows): found without asking the program."""
        return len(self.process.boxes()) if self.running() else 0

    def wait_for_box(self, fragment: str, timeout: float) -> float | None:
        """Seconds until a box saying fragment shows, or None."""
        started = time.monotonic()
        try:
            wait_until(lambda: self.boxes_saying(fragment), timeout, 1, f"a box saying {fragment!r}")
        except TimeoutError:
            return None
        return time.monotonic() - started

    def udp_answers(self, timeout: float = 1) -> bool:
        """A datagram with no message in it is answered with its byte count."""
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
            probe.bind(("127.0.0.1", 0))
            probe.settimeout(timeout)
            probe.sendto(b"ping", ("127.0.0.1", self.udp_port))
            try:
                return probe.recvfrom(100)[0] == (4).to_bytes(4, "little")
            except OSError:
                return False

    def tcp_answers(self, timeout: float = 2) -> bool:
        try:
            with socket.create_connection(("127.0.0.1", self.tcp_port), timeout=timeout) as connection:
                connection.sendall(b"ping")
                connection.shutdown(socket.SHUT_WR)
                return connection.recv(100) == b"4"
        except OSError:
            return False

    def session_request(self) -> bytes:
        """The session request a Messenger sender makes to this computer's name."""
        request = netbios_name(self.computer, 0x03) + netbios_name("SOAK", 0x00)
        return bytes([0x81, 0]) + len(request).to_bytes(2, "big") + request


def message_paths(data_dir: Path) -> list[Path]:
    folder = data_dir / "messages"
    return list(folder.glob("*.qms")) if folder.is_dir() else []


def temporaries(data_dir: Path) -> list[Path]:
    """Files of writes under way, or cut off: *.qms.tmp in the data folder, *.tmp in messages\\."""
    found = list(data_dir.glob("*.qms.tmp")) if data_dir.is_dir() else []
    if (data_dir / "messages").is_dir():
        found += (data_dir / "messages").glob("*.tmp")
    return found


def wait_until_quiet(data_dir: Path, quiet: float = 3, limit: float = 90) -> float:
    """Waits until no message file has been added for `quiet` seconds (what was handed on is stored);
    returns the seconds waited."""
    started = time.monotonic()
    count, since = -1, started
    while time.monotonic() - started < limit:
        now_count = len(message_paths(data_dir))
        if now_count != count:
            count, since = now_count, time.monotonic()
        elif time.monotonic() - since >= quiet:
            break
        time.sleep(0.5)
    return time.monotonic() - started
