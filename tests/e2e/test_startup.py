"""Start-up and shut-down of Tavik.exe: the resource module check, the one-instance rule, the settings
key's ClassName and font size, the data folder, and starting hidden in the tray."""

import shutil

import pytest

from tavik_harness import (SETTINGS_KEY, SHELL_FOLDERS_KEY, SW_MINIMIZE, SW_SHOWMINIMIZED, SW_SHOWMINNOACTIVE,
                           count_pixels, free_port, wait_until)

MISSING_RESOURCE_TEXT = "Unable to load TavikRes.dll.\r\nPlease, reinstall Quorlex Tavik."
START_TIMEOUT = 90  # a loaded two-core machine starts Wine programs slowly


def bin_copy(wine, without=()):
    """A private program folder (Tavik.exe and its resource module, less those named) to start Tavik from."""
    folder = wine.workdir / "program"
    folder.mkdir()
    for name in ("Tavik.exe", "TavikRes.dll"):
        if name not in without:
            shutil.copy2(wine.bin_dir / name, folder / name)
    return folder


def create_settings_key(wine, **dwords):
    """Creates the settings key. Ports of its own keep tests that run side by side apart."""
    port = free_port()
    values = {"TCPPort": port, "UDPPort": port, **dwords}
    for name, number in values.items():
        wine.reg_add(SETTINGS_KEY, name, "REG_DWORD", number)


def wait_for_class_name(wine):
    """ClassName of a running instance: written once its window exists and has been shown or left hidden."""
    return wait_until(lambda: wine.reg_dword(SETTINGS_KEY, "ClassName"), START_TIMEOUT, 0.5,
                      "ClassName in the settings key")


def only_main_window(wine):
    windows = wine.tavik_main_windows()
    assert len(windows) == 1, f"expected one main window, found {windows}"
    return windows[0]


def is_stop_icon_red(r, g, b):
    return r >= 150 and g <= 100 and b <= 100


class TestResourceModule:
    def test_missing_module_shows_stop_box_and_ends_with_minus_one(self, wine, artifacts):
        folder = bin_copy(wine, without=["TavikRes.dll"])
        tavik = wine.start_tavik(cwd=folder)

        box_id = wine.wait_for_window("^Quorlex Tavik$", START_TIMEOUT, visible_only=True)
        boxes = wine.find_win32_windows("^Quorlex Tavik$", visible_only=True)
        assert len(boxes) == 1
        box = boxes[0]
        assert box.class_name == "#32770"
        assert box.owner == 0, "the box has no owner"
        assert MISSING_RESOURCE_TEXT in box.texts
        assert [c.text for c in box.children if c.class_name.lower() == "button"] == ["OK"]
        picture = wine.screenshot(artifacts / "missing_resource_box.png", box_id)
        assert count_pixels(picture, is_stop_icon_red) > 40, "the box shows the stop icon"

        assert tavik.is_running(), "the program waits for the box"
        wine.send_keys(box_id, "Return")
        assert tavik.exit_code(START_TIMEOUT) == 255  # -1 as Linux reports it
        # Nothing else happened: no settings were loaded, so no data folder was made.
        assert not (wine.appdata_dir() / "Quorlex").exists()
        assert not wine.reg_key_exists(SETTINGS_KEY)


