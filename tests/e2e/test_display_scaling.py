"""Tavik on a display scaled to 150 % (144 DPI) next to the same at 96 DPI, one start each: the main
window with its message text, message font and toolbar, the options sheet and the tray icon come out
1.5 times as large, nothing is cut off, and the tray shows the picture drawn for its size rather than
a stretched one. A window moved to a monitor of 144 DPI (WM_DPICHANGED) takes the rectangle it is
offered and lays itself out at the ratio. Pictures of every step are kept in display_scaling/."""

from __future__ import annotations

import subprocess
from dataclasses import dataclass
from pathlib import Path

import pytest

from stored_messages import quiet_settings, store_messages
from tavik_harness import CONVERT, REPO_ROOT, SETTINGS_KEY, WineSession, default_artifacts_dir, read_rgb, wait_until

TIMEOUT = 60
RATIO = 1.5
# What the program sizes itself may be off by rounding; what dialog templates size follows the
# dialog font's measured letter size, which grows by about the ratio, not exactly.
OWN_SLACK = 3
TEMPLATE_SLACK = 0.06
OPTIONS = "^Tavik Options$"
CMD_OPTIONS = 1007
IDC_MESSAGE_TEXT = 1000
PICTURES = REPO_ROOT / "src" / "resources" / "pictures"


@dataclass
class Control:
    parent: int
    control_id: int
    visible: bool
    class_name: str
    x: int
    y: int
    width: int
    height: int


@dataclass
class Layout:
    """A window and everything in it as window-layout.exe reports them, in screen pixels."""

    screen_dpi: int
    x: int
    y: int
    width: int
    height: int
    client: tuple[int, int]
    controls: dict[int, Control]  # by handle
    clients: dict[int, tuple[int, int]]  # client size of each control, by handle
    button_size: tuple[int, int] | None
    line_height: int | None
    handle: int

    def control(self, control_id: int) -> Control:
        return next(c for c in self.controls.values() if c.control_id == control_id and c.parent == self.handle)

    def child_of_class(self, class_name: str) -> Control:
        return next(c for c in self.controls.values() if c.class_name == class_name)

    def cut_off(self) -> list[str]:
        """The visible controls reaching outside their parent's client area. A toolbar takes the width of
        its window wherever it starts: its buttons must fit (check_toolbar), not the control."""
        found = []
        for c in self.controls.values():
            if c.class_name == "ToolbarWindow32":
                continue
            parent = self.client if c.parent == self.handle else self.clients[c.parent]
            if c.visible and (c.x < 0 or c.y < 0 or c.x + c.width > parent[0] or c.y + c.height > parent[1]):
                found.append(f"{c.class_name} {c.control_id} at {c.x},{c.y} {c.width}x{c.height} in {parent}")
        return found


def layout_of(wine, handle: int, *dpi_change) -> Layout:
    result = wine.run(["window-layout.exe", f"{handle:x}", *dpi_change])
    assert result.returncode == 0, result.stdout + result.stderr
    layout = None
    for fields in (line.split("\t") for line in result.stdout.decode().splitlines()):
        if fields[0] == "window":
            dpi, _, x, y, width, height, client_width, client_height = map(int, fields[1:])
            layout = Layout(dpi, x, y, width, height, (client_width, client_height), {}, {}, None, None, handle)
        elif fields[0] == "child":
            child, parent = int(fields[1], 16), int(fields[2], 16)
            x, y, width, height, client_width, client_height = map(int, fields[6:])
            layout.controls[child] = Control(parent, int(fields[3]), fields[4] == "1", fields[5], x, y, width, height)
            layout.clients[child] = (client_width, client_height)
        elif fields[0] == "buttons":
            layout.button_size = (int(fields[2]), int(fields[3]))
        elif fields[0] == "lines":
            layout.line_height = int(fields[2])
    return layout


