"""Tavik on a display scaled to 150 % (144 DPI) next to the same at 96 DPI, one start each: the main
window with its message text, message font and toolbar pictures, the options sheet, the check-now
dialog with its progress bar and the tray icon come out 1.5 times as large, nothing is cut off, and
the tray shows the picture drawn for its size rather than a stretched one. A window moved to a
monitor of 144 DPI (WM_DPICHANGED) takes the rectangle it is offered and lays itself out at the ratio.
The pictures are kept in display_scaling/."""

from __future__ import annotations

import subprocess
from dataclasses import dataclass, field
from pathlib import Path

import pytest

from stored_messages import quiet_settings, store_messages
from tavik_harness import CONVERT, REPO_ROOT, SETTINGS_KEY, WineSession, default_artifacts_dir, read_rgb, wait_until

TIMEOUT = 60
RATIO = 1.5
# What the program sizes itself is off by rounding at most; what a dialog template sizes follows the
# measured letter size of the dialog font, which grows by about the ratio (7 to 10 pixels here).
OWN_SLACK = 3
TEMPLATE_SLACK = 0.06
OPTIONS = "^Tavik Options$"
CMD_OPTIONS = 1007
CHECK_NOW = "^Check Mail Now$"
CMD_CHECK_MAIL_NOW = 40002
IDC_MESSAGE_TEXT = 1000
ICON_OF_THREE = REPO_ROOT / "src" / "resources" / "pictures" / "icon3.ico"


@dataclass
class Box:
    """A window or control in screen pixels; a control's x and y are in its parent's client area."""

    x: int
    y: int
    width: int
    height: int
    client: tuple[int, int]
    parent: int = 0
    control_id: int = 0
    visible: bool = True
    class_name: str = ""


@dataclass
class Layout:
    """A window and everything in it, as window-layout.exe reports them."""

    handle: int
    screen_dpi: int = 0
    window: Box | None = None
    controls: dict[int, Box] = field(default_factory=dict)  # by handle
    button_size: tuple[int, int] = (0, 0)
    line_height: int = 0

    def control(self, control_id: int) -> Box:
        return next(c for c in self.controls.values() if c.control_id == control_id and c.parent == self.handle)

    def of_class(self, class_name: str) -> Box:
        return next(c for c in self.controls.values() if c.class_name == class_name)

    def cut_off(self) -> list[str]:
        """Visible controls reaching out of their parent's client area. A toolbar takes its window's width
        wherever it starts: what must fit are its buttons (check_toolbar)."""
        found = []
        for c in self.controls.values():
            room = self.window.client if c.parent == self.handle else self.controls[c.parent].client
            if c.visible and c.class_name != "ToolbarWindow32" and \
                    (c.x < 0 or c.y < 0 or c.x + c.width > room[0] or c.y + c.height > room[1]):
                found.append(f"{c.class_name} {c.control_id}: {c.x},{c.y} {c.width}x{c.height} in {room}")
        return found


def layout_of(wine, handle: int, *dpi_change: str) -> Layout:
    result = wine.run(["window-layout.exe", f"{handle:x}", *dpi_change])
    assert result.returncode == 0, result.stdout + result.stderr
    layout = Layout(handle)
    for kind, *fields in (line.split("\t") for line in result.stdout.decode().splitlines()):
        if kind == "window":
            layout.screen_dpi, x, y, width, height, client_width, client_height = map(int, fields)
            layout.window = Box(x, y, width, height, (client_width, client_height))
        elif kind == "child":
            x, y, width, height, client_width, client_height = map(int, fields[5:])
            layout.controls[int(fields[0], 16)] = Box(x, y, width, height, (client_width, client_height),
                                                      int(fields[1], 16), int(fields[2]), fields[3] == "1", fields[4])
        elif kind == "buttons":
            layout.button_size = (int(fields[1]), int(fields[2]))
        elif kind == "lines":
            layout.line_height = int(fields[1])
    return layout


def assert_grown(small: tuple[int, ...], large: tuple[int, ...], what: str, slack: float | int) -> None:
    """Each length of large is RATIO times small, give or take slack (pixels, or a share of the length)."""
    for before, after in zip(small, large):
        allowed = slack if isinstance(slack, int) else max(OWN_SLACK, round(slack * before * RATIO))
        assert abs(after - before * RATIO) <= allowed, f"{what}: {small} became {large}, want {RATIO} times"


