"""End-to-end tests of loading by drop and the file commands: files dragged
from a file-manager-like window onto the program, keys and the menu from
outside, and the files on disk afterwards.

    python3 tests/e2e/drop_test.py <inkswap.exe> [<build-dir>]
"""

import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import inkswap_driver  # noqa: E402
from inkswap_driver import (  # noqa: E402
    SAVE_DIALOG,
    WHITE_ROW,
    UserTestCase,
    find_window,
    noise,
    program_argument,
    run,
    run_tests,
    wait_for,
)
from screen_reference import SCREEN_BYTES  # noqa: E402


class DropTest(UserTestCase):
    def test_a_dropped_file_shows_in_both_pictures_and_hovering_finds_its_cells(self):
        screen, _ = self.load(self.write("noise.scr", noise(1)), canvas=0)
        self.assertShows(screen, self.hover(7, 9, canvas=0))
        self.assertShows(screen, self.hover(31, 23, canvas=1))

    def test_of_several_dropped_files_the_first_is_loaded(self):
        first, second = noise(2), noise(3)
        self.inkswap.drop([self.write("first.scr", first), self.write("second.scr", second)])
        self.assertShows(first, self.hover(0, 0))

    def test_corrections_are_saved_and_correcting_again_gives_back_the_file(self):
        path = self.write("picture.scr", noise(4))
        screen, _ = self.load(path)
        self.correct(screen, 3, 4)
        self.correct(screen, 31, 23)
        self.save(path, bytes(screen))
        self.correct(screen, 3, 4)
        self.correct(screen, 31, 23)
        self.save(path, noise(4))

    def test_a_file_of_another_size_is_refused_and_saving_keeps_the_loaded_path(self):
        path = self.write("picture.scr", noise(5))
        screen, _ = self.load(path)
        short = self.write("short.scr", noise(6, SCREEN_BYTES - 1))
        self.inkswap.drop([short])
        self.assertTrue(self.inkswap.dismiss_box("Error"), "a message box says why")
        self.assertShows(screen, self.hover(3, 2))
        self.correct(screen, 0, 0)
        self.save(path, bytes(screen))
        self.assertEqual(self.read(short), noise(6, SCREEN_BYTES - 1), "the refused file is untouched")

    def test_files_with_cyrillic_and_cjk_names_load_and_save(self):
        for name in ("экран.scr", "画面.scr"):
            with self.subTest(name=name):
                path = self.write(name, noise(7))
                screen, _ = self.load(path)
                self.correct(screen, 10, 10)
                self.save(path, bytes(screen))

    def test_a_failed_save_says_so_and_keeps_the_picture(self):
        folder = os.path.join(self.folder, "gone")
        os.mkdir(folder)
        path = os.path.join(folder, "picture.scr")
        with open(path, "wb") as file:
            file.write(noise(8))
        screen, highlight = self.load(path)
        shutil.rmtree(folder)
        self.inkswap.key("ctrl+s")
        self.assertTrue(self.inkswap.dismiss_box("Error"), "a message box says the save failed")
        self.assertFalse(os.path.exists(folder))
        self.assertShows(screen, highlight)

    def test_saving_before_anything_is_loaded_asks_for_a_name_and_cancel_writes_nothing(self):
        self.inkswap.key("ctrl+s")
        self.assertIsNotNone(find_window(SAVE_DIALOG), "Save asks for a name")
        run("xdotool", "key", "Escape")
        self.assertTrue(wait_for(lambda: find_window(SAVE_DIALOG, timeout=0) is None), "Cancel closes it")
        self.assertIsNone(find_window("Error", timeout=1))
        self.assertIsNone(self.inkswap.process.poll(), "still running")
        shot = self.inkswap.screenshot()
        for canvas in (0, 1):
            self.assertEqual(self.inkswap.canvas_pixels(shot, canvas)[0], WHITE_ROW, "the fresh picture")

    def test_ctrl_q_ends_the_program_with_code_0(self):
        self.inkswap.key("ctrl+q")
        self.assertEqual(self.inkswap.process.wait(timeout=10), 0)

    def test_quit_in_the_file_menu_ends_the_program_with_code_0(self):
        self.inkswap.choose_quit()
        self.assertEqual(self.inkswap.process.wait(timeout=10), 0)


def main():
    inkswap_driver.EXECUTABLE = program_argument(__doc__)
    return run_tests(__file__)


if __name__ == "__main__":
    sys.exit(main())
