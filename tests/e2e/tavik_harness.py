"""Runs Tavik.exe and its helpers under Wine for the end-to-end tests.

A WineSession is one isolated Windows user session: a fresh copy of the template prefix, its own
persistent wineserver and its own Xvfb display, so two test files can run at the same time. Every
process the session starts is stopped by its PID when the session closes, however the test ended.
"""

from __future__ import annotations

import fcntl
import json
import os
import re
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field
from pathlib import Path, PureWindowsPath

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver64"
XVFB = "/usr/bin/Xvfb"
XDOTOOL = "/usr/bin/xdotool"
XWININFO = "/usr/bin/xwininfo"
XPROP = "/usr/bin/xprop"
CONVERT = "/usr/bin/convert"
IMPORT = "/usr/bin/import"  # ImageMagick's own, not a stand-in on the PATH

REPO_ROOT = Path(__file__).resolve().parents[2]
WINE_ENV_SCRIPT = REPO_ROOT / "scripts" / "wine-env.sh"

SETTINGS_KEY = r"HKCU\Software\Quorlex\Tavik\Settings"
# Where Wine reads the display's DPI: the registry file of the prefix and the key in it.
DPI_KEY_FILES = (("user.reg", r"Control Panel\Desktop"),
                 ("system.reg", r"System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts"))
SHELL_FOLDERS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
MAIN_WINDOW_TITLE = r"^Quorlex Tavik"

# Show commands of ShowWindow, as a start-up shortcut passes them.
SW_SHOWNORMAL = 1
SW_SHOWMINIMIZED = 2
SW_MINIMIZE = 6
SW_SHOWMINNOACTIVE = 7

# What Wine says when it could not start a program at all (seen now and then on a loaded machine).
_START_FAILURES = (b"could not be started", b"could not load kernel32.dll")

_SESSION_BOOT_TIMEOUT = 180
_SERVER_START_TIMEOUT = 60
_XVFB_START_TIMEOUT = 60


class HarnessError(RuntimeError):
    """The test environment itself failed (not the program under test)."""


def default_bin_dir() -> Path:
    return Path(os.environ.get("TAVIK_BIN_DIR", REPO_ROOT / "build" / "win64" / "bin"))


def default_artifacts_dir() -> Path:
    return Path(os.environ.get("TAVIK_ARTIFACTS", REPO_ROOT / "build" / "win64" / "artifacts"))


