#!/usr/bin/env python3
"""Fails when a source file includes a file of a folder it may not depend on.

Folders of src/ and what each may include besides itself:
  core                              nothing else, and no system header of Windows
  platform, win                     core
  reception, store, mail            core, platform, win, resources
  settings                          core, win
  options                           core, platform, win, resources, mail
  shell                             everything
  setup, send                       core, platform, win
  resources                         nothing else
Usage: check_includes.py [SRC_DIR]
"""

import re
import sys
from pathlib import Path

ALLOWED = {
    "core": set(),
    "platform": {"core"},
    "win": {"core"},
    "reception": {"core", "platform", "win", "resources"},
    "store": {"core", "platform", "win", "resources"},
    "mail": {"core", "platform", "win", "resources"},
    "options": {"core", "platform", "win", "resources", "mail"},
    "settings": {"core", "win"},
    "shell": {"core", "platform", "win", "resources", "reception", "store", "mail", "options", "settings"},
    "setup": {"core", "platform", "win"},
    "send": {"core", "platform", "win"},
    "resources": set(),
}
# Headers that tie code to Windows; the portable core must build without them.
WINDOWS_HEADERS = re.compile(
    r"^(windows|winsock2?|ws2tcpip|winbase|winuser|winreg|shellapi|commctrl|mmsystem|psapi|objbase|shlobj|"
    r"nb30|prsht|iphlpapi|wininet)\.h$", re.IGNORECASE)
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder_of_include(src: Path, including: Path, name: str) -> str | None:
    """The src/ folder an include names, or None for a system or third-party header."""
    if "/" in name:
        top = name.split("/", 1)[0]
        return top if (src / top).is_dir() else None
    if (including.parent / name).exists():
        return including.relative_to(src).parts[0]
    if (src / "resources" / name).exists():
        return "resources"
    return None


def check(src: Path) -> list[str]:
    faults = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in {".h", ".hpp", ".cpp", ".cc", ".rc"} or not path.is_file():
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in ALLOWED:
            faults.append(f"{path.relative_to(src.parent)}: folder '{folder}' has no include rule")
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            quote, name = match.groups()
            where = f"{path.relative_to(src.parent)}:{number}"
            if folder == "core" and quote == "<" and WINDOWS_HEADERS.match(Path(name).name):
                faults.append(f"{where}: includes <{name}>; core is portable and includes no Windows header")
                continue
            if quote == "<":
                continue
            target = folder_of_include(src, path, name)
            if target is None or target == folder or target in ALLOWED[folder]:
                continue
            allowed = ", ".join(sorted(ALLOWED[folder])) or "nothing outside itself"
            faults.append(f'{where}: includes "{name}"; {folder} may include {allowed}')
    return faults


def main() -> int:
    src = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2] / "src"
    faults = check(src.resolve())
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) against the layer rules")
        return 1
    print("includes follow the layer rules")
    return 0


if __name__ == "__main__":
    sys.exit(main())
