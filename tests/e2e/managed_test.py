"""End-to-end tests of Inkswap run the way scripts/run starts it for a user:
Wine in its default managed mode, every window an X window of its own,
framed by a real window manager (openbox). The window manager, not Wine,
draws the frame, sizes the window and sends the close request. Opening
files (Ctrl+O, the command line), the status line and the Operations menu
are checked here too.

    python3 tests/e2e/managed_test.py <inkswap.exe> [<build-dir>]
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))

from inkswap_driver import (  # noqa: E402
    WHITE_ROW,
    UserTestCase,
    decoded_png,
    noise,
    run_tests_with_probe,
    wait_for,
    window_geometry,
    windows_path,
)
from make_icon import icon_pixels  # noqa: E402
from screen_reference import correct_all_cells, expected_picture  # noqa: E402


def window_icons(window):
    """The images a window gives the window manager and the taskbar
    (_NET_WM_ICON: width, height, then ARGB pixels, image after image), by
    size."""
    shown = subprocess.run(["xprop", "-id", window, "-notype", "-f", "_NET_WM_ICON", "32c", "=$0+\n", "_NET_WM_ICON"],
                           check=True, capture_output=True, text=True).stdout
    if "=" not in shown:
        return {}
    values = [int(value) for value in shown.split("=", 1)[1].replace("\n", "").split(",")]
    icons = {}
    while len(values) >= 2:
        width, height = values[:2]
        icons[width] = values[2:2 + width * height]
        values = values[2 + width * height:]
    return icons


class ManagedTest(UserTestCase):
    def test_the_window_shows_its_menu_bar_and_both_pictures(self):
        left, top = self.inkswap.client
        shot = self.inkswap.screenshot()
        for canvas in (0, 1):
            self.assertEqual(self.inkswap.canvas_pixels(shot, canvas)[0], WHITE_ROW, f"canvas {canvas}")
        # The menu bar lies between the window's top and its client area,
        # its titles dark on a light bar.
        self.assertGreaterEqual(top - self.inkswap.outer[1], 18, "room for a menu bar")
        bar = self.inkswap.region(shot, left, top - 16, 60, 12)
        self.assertGreater(len(set(bar)), 1, "the File title on the bar")

    def test_the_taskbar_and_the_frame_get_the_programs_icon(self):
        icons = window_icons(self.inkswap.window)
        self.assertEqual(sorted(icons), [16, 32])
        for size, argb in icons.items():
            expected = [alpha << 24 | red << 16 | green << 8 | blue
                        for row in icon_pixels(size) for red, green, blue, alpha in row]
            self.assertEqual(argb, expected, f"the {size} pixel icon")

    def test_a_dropped_file_loads_and_a_correction_is_saved_with_ctrl_s(self):
        path = self.write("picture.scr", noise(11))
        screen, _ = self.load(path)
        self.correct(screen, 4, 5)
        self.save(path, bytes(screen))

    def test_a_file_chosen_with_ctrl_o_loads(self):
        path = self.write("chosen.scr", noise(13))
        self.assertTrue(self.inkswap.open_dialog("ctrl+o"), "the open dialog comes")
        self.assertTrue(self.inkswap.choose(path), "the dialog goes")
        self.assertShows(noise(13), self.hover(3, 2))

    def test_resizing_by_the_frame_leaves_the_program_working(self):
        before = window_geometry(self.inkswap.window)
        self.inkswap.drag_frame_corner(90, 50)
        self.assertTrue(
            wait_for(lambda: window_geometry(self.inkswap.window)[2:] != before[2:]), "the window took a new size"
        )
        after = window_geometry(self.inkswap.window)
        self.assertGreater(after[2], before[2])
        self.assertGreater(after[3], before[3])
        self.inkswap.locate()
        path = self.write("picture.scr", noise(12))
        screen, _ = self.load(path)
        self.correct(screen, 2, 2)
        self.save(path, bytes(screen))

    def test_the_close_button_ends_the_program_with_code_0(self):
        self.inkswap.click_frame_close_button()
        self.assertEqual(self.inkswap.process.wait(timeout=10), 0)


class ManagedCommandLineTest(UserTestCase):
    NAME = "мой title.scr"

    def arguments(self):
        self.screen = noise(14)
        return [windows_path(self.write(self.NAME, self.screen))]

    def test_a_file_named_on_the_command_line_shows_at_once_with_its_name(self):
        self.assertTrue(wait_for(lambda: self.inkswap.status() == self.NAME), self.inkswap.status())
        self.assertShows(self.screen, self.hover(3, 2))

    def test_the_operations_menu_corrects_all_takes_it_back_and_exports(self):
        self.assertTrue(wait_for(lambda: self.inkswap.status() == self.NAME), self.inkswap.status())
        highlight = self.hover(3, 2)
        corrected = bytearray(self.screen)
        correct_all_cells(corrected)
        self.inkswap.choose_operation("Correct All Cells")
        self.assertShows(corrected, highlight)
        self.inkswap.key("ctrl+z")
        self.assertShows(self.screen, highlight)
        target = os.path.join(self.folder, "exported.png")
        self.assertTrue(self.inkswap.export(target), "the export dialog came and went")
        self.assertTrue(wait_for(lambda: os.path.exists(target)), "the PNG is written")
        self.assertEqual(decoded_png(target), expected_picture(self.screen))


def main():
    return run_tests_with_probe(__doc__, __file__, mode="managed")


if __name__ == "__main__":
    sys.exit(main())
