"""TavikSetup.exe end to end: each test starts from a fresh prefix, prepares the registry and the
folders the way an earlier installation or an administrator would leave them, runs the setup helper
and checks what a user and Tavik then find."""

from __future__ import annotations

import socket
import struct

import pytest

from tavik_harness import SETTINGS_KEY, SHELL_FOLDERS_KEY, default_bin_dir, free_port, wait_until

APP_PATHS_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Tavik.exe"
UNINSTALL_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\QuorlexTavik"
RECONCILIATION_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\ProfileReconciliation"
EARLIER_KEY = r"HKCU\Software\Quorlex International"
INSTALL_FOLDER = r"C:\Program Files\Quorlex Tavik"
SHORTCUT_NAME = "Quorlex Tavik StartUp.lnk"

ADMINISTRATIVE_DEFAULTS = {
    "UsingFilesToStoreMessages": 1,
    "DisableCloseProgram": 0,
    "DisableFilteringSettings": 0,
    "DisableUDPTread": 0,
    "DisableTCPTread": 0,
    "DisableSMBTread": 0,
    "DisableMailNotification": 0,
    "DisableCustomization": 0,
    "TCPPort": 7777,
    "UDPPort": 7777,
    "MessageCountLimit": 100,
    "BlinkTrayIcon": 1,
}


def run_setup(wine, *, clear_profile_variable: bool = False):
    if clear_profile_variable:
        # The session always has USERPROFILE; clear it for this one program through the shell.
        result = wine.run(["cmd", "/c", "set USERPROFILE=& TavikSetup.exe"])
    else:
        result = wine.run(["TavikSetup.exe"])
    assert result.returncode == 0, result.stderr
    return result


def install(wine):
    """What the installer leaves behind: the program's folder in App Paths."""
    wine.reg_add(APP_PATHS_KEY, "Path", "REG_SZ", INSTALL_FOLDER)


def key_dump(wine, key: str) -> str:
    """Every value of a key as reg.exe lists it (names, types, data), or "" when it is absent."""
    result = wine.run(["reg", "query", key])
    return result.stdout.decode(errors="replace") if result.returncode == 0 else ""


def tree(folder) -> dict[str, bytes | None]:
    """Every folder (None) and file (its bytes) below folder, by relative path."""
    return {str(path.relative_to(folder)): (path.read_bytes() if path.is_file() else None)
            for path in sorted(folder.rglob("*"))}


def shortcut_file(wine):
    startup = wine.reg_query(SHELL_FOLDERS_KEY, "Startup")
    assert startup is not None, "the prefix has no start-up folder"
    return startup[1] + "\\" + SHORTCUT_NAME


def read_shortcut(wine, windows_path: str) -> dict[str, str]:
    result = wine.run(["read-shortcut.exe", windows_path])
    assert result.returncode == 0, result.stderr.decode(errors="replace")
    fields = {}
    for line in result.stdout.decode(errors="replace").splitlines():
        name, _, value = line.partition("=")
        fields[name] = value
    return fields


def stored_show_command(link_bytes: bytes) -> int:
    """The show command field of a shell link's header (offset 0x3C of the 76-byte header)."""
    header_size, = struct.unpack_from("<I", link_bytes, 0)
    assert header_size == 0x4C
    show, = struct.unpack_from("<I", link_bytes, 0x3C)
    return show


# -- settings ----------------------------------------------------------------------------------------


def test_fills_in_missing_settings_and_keeps_present_ones(wine):
    install(wine)
    wine.reg_add(SETTINGS_KEY, "TCPPort", "REG_DWORD", 8000)
    wine.reg_add(SETTINGS_KEY, "DisableCloseProgram", "REG_DWORD", 1)
    wine.reg_add(SETTINGS_KEY, "MessageCountLimit", "REG_SZ", "one hundred and twenty")
    # Present means readable as at most 4 bytes, whatever the type.
    wine.reg_add(SETTINGS_KEY, "BlinkTrayIcon", "REG_BINARY", "000000")
    wine.reg_add(SETTINGS_KEY, "DisableSMBTread", "REG_BINARY", "0100000000")
    wine.reg_add(SETTINGS_KEY, "PlaySound", "REG_DWORD", 0)

    run_setup(wine)

    assert wine.reg_dword(SETTINGS_KEY, "TCPPort") == 8000
    assert wine.reg_dword(SETTINGS_KEY, "UDPPort") == 7777
    assert wine.reg_dword(SETTINGS_KEY, "DisableCloseProgram") == 1
    assert wine.reg_dword(SETTINGS_KEY, "MessageCountLimit") == 100
    assert wine.reg_query(SETTINGS_KEY, "BlinkTrayIcon") == ("REG_BINARY", "000000")
    assert wine.reg_dword(SETTINGS_KEY, "DisableSMBTread") == 0
    # A user setting that setup has no default for is left alone.
    assert wine.reg_dword(SETTINGS_KEY, "PlaySound") == 0
    for name in ("UsingFilesToStoreMessages", "DisableFilteringSettings", "DisableUDPTread",
                 "DisableTCPTread", "DisableMailNotification", "DisableCustomization"):
        assert wine.reg_dword(SETTINGS_KEY, name) == ADMINISTRATIVE_DEFAULTS[name], name