class TestSingleInstance:
    @pytest.mark.parametrize("first_show", [None, SW_SHOWMINNOACTIVE], ids=["first-shown", "first-hidden"])
    def test_second_start_restores_the_first_and_ends_with_zero(self, wine, first_show):
        create_settings_key(wine)
        first = wine.start_tavik(show_command=first_show)
        handle = wait_for_class_name(wine)
        first_window = first.wait_for_main_window(START_TIMEOUT)
        main = only_main_window(wine)
        assert main.handle == handle, "ClassName holds the main window's handle"
        if first_show is None:
            wait_until(lambda: wine.is_visible(first_window), START_TIMEOUT, 0.25, "the first window")
        else:
            assert not main.visible and not wine.is_visible(first_window)

        second = wine.start_tavik()
        assert second.exit_code(START_TIMEOUT) == 0
        wait_until(lambda: wine.is_visible(first_window), START_TIMEOUT, 0.25, "the first window to be shown")
        main = only_main_window(wine)
        assert main.visible and main.handle == handle
        assert first.is_running()
        assert wine.reg_dword(SETTINGS_KEY, "ClassName") == handle

    @pytest.mark.parametrize("stale", ["gone", "other-title"])
    def test_stale_class_name_does_not_stop_a_start(self, wine, stale):
        create_settings_key(wine)
        if stale == "gone":
            left_behind = 0x7FFF0
        else:
            # A live window with another title: Wine's own hidden tray window.
            left_behind = next(w.handle for w in wine.win32_windows() if w.class_name == "Shell_TrayWnd")
        assert not any(w.handle == left_behind for w in wine.tavik_main_windows())
        wine.reg_add(SETTINGS_KEY, "ClassName", "REG_DWORD", left_behind)

        tavik = wine.start_tavik()
        tavik.wait_for_main_window(START_TIMEOUT)
        main = wait_until(wine.tavik_main_windows, START_TIMEOUT, 0.5, "the main window")[0]
        wait_until(lambda: wine.reg_dword(SETTINGS_KEY, "ClassName") == main.handle, START_TIMEOUT, 0.5,
                   "ClassName to name the new window")
        assert tavik.is_running()

    def test_without_settings_key_defaults_apply_and_a_second_start_restores_the_first(self, wine):
        assert not wine.reg_key_exists(SETTINGS_KEY)
        first = wine.start_tavik()
        first_window = first.wait_for_main_window(START_TIMEOUT)
        wine.send_keys(first_window, "Escape")
        wait_until(lambda: not wine.is_visible(first_window), START_TIMEOUT, 0.25, "the window hidden")

        # Without the settings key there is no ClassName to go by: the per-user lock still says
        # that Tavik runs, and the running one is found by its window.
        second = wine.start_tavik()
        assert second.exit_code(START_TIMEOUT) == 0
        wait_until(lambda: wine.is_visible(first_window), START_TIMEOUT, 0.25, "the first window restored")
        assert first.is_running()
        assert len(wine.tavik_main_windows()) == 1
        assert not wine.reg_key_exists(SETTINGS_KEY), "start-up never creates the key"

        wine.logoff()
        assert first.exit_code(START_TIMEOUT) == 0
        assert not wine.reg_key_exists(SETTINGS_KEY), "exit only opens an existing key"

    def test_a_stale_class_name_naming_another_program_does_not_stop_a_start(self, wine):
        create_settings_key(wine)
        # Another program's window whose title starts like Tavik's, named by a ClassName left
        # behind by a crash.
        document = wine.unix_path("C:\\Quorlex Tavik notes.txt")
        document.write_text("notes")
        wine.start(["notepad", "C:\\Quorlex Tavik notes.txt"])
        notepad = wait_until(lambda: [w for w in wine.win32_windows() if w.text.startswith("Quorlex Tavik notes")],
                             START_TIMEOUT, 0.5, "the editor's window")
        wine.reg_add(SETTINGS_KEY, "ClassName", "REG_DWORD", notepad[0].handle)
        tavik = wine.start_tavik()
        tavik.wait_for_main_window(START_TIMEOUT)
        assert tavik.is_running()


class TestShutDown:
    def test_logoff_removes_class_name_and_writes_font_size(self, wine, artifacts):
        create_settings_key(wine)
        tavik = wine.start_tavik()
        handle = wait_for_class_name(wine)
        window = tavik.wait_for_main_window(START_TIMEOUT)
        wait_until(lambda: wine.is_visible(window), START_TIMEOUT, 0.25, "the main window")
        assert only_main_window(wine).handle == handle
        assert wine.reg_query(SETTINGS_KEY, "MessageTextFontSize") is None
        wine.screenshot(artifacts / "main_window.png", window)

        wine.logoff()
        assert tavik.exit_code(START_TIMEOUT) == 0
        assert wine.reg_query(SETTINGS_KEY, "ClassName") is None
        assert wine.reg_dword(SETTINGS_KEY, "MessageTextFontSize") == 8
        assert wine.tray_icon_count() == 0, "the tray icon goes with the program"

    def test_exit_asks_first_and_saves_the_changed_font_size(self, wine):
        create_settings_key(wine, MessageTextFontSize=12)
        tavik = wine.start_tavik()
        wait_for_class_name(wine)
        tavik.wait_for_main_window(START_TIMEOUT, visible_only=True)

        tavik.answer_exit_question("Return")  # No is the default button
        assert tavik.is_running()
        tavik.press_in_main_window("alt+z")  # larger font: 12 and up grow by 2
        assert tavik.exit_with_keys(START_TIMEOUT) == 0
        assert wine.reg_query(SETTINGS_KEY, "ClassName") is None
        assert wine.reg_dword(SETTINGS_KEY, "MessageTextFontSize") == 14


