"""End-to-end tests of the screens inside emulator snapshots, as a user
works them: a 128K Z80 snapshot whose machine shows bank 7 dropped shows
that screen pixel for pixel, Page Down the one in bank 5; a click and
Ctrl+S, and the file differs from the original only in that page and its
length; a 128K SNA and an SZX the same way; and a broken snapshot refused
with the box.

    python3 tests/e2e/snapshot_test.py <inkswap.exe> [<build-dir> [<window_probe.exe>]]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from inkswap_driver import UserTestCase, noise, run_tests_with_probe, wait_for  # noqa: E402
from snapshot_files import SCREEN, changed_banks, page, sna128, szx_128, szx_chunks, z80_128  # noqa: E402

SHOWS_BANK_7 = 0x18  # bit 3 of port 0x7FFD, and ROM 1
SHOWS_BANK_5 = 0x10


class SnapshotTest(UserTestCase):
    def assertStatus(self, start):
        self.assertTrue(wait_for(lambda: self.inkswap.status().startswith(start)), self.inkswap.status())

    def test_a_128k_z80_shows_bank_7_and_saves_a_correction_into_that_page(self):
        bank5, bank7 = noise(81), noise(82)
        original = z80_128(bank5, bank7, SHOWS_BANK_7)
        path = self.write("game.z80", original)
        self.inkswap.drop([path])
        self.assertShows(bank7, self.hover(3, 2))
        self.assertStatus("game.z80 (128K): screen in bank 7 |")
        self.inkswap.key("Next")  # Page Down
        self.assertShows(bank5, self.hover(3, 2))
        self.assertStatus("game.z80 (128K): screen in bank 5 |")
        self.inkswap.key("Prior")
        self.assertShows(bank7, self.hover(3, 2))
        screen = bytearray(bank7)
        self.correct(screen, 10, 20)
        # Coded again by the format's rules: the file as it would have been
        # written with the corrected screen in it.
        self.save(path, z80_128(bank5, bytes(screen), SHOWS_BANK_7))
        saved = self.read(path)
        self.assertEqual(changed_banks(original, saved, "game.z80"), [7])
        self.assertEqual(page(saved, "game.z80", 7)[:SCREEN], bytes(screen))

    def test_a_128k_sna_saves_its_second_screen_in_place(self):
        bank5, bank7 = noise(83), noise(84)
        original = sna128(bank5, bank7, SHOWS_BANK_5)
        path = self.write("game.sna", original)
        self.inkswap.drop([path])
        self.assertShows(bank5, self.hover(3, 2))
        self.assertStatus("game.sna (128K): screen in bank 5 |")
        self.inkswap.key("Next")
        self.assertShows(bank7, self.hover(3, 2))
        screen = bytearray(bank7)
        self.correct(screen, 0, 0)
        self.save(path, sna128(bank5, bytes(screen), SHOWS_BANK_5))
        self.assertEqual(changed_banks(original, self.read(path), "game.sna"), [7])

    def test_an_szx_snapshot_compresses_the_corrected_page_again(self):
        bank5, bank7 = noise(85), noise(86)
        original = szx_128(bank5, bank7, SHOWS_BANK_7)
        path = self.write("game.szx", original)
        self.inkswap.drop([path])
        self.assertShows(bank7, self.hover(3, 2))
        self.assertStatus("game.szx (128K): screen in bank 7 |")
        screen = bytearray(bank7)
        self.correct(screen, 31, 23)
        self.inkswap.key("ctrl+s")
        self.assertTrue(wait_for(lambda: self.read(path) != original), "saved")
        saved = self.read(path)
        self.assertEqual(changed_banks(original, saved, "game.szx"), [7])
        self.assertEqual(page(saved, "game.szx", 7)[:SCREEN], bytes(screen))
        self.assertEqual(page(saved, "game.szx", 7)[SCREEN:], page(original, "game.szx", 7)[SCREEN:])
        # Every chunk but bank 7's RAMP byte for byte, in the same order.
        before, after = szx_chunks(original), szx_chunks(saved)
        self.assertEqual(len(before), len(after))
        for (old_id, old), (new_id, new) in zip(before, after):
            self.assertEqual(old_id, new_id)
            if old_id != b"RAMP" or old[2] != 7:
                self.assertEqual(old, new, old_id)
        self.assertEqual(saved[:8], original[:8])

    def test_a_broken_snapshot_is_refused(self):
        self.assertRefused("broken.z80", z80_128(noise(88), noise(89), SHOWS_BANK_7)[:-1], 87)


def main():
    return run_tests_with_probe(__doc__, __file__)


if __name__ == "__main__":
    sys.exit(main())