def test_fresh_account_gets_every_default_and_the_data_folder(wine):
    assert not wine.reg_key_exists(SETTINGS_KEY)
    run_setup(wine)
    for name, value in ADMINISTRATIVE_DEFAULTS.items():
        assert wine.reg_dword(SETTINGS_KEY, name) == value, name
    # Only the administrative values are written; no allow list or mail server appears.
    assert wine.reg_query(SETTINGS_KEY, "AllMess") is None
    assert wine.reg_query(SETTINGS_KEY, "IncomingMailServer") is None
    # The uninstall entry belongs to the installer: setup never creates it.
    assert not wine.reg_key_exists(UNINSTALL_KEY)
    assert wine.data_dir().is_dir()


def test_moves_the_old_mail_server_value(wine):
    wine.reg_add(SETTINGS_KEY, "POP3Server", "REG_SZ", "mail.example.org")
    run_setup(wine)
    assert wine.reg_query(SETTINGS_KEY, "IncomingMailServer") == ("REG_SZ", "mail.example.org")
    assert wine.reg_query(SETTINGS_KEY, "POP3Server") is None


def test_old_mail_server_wins_over_a_present_one(wine):
    wine.reg_add(SETTINGS_KEY, "POP3Server", "REG_SZ", "old.example.org")
    wine.reg_add(SETTINGS_KEY, "IncomingMailServer", "REG_SZ", "new.example.org")
    run_setup(wine)
    assert wine.reg_query(SETTINGS_KEY, "IncomingMailServer") == ("REG_SZ", "old.example.org")
    assert wine.reg_query(SETTINGS_KEY, "POP3Server") is None


@pytest.mark.parametrize("stored, expected", [
    (("REG_EXPAND_SZ", "*.*.*.*"), ("REG_EXPAND_SZ", "*")),  # the type is kept
    (("REG_SZ", "*.*.*.*;*"), ("REG_SZ", "*.*.*.*;*")),
    (("REG_SZ", "*.*.*.* "), ("REG_SZ", "*.*.*.* ")),
])
def test_rewrites_only_the_old_accept_all_list(wine, stored, expected):
    wine.reg_add(SETTINGS_KEY, "AllMess", *stored)
    run_setup(wine)
    assert wine.reg_query(SETTINGS_KEY, "AllMess") == expected


def test_removes_the_settings_of_the_earlier_version(wine):
    wine.reg_add(EARLIER_KEY + r"\QuorlexTavik\Settings", "TCPPort", "REG_DWORD", 9000)
    wine.reg_add(EARLIER_KEY + r"\Other", "Kept", "REG_SZ", "yes")
    run_setup(wine)
    assert not wine.reg_key_exists(EARLIER_KEY + r"\QuorlexTavik")
    # Other keys of the company stay, and nothing is carried over from the old settings.
    assert wine.reg_query(EARLIER_KEY + r"\Other", "Kept") == ("REG_SZ", "yes")
    assert wine.reg_dword(SETTINGS_KEY, "TCPPort") == 7777


# -- uninstall entry ---------------------------------------------------------------------------------


def test_marks_an_existing_uninstall_entry(wine):
    wine.reg_add(UNINSTALL_KEY, "DisplayName", "REG_SZ", "Quorlex Tavik")
    wine.reg_add(UNINSTALL_KEY, "NoModify", "REG_DWORD", 0)
    wine.reg_add(UNINSTALL_KEY, "NoRemove", "REG_DWORD", 1)
    run_setup(wine)
    assert wine.reg_dword(UNINSTALL_KEY, "NoModify") == 1
    assert wine.reg_dword(UNINSTALL_KEY, "NoRepair") == 1
    assert wine.reg_dword(UNINSTALL_KEY, "NoRemove") == 0
    assert wine.reg_dword(UNINSTALL_KEY, "WindowsInstaller") == 0
    assert wine.reg_query(UNINSTALL_KEY, "DisplayName") == ("REG_SZ", "Quorlex Tavik")


# -- data folder -------------------------------------------------------------------------------------


