"""Helpers that put message files where Tavik keeps them and read them back."""

from __future__ import annotations

from dataclasses import dataclass
from pathlib import Path

DATE_LINE = b"Monday, December 7, 2026, 10:00:00"


def message_bytes(sender: str, text: str, high_priority: bool = False) -> bytes:
    """A stored message: flag, sender, CR LF, date line, CR LF, text."""
    return (b"1" if high_priority else b"0") + sender.encode("cp1252") + b"\r\n" + DATE_LINE + b"\r\n" \
        + text.encode("cp1252")


def store_messages(data_dir: Path, count: int, first_second: int = 1765000000, sender: str = "PC") -> list[Path]:
    """Writes count message files whose arrival seconds rise one by one; returns their paths, oldest first."""
    folder = data_dir / "messages"
    folder.mkdir(parents=True, exist_ok=True)
    paths = []
    for index in range(count):
        path = folder / f"{first_second + index}{sender}.qms"
        path.write_bytes(message_bytes(sender, f"Message number {index + 1}"))
        paths.append(path)
    return paths


def message_files(data_dir: Path) -> list[Path]:
    folder = data_dir / "messages"
    return sorted(folder.glob("*.qms")) if folder.exists() else []


def quiet_settings(wine, settings_key: str) -> None:
    """Creates the settings key without the network listeners and the sound: tests that run side by
    side must not compete for the same ports, and need no sound."""
    wine.reg_add(settings_key)
    for name in ("DisableUDPTread", "DisableTCPTread"):
        wine.reg_add(settings_key, name, "REG_DWORD", 1)
    wine.reg_add(settings_key, "PlaySound", "REG_DWORD", 0)


@dataclass
class StoredMessage:
    high_priority: bool
    sender: bytes
    date_line: bytes
    text: bytes


def read_message(data: bytes) -> StoredMessage:
    """Takes a message file apart: flag byte, sender up to the first CR LF, date line, CR LF, text."""
    sender, _, stamped = data[1:].partition(b"\r\n")
    date_line, _, text = stamped.partition(b"\r\n")
    return StoredMessage(data[:1] == b"1", sender, date_line, text)
