"""End-to-end tests of the Operations menu as a user works it: clicks taken
back with Ctrl+Z and done again with Ctrl+Y and Ctrl+Shift+Z, Correct All
Cells chosen from the menu and saved, and the colour picture exported with
Ctrl+E and decoded by ImageMagick; every picture checked against the
independent model of the screen.

    python3 tests/e2e/operations_test.py <inkswap.exe> [<build-dir> [<window_probe.exe>]]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from inkswap_driver import (  # noqa: E402
    GRID_BOX,
    UserTestCase,
    decoded_png,
    noise,
    run_tests_with_probe,
    wait_for,
    windows_path,
)
from screen_reference import bitmap_offset, correct_all_cells, expected_picture  # noqa: E402


def ink_heavy_screen(seed):
    """Noise with two cells at the rule's edge: cell (0, 0) has exactly 32
    ink pixels (left alone), cell (1, 0) 33 (corrected)."""
    screen = bytearray(noise(seed))
    for column, last in ((0, 0x00), (1, 0x80)):
        for line in range(8):
            screen[bitmap_offset(column, 0, line)] = 0xF0 if line < 7 else last | 0x0F
    return screen


class OperationsTest(UserTestCase):
    NAME = "picture.scr"

    def arguments(self):
        self.screen = ink_heavy_screen(51)
        self.path = self.write(self.NAME, bytes(self.screen))
        return [windows_path(self.path)]

    def setUp(self):
        super().setUp()
        self.assertTrue(wait_for(lambda: self.inkswap.status() == self.NAME), self.inkswap.status())
        self.highlight = self.hover(3, 2)
        self.assertShows(self.screen, self.highlight)

    def test_undo_and_redo_walk_through_the_clicks(self):
        screen = bytearray(self.screen)
        states = [bytes(screen)]
        for column, row in ((4, 5), (10, 7)):
            self.correct(screen, column, row)
            states.append(bytes(screen))
        highlight = 7 * 32 + 10  # the pointer left the cell it corrected last for the keys
        for keys, state in (
            ("ctrl+z", 1),
            ("ctrl+z", 0),
            ("ctrl+z", 0),  # nothing left to take back
            ("ctrl+y", 1),
            ("ctrl+shift+z", 2),
            ("ctrl+y", 2),  # nothing left to do again
            ("ctrl+z", 1),
            ("ctrl+z", 0),
        ):
            with self.subTest(keys=keys, state=state):
                self.inkswap.key(keys)
                self.assertShows(states[state], highlight)
        # Back at the loaded bytes the picture is no longer modified.
        self.assertTrue(wait_for(lambda: self.inkswap.status().startswith(f"{self.NAME} |")), self.inkswap.status())

    def test_correct_all_cells_from_the_menu_is_saved_and_taken_back_in_one_step(self):
        corrected = bytearray(self.screen)
        correct_all_cells(corrected)
        self.assertNotEqual(corrected, self.screen)
        self.inkswap.choose_operation("Correct All Cells")
        self.assertShows(corrected, self.highlight)
        self.save(self.path, bytes(corrected))
        self.inkswap.key("ctrl+z")
        self.assertShows(self.screen, self.highlight)

    def test_ctrl_e_exports_the_colour_picture_without_highlight_or_grid(self):
        screen = bytearray(self.screen)
        self.correct(screen, 6, 6)
        self.inkswap.click_box(GRID_BOX)
        target = os.path.join(self.folder, "exported.png")
        self.assertTrue(self.inkswap.export(target), "the export dialog came and went")
        self.assertTrue(wait_for(lambda: os.path.exists(target)), "the PNG is written")
        self.assertEqual(decoded_png(target), expected_picture(screen))
        self.assertTrue(self.inkswap.status().startswith(f"{self.NAME} * |"), "still modified")
        self.assertEqual(self.read(self.path), bytes(self.screen), "the screen file is left alone")

    def test_an_export_into_a_removed_folder_says_so(self):
        status = self.inkswap.status()
        gone = os.path.join(self.folder, "gone")
        self.assertTrue(self.inkswap.export(os.path.join(gone, "lost.png")), "the export dialog came and went")
        self.assertTrue(self.inkswap.dismiss_box("Error"), "a message box says why")
        self.assertFalse(os.path.exists(gone), "nothing made on the way")
        self.assertEqual(self.inkswap.status(), status)
        self.assertShows(self.screen, self.highlight)


def main():
    return run_tests_with_probe(__doc__, __file__)


if __name__ == "__main__":
    sys.exit(main())
