"""End-to-end tests of the Inkswap program, driven from outside as a user
would: pointer, clicks, title, screenshots and the exit code.

    python3 tests/e2e/shell_test.py <inkswap.exe> [<build-dir>]
"""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from inkswap_driver import (  # noqa: E402
    CORRECT_MODE_BOX,
    GRID_BOX,
    WHITE_ROW,
    Inkswap,
    program_argument,
    run_tests,
    wait_for,
)
from screen_reference import SCREEN_BYTES, correct_cell, expected_rows, first_difference  # noqa: E402

EXECUTABLE = None


class ShellTest(unittest.TestCase):
    def setUp(self):
        self.inkswap = Inkswap(EXECUTABLE)
        self.addCleanup(self.inkswap.close)
        self.screen = bytearray(SCREEN_BYTES)

    def assertShows(self, canvas, highlight, grid=False):
        """Both the canvas's picture and the model's agree, waiting a moment
        for the program to draw."""
        expected = expected_rows(self.screen, canvas, highlight, grid)
        difference = wait_for(
            lambda: first_difference(self.inkswap.canvas_pixels(self.inkswap.screenshot(), canvas), expected)
            is None,
            timeout=3,
        )
        if not difference:
            actual = self.inkswap.canvas_pixels(self.inkswap.screenshot(), canvas)
            self.fail(f"canvas {canvas}: {first_difference(actual, expected)}")

    def assertTitle(self, title):
        self.assertEqual(wait_for(lambda: self.inkswap.title() == title and title) or self.inkswap.title(), title)

    def test_first_movement_changes_nothing_and_the_next_follows_the_pointer(self):
        # Into the window first: entering Wine's window from outside brings
        # two movement messages at once.
        self.inkswap.move_to_client(520, 200)
        time.sleep(0.3)
        self.inkswap.move_to(0, 100, 100)
        time.sleep(0.5)
        self.assertEqual(self.inkswap.title(), "New window ( 0 )")
        shot = self.inkswap.screenshot()
        self.assertEqual(self.inkswap.canvas_pixels(shot, 0)[0], WHITE_ROW, "still the fresh white buffer")
        self.inkswap.move_to(0, 101, 100)
        self.assertTitle("x:6 y:6")
        self.assertShows(0, 6 * 32 + 6)
        self.assertShows(1, 6 * 32 + 6)

    def test_the_last_pixel_is_the_bottom_right_cell(self):
        self.inkswap.move_to(1, 10, 10)
        self.inkswap.move_to(1, 507, 379)
        self.assertTitle("x:31 y:23")
        self.assertShows(1, 23 * 32 + 31)
        self.assertShows(0, 23 * 32 + 31)

    def test_a_click_corrects_the_cell_and_repaints_both_pictures(self):
        self.inkswap.move_to(1, 5 * 16 + 3, 3 * 16 + 9)
        self.inkswap.move_to(1, 5 * 16 + 4, 3 * 16 + 9)
        self.assertTitle("x:5 y:3")
        self.inkswap.click()
        correct_cell(self.screen, 5, 3)
        self.assertShows(0, 3 * 32 + 5)
        self.assertShows(1, 3 * 32 + 5)

    def test_grid_draws_blue_lines_and_drops_the_highlight(self):
        self.inkswap.move_to(0, 40, 40)
        self.inkswap.move_to(0, 41, 40)
        self.assertShows(0, 2 * 32 + 2)
        self.inkswap.click_box(GRID_BOX)
        self.assertShows(0, -1, grid=True)
        self.assertShows(1, -1, grid=True)

    def test_correct_mode_changes_nothing(self):
        self.inkswap.move_to(1, 300, 300)
        self.inkswap.move_to(1, 301, 300)
        self.assertShows(1, 18 * 32 + 18)
        self.inkswap.click_box(CORRECT_MODE_BOX)
        time.sleep(0.5)
        self.assertEqual(self.inkswap.title(), "x:18 y:18")
        self.assertShows(0, 18 * 32 + 18)
        self.assertShows(1, 18 * 32 + 18)

    def test_a_double_click_leaves_the_cell_as_it_was(self):
        self.inkswap.move_to(0, 200, 100)
        self.inkswap.move_to(0, 201, 100)
        self.assertTitle("x:12 y:6")
        self.inkswap.click(repeat=2)
        time.sleep(0.5)
        self.assertShows(0, 6 * 32 + 12)
        self.assertShows(1, 6 * 32 + 12)

    def test_the_close_box_ends_the_program_with_code_0(self):
        self.inkswap.click_close_box()
        self.assertEqual(self.inkswap.process.wait(timeout=10), 0)


def main():
    global EXECUTABLE
    EXECUTABLE = program_argument(__doc__)
    return run_tests(__file__)


if __name__ == "__main__":
    sys.exit(main())