def run_at(dpi: int, pictures: Path) -> dict:
    """Starts Tavik at dpi with three messages; measures and pictures the main window, the tray and the
    options sheet, and at 96 DPI the main window after a move to a monitor of 144 DPI."""
    run = {}
    with WineSession(dpi=dpi) as wine:
        quiet_settings(wine, SETTINGS_KEY)
        store_messages(wine.data_dir(), 3)
        tavik = wine.start_tavik()
        x_main = tavik.wait_for_main_window(TIMEOUT, visible_only=True)
        main = wine.tavik_main_windows()[0].handle
        run["main"] = layout_of(wine, main)
        run["main picture"] = wine.screenshot(pictures / f"main_window_{dpi}.png", x_main)
        run["tray picture"] = wine.screenshot(pictures / f"tray_{dpi}.png", wine.wait_for_window("^Wine System Tray$"))
        tray = next(w for w in wine.win32_windows() if w.class_name == "__winex11_standalone_tray")
        run["tray cell"] = layout_of(wine, tray.handle).of_class("__winex11_tray_icon").width

        assert wine.run(["drive-dialog.exe", f"{main:x}", "command", str(CMD_OPTIONS)]).returncode == 0
        sheet = wait_until(lambda: next(iter(wine.find_win32_windows(OPTIONS, visible_only=True)), None), TIMEOUT,
                           0.3, "the options sheet")
        run["sheet"] = layout_of(wine, sheet.handle)
        wine.screenshot(pictures / f"options_sheet_{dpi}.png", wine.wait_for_window(OPTIONS, visible_only=True))
        assert wine.run(["drive-dialog.exe", f"{sheet.handle:x}", "press", "cancel"]).returncode == 0
        wait_until(lambda: not wine.find_win32_windows(OPTIONS, visible_only=True), TIMEOUT, 0.3, "the sheet to close")

        # No mail server is set: the check ends at once and the dialog stays until closed.
        assert wine.run(["drive-dialog.exe", f"{main:x}", "command", str(CMD_CHECK_MAIL_NOW)]).returncode == 0
        dialog = wait_until(lambda: next(iter(wine.find_win32_windows(CHECK_NOW, visible_only=True)), None), TIMEOUT,
                            0.3, "the check-now dialog")
        run["check now"] = layout_of(wine, dialog.handle)
        wine.screenshot(pictures / f"check_now_{dpi}.png", wine.wait_for_window(CHECK_NOW, visible_only=True))
        assert wine.run(["drive-dialog.exe", f"{dialog.handle:x}", "command", "2"]).returncode == 0  # Cancel/Close
        wait_until(lambda: not wine.find_win32_windows(CHECK_NOW, visible_only=True), TIMEOUT, 0.3,
                   "the check-now dialog to close")

        if dpi == 96:
            # Windows offers the window's rectangle grown by the ratio, where it stood.
            box = run["main"].window
            offered = [box.x, box.y, box.x + round(box.width * RATIO), box.y + round(box.height * RATIO)]
            run["moved"] = layout_of(wine, main, "dpi-change", "144", *map(str, offered))
            run["moved picture"] = wine.screenshot(pictures / "main_window_96_moved_to_144.png", x_main)
        assert tavik.stop() == 0
    return run


@pytest.fixture(scope="module")
def runs() -> dict[int, dict]:
    pictures = default_artifacts_dir() / "display_scaling"
    return {dpi: run_at(dpi, pictures) for dpi in (96, 144)}


def arrow_size(picture: Path, layout: Layout) -> tuple[int, int]:
    """Width and height of the blue arrow on the first toolbar button (Previous) in a picture of the
    main window, its edges blended with the button face included."""
    width, _, rgb = read_rgb(picture)
    toolbar = layout.of_class("ToolbarWindow32")
    blue = [(x, y) for y in range(toolbar.y, toolbar.y + layout.button_size[1])
            for x in range(toolbar.x, toolbar.x + layout.button_size[0])
            if rgb[(y * width + x) * 3 + 2] > rgb[(y * width + x) * 3] + 60]
    assert blue, "no arrow on the Previous button"
    return max(x for x, _ in blue) - min(x for x, _ in blue) + 1, max(y for _, y in blue) - min(y for _, y in blue) + 1