def test_moves_the_old_data_folder_with_its_messages(wine):
    old = wine.appdata_dir() / "Quorlex" / "QuorlexTavik"
    (old / "messages").mkdir(parents=True)
    (old / "messages" / "20240101-120000.qms").write_bytes(b"From 10.0.0.1\r\nHello\r\n")
    (old / "trash").mkdir()
    run_setup(wine)
    assert not old.exists()
    assert tree(wine.data_dir()) == {
        "messages": None,
        "messages/20240101-120000.qms": b"From 10.0.0.1\r\nHello\r\n",
        "trash": None,
    }


def test_leaves_the_old_data_folder_when_the_new_one_exists(wine):
    company = wine.appdata_dir() / "Quorlex"
    old = company / "QuorlexTavik"
    new = company / "Quorlex Tavik"
    (old / "messages").mkdir(parents=True)
    (old / "messages" / "old.qms").write_bytes(b"old")
    (new / "messages").mkdir(parents=True)
    (new / "messages" / "new.qms").write_bytes(b"new")
    run_setup(wine)
    assert tree(old) == {"messages": None, "messages/old.qms": b"old"}
    assert tree(new) == {"messages": None, "messages/new.qms": b"new"}


def test_trims_blanks_after_the_application_data_folder(wine):
    appdata = wine.reg_query(SHELL_FOLDERS_KEY, "AppData")[1]
    wine.reg_add(SHELL_FOLDERS_KEY, "AppData", "REG_SZ", appdata + "  ")
    run_setup(wine)
    assert wine.unix_path(appdata + r"\Quorlex\Quorlex Tavik").is_dir()
    # The stored value is read, never rewritten.
    assert wine.reg_query(SHELL_FOLDERS_KEY, "AppData") == ("REG_SZ", appdata + "  ")


def test_without_application_data_folder_uses_the_profile(wine):
    profile = wine.run(["cmd", "/c", "echo %USERPROFILE%"]).stdout.decode().strip()
    assert profile.startswith("C:\\")
    wine.reg_delete(SHELL_FOLDERS_KEY, "AppData")
    run_setup(wine)
    assert wine.reg_query(SHELL_FOLDERS_KEY, "AppData") == ("REG_SZ", profile + r"\Application Data")
    assert wine.unix_path(profile + r"\Application Data\Quorlex\Quorlex Tavik").is_dir()


def test_without_profile_variable_uses_the_reconciled_profile(wine):
    wine.reg_delete(SHELL_FOLDERS_KEY, "AppData")
    wine.reg_add(RECONCILIATION_KEY, "ProfileDirectory", "REG_SZ", "C:\\roaming ann  ")
    run_setup(wine, clear_profile_variable=True)
    assert wine.reg_query(SHELL_FOLDERS_KEY, "AppData") == ("REG_SZ", r"C:\roaming ann\Application Data")
    assert wine.unix_path(r"C:\roaming ann\Application Data\Quorlex\Quorlex Tavik").is_dir()


def test_a_long_application_data_folder_is_kept_and_used(wine):
    appdata = wine.reg_query(SHELL_FOLDERS_KEY, "AppData")[1]
    long_appdata = appdata + "\\" + "a" * 120 + "\\" + "b" * 120
    wine.reg_add(SHELL_FOLDERS_KEY, "AppData", "REG_SZ", long_appdata)
    assert len(long_appdata) >= 260
    run_setup(wine)
    assert wine.reg_query(SHELL_FOLDERS_KEY, "AppData") == ("REG_SZ", long_appdata)


# -- shortcut ----------------------------------------------------------------------------------------


def test_no_shortcut_without_a_program_folder(wine):
    run_setup(wine)  # not installed: App Paths holds no folder
    link = shortcut_file(wine)
    assert not wine.unix_path(link).exists()
    drive_root = wine.unix_path("C:\\")
    assert not (drive_root / "Tavik.lnk").exists()
    assert not list(drive_root.glob("*.lnk"))


def test_the_setup_helper_asks_to_run_as_the_user_who_starts_it():
    # Without this a 32-bit program named "Setup" is taken for an installer and elevated.
    win64 = default_bin_dir() / "TavikSetup.exe"
    win32 = default_bin_dir().parents[1] / "win32" / "bin" / "TavikSetup.exe"
    assert win64.exists()
    for program in (win64, win32):
        if program.exists():
            assert b'requestedExecutionLevel level="asInvoker"' in program.read_bytes(), program


