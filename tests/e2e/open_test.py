"""End-to-end tests of opening files as a user does, and of the status line:
File > Open.. and Ctrl+O (the standard open dialog, a typed name and
Return, Cancel, a file of the wrong size), a file named on the command line
(with a space and a Cyrillic letter in its name, and a second name after
it that is left alone), and the status line read
from another process: the file's name, its modified mark and the cell
under the pointer.

    python3 tests/e2e/open_test.py <inkswap.exe> [<build-dir> [<window_probe.exe>]]
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from inkswap_driver import (  # noqa: E402
    OPEN_DIALOG,
    UserTestCase,
    find_window,
    noise,
    run,
    run_tests_with_probe,
    wait_for,
    windows_path,
)
from screen_reference import ATTRIBUTES, SCREEN_BYTES  # noqa: E402

def with_attribute(screen, column, row, attribute):
    """The screen with the attribute byte of cell (column, row) set."""
    changed = bytearray(screen)
    changed[ATTRIBUTES + row * 32 + column] = attribute
    return bytes(changed)


class OpenTest(UserTestCase):
    def test_a_file_chosen_in_the_dialog_loads_by_either_way_in(self):
        for how, seed in (("ctrl+o", 21), ("menu", 22)):
            with self.subTest(how=how):
                path = self.write(f"picture{seed}.scr", noise(seed))
                self.assertTrue(self.inkswap.open_dialog(how), "the open dialog comes")
                self.assertTrue(self.inkswap.choose(path), "the dialog goes")
                self.assertShows(noise(seed), self.hover(3, 2))
                self.assertTrue(wait_for(lambda: self.inkswap.status().startswith(f"picture{seed}.scr |")))

    def test_cancel_changes_nothing_and_a_short_file_is_refused(self):
        path = self.write("picture.scr", noise(23))
        screen, highlight = self.load(path)
        status = self.inkswap.status()
        self.assertTrue(self.inkswap.open_dialog("ctrl+o"), "the open dialog comes")
        run("xdotool", "key", "Escape")
        self.assertTrue(wait_for(lambda: find_window(OPEN_DIALOG, timeout=0) is None), "Cancel closes it")
        self.assertShows(screen, highlight)
        self.assertTrue(self.inkswap.open_dialog("ctrl+o"), "the open dialog comes")
        self.assertTrue(self.inkswap.choose(self.write("short.scr", noise(24, SCREEN_BYTES - 1))), "the dialog goes")
        self.assertTrue(self.inkswap.dismiss_box("Error"), "a message box says why")
        self.assertShows(screen, self.hover(3, 2))
        self.assertEqual(self.inkswap.status(), status)
        # The save path is still the loaded file's.
        self.correct(screen, 1, 1)
        self.save(path, bytes(screen))

    def test_the_status_line_shows_the_file_its_mark_and_the_cell(self):
        self.assertEqual(self.inkswap.status(), "No file")
        # Cell (13, 9): red ink on white paper.
        path = self.write("title.scr", with_attribute(noise(25), 13, 9, 0x3A))
        screen, _ = self.load(path)
        self.hover(13, 9)
        cell = "x:13 y:9 | {} | bright 0 | flash 0 | pixels 18477 ($482D) | attribute 22829 ($592D)"
        as_loaded = cell.format("ink 2 (red) | paper 7 (white)")
        self.assertTrue(wait_for(lambda: self.inkswap.status() == f"title.scr | {as_loaded}"), self.inkswap.status())
        # A click corrects the cell: ink and paper swap, the picture is
        # modified; saving takes the mark away.
        self.inkswap.click()
        corrected = cell.format("ink 7 (white) | paper 2 (red)")
        self.assertTrue(wait_for(lambda: self.inkswap.status() == f"title.scr * | {corrected}"), self.inkswap.status())
        time.sleep(0.6)  # apart from the next click in time
        self.inkswap.key("ctrl+s")
        self.assertTrue(wait_for(lambda: self.inkswap.status() == f"title.scr | {corrected}"), self.inkswap.status())


class CommandLineTest(UserTestCase):
    NAME = "мой title.scr"

    def arguments(self):
        self.screen = noise(26)
        second = self.write("second.scr", noise(27))
        return [windows_path(self.write(self.NAME, self.screen)), windows_path(second)]

    def test_the_first_file_named_on_the_command_line_shows_at_once(self):
        self.assertTrue(wait_for(lambda: self.inkswap.status() == self.NAME), self.inkswap.status())
        self.assertShows(self.screen, self.hover(3, 2))
        # It is the save path too.
        path = os.path.join(self.folder, self.NAME)
        screen = bytearray(self.screen)
        self.correct(screen, 2, 2)
        self.save(path, bytes(screen))


def main():
    return run_tests_with_probe(__doc__, __file__)


if __name__ == "__main__":
    sys.exit(main())