def assert_grown(small: tuple[int, ...], large: tuple[int, ...], what: str, slack: float | int) -> None:
    """Each length of large is RATIO times small, give or take slack (pixels, or a share of the length)."""
    for before, after in zip(small, large):
        allowed = slack if isinstance(slack, int) else max(OWN_SLACK, round(slack * before * RATIO))
        assert abs(after - before * RATIO) <= allowed, f"{what}: {small} became {large}, want {RATIO} times"


@dataclass
class Run:
    main: Layout
    main_picture: Path
    sheet: Layout
    tray_cell: int
    tray_picture: Path
    moved: Layout | None = None  # the main window after a move to a monitor of 144 DPI, and its picture
    moved_picture: Path | None = None


def run_at(dpi: int, pictures: Path) -> Run:
    with WineSession(dpi=dpi) as wine:
        quiet_settings(wine, SETTINGS_KEY)
        store_messages(wine.data_dir(), 3)
        tavik = wine.start_tavik()
        x_main = tavik.wait_for_main_window(TIMEOUT, visible_only=True)
        main_handle = wine.tavik_main_windows()[0].handle
        run = Run(layout_of(wine, main_handle), wine.screenshot(pictures / f"main_window_{dpi}.png", x_main), None,
                  0, wine.screenshot(pictures / f"tray_{dpi}.png", wine.wait_for_window("^Wine System Tray$")))
        tray = next(w for w in wine.win32_windows() if w.class_name == "__winex11_standalone_tray")
        run.tray_cell = layout_of(wine, tray.handle).child_of_class("__winex11_tray_icon").width

        assert wine.run(["drive-dialog.exe", f"{main_handle:x}", "command", str(CMD_OPTIONS)]).returncode == 0
        sheet = wait_until(lambda: next(iter(wine.find_win32_windows(OPTIONS, visible_only=True)), None), TIMEOUT,
                           0.3, "the options sheet")
        run.sheet = layout_of(wine, sheet.handle)
        wine.screenshot(pictures / f"options_sheet_{dpi}.png", wine.wait_for_window(OPTIONS, visible_only=True))
        assert wine.run(["drive-dialog.exe", f"{sheet.handle:x}", "press", "cancel"]).returncode == 0
        wait_until(lambda: not wine.find_win32_windows(OPTIONS, visible_only=True), TIMEOUT, 0.3, "the sheet to close")

        if dpi == 96:
            # Windows offers the window's rectangle grown by the ratio, where it stood.
            main = run.main
            offered = [main.x, main.y, main.x + round(main.width * RATIO), main.y + round(main.height * RATIO)]
            run.moved = layout_of(wine, main_handle, "dpi-change", "144", *map(str, offered))
            run.moved_picture = wine.screenshot(pictures / "main_window_96_moved_to_144.png", x_main)
        assert tavik.stop() == 0
        return run


@pytest.fixture(scope="module")
def runs() -> dict[int, Run]:
    pictures = default_artifacts_dir() / "display_scaling"
    pictures.mkdir(parents=True, exist_ok=True)
    return {dpi: run_at(dpi, pictures) for dpi in (96, 144)}


def arrow_size(picture: Path, layout: Layout) -> tuple[int, int]:
    """Width and height of the blue arrow on the toolbar's first button (Previous) in a picture of the
    main window, edges blended with the button face included."""
    width, _, rgb = read_rgb(picture)
    toolbar = layout.child_of_class("ToolbarWindow32")
    found = [(x, y) for y in range(toolbar.y, toolbar.y + layout.button_size[1])
             for x in range(toolbar.x, toolbar.x + layout.button_size[0])
             if rgb[(y * width + x) * 3 + 2] > rgb[(y * width + x) * 3] + 60]
    assert found, "no arrow on the Previous button"
    xs, ys = [x for x, _ in found], [y for _, y in found]
    return max(xs) - min(xs) + 1, max(ys) - min(ys) + 1


def check_toolbar(layout: Layout) -> None:
    """The toolbar's six buttons and two separators (each narrower than a button) fit in the window."""
    toolbar = layout.child_of_class("ToolbarWindow32")
    width, height = layout.button_size
    assert height <= toolbar.height and toolbar.y + toolbar.height <= layout.client[1]
    assert toolbar.x + 8 * width <= layout.client[0], "toolbar buttons cut off"


