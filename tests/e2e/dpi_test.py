"""End-to-end test of Inkswap on a monitor of 192 DPI (the Wine prefix's
LogPixels), in a Wine session of its own with a screen large enough: the
program starts at 4x, every pixel of both pictures is there, the check
boxes and the status line have grown with the DPI, and a click corrects the
cell under the pointer.

    python3 tests/e2e/dpi_test.py <inkswap.exe> [<build-dir> [<window_probe.exe>]]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from inkswap_driver import UserTestCase, noise, run_tests_with_probe, wait_for, windows_path  # noqa: E402
from screen_reference import correct_cell  # noqa: E402

ZOOM = 4


class HighDpiTest(UserTestCase):
    NAME = "picture.scr"

    def arguments(self):
        self.screen = bytearray(noise(91))
        return [windows_path(self.write(self.NAME, bytes(self.screen)))]

    def test_the_window_starts_at_4x_with_every_pixel_shown(self):
        self.assertTrue(wait_for(lambda: self.inkswap.status() == self.NAME), self.inkswap.status())
        self.inkswap.read_canvases()
        self.assertEqual(self.inkswap.canvas_size(0), (256 * ZOOM, 192 * ZOOM))
        self.assertEqual(self.inkswap.canvas_size(1), (256 * ZOOM, 192 * ZOOM))
        # The row of check boxes above the pictures is twice as high as at
        # 96 DPI: the canvases' client areas begin below 40 pixels.
        _, client_top = self.inkswap.client
        self.assertGreaterEqual(self.inkswap.areas[0][1] - client_top, 40)
        highlight = self.hover(9, 13, zoom=ZOOM)
        self.assertShows(self.screen, highlight, zoom=ZOOM)
        self.inkswap.click()
        correct_cell(self.screen, 9, 13)
        self.assertShows(self.screen, highlight, zoom=ZOOM)


def main():
    return run_tests_with_probe(__doc__, __file__, mode="dpi192")


if __name__ == "__main__":
    sys.exit(main())
