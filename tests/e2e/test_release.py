"""TavikInstall.exe end to end: a silent install into a fresh prefix, Tavik from the installed folder with its
arrival sound, and a silent uninstall."""

from __future__ import annotations

import re
import wave

from stored_messages import message_files
from tavik_harness import SETTINGS_KEY, default_bin_dir, wait_until
from test_setup import ADMINISTRATIVE_DEFAULTS, APP_PATHS_KEY, INSTALL_FOLDER, UNINSTALL_KEY, read_shortcut, \
    shortcut_file

INSTALLER = default_bin_dir().parent / "TavikInstall.exe"
PROGRAMS = ("Tavik.exe", "TavikRes.dll", "TavikSetup.exe", "tavik-send.exe")
SHIPPED = PROGRAMS + ("Tavik.html", "receive.wav")
# Xvfb machines have no sound card, and without one Wine's PlaySound stops at waveOutOpen. ALSA's null
# device stands in for the card, so the sound goes all the way through winmm and Wine's audio driver.
NULL_SOUND_CARD = "pcm.!default { type null }\n"


def install(wine):
    result = wine.run([INSTALLER, "/S"], timeout=300)
    assert result.returncode == 0, result.stderr
    return wine.unix_path(INSTALL_FOLDER)


def start_installed_tavik(wine, folder, **environment):
    """Tavik from the installed folder, also its working folder as with the start-up shortcut; without the
    network listeners, so that tests running side by side keep their ports."""
    for name in ("DisableUDPTread", "DisableTCPTread"):
        wine.reg_add(SETTINGS_KEY, name, "REG_DWORD", 1)
    saved = dict(wine.env)
    wine.env.update(environment)
    try:
        tavik = wine.start_tavik(cwd=folder)
    finally:
        wine.env = saved
    tavik.wait_for_main_window(60)
    wine.wait_for_mailslot()
    return tavik


def receive(wine, folder, text: str):
    result = wine.run([folder / "tavik-send.exe", "--mailslot", "--from", "PC1", "--to", "BOB", text])
    assert result.returncode == 0, result.stdout + result.stderr
    return wait_until(lambda: message_files(wine.data_dir()), 30, 0.2, "the message file")


def version_string(program_bytes: bytes, name: str, value: str) -> bool:
    """Whether a version resource holds name = value (UTF-16 texts, the value 32-bit aligned)."""
    pattern = re.escape(name.encode("utf-16-le")) + b"\0\0(?:\0\0)?" + re.escape(value.encode("utf-16-le")) + b"\0\0"
    return re.search(pattern, program_bytes) is not None


def test_silent_install_prepares_the_machine_and_the_installed_tavik_plays_its_sound(wine):
    folder = install(wine)
    for name in SHIPPED:
        assert (folder / name).read_bytes() == (default_bin_dir() / name).read_bytes(), name
    assert wine.reg_query(APP_PATHS_KEY, "Path") == ("REG_SZ", INSTALL_FOLDER)
    assert wine.reg_query(UNINSTALL_KEY, "DisplayName") == ("REG_SZ", "Quorlex Tavik")
    assert wine.reg_query(UNINSTALL_KEY, "Publisher") == ("REG_SZ", "Quorlex")
    assert wine.reg_query(UNINSTALL_KEY, "DisplayIcon") == ("REG_SZ", INSTALL_FOLDER + r"\Tavik.exe,0")
    assert wine.reg_query(UNINSTALL_KEY, "UninstallString") == ("REG_SZ", f'"{INSTALL_FOLDER}\\Uninstall.exe"')
    version = wine.reg_query(UNINSTALL_KEY, "DisplayVersion")[1]
    for name in PROGRAMS:
        program = (folder / name).read_bytes()
        assert version_string(program, "FileVersion", version), name
        assert version_string(program, "ProductName", "Quorlex Tavik"), name
    # What TavikSetup does for the installing user.
    for name, value in ADMINISTRATIVE_DEFAULTS.items():
        assert wine.reg_dword(SETTINGS_KEY, name) == value, name
    assert read_shortcut(wine, shortcut_file(wine))["path"] == INSTALL_FOLDER + r"\Tavik.exe"
    assert wine.reg_dword(UNINSTALL_KEY, "NoRemove") == 0
    assert wine.data_dir().is_dir()

    sound_card = wine.workdir / "sound-card"
    (sound_card / "alsa").mkdir(parents=True)
    (sound_card / "alsa" / "asoundrc").write_text(NULL_SOUND_CARD)
    tavik = start_installed_tavik(wine, folder, WINEDEBUG="+winmm", XDG_CONFIG_HOME=str(sound_card))
    receive(wine, folder, "hello")
    # PlaySound with SND_ASYNC returns TRUE before it opens the file; what counts is the playing thread's
    # result, which Wine traces. The bare name resolves in Tavik's folder, the installed one; every sample
    # of the installed file must reach the device.
    log = next(wine.workdir.glob("Tavik-*.log"))
    done = wait_until(lambda: re.findall(r'proc_PlaySound Done playing=L"(.*)" => (ok|ko)!', log.read_text()), 30,
                      0.2, "the end of the arrival sound")
    assert done == [("receive.wav", "ok")]
    with wave.open(str(folder / "receive.wav")) as sound:
        sample_bytes = sound.getnframes() * sound.getsampwidth() * sound.getnchannels()
    written = re.findall(r"waveOutWrite dwBufferLength: (\d+)", log.read_text())
    assert sum(map(int, written)) == sample_bytes
    assert tavik.stop() == 0


def test_silent_uninstall_ends_tavik_and_keeps_the_messages(wine):
    folder = install(wine)
    shortcut = wine.unix_path(shortcut_file(wine))
    assert shortcut.is_file()
    tavik = start_installed_tavik(wine, folder)
    messages = receive(wine, folder, "kept after the uninstall")

    # Uninstall.exe runs a copy of itself from the temporary folder and returns at once.
    assert wine.run([folder / "Uninstall.exe", "/S"], timeout=120).returncode == 0
    wait_until(lambda: not folder.exists() and not wine.reg_key_exists(UNINSTALL_KEY), 120, 0.5,
               "the uninstaller to finish")
    # Ended cleanly: a clean exit returns 0 and takes back its single-instance value.
    assert tavik.exit_code(60) == 0
    assert wine.reg_query(SETTINGS_KEY, "ClassName") is None
    assert not wine.reg_key_exists(APP_PATHS_KEY)
    assert not shortcut.exists()
    assert message_files(wine.data_dir()) == messages
    assert wine.reg_dword(SETTINGS_KEY, "TCPPort") == 7777