def test_makes_the_startup_shortcut(wine):
    install(wine)
    run_setup(wine)
    link = shortcut_file(wine)
    link_path = wine.unix_path(link)
    assert link_path.is_file()
    fields = read_shortcut(wine, link)
    assert fields["path"] == INSTALL_FOLDER + r"\Tavik.exe"
    assert fields["workdir"] == INSTALL_FOLDER
    assert fields["description"] == "Quorlex Tavik StartUp Shortcut"
    # Wine's shell-link loader ignores the stored show command, so it is read from the file itself.
    assert stored_show_command(link_path.read_bytes()) == 7


def test_shortcut_follows_a_moved_installation(wine):
    install(wine)
    run_setup(wine)
    wine.reg_add(APP_PATHS_KEY, "Path", "REG_SZ", r"C:\Tools\Tavik")
    run_setup(wine)
    fields = read_shortcut(wine, shortcut_file(wine))
    assert fields["path"] == r"C:\Tools\Tavik\Tavik.exe"
    assert fields["workdir"] == r"C:\Tools\Tavik"


def test_settings_and_data_folder_are_done_without_the_shell_link_object(wine):
    install(wine)
    wine.reg_delete(r"HKLM\Software\Classes\CLSID\{00021401-0000-0000-C000-000000000046}")
    wine.reg_add(SETTINGS_KEY, "POP3Server", "REG_SZ", "mail.example.org")
    # A shortcut left from an earlier run goes even when no new one can be made.
    stale = wine.unix_path(shortcut_file(wine))
    stale.write_bytes(b"stale shortcut")
    run_setup(wine)
    assert not stale.exists()
    assert wine.reg_dword(SETTINGS_KEY, "TCPPort") == 7777
    assert wine.reg_query(SETTINGS_KEY, "IncomingMailServer") == ("REG_SZ", "mail.example.org")
    assert wine.data_dir().is_dir()


# -- running twice -----------------------------------------------------------------------------------


def test_second_run_changes_nothing_but_the_shortcut(wine):
    install(wine)
    wine.reg_add(UNINSTALL_KEY, "DisplayName", "REG_SZ", "Quorlex Tavik")
    wine.reg_add(SETTINGS_KEY, "POP3Server", "REG_SZ", "mail.example.org")
    wine.reg_add(SETTINGS_KEY, "AllMess", "REG_SZ", "*.*.*.*")
    old = wine.appdata_dir() / "Quorlex" / "QuorlexTavik"
    old.mkdir(parents=True)
    (old / "a.qms").write_bytes(b"a")
    run_setup(wine)

    before = (key_dump(wine, SETTINGS_KEY), key_dump(wine, UNINSTALL_KEY),
              key_dump(wine, SHELL_FOLDERS_KEY), tree(wine.appdata_dir() / "Quorlex"))
    assert wine.reg_query(SETTINGS_KEY, "IncomingMailServer") == ("REG_SZ", "mail.example.org")
    assert wine.reg_query(SETTINGS_KEY, "POP3Server") is None
    assert wine.reg_query(SETTINGS_KEY, "AllMess") == ("REG_SZ", "*")
    # Spoil the shortcut: the second run must make it anew.
    link_path = wine.unix_path(shortcut_file(wine))
    link_path.write_bytes(b"not a link")

    run_setup(wine)

    after = (key_dump(wine, SETTINGS_KEY), key_dump(wine, UNINSTALL_KEY),
             key_dump(wine, SHELL_FOLDERS_KEY), tree(wine.appdata_dir() / "Quorlex"))
    assert after == before
    assert read_shortcut(wine, shortcut_file(wine))["path"] == INSTALL_FOLDER + r"\Tavik.exe"


# -- Tavik after setup -------------------------------------------------------------------------------


def tcp_port_answers(port: int) -> bool:
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=2):
            return True
    except OSError:
        return False


def test_tavik_starts_with_the_settings_and_data_folder_setup_made(wine):
    install(wine)
    port = free_port()
    wine.reg_add(SETTINGS_KEY, "TCPPort", "REG_DWORD", port)
    wine.reg_add(SETTINGS_KEY, "UDPPort", "REG_DWORD", free_port())
    old = wine.appdata_dir() / "Quorlex" / "QuorlexTavik" / "messages"
    old.mkdir(parents=True)
    run_setup(wine)

    tavik = wine.start_tavik()
    try:
        tavik.wait_for_main_window(timeout=60)
        data = wine.data_dir()
        wait_until(lambda: (data / "messages").is_dir() and (data / "trash").is_dir(), 30,
                   message="the messages and trash folders in the data folder")
        # The key setup created makes the single-instance value appear while Tavik runs.
        wait_until(lambda: wine.reg_query(SETTINGS_KEY, "ClassName") is not None, 30,
                   message="ClassName in the settings key")
        wait_until(lambda: tcp_port_answers(port), 60, 0.5, message=f"Tavik listening on TCP port {port}")
    finally:
        tavik.stop()
