"""End-to-end tests of the screens inside tapes and +3DOS files, as a user
works them: a tape of two screens dropped, the first shown pixel for
pixel, Page Down to the second, a click and Ctrl+S, and the tape on disk
differs from the original only in that screen and its block's checksum; a
TZX tape and a +3DOS file the same way; Save As writing a plain screen
file that Save then goes to; and a broken tape refused with the box.

    python3 tests/e2e/tape_test.py <inkswap.exe> [<build-dir> [<window_probe.exe>]]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from inkswap_driver import UserTestCase, noise, run_tests_with_probe, wait_for  # noqa: E402
from screen_reference import correct_cell  # noqa: E402
from tape_files import (  # noqa: E402
    checksum,
    data_block,
    plus3dos_file,
    program_header,
    screen_block,
    screen_header,
    tap_blocks,
    tap_file,
    tzx_attached_screen,
    tzx_file,
    tzx_standard,
    tzx_text,
    tzx_turbo,
)


def corrected(screen, column, row):
    changed = bytearray(screen)
    correct_cell(changed, column, row)
    return bytes(changed)


def game_tape(first, second):
    """A loader, the named screen, the game's code and a headerless screen."""
    loader = bytes([0x00, 0x0A, 0x05, 0x00, 0xEF, 0x22, 0x22, 0xAF, 0x0D])
    return tap_file([
        program_header("game", len(loader)),
        data_block(0xFF, loader),
        screen_header("loading"),
        screen_block(first),
        data_block(0xFF, noise(70, 500)),
        screen_block(second),
    ])


class TapeTest(UserTestCase):
    def changed_bytes(self, original, saved):
        return [at for at in range(len(original)) if original[at] != saved[at]]

    def test_the_second_screen_of_a_tape_is_corrected_and_saved_in_place(self):
        first, second = noise(71), noise(72)
        original = game_tape(first, second)
        path = self.write("game.tap", original)
        self.inkswap.drop([path])
        self.assertShows(first, self.hover(3, 2))
        self.assertTrue(self.inkswap.status().startswith('game.tap: screen 1 of 2 "loading" |'), self.inkswap.status())
        self.inkswap.key("Next")  # Page Down
        self.assertShows(second, self.hover(3, 2))
        self.assertTrue(wait_for(lambda: self.inkswap.status().startswith("game.tap: screen 2 of 2 |")))
        screen = bytearray(second)
        self.correct(screen, 10, 20)
        self.save(path, game_tape(first, bytes(screen)))
        saved = self.read(path)
        block_start = len(original) - 6914  # the last block: flag, screen, checksum
        changed = self.changed_bytes(original, saved)
        self.assertTrue(all(block_start < at < len(original) for at in changed), changed)
        self.assertTrue(all(checksum(block) == 0 for block in tap_blocks(saved)), "every checksum right")
        self.inkswap.key("Prior")  # Page Up: no question, all is saved
        self.assertShows(first, self.hover(3, 2))

    def test_a_tzx_tape_and_a_plus3dos_file_are_saved_in_place(self):
        attached = noise(73)
        turbo = noise(74)
        tzx = tzx_file([tzx_text("A tape"), tzx_turbo(screen_block(turbo)), tzx_attached_screen(attached, "Title", 1)])
        plus3 = noise(75)
        cases = (
            ("tape.tzx", tzx, turbo, lambda s: tzx_file([tzx_text("A tape"), tzx_turbo(screen_block(s)), tzx_attached_screen(attached, "Title", 1)])),
            ("SCREEN$", plus3dos_file(plus3), plus3, plus3dos_file),
        )
        for name, original, screen, rebuilt in cases:
            with self.subTest(name=name):
                path = self.write(name, original)
                self.inkswap.drop([path])
                self.assertShows(screen, self.hover(3, 2))
                work = bytearray(screen)
                self.correct(work, 0, 0)
                self.save(path, rebuilt(bytes(work)))
        # The tape's second screen is the attached one, named by its description.
        self.inkswap.drop([os.path.join(self.folder, "tape.tzx")])
        self.inkswap.key("Next")
        self.assertShows(attached, self.hover(3, 2))
        self.assertTrue(wait_for(lambda: self.inkswap.status().startswith('tape.tzx: screen 2 of 2 "Title" |')))

    def test_save_as_writes_a_plain_screen_that_save_then_goes_to(self):
        first, second = noise(76), noise(77)
        original = game_tape(first, second)
        tape = self.write("game.tap", original)
        self.inkswap.drop([tape])
        self.assertShows(first, self.hover(3, 2))
        screen = bytearray(first)
        self.correct(screen, 5, 5)
        copy = os.path.join(self.folder, "copy.scr")
        self.assertTrue(self.inkswap.save_as(copy), "the save dialog came and went")
        self.assertTrue(wait_for(lambda: os.path.exists(copy) and self.read(copy) == bytes(screen)))
        self.assertTrue(wait_for(lambda: self.inkswap.status().startswith("copy.scr |")), self.inkswap.status())
        self.correct(screen, 6, 6)
        self.save(copy, bytes(screen))
        self.assertEqual(self.read(tape), original, "the tape is left alone")

    def test_a_broken_tape_is_refused(self):
        self.assertRefused("broken.tap", game_tape(noise(79), noise(80))[:-1], 78)


def main():
    return run_tests_with_probe(__doc__, __file__)


if __name__ == "__main__":
    sys.exit(main())