class TestDataFolder:
    def test_start_makes_messages_and_trash_under_appdata(self, wine):
        folder = bin_copy(wine)
        data = wine.data_dir()
        assert data == wine.appdata_dir() / "Quorlex" / "Quorlex Tavik"
        assert not data.exists()

        tavik = wine.start_tavik(cwd=folder)
        tavik.wait_for_main_window(START_TIMEOUT)
        assert (data / "messages").is_dir()
        assert (data / "trash").is_dir()
        assert not (folder / "messages").exists() and not (folder / "trash").exists()

    def test_blanks_after_appdata_are_ignored(self, wine):
        appdata = wine.reg_query(SHELL_FOLDERS_KEY, "AppData")[1]
        wine.reg_add(SHELL_FOLDERS_KEY, "AppData", "REG_SZ", appdata + "  ")
        tavik = wine.start_tavik(cwd=bin_copy(wine))
        tavik.wait_for_main_window(START_TIMEOUT)
        assert wine.reg_query(SHELL_FOLDERS_KEY, "AppData")[1] == appdata + "  ", "the value kept its blanks"
        data = wine.unix_path(appdata) / "Quorlex" / "Quorlex Tavik"
        assert (data / "messages").is_dir() and (data / "trash").is_dir()
        assert not any(p.name.endswith(" ") for p in wine.unix_path(appdata).parent.iterdir())

    def test_the_resource_module_comes_from_the_program_folder_not_the_current_one(self, wine):
        create_settings_key(wine)
        elsewhere = wine.workdir / "elsewhere"
        elsewhere.mkdir()
        (elsewhere / "TavikRes.dll").write_bytes(b"MZ planted, not a module")
        tavik = wine.start_tavik(cwd=elsewhere)
        tavik.wait_for_main_window(START_TIMEOUT)
        assert tavik.is_running()

    def test_without_appdata_the_current_folder_gets_both_folders(self, wine):
        appdata = wine.appdata_dir()
        assert wine.reg_delete(SHELL_FOLDERS_KEY, "AppData")
        folder = bin_copy(wine)
        tavik = wine.start_tavik(cwd=folder)
        tavik.wait_for_main_window(START_TIMEOUT)
        assert wine.reg_query(SHELL_FOLDERS_KEY, "AppData") is None, "the value stayed absent"
        assert not (appdata / "Quorlex").exists()
        assert (folder / "messages").is_dir() and (folder / "trash").is_dir()
        assert tavik.is_running()


class TestStartHidden:
    @pytest.mark.parametrize("show", [SW_SHOWMINIMIZED, SW_MINIMIZE, SW_SHOWMINNOACTIVE])
    def test_minimised_show_commands_leave_only_the_tray_icon(self, wine, show):
        create_settings_key(wine)
        assert wine.tray_icon_count() == 0
        tavik = wine.start_tavik(show_command=show)
        handle = wait_for_class_name(wine)  # written after the window was shown or left hidden
        wait_until(lambda: wine.tray_icon_count() == 1, START_TIMEOUT, 0.5, "the tray icon")
        main = only_main_window(wine)
        assert main.handle == handle
        assert not main.visible and not main.foreground
        assert [w for w in tavik.main_windows(visible_only=True) if not wine.is_transient(w)] == []
        assert tavik.is_running()

    def test_other_show_commands_show_the_window(self, wine):
        create_settings_key(wine)
        tavik = wine.start_tavik(show_command=1)
        wait_for_class_name(wine)
        window = tavik.wait_for_main_window(START_TIMEOUT)
        wait_until(lambda: wine.is_visible(window), START_TIMEOUT, 0.25, "the main window")
        assert only_main_window(wine).visible