def test_the_main_window_its_message_text_and_toolbar_grow_with_the_dpi(runs):
    small, large = runs[96].main, runs[144].main
    assert (small.screen_dpi, large.screen_dpi) == (96, 144)
    assert_grown(small.client, large.client, "main window", TEMPLATE_SLACK)
    text_small, text_large = small.control(IDC_MESSAGE_TEXT), large.control(IDC_MESSAGE_TEXT)
    assert_grown((text_small.width, text_small.height), (text_large.width, text_large.height), "message text",
                 TEMPLATE_SLACK)
    # The message font keeps the user's point size: its lines grow with the DPI.
    assert_grown((small.line_height,), (large.line_height,), "message line height", 2)
    assert_grown(arrow_size(runs[96].main_picture, small), arrow_size(runs[144].main_picture, large),
                 "toolbar picture", 2)
    for layout in (small, large):
        assert layout.cut_off() == []
        check_toolbar(layout)


def test_a_move_to_a_monitor_of_144_dpi_lays_the_window_out_at_the_ratio(runs):
    before, after = runs[96].main, runs[96].moved
    assert (after.width, after.height) == (round(before.width * RATIO), round(before.height * RATIO))
    text_before, text_after = before.control(IDC_MESSAGE_TEXT), after.control(IDC_MESSAGE_TEXT)
    assert_grown((text_before.x, text_before.y, text_before.width, text_before.height),
                 (text_after.x, text_after.y, text_after.width, text_after.height), "message text", OWN_SLACK)
    assert_grown((before.line_height,), (after.line_height,), "message line height", 2)
    assert_grown(arrow_size(runs[96].main_picture, before), arrow_size(runs[96].moved_picture, after),
                 "toolbar picture", 2)
    assert after.cut_off() == []
    check_toolbar(after)


def test_the_options_sheet_grows_with_the_dpi(runs):
    small, large = runs[96].sheet, runs[144].sheet
    assert_grown(small.client, large.client, "options sheet", TEMPLATE_SLACK)
    assert small.cut_off() == [] and large.cut_off() == []


def icon_images(name: str, size: int) -> list[tuple[bytes, bytes]]:
    """(RGB, alpha) bytes of each size x size image of a program icon."""
    path = PICTURES / name
    widths = subprocess.run([CONVERT, str(path), "-format", "%w\\n", "info:"], capture_output=True, check=True,
                            timeout=60).stdout.decode().split()

    def channels(index: int, alpha: str, output: str) -> bytes:
        return subprocess.run([CONVERT, f"{path}[{index}]", "-alpha", alpha, "-depth", "8", output],
                              capture_output=True, check=True, timeout=60).stdout

    return [(channels(i, "off", "rgb:-"), channels(i, "extract", "gray:-"))
            for i, width in enumerate(widths) if int(width) == size]


def test_the_tray_shows_the_icon_drawn_for_its_size(runs):
    for dpi, size in ((96, 16), (144, 24)):
        run = runs[dpi]
        # Wine's tray gives each icon the small-icon size and a border of 2 pixels.
        assert run.tray_cell == size + 4, f"tray cell at {dpi} DPI"
        width, _, shot = read_rgb(run.tray_picture)
        shown = b"".join(shot[((2 + row) * width + 2) * 3:((2 + row) * width + 2 + size) * 3] for row in range(size))

        def largest_difference(image: tuple[bytes, bytes]) -> int:
            rgb, alpha = image  # opaque pixels only: the edges are blended with the tray's background
            return max(abs(shown[i * 3 + k] - rgb[i * 3 + k]) for i in range(size * size) if alpha[i] == 255
                       for k in range(3))

        # Three waiting messages: the "3" badge, exactly as drawn for that size.
        differences = [largest_difference(image) for image in icon_images("icon3.ico", size)]
        assert differences and min(differences) <= 8, f"the tray at {dpi} DPI shows a stretched picture"