def template_prefix() -> Path:
    """The template prefix that sessions copy; made here (once, under a lock) when CTest has not made it."""
    configured = os.environ.get("TAVIK_WINE_TEMPLATE")
    template = Path(configured) if configured else REPO_ROOT / "build" / "win64" / "wine" / "template"
    if (template / "system.reg").exists():
        return template
    template.parent.mkdir(parents=True, exist_ok=True)
    with open(template.parent / "template.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not (template / "system.reg").exists():
            subprocess.run(["bash", str(WINE_ENV_SCRIPT), "template", str(template)], check=True,
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, timeout=600)
    return template


def free_port() -> int:
    """A port that is free for both TCP and UDP on every local address right now."""
    for _ in range(50):
        with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as tcp:
            tcp.bind(("", 0))
            port = tcp.getsockname()[1]
            try:
                with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as udp:
                    udp.bind(("", port))
            except OSError:
                continue
            return port
    raise HarnessError("no free port")


def wait_until(condition, timeout: float, interval: float = 0.2, message: str = "condition"):
    """Polls condition() until it returns something truthy; returns that value or raises TimeoutError."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {message}")
        time.sleep(interval)


def _set_registry_file_dword(path: Path, key: str, value: str, number: int) -> None:
    """Sets a DWORD value in a registry file of a prefix whose wineserver does not run (the key's
    section must exist, as Wine's boot makes it)."""
    lines = path.read_text(encoding="latin-1").split("\n")
    header = "[" + key.replace("\\", "\\\\") + "]"
    start = next((i for i, line in enumerate(lines) if line.lower().startswith(header.lower() + " ")), None)
    if start is None:
        raise HarnessError(f"{path.name} has no key {key}")
    end = next((i for i in range(start + 1, len(lines)) if not lines[i].strip()), len(lines))
    entry = f'"{value}"=dword:{number:08x}'
    for i in range(start + 1, end):
        if lines[i].lower().startswith(f'"{value.lower()}"='):
            lines[i] = entry
            break
    else:
        lines.insert(end, entry)
    path.write_text("\n".join(lines), encoding="latin-1")


def _kill_group(popen: subprocess.Popen, wait: float = 10) -> None:
    """Kills the process group a popen leads (every process it started shares it), then reaps it."""
    try:
        os.killpg(popen.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass
    try:
        popen.wait(timeout=wait)
    except subprocess.TimeoutExpired:
        pass


def _processes_of_prefix(prefix: Path) -> list[int]:
    """PIDs of processes running with this WINEPREFIX (Wine's helpers start outside our groups)."""
    wanted = b"\0WINEPREFIX=" + os.fsencode(str(prefix)) + b"\0"
    found = []
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            environ = (entry / "environ").read_bytes()
        except OSError:
            continue
        if wanted in b"\0" + environ + b"\0":
            found.append(int(entry.name))
    return found


def _command_line(pid: int) -> str:
    try:
        return Path(f"/proc/{pid}/cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace")
    except OSError:
        return ""


def _kill_if(pid: int | None, program: str) -> None:
    """Kills a process by PID if it still runs that program (a PID may have been reused)."""
    if pid and program in _command_line(pid):
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass


def _kill_prefix_processes(prefix: Path) -> None:
    for pid in _processes_of_prefix(prefix):
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass


def _server_socket_dir(prefix: Path) -> Path:
    # wineserver puts its socket in a folder named after the prefix's device and inode numbers.
    info = os.stat(prefix)
    marker = prefix / "wineserver"
    base = Path("/tmp") / marker.read_text().strip() if marker.exists() else Path(f"/tmp/.wine-{os.getuid()}")
    return base / f"server-{info.st_dev:x}-{info.st_ino:x}"


def _watch_session(read_fd: int, workdir: Path) -> None:
    """Runs detached from the test process: once that process is gone (its end of the pipe closes),
    stops whatever its session left running, if the session was not closed. A test process killed at
    its time-out runs no clean-up of its own."""
    if os.fork():
        os._exit(0)  # the grandchild is nobody's descendant: a time-out that ends the test's tree spares it
    os.setsid()
    while os.read(read_fd, 64):
        pass
    state_file = workdir / "session.json"
    if not state_file.exists():
        return  # closed normally
    state = json.loads(state_file.read_text())
    prefix = Path(state["prefix"])
    if state.get("server"):
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "WINEPREFIX": str(prefix)}
        try:
            subprocess.run([WINESERVER, "-k"], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=30)
        except subprocess.TimeoutExpired:
            pass
        time.sleep(1)
        _kill_if(state["server"], "wineserver")
    _kill_prefix_processes(prefix)
    _kill_if(state.get("xvfb"), "Xvfb")
    try:
        shutil.rmtree(_server_socket_dir(prefix), ignore_errors=True)
    except OSError:
        pass
    shutil.rmtree(workdir, ignore_errors=True)


def _process_session(pid: int) -> int | None:
    try:
        return os.getsid(pid)
    except OSError:
        return None


def _process_name(pid: int) -> str:
    try:
        return Path(f"/proc/{pid}/comm").read_text().strip()
    except OSError:
        return ""


@dataclass
class Win32Window:
    """A window as the Windows side sees it (from tavik-windows.exe). Handles are the low 32 bits."""

    handle: int
    owner: int  # owner of a top-level window, parent of a control
    process_id: int  # the Windows process id
    visible: bool
    foreground: bool
    control_id: int
    style: int
    class_name: str
    text: str
    children: list["Win32Window"] = field(default_factory=list)

    def child(self, control_id: int) -> "Win32Window | None":
        return next((c for c in self.children if c.control_id == control_id), None)

    @property
    def texts(self) -> list[str]:
        return [c.text for c in self.children]


def _unescape(text: str) -> str:
    return re.sub(r"\\(.)", lambda m: {"t": "\t", "r": "\r", "n": "\n"}.get(m.group(1), m.group(1)), text)


def parse_window_list(output: str) -> list[Win32Window]:
    """Reads the lines of tavik-windows.exe into top-level windows holding their controls."""
    tops: list[Win32Window] = []
    for line in output.splitlines():
        fields = line.split("\t")
        if len(fields) != 9 or fields[0] not in ("top", "child"):
            continue
        kind, handle, owner, pid, visible, extra, style, class_name, text = fields
        window = Win32Window(int(handle, 16), int(owner, 16), int(pid), visible == "1",
                             kind == "top" and extra == "1", int(extra) if kind == "child" else 0, int(style, 16),
                             _unescape(class_name), _unescape(text))
        if kind == "top":
            tops.append(window)
        elif tops:
            tops[-1].children.append(window)
    return tops


class WineSession:
    """One fresh Windows session: a prefix copied from the template, a wineserver and an Xvfb display."""

    def __init__(self, bin_dir: Path | None = None, template: Path | None = None, dpi: int | None = None):
        """dpi: the display's DPI for the whole session (Wine's default is 96)."""
        self.bin_dir = Path(bin_dir) if bin_dir else default_bin_dir()
        self._dpi = dpi
        self._template = Path(template) if template else template_prefix()
        self._processes: list[subprocess.Popen] = []  # still to be stopped at close
        self._started = 0
        self._xvfb: subprocess.Popen | None = None
        self._server: subprocess.Popen | None = None
        self._closed = False
        self.display = ""
        self.env: dict[str, str] = {}
        sessions = self._template.parent / "sessions"
        sessions.mkdir(parents=True, exist_ok=True)
        self.workdir = Path(tempfile.mkdtemp(prefix="session-", dir=sessions))
        self.prefix = self.workdir / "prefix"
        self._state: dict = {"prefix": str(self.prefix)}
        self._watch_fd = -1
        try:
            self._start_watch()
            self._setup()
        except BaseException:
            self.close()
            raise

    # -- set-up and tear-down --------------------------------------------------------------------

    def _start_watch(self) -> None:
        self._save_state()
        read_fd, self._watch_fd = os.pipe()
        try:
            subprocess.run([sys.executable, __file__, "watch", str(read_fd), str(self.workdir)], pass_fds=(read_fd,),
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           check=True, timeout=60)
        finally:
            os.close(read_fd)

    def _save_state(self, **changes) -> None:
        """Notes what runs, for the watcher that cleans up after a test process that was killed."""
        self._state.update(changes)
        (self.workdir / "session.json").write_text(json.dumps(self._state))

    def _setup(self) -> None:
        subprocess.run(["cp", "-a", "--reflink=auto", str(self._template), str(self.prefix)], check=True,
                       timeout=300)
        self.display = self._start_xvfb()
        env = dict(os.environ)
        for name in ("WINEARCH", "WINELOADER", "WINESERVER", "WINEDLLPATH"):
            env.pop(name, None)
        env.update({
            "WINEPREFIX": str(self.prefix),
            "WINESERVER": WINESERVER,
            "WINEDEBUG": os.environ.get("WINEDEBUG", "-all"),
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "DISPLAY": self.display,
        })
        self.env = env
        if self._dpi is not None:
            self._set_dpi_before_boot(self._dpi)
        self._start_server()
        # The first Wine process starts the session's helpers (services, explorer), which inherit its
        # standard streams and keep them open: give it none, so later captured output is not held open.
        boot = subprocess.Popen([WINE, "wineboot"], env=self.env, cwd=str(self.workdir), stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        self._processes.append(boot)
        try:
            boot.wait(timeout=_SESSION_BOOT_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise HarnessError("wineboot did not finish")

    def _set_dpi_before_boot(self, dpi: int) -> None:
        # Written into the prefix's registry files before its wineserver loads them: Wine's own helpers
        # (the desktop and its tray) start with the first Wine program and read the DPI only once.
        for file_name, key in DPI_KEY_FILES:
            _set_registry_file_dword(self.prefix / file_name, key, "LogPixels", dpi)

    def _start_xvfb(self) -> str:
        # Xvfb picks a free display number itself and reports it when it is ready: no race with
        # other sessions that start at the same moment.
        read_end, write_end = os.pipe()
        try:
            with open(self.workdir / "xvfb.log", "wb") as log:
                self._xvfb = subprocess.Popen(
                    [XVFB, "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                     "-noreset"],
                    pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=log,
                    start_new_session=True)
            os.close(write_end)
            write_end = -1
            self._save_state(xvfb=self._xvfb.pid)
            text = b""
            deadline = time.monotonic() + _XVFB_START_TIMEOUT
            while not text.endswith(b"\n"):
                remaining = deadline - time.monotonic()
                if remaining <= 0:
                    raise HarnessError("Xvfb did not report its display")
                ready, _, _ = select.select([read_end], [], [], remaining)
                if not ready:
                    continue
                chunk = os.read(read_end, 64)
                if not chunk:
                    raise HarnessError("Xvfb ended before it reported its display: "
                                       + (self.workdir / "xvfb.log").read_text(errors="replace")[-500:])
                text += chunk
            return ":" + text.decode().strip()
        finally:
            os.close(read_end)
            if write_end >= 0:
                os.close(write_end)

    def _start_server(self) -> None:
        with open(self.workdir / "wineserver.log", "wb") as log:
            self._server = subprocess.Popen([WINESERVER, "-f", "-p"], env=self.env, stdin=subprocess.DEVNULL,
                                            stdout=subprocess.DEVNULL, stderr=log, start_new_session=True)
        self._save_state(server=self._server.pid)
        socket_path = _server_socket_dir(self.prefix) / "socket"

        def ready():
            if self._server.poll() is not None:
                raise HarnessError("wineserver ended at start: "
                                   + (self.workdir / "wineserver.log").read_text(errors="replace")[-500:])
            return socket_path.exists()

        wait_until(ready, _SERVER_START_TIMEOUT, 0.05, "the wineserver socket")

    def close(self) -> None:
        """Stops everything the session started (by PID) and removes its prefix. Safe to call twice."""
        if self._closed:
            return
        self._closed = True
        for popen in self._processes:
            if popen.poll() is None:
                _kill_group(popen)
        if self._server is not None:
            if self._server.poll() is None and self.env:
                try:
                    subprocess.run([WINESERVER, "-k"], env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
                except subprocess.TimeoutExpired:
                    pass
            try:
                self._server.wait(timeout=15)
            except subprocess.TimeoutExpired:
                _kill_group(self._server)
        # Wine's own helpers (services.exe, explorer.exe, ...) end with their server; any left over
        # belong to this prefix alone.
        _kill_prefix_processes(self.prefix)
        if self._xvfb is not None:
            if self._xvfb.poll() is None:
                self._xvfb.terminate()
                try:
                    self._xvfb.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    _kill_group(self._xvfb)
        try:
            if self.prefix.exists():
                shutil.rmtree(_server_socket_dir(self.prefix), ignore_errors=True)
        except OSError:
            pass
        shutil.rmtree(self.workdir, ignore_errors=True)
        if self._watch_fd >= 0:
            os.close(self._watch_fd)  # the watcher finds the session gone and ends
            self._watch_fd = -1

    def __enter__(self) -> "WineSession":
        return self

    def __exit__(self, *exc) -> None:
        self.close()

    # -- running programs ------------------------------------------------------------------------

    def _program(self, name: str) -> str:
        candidate = self.bin_dir / name
        if not os.path.isabs(name) and candidate.exists():
            return str(candidate)
        return name

    def run(self, args, cwd=None, timeout: float = 60, input: bytes | None = None) -> subprocess.CompletedProcess:
        """Runs a Windows program (from bin_dir, or a Wine built-in such as "reg") to its end.
        On a loaded machine Wine now and then fails to start a program at all: that is tried again."""
        for _ in range(3):
            result = self._run_once(args, cwd, timeout, input)
            output = result.stdout + result.stderr
            started = not any(sign in output for sign in _START_FAILURES) and result.returncode >= 0
            # A failure that says nothing at all is Wine's too (the programs run here always explain one).
            if result.returncode == 0 or (started and output.strip()):
                break
        return result

    def wait_for_mailslot(self, timeout: float = 30) -> None:
        """Until the receiver's mailslot exists (mailslot-datagrams.exe opens it and writes nothing): Tavik's
        window can be up before its listener thread has made the mailslot."""
        wait_until(lambda: self.run(["mailslot-datagrams.exe"], input=b"").returncode == 0, timeout, 0.25,
                   "the mailslot")

    def _run_once(self, args, cwd, timeout: float, input: bytes | None) -> subprocess.CompletedProcess:
        """Output goes through files, not pipes: a Wine helper the program starts may keep its
        standard streams open long after it ended."""
        args = [str(a) for a in args]
        command = [WINE, self._program(args[0])] + args[1:]
        with tempfile.TemporaryFile(dir=self.workdir) as stdin, tempfile.TemporaryFile(dir=self.workdir) as stdout, \
                tempfile.TemporaryFile(dir=self.workdir) as stderr:
            if input is not None:
                stdin.write(input)
                stdin.seek(0)
            popen = subprocess.Popen(command, cwd=str(cwd or self.bin_dir), env=self.env,
                                     stdin=stdin if input is not None else subprocess.DEVNULL,
                                     stdout=stdout, stderr=stderr, start_new_session=True)
            self._processes.append(popen)
            try:
                popen.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                _kill_group(popen)
                stdout.seek(0)
                stderr.seek(0)
                raise subprocess.TimeoutExpired(command, timeout, stdout.read(), stderr.read())
            self._processes.remove(popen)  # ended and reaped: nothing left to stop
            stdout.seek(0)
            stderr.seek(0)
            return subprocess.CompletedProcess(args, popen.returncode, stdout.read(), stderr.read())

    def start(self, args, cwd=None) -> subprocess.Popen:
        """Starts a Windows program and returns at once; its output goes to a log in the session folder."""
        args = [str(a) for a in args]
        self._started += 1
        log_path = self.workdir / f"{Path(args[0]).stem}-{self._started}.log"
        with open(log_path, "wb") as log:
            popen = subprocess.Popen([WINE, self._program(args[0])] + args[1:], cwd=str(cwd or self.bin_dir),
                                     env=self.env, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                     start_new_session=True)
        popen.log_path = log_path  # what Wine and the program printed, for failure reports
        self._processes.append(popen)
        return popen

    def start_tavik(self, show_command: int | None = None, cwd=None) -> "TavikProcess":
        """Starts Tavik.exe with cwd (default bin_dir) as its working folder: the copy in cwd when it holds
        one, else bin_dir's. The resource module is looked for beside the program first, as Windows does,
        so a start without it needs a folder holding Tavik.exe alone. With show_command, the program gets
        that show command through tavik-launch (as from a shortcut set to run minimised)."""
        self._private_session_port()
        folder = Path(cwd) if cwd else self.bin_dir
        exe = folder / "Tavik.exe" if (folder / "Tavik.exe").exists() else self.bin_dir / "Tavik.exe"
        if show_command is None:
            args = [exe]
        else:
            launcher = self.bin_dir / "tavik-launch.exe"
            if not launcher.exists():
                raise HarnessError(f"{launcher} is missing: build the win64 preset")
            args = [launcher, str(show_command), self.windows_path(exe)]
        return TavikProcess(self, self.start(args, cwd=folder), launched=show_command is not None,
                            restart=lambda: self.start(args, cwd=folder))

    def _private_session_port(self) -> None:
        """Where Wine's NetBIOS cannot listen, Tavik serves Messenger sessions on TCP port 139, which
        sessions running side by side would share: each gets a port of its own unless a test chose one.
        A start without the settings key stays without it (such tests hold a CTest lock instead)."""
        if self.reg_key_exists(SETTINGS_KEY) and self.reg_query(SETTINGS_KEY, "NetbiosPort") is None:
            self.reg_add(SETTINGS_KEY, "NetbiosPort", "REG_DWORD", free_port())

    def logoff(self, timeout: float = 60) -> subprocess.CompletedProcess:
        """Ends the session's programs the way a logoff does (WM_QUERYENDSESSION, WM_ENDSESSION)."""
        return self.run(["wineboot", "-e"], timeout=timeout)

    # -- registry --------------------------------------------------------------------------------

    def reg_query(self, key: str, value: str):
        """(type name, data text) of a registry value, or None when the key or value is absent.
        A DWORD comes back as reg.exe shows it ("0x8")."""
        result = self.run(["reg", "query", key, "/v", value])
        if result.returncode != 0:
            return None
        for line in _decode(result.stdout).splitlines():
            match = re.match(r"^ {4}(.*?) {4}(REG_[A-Z_]+)(?: {4}(.*))?$", line)
            if match and match.group(1).lower() == value.lower():
                return match.group(2), match.group(3) or ""
        return None

    def reg_dword(self, key: str, value: str) -> int | None:
        """A REG_DWORD value as a number, or None when absent."""
        found = self.reg_query(key, value)
        if found is None:
            return None
        if found[0] != "REG_DWORD":
            raise AssertionError(f"{key}\\{value} is {found[0]}, not REG_DWORD")
        return int(found[1], 16)

    def reg_add(self, key: str, value: str | None = None, type_name: str = "REG_SZ", data=None) -> None:
        """Writes a value (creating the key); with value None only creates the key."""
        args = ["reg", "add", key]
        if value is not None:
            args += ["/v", value, "/t", type_name]
            if data is not None:
                args += ["/d", str(data)]
        args.append("/f")
        result = self.run(args)
        if result.returncode != 0:
            raise HarnessError(f"reg add {key} {value} failed: {_decode(result.stdout + result.stderr)}")

    def reg_delete(self, key: str, value: str | None = None) -> bool:
        """Deletes a value, or the whole key when value is None; False when there was nothing to delete."""
        args = ["reg", "delete", key] + (["/v", value] if value is not None else []) + ["/f"]
        return self.run(args).returncode == 0

    def reg_key_exists(self, key: str) -> bool:
        return self.run(["reg", "query", key]).returncode == 0

    # -- paths -----------------------------------------------------------------------------------

    def unix_path(self, windows_path: str) -> Path:
        """The Linux path of a Windows path of this prefix (drive letters through dosdevices; each
        existing component matched without regard to case, as Windows would)."""
        path = PureWindowsPath(windows_path)
        if not path.drive or len(path.drive) != 2:
            raise ValueError(f"not a drive path: {windows_path}")
        current = (self.prefix / "dosdevices" / path.drive.lower()).resolve()
        for part in path.parts[1:]:
            exact = current / part
            if not exact.exists() and current.is_dir():
                for entry in current.iterdir():
                    if entry.name.lower() == part.lower():
                        exact = entry
                        break
            current = exact
        return current

    @staticmethod
    def windows_path(unix_path) -> str:
        """The Windows path of a Linux path, through drive Z: (the whole file system)."""
        return "Z:" + str(Path(unix_path).resolve()).replace("/", "\\")

    def appdata_dir(self) -> Path:
        """The user's AppData\\Roaming folder as the Shell Folders key names it."""
        found = self.reg_query(SHELL_FOLDERS_KEY, "AppData")
        if found is None:
            raise HarnessError("the prefix has no Shell Folders AppData value")
        return self.unix_path(found[1].rstrip(" "))

    def data_dir(self) -> Path:
        return self.appdata_dir() / "Quorlex" / "Quorlex Tavik"

    # -- windows, keys and pictures ----------------------------------------------------------------

    def win32_windows(self) -> list[Win32Window]:
        """Every top-level window of the session with its controls, as Windows reports them."""
        result = self.run(["tavik-windows.exe"])
        if result.returncode != 0:
            raise HarnessError(f"tavik-windows.exe failed with {result.returncode}")
        return parse_window_list(result.stdout.decode("cp1252", errors="replace"))

    def find_win32_windows(self, title_regex: str, visible_only: bool = False) -> list[Win32Window]:
        return [w for w in self.win32_windows()
                if re.search(title_regex, w.text) and (w.visible or not visible_only)]

    def tavik_main_windows(self) -> list[Win32Window]:
        """Tavik's main windows (title starting with "Quorlex Tavik", holding the message text control 1000)."""
        return [w for w in self.find_win32_windows(MAIN_WINDOW_TITLE) if w.child(1000) is not None]

    def tray_icon_count(self) -> int:
        """Icons in Wine's own system tray (it stands in for the taskbar's notification area)."""
        return sum(len([c for c in w.children if c.class_name == "__winex11_tray_icon"])
                   for w in self.win32_windows() if w.class_name == "__winex11_standalone_tray")

    def _x(self, args, timeout: float = 30) -> subprocess.CompletedProcess:
        return subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)

    def window_ids(self, name_regex: str, pid: int | None = None, visible_only: bool = False) -> list[int]:
        """X windows on this display whose title matches name_regex (optionally of one process)."""
        args = [XDOTOOL, "search"]
        if visible_only:
            args.append("--onlyvisible")
        if pid is not None:
            args += ["--all", "--pid", str(pid)]  # xdotool would otherwise accept either condition
        args += ["--name", name_regex]
        result = self._x(args)
        return [int(line) for line in result.stdout.decode().split()]

    def wait_for_window(self, name_regex: str, timeout: float = 30, pid: int | None = None,
                        visible_only: bool = False) -> int:
        ids = wait_until(lambda: self.window_ids(name_regex, pid, visible_only), timeout, 0.25,
                         f"a window named /{name_regex}/ on {self.display}")
        return ids[0]

    def window_name(self, window_id: int) -> str:
        return self._x([XDOTOOL, "getwindowname", str(window_id)]).stdout.decode(errors="replace").rstrip("\n")

    def is_transient(self, window_id: int) -> bool:
        """True for an owned window (a message box or dialog of another window)."""
        info = self._x([XPROP, "-id", str(window_id), "WM_TRANSIENT_FOR"])
        return b"window id #" in info.stdout

    def is_visible(self, window_id: int) -> bool:
        info = self._x([XWININFO, "-id", str(window_id)])
        return b"Map State: IsViewable" in info.stdout

    def window_geometry(self, window_id: int) -> tuple[int, int, int, int]:
        """(x, y, width, height) of a window on the screen."""
        text = self._x([XWININFO, "-id", str(window_id)]).stdout.decode()

        def field(name):
            return int(re.search(rf"{name}:\s+(-?\d+)", text).group(1))

        return field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height")

    def send_keys(self, window_id: int, *keys: str) -> None:
        """Presses keys (xdotool names: "alt+x", "Return") in a window, which gets the focus first."""
        self._x([XDOTOOL, "windowfocus", str(window_id)])
        result = self._x([XDOTOOL, "key", "--window", str(window_id), *keys])
        if result.returncode != 0:
            raise HarnessError(f"xdotool key failed: {result.stderr.decode(errors='replace')}")

    def press_keys(self, *keys: str, focus_window: int | None = None) -> None:
        """Presses keys as the keyboard does (XTEST), for keys meant for no window in particular, such as
        a hot key while Tavik is hidden. Wine sees the keyboard only while one of its windows has the X
        focus: by default Wine's system tray window (shown while a program has a tray icon) gets it."""
        target = focus_window or self.wait_for_window("^Wine System Tray$", 30, visible_only=True)
        self._x([XDOTOOL, "windowfocus", "--sync", str(target)])
        result = self._x([XDOTOOL, "key", *keys])
        if result.returncode != 0:
            raise HarnessError(f"xdotool key failed: {result.stderr.decode(errors='replace')}")

    def click(self, window_id: int, x: int, y: int, button: int = 1) -> None:
        """Clicks at (x, y) relative to the window's upper-left corner."""
        self._x([XDOTOOL, "mousemove", "--window", str(window_id), str(x), str(y), "click", str(button)])

    def screenshot(self, path, window_id: int | None = None) -> Path:
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        target = "root" if window_id is None else str(window_id)
        result = self._x([IMPORT, "-display", self.display, "-window", target, str(path)], timeout=60)
        if result.returncode != 0 or not path.exists():
            raise HarnessError(f"screenshot failed: {result.stderr.decode(errors='replace')}")
        return path


class TavikProcess:
    """A running Tavik.exe of a session (started directly or through tavik-launch)."""

    def __init__(self, session: WineSession, popen: subprocess.Popen, launched: bool, restart=None):
        self.session = session
        self.popen = popen
        self._launched = launched
        self._pid: int | None = None if launched else popen.pid
        self._restart = restart

    @property
    def pid(self) -> int | None:
        """Linux PID of Tavik.exe itself (a child of the launcher when one was used); None once ended."""
        if self._pid is None and self.is_running():
            for entry in Path("/proc").iterdir():
                if entry.name.isdigit() and int(entry.name) != self.popen.pid \
                        and _process_session(int(entry.name)) == self.popen.pid \
                        and _process_name(int(entry.name)).lower() == "tavik.exe":
                    self._pid = int(entry.name)
                    break
        return self._pid

    def is_running(self) -> bool:
        return self.popen.poll() is None

    def printed_tail(self, lines: int = 40) -> str:
        """The last lines Wine and the program wrote to the process's log."""
        try:
            text = Path(self.popen.log_path).read_bytes().decode("utf-8", "replace")
        except (AttributeError, OSError) as error:
            return f"(no log: {error})"
        return "\n".join(text.splitlines()[-lines:])

    def exit_code(self, timeout: float = 60) -> int:
        """Waits for the end and returns the exit code as Linux sees it (-1 shows as 255)."""
        return self.popen.wait(timeout=timeout)

    def main_windows(self, visible_only: bool = False) -> list[int]:
        """X windows of this process whose title starts with "Quorlex Tavik": the main window and the
        message boxes it owns (they carry the same caption)."""
        pid = self.pid
        if pid is None:
            return []
        return self.session.window_ids(MAIN_WINDOW_TITLE, pid=pid, visible_only=visible_only)

    def boxes(self, visible_only: bool = True) -> list[int]:
        """The message boxes and dialogs among main_windows(): windows with an owner."""
        return [w for w in self.main_windows(visible_only) if self.session.is_transient(w)]

    def wait_for_main_window(self, timeout: float = 30, visible_only: bool = False) -> int:
        """The X window of the main window (title starting with "Quorlex Tavik")."""

        def found():
            if not self.is_running() and self.popen.returncode == 1 and self._restart is not None:
                # Tavik never ends with 1; Wine's loader does when it fails before the program runs
                # (seen once on a loaded machine). Such a start is made once more, and said.
                print(f"Wine ended a start of Tavik with 1; starting again. It printed:\n{self.printed_tail()}",
                      file=sys.stderr)
                self.popen = self._restart()
                self._pid = None if self._launched else self.popen.pid
                self._restart = None
                return []
            if not self.is_running():
                raise HarnessError(f"Tavik ended with exit code {self.popen.returncode} before its window appeared; "
                                   f"it printed:\n{self.printed_tail()}")
            # The main window has no owner; the boxes with the same caption are owned by it.
            return [w for w in self.main_windows(visible_only) if not self.session.is_transient(w)]

        return wait_until(found, timeout, 0.25, "Tavik's main window")[0]

    def press_in_main_window(self, *keys: str, timeout: float = 30) -> int:
        """Presses keys in the (visible) main window; returns its X window id."""
        main = self.wait_for_main_window(timeout, visible_only=True)
        self.session.send_keys(main, *keys)
        return main

    def answer_exit_question(self, answer_key: str, timeout: float = 30) -> None:
        """Alt+X in the main window, then answer_key ("y", "n", "Return") in the question it asks."""
        main = self.wait_for_main_window(timeout, visible_only=True)
        before = set(self.main_windows())
        self.session.send_keys(main, "alt+x")
        question = wait_until(lambda: [w for w in self.main_windows(visible_only=True) if w not in before],
                              timeout, 0.25, "the exit question")[0]
        self.session.send_keys(question, answer_key)
        wait_until(lambda: not self.is_running() or not self.session.is_visible(question), timeout, 0.25,
                   "the exit question to close")

    def exit_with_keys(self, timeout: float = 30) -> int:
        """Alt+X in the main window, then Yes in the exit question; returns the exit code."""
        self.answer_exit_question("y", timeout)
        return self.exit_code(timeout)

    def stop(self, timeout: float = 30) -> int:
        """Ends the program with a logoff (which ends every program of the session) and returns its exit
        code. A program that does not end by itself is killed, and the test fails: ending when asked is
        part of what is tested."""
        # A logoff reaches only windows that exist: one that comes early in start-up is repeated.
        for _ in range(3):
            if not self.is_running():
                return self.popen.returncode
            try:
                self.session.logoff(timeout=timeout)
                return self.exit_code(timeout / 3)
            except subprocess.TimeoutExpired:
                continue
        self.kill()
        raise AssertionError(f"Tavik did not end within {timeout} s of a logoff and was killed. It printed:\n"
                             f"{self.printed_tail()}")

    def kill(self) -> None:
        """Ends the process at once (for a test of what a crash leaves behind)."""
        pid = self._pid
        if pid is not None:
            try:
                os.kill(pid, signal.SIGKILL)
            except OSError:
                pass
        _kill_group(self.popen)


def read_rgb(path) -> tuple[int, int, bytes]:
    """(width, height, RGB bytes row by row) of a picture file."""
    ppm = subprocess.run([CONVERT, str(path), "-depth", "8", "ppm:-"], capture_output=True, check=True,
                         timeout=60).stdout
    match = re.match(rb"P6\s+(?:#[^\n]*\s+)*(\d+)\s+(\d+)\s+(\d+)\s", ppm)
    if not match:
        raise HarnessError(f"cannot read {path}")
    width, height = int(match.group(1)), int(match.group(2))
    return width, height, ppm[match.end():match.end() + width * height * 3]


def count_pixels(path, predicate) -> int:
    """How many pixels of a picture satisfy predicate(r, g, b)."""
    _, _, data = read_rgb(path)
    return sum(1 for i in range(0, len(data), 3) if predicate(data[i], data[i + 1], data[i + 2]))


def _decode(data: bytes) -> str:
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        return data.decode("cp1252", errors="replace")


if __name__ == "__main__" and len(sys.argv) == 4 and sys.argv[1] == "watch":
    _watch_session(int(sys.argv[2]), Path(sys.argv[3]))