def check_toolbar(layout: Layout) -> None:
    """Six buttons and two separators (each narrower than a button) fit into the window."""
    toolbar, (width, height) = layout.of_class("ToolbarWindow32"), layout.button_size
    assert height <= toolbar.height and toolbar.y + toolbar.height <= layout.window.client[1]
    assert toolbar.x + 8 * width <= layout.window.client[0], "toolbar buttons cut off"


def check_main_window_grown(small: Layout, large: Layout, small_picture: Path, large_picture: Path, slack) -> None:
    text_small, text_large = small.control(IDC_MESSAGE_TEXT), large.control(IDC_MESSAGE_TEXT)
    assert_grown((text_small.x, text_small.y, text_small.width, text_small.height),
                 (text_large.x, text_large.y, text_large.width, text_large.height), "message text", slack)
    # The message font keeps the user's point size: its lines grow with the DPI.
    assert_grown((small.line_height,), (large.line_height,), "message line height", 2)
    assert_grown(arrow_size(small_picture, small), arrow_size(large_picture, large), "toolbar picture", 2)
    assert large.cut_off() == []
    check_toolbar(large)


def test_the_main_window_grows_with_the_dpi_and_so_do_the_options_sheet_and_the_check_now_dialog(runs):
    small, large = runs[96]["main"], runs[144]["main"]
    assert (small.screen_dpi, large.screen_dpi) == (96, 144)
    assert_grown(small.window.client, large.window.client, "main window", TEMPLATE_SLACK)
    check_main_window_grown(small, large, runs[96]["main picture"], runs[144]["main picture"], TEMPLATE_SLACK)
    assert small.cut_off() == []
    check_toolbar(small)

    small, large = runs[96]["sheet"], runs[144]["sheet"]
    assert_grown(small.window.client, large.window.client, "options sheet", TEMPLATE_SLACK)
    assert small.cut_off() == [] and large.cut_off() == []

    # The progress bar the program adds to the check-now dialog grows with the template around it.
    small, large = runs[96]["check now"], runs[144]["check now"]
    assert_grown(small.window.client, large.window.client, "check-now dialog", TEMPLATE_SLACK)
    bar_small, bar_large = small.of_class("msctls_progress32"), large.of_class("msctls_progress32")
    assert_grown((bar_small.x, bar_small.y, bar_small.height), (bar_large.x, bar_large.y, bar_large.height),
                 "progress bar", OWN_SLACK)
    assert small.cut_off() == [] and large.cut_off() == []


def test_a_move_to_a_monitor_of_144_dpi_lays_the_window_out_at_the_ratio(runs):
    before, after = runs[96]["main"], runs[96]["moved"]
    assert (after.window.width, after.window.height) == \
        (round(before.window.width * RATIO), round(before.window.height * RATIO))
    check_main_window_grown(before, after, runs[96]["main picture"], runs[96]["moved picture"], OWN_SLACK)


def icon_images(size: int) -> list[tuple[bytes, bytes]]:
    """(RGB, alpha) of each size x size image of the three-messages icon."""
    def convert(*args: str) -> bytes:
        return subprocess.run([CONVERT, *args], capture_output=True, check=True, timeout=60).stdout

    widths = convert(str(ICON_OF_THREE), "-format", "%w\\n", "info:").decode().split()
    return [(convert(f"{ICON_OF_THREE}[{i}]", "-alpha", "off", "-depth", "8", "rgb:-"),
             convert(f"{ICON_OF_THREE}[{i}]", "-alpha", "extract", "-depth", "8", "gray:-"))
            for i, width in enumerate(widths) if int(width) == size]


def test_the_tray_shows_the_icon_drawn_for_its_size(runs):
    for dpi, size in ((96, 16), (144, 24)):
        # Wine's tray gives each icon the small-icon size and a border of 2 pixels.
        assert runs[dpi]["tray cell"] == size + 4, f"tray cell at {dpi} DPI"
        width, _, shot = read_rgb(runs[dpi]["tray picture"])
        shown = b"".join(shot[((2 + row) * width + 2) * 3:((2 + row) * width + 2 + size) * 3] for row in range(size))
        # Opaque pixels only: the edges are blended with the tray's background.
        differences = [max(abs(shown[i * 3 + k] - rgb[i * 3 + k]) for i in range(size * size) if alpha[i] == 255
                           for k in range(3)) for rgb, alpha in icon_images(size)]
        assert differences and min(differences) <= 8, f"the tray at {dpi} DPI shows a stretched picture"
