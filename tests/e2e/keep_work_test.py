"""End-to-end tests of what keeps the user's work: the question before a
modified picture is thrown away (Quit, Ctrl+Q, the close box, a drop; Yes,
No, Cancel), a save cut short by a file-size limit, and messages that
another program posts under the toolkit's own numbers.

    python3 tests/e2e/keep_work_test.py <inkswap.exe> [<build-dir> [<message_poster.exe>]]
"""

import os
import random
import resource
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from inkswap_driver import Inkswap, find_window, program_argument, run, run_tests, wait_for  # noqa: E402
from screen_reference import SCREEN_BYTES, correct_cell, expected_rows, first_difference  # noqa: E402

EXECUTABLE = None
POSTER = None
QUESTION = "Inkswap"


def noise(seed, size=SCREEN_BYTES):
    generator = random.Random(seed)
    return bytes(generator.randrange(256) for _ in range(size))


class KeepWorkTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="inkswap-keep-")
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        self.picture = self.write("picture.scr", noise(1))
        self.other = self.write("other.scr", noise(2))

    def start(self):
        self.inkswap = Inkswap(EXECUTABLE)
        self.addCleanup(self.inkswap.close)

    def write(self, name, data):
        path = os.path.join(self.folder, name)
        with open(path, "wb") as file:
            file.write(data)
        return path

    @staticmethod
    def read(path):
        with open(path, "rb") as file:
            return file.read()

    def hover(self, column, row):
        x, y = column * 16 + 5, row * 16 + 5
        self.inkswap.move_to(1, x, y)
        self.inkswap.move_to(1, x + 1, y)
        title = f"x:{column} y:{row}"
        self.assertTrue(wait_for(lambda: self.inkswap.title() == title), self.inkswap.title())
        return row * 32 + column

    def assertShows(self, screen, highlight):
        expected = expected_rows(screen, 1, highlight, False)

        def matches():
            return first_difference(self.inkswap.canvas_pixels(self.inkswap.screenshot(), 1), expected) is None

        if not wait_for(matches, timeout=3):
            actual = self.inkswap.canvas_pixels(self.inkswap.screenshot(), 1)
            self.fail(f"colour picture: {first_difference(actual, expected)}")

    def load(self, path):
        """Drops a file; the screen it holds, shown."""
        self.inkswap.drop([path])
        screen = bytearray(self.read(path))
        self.assertShows(screen, self.hover(3, 2))
        return screen

    def correct(self, screen, column=5, row=6):
        highlight = self.hover(column, row)
        self.inkswap.click()
        correct_cell(screen, column, row)
        self.assertShows(screen, highlight)
        # Apart from the next click in time, or it is a double click.
        time.sleep(0.6)

    def answer(self, key):
        """Answers the unsaved-changes question with y, n or Escape."""
        self.assertIsNotNone(find_window(QUESTION), "the question comes")
        run("xdotool", "key", key)
        self.assertTrue(wait_for(lambda: find_window(QUESTION, timeout=0) is None), "the question goes")

    def quit(self, how):
        if how == "ctrl+q":
            self.inkswap.key("ctrl+q")
        elif how == "close box":
            self.inkswap.click_close_box()
        else:  # File > Quit: the menu's last item
            left, top = self.inkswap.client
            run("xdotool", "mousemove", str(left + 15), str(top - 10))
            time.sleep(0.3)
            self.inkswap.click()
            time.sleep(0.5)
            run("xdotool", "key", "Up", "Return")

    def assertEnds(self):
        self.assertEqual(self.inkswap.process.wait(timeout=10), 0)

    def test_quitting_asks_and_cancel_yes_and_no_do_what_they_say(self):
        for how in ("ctrl+q", "close box", "quit item"):
            with self.subTest(how=how):
                self.write("picture.scr", noise(1))
                # Cancel stays with the picture; Yes then saves it and ends.
                self.start()
                screen = self.load(self.picture)
                self.correct(screen)
                self.quit(how)
                self.answer("Escape")
                time.sleep(0.5)
                self.assertIsNone(self.inkswap.process.poll(), "Cancel: still running")
                self.assertEqual(self.read(self.picture), noise(1))
                self.quit(how)
                self.answer("y")
                self.assertEnds()
                self.assertEqual(self.read(self.picture), bytes(screen), "Yes saved the picture")
                # No ends without saving.
                self.write("picture.scr", noise(1))
                self.start()
                screen = self.load(self.picture)
                self.correct(screen, 7, 8)
                self.quit(how)
                self.answer("n")
                self.assertEnds()
                self.assertEqual(self.read(self.picture), noise(1), "No left the file")

    def test_an_unchanged_picture_is_not_asked_about(self):
        self.start()
        screen = self.load(self.picture)
        self.correct(screen)
        self.correct(screen)  # the same cell again: no change
        self.inkswap.key("ctrl+q")
        self.assertEnds()
        self.assertIsNone(find_window(QUESTION, timeout=0))

    def test_a_drop_over_a_modified_picture_asks_after_reading_the_new_file(self):
        self.start()
        screen = self.load(self.picture)
        self.correct(screen)
        self.inkswap.drop([self.other])
        self.answer("Escape")
        self.assertShows(screen, self.hover(5, 6))
        self.inkswap.drop([self.write("short.scr", noise(3, SCREEN_BYTES - 1))])
        self.assertTrue(self.inkswap.dismiss_box("Error"), "refused before any question")
        self.inkswap.drop([self.other])
        self.answer("n")
        self.assertShows(bytearray(noise(2)), self.hover(3, 2))
        self.assertEqual(self.read(self.picture), noise(1))
        screen = bytearray(noise(2))
        self.correct(screen)
        self.inkswap.drop([self.picture])
        self.answer("y")
        # The save runs as the question goes; wait for it to reach the disk.
        self.assertTrue(wait_for(lambda: self.read(self.other) == bytes(screen)), "Yes saved the picture first")
        self.assertShows(bytearray(noise(1)), self.hover(3, 2))

    def test_a_save_cut_short_by_a_file_size_limit_leaves_the_file_whole(self):
        # The program gets a file-size limit of 4,096 bytes; writing past it
        # kills the process (SIGXFSZ), as a disk filling up cuts a save.
        soft, hard = resource.getrlimit(resource.RLIMIT_FSIZE)
        resource.setrlimit(resource.RLIMIT_FSIZE, (4096, hard))
        try:
            self.start()
        finally:
            resource.setrlimit(resource.RLIMIT_FSIZE, (soft, hard))
        screen = self.load(self.picture)
        self.correct(screen)
        self.inkswap.key("ctrl+s")
        self.assertNotEqual(self.inkswap.process.wait(timeout=10), 0, "the limit ended the program")
        self.assertEqual(self.read(self.picture), noise(1), "the original, whole")

    def post(self, message, wparam=0, lparam=0):
        """Posts a message to Inkswap's window from another process."""
        result = subprocess.run(
            ["wine", POSTER, str(message), str(wparam), str(lparam)], capture_output=True, timeout=30
        )
        self.assertEqual(result.returncode, 0, "posted")

    def test_messages_from_another_program_under_the_toolkits_numbers_do_nothing(self):
        self.start()
        screen = self.load(self.picture)
        self.correct(screen)  # the last events are the colour canvas's
        for message, lparam in ((13106, 0x1234), (13105, 0x1234), (13101, 0), (13100, 0), (13106, 0)):
            self.post(message, 0, lparam)
        self.inkswap.click_box((10, 0))  # "Correct Mode": object 2, Quit's item number
        for message in (13101, 13100):
            self.post(message)
        time.sleep(1)
        self.assertIsNone(self.inkswap.process.poll(), "still running")
        self.assertIsNone(find_window("Error", timeout=0), "no box")
        self.assertIsNone(find_window(QUESTION, timeout=0), "no question")
        self.assertEqual(self.read(self.picture), noise(1), "nothing saved")
        # The ordinary close request still closes, with the question.
        self.post(16)  # WM_CLOSE
        self.answer("n")
        self.assertEnds()


def main():
    global EXECUTABLE, POSTER
    EXECUTABLE = program_argument(__doc__)
    POSTER = sys.argv[3] if len(sys.argv) > 3 else os.path.join(os.path.dirname(EXECUTABLE), "..", "tests", "message_poster.exe")
    return run_tests(__file__)


if __name__ == "__main__":
    sys.exit(main())
