"""End-to-end tests of inkswap-cli, run as a user runs it from a shell: every
command on every kind of file it reads, the files it writes compared byte
for byte with the ones the Python builders make from the screens the model
corrects, its pictures decoded by ImageMagick and compared pixel for pixel
with the model's, its batches, errors, exit codes and standard input, and
the emulator's own tools reading what it wrote.

    python3 tests/cli/cli_test.py <inkswap-cli> [unittest options]
"""

import json
import os
import pty
import random
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
from typing import Callable, NamedTuple

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from screen_reference import ATTRIBUTES, SCREEN_BYTES, bitmap_offset, correct_all_cells, correct_cell, expected_rows, first_difference, ink_count  # noqa: E402
from snapshot_files import changed_banks, pages, sna48, sna128, szx_128, szx_chunks, z80_128  # noqa: E402
from tape_files import (  # noqa: E402
    data_block,
    plus3dos_file,
    program_header,
    screen_block,
    screen_header,
    tap_file,
    tzx_attached_screen,
    tzx_file,
    tzx_standard,
    tzx_text,
    tzx_turbo,
)

PROGRAM = None  # the program under test, from the first argument
CONVERT = "/usr/bin/convert"
IDENTIFY = "/usr/bin/identify"
OLD_TIME = 946684800  # 2000-01-01: inputs are dated back so that any write shows
COMMANDS = ("info", "correct-all", "correct", "export", "extract", "insert")


def noise(seed, size=SCREEN_BYTES):
    """A screen file's worth of random bytes, the same for the same seed: as
    inkswap_driver.noise, whose module reads the window's layout from the
    GUI sources when imported and drives the program under Wine."""
    generator = random.Random(seed)
    return bytes(generator.randrange(256) for _ in range(size))


def without_flash(screen):
    changed = bytearray(screen)
    for at in range(ATTRIBUTES, ATTRIBUTES + 768):
        changed[at] &= 0x7F
    return bytes(changed)


def all_corrected(screen):
    changed = bytearray(screen)
    correct_all_cells(changed)
    return bytes(changed)


def cells_corrected(screen, cells):
    changed = bytearray(screen)
    for column, row in cells:
        correct_cell(changed, column, row)
    return bytes(changed)


def flashing_cells(screen):
    return sum(1 for at in range(ATTRIBUTES, ATTRIBUTES + 768) if screen[at] & 0x80)


def cells_to_correct(screen):
    return sum(1 for row in range(24) for column in range(32) if ink_count(screen, column, row) > 32)


# The files of every kind, built by the builders from the screens in the
# order the file shows them; `written` is the set of screens (by index) a
# save has put back, which makes a tape block's checksum right.

SHOWS_BANK_7 = 0x18  # bit 3 of port 0x7FFD, and ROM 1
SHOWS_BANK_5_PAGED = 0x15  # bank 5 shown and paged in at 0xC000: an SNA holds it twice
LOADER = bytes([0x00, 0x0A, 0x05, 0x00, 0xEF, 0x22, 0x22, 0xAF, 0x0D])


def game_tap(screens, written=()):
    """A loader, the screen "loading", code, and a headerless screen whose
    block's checksum is wrong until it is saved."""
    first, second = screens
    return tap_file([
        program_header("game", len(LOADER)),
        data_block(0xFF, LOADER),
        screen_header("loading"),
        screen_block(first),
        data_block(0xFF, noise(70, 500)),
        screen_block(second, wrong_checksum=1 not in written),
    ])


def game_tzx(screens, written=()):
    """A named screen in standard blocks, a headerless one in a turbo block,
    the attached loading screen "Title"."""
    first, second, third = screens
    return tzx_file([
        tzx_standard(screen_header("intro")),
        tzx_standard(screen_block(first)),
        tzx_text("A tape"),
        tzx_turbo(screen_block(second)),
        tzx_attached_screen(third, "Title", 1),
    ])


class Kind(NamedTuple):
    file: str
    text: str  # the kind as info writes it
    json: str
    machine: object
    labels: tuple  # (name, bank) of each screen
    build: Callable
    seeds: tuple  # of the screens' noise

    @property
    def screens(self):
        return tuple(noise(seed) for seed in self.seeds)

    @property
    def original(self):
        return self.build(self.screens)

    @property
    def tape(self):
        return self.json in ("tap", "tzx")

    def output(self, index, extension):
        """The name export and extract give the screen."""
        stem = self.file.rsplit(".", 1)[0]
        name, bank = self.labels[index]
        if self.tape:
            return f"{stem} {name or f'screen {index + 1}'}.{extension}"
        if bank is not None:
            return f"{stem} bank {bank}.{extension}"
        return f"{stem}.{extension}"


KINDS = (
    Kind("title.scr", "screen", "raw", None, ((None, None),), lambda s, w=(): s[0], (1,)),
    Kind("disk.p3d", "+3DOS file", "plus3dos", None, ((None, None),), lambda s, w=(): plus3dos_file(s[0]), (2,)),
    Kind("game.tap", "TAP tape", "tap", None, (("loading", None), (None, None)), game_tap, (3, 4)),
    Kind("tape.tzx", "TZX tape", "tzx", None, (("intro", None), (None, None), ("Title", None)), game_tzx, (5, 6, 7)),
    Kind("small.sna", "SNA snapshot (48K)", "sna", "48K", ((None, None),), lambda s, w=(): sna48(s[0]), (8,)),
    Kind("big.sna", "SNA snapshot (128K)", "sna", "128K", ((None, 5), (None, 7)),
         lambda s, w=(): sna128(s[0], s[1], SHOWS_BANK_5_PAGED), (9, 10)),
    Kind("game.z80", "Z80 snapshot (128K)", "z80", "128K", ((None, 7), (None, 5)),
         lambda s, w=(): z80_128(s[1], s[0], SHOWS_BANK_7), (11, 12)),
    Kind("state.szx", "SZX snapshot (128K)", "szx", "128K", ((None, 7), (None, 5)),
         lambda s, w=(): szx_128(s[1], s[0], SHOWS_BANK_7), (13, 14)),
)
KIND = {kind.file: kind for kind in KINDS}
MANY = [kind for kind in KINDS if len(kind.seeds) > 1]


class Run(NamedTuple):
    code: int
    stdout: bytes
    stderr: str

    @property
    def lines(self):
        return self.stdout.decode().splitlines()

    @property
    def errors(self):
        return self.stderr.splitlines()


def rgb(path, coalesce=False):
    """The picture's pixels as red, green, blue bytes, frame after frame."""
    args = [CONVERT, path] + (["-coalesce"] if coalesce else []) + ["rgb:-"]
    return subprocess.run(args, capture_output=True, check=True, timeout=60).stdout


class CliTestCase(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="inkswap-cli-")
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.folder, name)

    def write(self, name, data):
        path = self.path(name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as file:
            file.write(data)
        os.utime(path, (OLD_TIME, OLD_TIME))
        return path

    def read(self, name):
        with open(self.path(name), "rb") as file:
            return file.read()

    def put(self, *kinds):
        """Writes the kinds' files; their names."""
        for kind in kinds:
            self.write(kind.file, kind.original)
        return [kind.file for kind in kinds]

    def listing(self, folder=""):
        return sorted(os.listdir(self.path(folder)))

    def cli(self, *args, stdin=b""):
        done = subprocess.run([PROGRAM, *args], input=stdin, capture_output=True, cwd=self.folder, timeout=120)
        return Run(done.returncode, done.stdout, done.stderr.decode(errors="replace"))

    def assertRan(self, run, code=0):
        self.assertEqual(run.code, code, f"exit {run.code}, stderr:\n{run.stderr}")

    def assertSucceeded(self, run):
        self.assertRan(run, 0)
        self.assertEqual(run.stderr, "")

    def assertUntouched(self, kind, name=None):
        """The file is the one written at the start, and was not written again."""
        path = self.path(name or kind.file)
        self.assertEqual(self.read(path), kind.original, path)
        self.assertEqual(os.stat(path).st_mtime, OLD_TIME, f"{path} written again")

    def assertHolds(self, kind, name, screens, written):
        """The file is the kind's original with the screens put back: byte for
        byte as the builders make it; an SZX by its pages and chunks, the
        changed page compressed again as it was."""
        data = self.read(name)
        expected = kind.build(screens, written)
        if kind.json != "szx":
            self.assertEqual(data, expected, f"{name} is not the file built with the corrected screens")
            return
        original = kind.original
        self.assertEqual(data[:8], original[:8])
        self.assertEqual(pages(data, name), pages(expected, name), name)
        changed = changed_banks(original, expected, name)
        before, after = szx_chunks(original), szx_chunks(data)
        self.assertEqual([c for c, _ in before], [c for c, _ in after], "the same chunks in the same order")
        for (chunk_id, old), (_, new) in zip(before, after):
            if chunk_id == b"RAMP" and old[2] in changed:
                self.assertEqual(new[:2], old[:2], "the page's flags, compressed as it was")
            else:
                self.assertEqual(new, old, chunk_id)

    def assertPicture(self, actual, screen, view, grid, scale, swapped=False):
        rows = expected_rows(screen, 1 if view == "colour" else 0, -1, grid, scale, swapped)
        width = 256 * scale * 3
        self.assertEqual(len(actual), width * len(rows), "the picture's size")
        if actual != b"".join(rows):
            got = [actual[y * width:(y + 1) * width] for y in range(len(rows))]
            self.fail(first_difference(got, rows))

    def assertTapeReads(self, name):
        listed = subprocess.run(["tzxlist", self.path(name)], capture_output=True, text=True, timeout=60)
        self.assertEqual(listed.returncode, 0, listed.stderr)
        self.assertNotIn("(FAIL)", listed.stdout, name)

    def assertSnapshotReads(self, name):
        dumped = subprocess.run(["snapdump", self.path(name)], capture_output=True, text=True, timeout=60)
        self.assertEqual(dumped.returncode, 0, f"snapdump {name}: {dumped.stderr}")


def info_lines(kind, name=None):
    """The lines info writes for the kind's file, each as the strings it may
    be: a 48K snapshot's screen may or may not name its bank 5."""
    count = len(kind.seeds)
    lines = [(f"{name or kind.file}: {kind.text}, {count} screen{'s' if count != 1 else ''}",)]
    for index, (screen, (label, bank)) in enumerate(zip(kind.screens, kind.labels)):
        wrong = kind.json == "tap" and index == 1
        counts = f": {flashing_cells(screen)} flashing cells, {cells_to_correct(screen)} cells to correct"
        counts += " (checksum wrong)" if wrong else ""
        head = f"  screen {index + 1}" + (f' "{label}"' if label else "") + (f" (bank {bank})" if bank else "")
        lines.append((head + counts, head + " (bank 5)" + counts) if kind.machine == "48K" else (head + counts,))
    return lines


class InfoTest(CliTestCase):
    def assertInfo(self, actual, expected):
        self.assertEqual(len(actual), len(expected), actual)
        for line, choices in zip(actual, expected):
            self.assertIn(line, choices)

    def test_info_describes_every_kind_and_counts_from_the_model(self):
        names = self.put(*KINDS)
        run = self.cli("info", *names)
        self.assertSucceeded(run)
        self.assertInfo(run.lines, [line for kind in KINDS for line in info_lines(kind)])
        self.assertEqual(self.listing(), sorted(names))
        for kind in KINDS:
            self.assertUntouched(kind)

    def test_info_json_describes_every_kind(self):
        names = self.put(*KINDS)
        run = self.cli("info", "--json", *names)
        self.assertSucceeded(run)
        document = json.loads(run.stdout)
        self.assertEqual(list(document), ["files"])
        self.assertEqual([entry["file"] for entry in document["files"]], names)
        for kind, entry in zip(KINDS, document["files"]):
            with self.subTest(kind=kind.file):
                screens = [
                    {"number": index + 1, "name": label, "bank": bank,
                     "checksumWrong": kind.json == "tap" and index == 1,
                     "flashingCells": flashing_cells(screen), "cellsToCorrect": cells_to_correct(screen)}
                    for index, (screen, (label, bank)) in enumerate(zip(kind.screens, kind.labels))
                ]
                if kind.machine == "48K" and entry["screens"] and entry["screens"][0].get("bank") == 5:
                    screens[0]["bank"] = 5  # a 48K machine's screen is in its bank 5
                self.assertEqual(entry, {"file": kind.file, "kind": kind.json, "machine": kind.machine, "screens": screens})

    def test_info_leaves_failed_files_out_and_names_each_on_stderr(self):
        tap, raw = KIND["game.tap"], KIND["title.scr"]
        self.put(tap, raw)
        self.write("junk.bin", noise(20, 1000))
        self.write("broken.z80", KIND["game.z80"].original[:-1])
        files = ("junk.bin", "game.tap", "missing.scr", "broken.z80", "title.scr")
        run = self.cli("info", *files)
        self.assertRan(run, 1)
        self.assertInfo(run.lines, info_lines(tap) + info_lines(raw))
        self.assertEqual(run.errors, [
            "inkswap-cli: junk.bin: holds no screen Inkswap reads",
            "inkswap-cli: missing.scr: cannot be read",
            "inkswap-cli: broken.z80: holds no screen Inkswap reads",
        ])
        run = self.cli("info", "--json", *files)
        self.assertRan(run, 1)
        self.assertEqual([entry["file"] for entry in json.loads(run.stdout)["files"]], ["game.tap", "title.scr"])
        self.assertEqual(len(run.errors), 3)

    def test_info_reads_standard_input(self):
        tap = KIND["game.tap"]
        run = self.cli("info", "-", stdin=tap.original)
        self.assertSucceeded(run)
        self.assertInfo(run.lines, info_lines(tap, "-"))
        run = self.cli("info", "-", stdin=b"not a screen")
        self.assertRan(run, 1)
        self.assertEqual(run.errors, ["inkswap-cli: -: holds no screen Inkswap reads"])


class CorrectTest(CliTestCase):
    def test_correct_all_writes_the_first_screen_of_every_kind_in_place(self):
        names = self.put(*KINDS)
        run = self.cli("correct-all", *names)
        self.assertSucceeded(run)
        self.assertEqual(run.lines, [f"{kind.file}: screen 1: {cells_to_correct(kind.screens[0])} cells corrected" for kind in KINDS])
        self.assertEqual(self.listing(), sorted(names), "no file left beside them")
        for kind in KINDS:
            with self.subTest(kind=kind.file):
                screens = list(kind.screens)
                screens[0] = all_corrected(screens[0])
                self.assertHolds(kind, kind.file, screens, {0})

    def test_all_screens_and_one_chosen_screen(self):
        names = self.put(*MANY)
        run = self.cli("correct-all", "--all-screens", *names)
        self.assertSucceeded(run)
        self.assertEqual(run.lines, [f"{kind.file}: screen {index + 1}: {cells_to_correct(screen)} cells corrected"
                                     for kind in MANY for index, screen in enumerate(kind.screens)])
        for kind in MANY:
            with self.subTest(kind=kind.file):
                self.assertHolds(kind, kind.file, [all_corrected(s) for s in kind.screens], set(range(len(kind.seeds))))
        # The second screen alone: in a tape its checksum is made right.
        self.put(*MANY)
        run = self.cli("correct-all", "--screen", "2", *names)
        self.assertSucceeded(run)
        self.assertEqual(run.lines, [f"{kind.file}: screen 2: {cells_to_correct(kind.screens[1])} cells corrected" for kind in MANY])
        for kind in MANY:
            with self.subTest(kind=kind.file, screen=2):
                screens = list(kind.screens)
                screens[1] = all_corrected(screens[1])
                self.assertHolds(kind, kind.file, screens, {1})

    def test_written_files_are_read_by_the_emulators_tools(self):
        names = self.put(*KINDS)
        self.assertSucceeded(self.cli("correct-all", "--all-screens", *names))
        for kind in KINDS:
            if kind.tape:
                self.assertTapeReads(kind.file)
            elif kind.machine:
                self.assertSnapshotReads(kind.file)

    def test_correct_cells_in_order(self):
        cells = ((0, 0), (31, 23), (12, 3))
        operands = [f"{x},{y}" for x, y in cells]
        names = self.put(*KINDS)
        run = self.cli("correct", *operands, *names)
        self.assertSucceeded(run)
        self.assertEqual(run.lines, [f"{name}: screen 1: 3 cells corrected" for name in names])
        for kind in KINDS:
            with self.subTest(kind=kind.file):
                screens = list(kind.screens)
                screens[0] = cells_corrected(screens[0], cells)
                self.assertHolds(kind, kind.file, screens, {0})
        tzx, z80 = KIND["tape.tzx"], KIND["game.z80"]
        self.put(tzx, z80)
        run = self.cli("correct", "7,7", "--all-screens", "tape.tzx", "game.z80")
        self.assertSucceeded(run)
        self.assertEqual(run.lines, [f"{kind.file}: screen {i + 1}: 1 cell corrected"
                                     for kind in (tzx, z80) for i in range(len(kind.seeds))])
        for kind in (tzx, z80):
            self.assertHolds(kind, kind.file, [cells_corrected(s, [(7, 7)]) for s in kind.screens], set(range(len(kind.seeds))))

    def test_a_cell_twice_gives_it_back_and_an_unchanged_file_is_not_written(self):
        raw = KIND["title.scr"]
        self.put(raw)
        self.assertRan(self.cli("correct", "3,3", "3,3", "title.scr"))
        self.assertUntouched(raw)
        self.assertRan(self.cli("correct", "3,3", "4,4", "3,3", "title.scr"))
        self.assertEqual(self.read("title.scr"), cells_corrected(raw.screens[0], [(4, 4)]))
        # Nothing to correct, one cell to correct.
        blank = bytes(SCREEN_BYTES)
        one = bytearray(blank)
        for line in range(8):
            one[bitmap_offset(4, 5, line)] = 0xFF  # all 64 pixels set
        self.write("blank.scr", blank)
        self.write("one.scr", bytes(one))
        run = self.cli("correct-all", "blank.scr", "one.scr")
        self.assertSucceeded(run)
        self.assertEqual(run.lines, ["blank.scr: screen 1: no cell to correct", "one.scr: screen 1: 1 cell corrected"])
        self.assertEqual(os.stat(self.path("blank.scr")).st_mtime, OLD_TIME, "blank.scr written")
        self.assertEqual(self.read("one.scr"), cells_corrected(one, [(4, 5)]))

    def test_output_file_and_folder_leave_the_input_untouched(self):
        tap, z80 = KIND["game.tap"], KIND["game.z80"]
        names = self.put(*KINDS)
        run = self.cli("correct-all", "-o", "fixed.z80", "game.z80")
        self.assertSucceeded(run)
        self.assertEqual(run.lines, [f"game.z80: screen 1: {cells_to_correct(z80.screens[0])} cells corrected"])
        self.assertHolds(z80, "fixed.z80", [all_corrected(z80.screens[0]), z80.screens[1]], {0})
        self.assertUntouched(z80)
        os.mkdir(self.path("out"))
        run = self.cli("correct", "1,2", "--output-dir", "out", "--screen", "2", "game.tap", "big.sna")
        self.assertSucceeded(run)
        self.assertEqual(run.lines, ["game.tap: screen 2: 1 cell corrected", "big.sna: screen 2: 1 cell corrected"])
        self.assertEqual(self.listing("out"), ["big.sna", "game.tap"])
        for kind in (tap, KIND["big.sna"]):
            self.assertHolds(kind, f"out/{kind.file}", [kind.screens[0], cells_corrected(kind.screens[1], [(1, 2)])], {1})
            self.assertUntouched(kind)
        self.assertTapeReads("out/game.tap")
        # A file with nothing to correct still goes to its output.
        self.write("blank.scr", bytes(SCREEN_BYTES))
        run = self.cli("correct-all", "-o", "copy.scr", "blank.scr")
        self.assertSucceeded(run)
        self.assertEqual(run.lines, ["blank.scr: screen 1: no cell to correct"])
        self.assertEqual(self.read("copy.scr"), bytes(SCREEN_BYTES))
        self.assertEqual(self.listing(), sorted(names + ["blank.scr", "copy.scr", "fixed.z80", "out"]))

    def test_dry_run_writes_nothing(self):
        names = self.put(*KINDS)
        os.mkdir(self.path("out"))
        run = self.cli("correct-all", "--dry-run", "--all-screens", *names)
        self.assertSucceeded(run)
        self.assertEqual(run.lines, [f"{kind.file}: screen {index + 1}: {cells_to_correct(screen)} cells would be corrected"
                                     for kind in KINDS for index, screen in enumerate(kind.screens)])
        run = self.cli("correct", "0,0", "1,1", "--dry-run", "--output-dir", "out", "game.tap", "game.z80")
        self.assertSucceeded(run)
        self.assertEqual(run.lines, ["game.tap: screen 1: 2 cells would be corrected", "game.z80: screen 1: 2 cells would be corrected"])
        run = self.cli("correct-all", "--dry-run", "-o", "fixed.tap", "game.tap")
        self.assertSucceeded(run)
        self.assertEqual(self.listing(), sorted(names + ["out"]))
        self.assertEqual(self.listing("out"), [])
        for kind in KINDS:
            self.assertUntouched(kind)

    def test_one_bad_file_among_good_ones(self):
        raw, tap, tzx = KIND["title.scr"], KIND["game.tap"], KIND["tape.tzx"]
        self.put(raw, tap)
        broken = KIND["game.z80"].original[:-1]
        self.write("broken.z80", broken)
        run = self.cli("correct-all", "title.scr", "broken.z80", "game.tap")
        self.assertRan(run, 1)
        self.assertEqual(run.errors, ["inkswap-cli: broken.z80: holds no screen Inkswap reads"])
        self.assertEqual(run.lines, [f"title.scr: screen 1: {cells_to_correct(raw.screens[0])} cells corrected",
                                     f"game.tap: screen 1: {cells_to_correct(tap.screens[0])} cells corrected"])
        self.assertEqual(self.read("broken.z80"), broken)
        self.assertHolds(raw, "title.scr", [all_corrected(raw.screens[0])], {0})
        self.assertHolds(tap, "game.tap", [all_corrected(tap.screens[0]), tap.screens[1]], {0})
        # Only the tape of three screens has a third.
        self.put(raw, tap, tzx)
        run = self.cli("correct-all", "--screen", "3", "game.tap", "tape.tzx", "title.scr")
        self.assertRan(run, 1)
        self.assertEqual(run.errors, ["inkswap-cli: game.tap: has no screen 3", "inkswap-cli: title.scr: has no screen 3"])
        self.assertEqual(run.lines, [f"tape.tzx: screen 3: {cells_to_correct(tzx.screens[2])} cells corrected"])
        self.assertHolds(tzx, "tape.tzx", [*tzx.screens[:2], all_corrected(tzx.screens[2])], {2})
        self.assertUntouched(tap)
        self.assertUntouched(raw)

    def test_standard_input_goes_to_standard_output(self):
        for kind in (KIND["game.tap"], KIND["game.z80"], KIND["title.scr"]):
            with self.subTest(kind=kind.file):
                run = self.cli("correct-all", "--all-screens", "-", stdin=kind.original)
                self.assertSucceeded(run)
                screens = [all_corrected(s) for s in kind.screens]
                self.assertEqual(run.stdout, kind.build(screens, set(range(len(screens)))))
        self.assertEqual(self.listing(), [])


PICTURES = (
    # format, scale, view, grid; the first with the defaults
    ("png", 1, "colour", False),
    ("png", 1, "bitmap", True),
    ("png", 3, "colour", True),
    ("png", 3, "bitmap", False),
    ("png", 8, "colour", True),
    ("png", 8, "bitmap", False),
    ("gif", 1, "bitmap", True),
)


def png_header(data):
    """Width, height, bit depth and colour type from the IHDR chunk."""
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        return None
    return int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big"), data[24], data[25]


def gif_loops_forever(data):
    """Whether the GIF has the NETSCAPE2.0 extension with a loop count of 0."""
    at = data.find(b"\x21\xff\x0bNETSCAPE2.0\x03\x01")
    return at >= 0 and data[at + 16:at + 18] == b"\x00\x00"


class ExportTest(CliTestCase):
    def gif_delays(self, name):
        shown = subprocess.run([IDENTIFY, "-format", "%T\n", self.path(name)], capture_output=True, text=True, check=True)
        return shown.stdout.split()

    def test_pictures_match_the_model(self):
        raw = KIND["title.scr"]
        screen = raw.screens[0]
        self.put(raw)
        for index, (form, scale, view, grid) in enumerate(PICTURES):
            with self.subTest(format=form, scale=scale, view=view, grid=grid):
                output = f"picture{index}.{form}"
                options = [] if index == 0 else ["--format", form, "--scale", str(scale), "--view", view]
                run = self.cli("export", *options, *(["--grid"] if grid else []), "-o", output, "title.scr")
                self.assertSucceeded(run)
                self.assertEqual(run.lines, [f"title.scr: screen 1 -> {output}"])
                data = self.read(output)
                if form == "png":
                    header = png_header(data)
                    self.assertIsNotNone(header, "a PNG")
                    width, height, depth, colour_type = header
                    self.assertEqual((width, height, colour_type), (256 * scale, 192 * scale, 3), "a palette image")
                    self.assertIn(depth, (1, 2, 4, 8))
                else:
                    self.assertEqual(data[:4], b"GIF8")
                    self.assertEqual(len(self.gif_delays(output)), 1)
                self.assertPicture(rgb(self.path(output)), screen, view, grid, scale)
        self.assertUntouched(raw)

    def test_gif_of_flashing_cells_has_both_phases(self):
        flashing, steady = KIND["title.scr"].screens[0], without_flash(noise(30))
        self.assertGreater(flashing_cells(flashing), 0)
        self.write("flash.scr", flashing)
        self.write("steady.scr", steady)
        run = self.cli("export", "--format", "gif", "--scale", "3", "--grid", "flash.scr", "steady.scr")
        self.assertSucceeded(run)
        self.assertEqual(run.lines, ["flash.scr: screen 1 -> flash.gif", "steady.scr: screen 1 -> steady.gif"])
        self.assertEqual(self.gif_delays("flash.gif"), ["32", "32"])
        self.assertTrue(gif_loops_forever(self.read("flash.gif")), "loops forever")
        frames = rgb(self.path("flash.gif"), coalesce=True)
        size = len(frames) // 2
        self.assertPicture(frames[:size], flashing, "colour", True, 3)
        self.assertPicture(frames[size:], flashing, "colour", True, 3, swapped=True)
        self.assertEqual(len(self.gif_delays("steady.gif")), 1)
        self.assertPicture(rgb(self.path("steady.gif"), coalesce=True), steady, "colour", True, 3)
        # The bitmap view does not flash.
        run = self.cli("export", "--format", "gif", "--view", "bitmap", "-o", "plain.gif", "flash.scr")
        self.assertSucceeded(run)
        self.assertEqual(len(self.gif_delays("plain.gif")), 1)
        self.assertPicture(rgb(self.path("plain.gif"), coalesce=True), flashing, "bitmap", False, 1)

    def test_every_screen_of_every_kind_is_named_and_shown(self):
        names = self.put(*KINDS)
        run = self.cli("export", "--all-screens", *names)
        self.assertSucceeded(run)
        expected = [(kind, index, kind.output(index, "png")) for kind in KINDS for index in range(len(kind.seeds))]
        self.assertEqual(run.lines, [f"{kind.file}: screen {index + 1} -> {output}" for kind, index, output in expected])
        self.assertEqual(self.listing(), sorted(names + [output for _, _, output in expected]))
        for kind, index, output in expected:
            with self.subTest(output=output):
                self.assertPicture(rgb(self.path(output)), kind.screens[index], "colour", False, 1)
        for kind in KINDS:
            self.assertUntouched(kind)

    def test_chosen_screen_output_folder_and_standard_input(self):
        z80, tap = KIND["game.z80"], KIND["game.tap"]
        self.put(z80, tap)
        os.mkdir(self.path("out"))
        run = self.cli("export", "--screen", "2", "--format", "gif", "--view", "bitmap", "--output-dir", "out", "game.z80", "game.tap")
        self.assertSucceeded(run)
        self.assertEqual(self.listing("out"), ["game bank 5.gif", "game screen 2.gif"])
        self.assertEqual([line.split(" -> ")[0] for line in run.lines], ["game.z80: screen 2", "game.tap: screen 2"])
        self.assertPicture(rgb(self.path("out/game bank 5.gif")), z80.screens[1], "bitmap", False, 1)
        self.assertPicture(rgb(self.path("out/game screen 2.gif")), tap.screens[1], "bitmap", False, 1)
        # A raw screen from standard input is named screen.png.
        screen = KIND["title.scr"].screens[0]
        run = self.cli("export", "--output-dir", "out", "-", stdin=screen)
        self.assertSucceeded(run)
        self.assertEqual(self.listing("out"), ["game bank 5.gif", "game screen 2.gif", "screen.png"])
        self.assertPicture(rgb(self.path("out/screen.png")), screen, "colour", False, 1)
        run = self.cli("export", "-o", "-", "game.tap")
        self.assertSucceeded(run)
        self.assertEqual(run.stdout[:8], b"\x89PNG\r\n\x1a\n")
        self.write("piped.png", run.stdout)
        self.assertPicture(rgb(self.path("piped.png")), tap.screens[0], "colour", False, 1)
        self.assertEqual(self.listing(), ["game.tap", "game.z80", "out", "piped.png"])


class ExtractInsertTest(CliTestCase):
    def test_extract_every_screen_of_every_kind(self):
        names = self.put(*KINDS)
        os.mkdir(self.path("out"))
        run = self.cli("extract", "--all-screens", "--output-dir", "out", *names)
        self.assertSucceeded(run)
        expected = [(kind, index, kind.output(index, "scr")) for kind in KINDS for index in range(len(kind.seeds))]
        self.assertEqual([line.split(" -> ")[0] for line in run.lines], [f"{kind.file}: screen {index + 1}" for kind, index, _ in expected])
        self.assertEqual(self.listing("out"), sorted(output for _, _, output in expected))
        for kind, index, output in expected:
            self.assertEqual(self.read(f"out/{output}"), kind.screens[index], output)
        # Beside the input, with its name on the result line.
        run = self.cli("extract", "--screen", "2", "game.tap", "game.z80")
        self.assertSucceeded(run)
        self.assertEqual(run.lines, ["game.tap: screen 2 -> game screen 2.scr", "game.z80: screen 2 -> game bank 5.scr"])
        self.assertEqual(self.read("game screen 2.scr"), KIND["game.tap"].screens[1])
        self.assertEqual(self.read("game bank 5.scr"), KIND["game.z80"].screens[1])
        for kind in KINDS:
            self.assertUntouched(kind)

    def test_extract_to_standard_output(self):
        tap, szx = KIND["game.tap"], KIND["state.szx"]
        self.put(szx)
        run = self.cli("extract", "-", stdin=tap.original)
        self.assertSucceeded(run)
        self.assertEqual(run.stdout, tap.screens[0])
        run = self.cli("extract", "--screen", "2", "-", stdin=tap.original)
        self.assertSucceeded(run)
        self.assertEqual(run.stdout, tap.screens[1])
        run = self.cli("extract", "--screen", "2", "-o", "-", "state.szx")
        self.assertSucceeded(run)
        self.assertEqual(run.stdout, szx.screens[1])
        self.assertEqual(self.listing(), ["state.szx"])

    def test_insert_puts_the_screen_into_every_kind(self):
        names = self.put(*KINDS)
        new = noise(40)
        self.write("new.scr", new)
        run = self.cli("insert", "new.scr", *names)
        self.assertSucceeded(run)
        self.assertEqual(run.lines, [f"{name}: screen 1: screen put in" for name in names])
        self.assertEqual(self.listing(), sorted(names + ["new.scr"]))
        for kind in KINDS:
            with self.subTest(kind=kind.file):
                self.assertHolds(kind, kind.file, [new, *kind.screens[1:]], {0})

    def test_insert_takes_the_first_screen_of_any_file(self):
        tap, z80, sna = KIND["game.tap"], KIND["game.z80"], KIND["big.sna"]
        self.put(z80, sna)
        # The screen from a tape on standard input, into both screens.
        run = self.cli("insert", "-", "--all-screens", "game.z80", stdin=tap.original)
        self.assertSucceeded(run)
        self.assertEqual(run.lines, ["game.z80: screen 1: screen put in", "game.z80: screen 2: screen put in"])
        self.assertHolds(z80, "game.z80", [tap.screens[0]] * 2, {0, 1})
        # A screen put back as it is leaves the file alone.
        self.put(z80)
        self.write("same.scr", z80.screens[1])
        run = self.cli("insert", "same.scr", "--screen", "2", "game.z80")
        self.assertSucceeded(run)
        self.assertEqual(run.lines, ["game.z80: screen 2: screen unchanged"])
        self.assertUntouched(z80)
        # Into a new file; and a dry run.
        self.write("game.tap", tap.original)
        run = self.cli("insert", "game.tap", "--screen", "2", "-o", "new.sna", "big.sna")
        self.assertSucceeded(run)
        self.assertEqual(run.lines, ["big.sna: screen 2: screen put in"])
        self.assertHolds(sna, "new.sna", [sna.screens[0], tap.screens[0]], {1})
        self.assertUntouched(sna)
        self.assertSnapshotReads("new.sna")
        run = self.cli("insert", "game.tap", "--dry-run", "big.sna", "game.z80")
        self.assertSucceeded(run)
        self.assertEqual(run.lines, ["big.sna: screen 1: screen would be put in", "game.z80: screen 1: screen would be put in"])
        self.assertUntouched(sna)
        self.assertUntouched(z80)
        self.assertEqual(self.listing(), ["big.sna", "game.tap", "game.z80", "new.sna", "same.scr"])


# Usage errors: exit 2, a message and the command's hint, nothing done.
USAGE_ERRORS = (
    ("export", "--frobnicate", "title.scr"),
    ("export", "--scale", "9", "title.scr"),
    ("export", "--scale", "0", "title.scr"),
    ("export", "--format", "jpeg", "title.scr"),
    ("export", "--view", "sepia", "title.scr"),
    ("extract", "--screen", "two", "title.scr"),
    ("correct", "32,0", "title.scr"),
    ("correct", "0,24", "title.scr"),
    ("correct-all", "-o", "out.scr", "title.scr", "game.tap"),
    ("export", "-o", "out.png", "title.scr", "game.tap"),
    ("extract", "--all-screens", "-o", "out.scr", "game.tap"),
    ("insert", "title.scr", "-o", "out.tap", "game.tap", "title.scr"),
)


class CommandLineTest(CliTestCase):
    def test_usage_errors(self):
        names = self.put(KIND["title.scr"], KIND["game.tap"])
        for args in USAGE_ERRORS:
            with self.subTest(args=" ".join(args)):
                run = self.cli(*args)
                self.assertRan(run, 2)
                self.assertTrue(run.stderr.startswith("inkswap-cli: "), run.stderr)
                self.assertIn(f"Try 'inkswap-cli {args[0]} --help'.", run.stderr)
                self.assertEqual(run.stdout, b"")
                self.assertEqual(self.listing(), sorted(names))
        for kind in (KIND["title.scr"], KIND["game.tap"]):
            self.assertUntouched(kind)
        run = self.cli("frobnicate", "title.scr")
        self.assertRan(run, 2)
        self.assertTrue(run.stderr.startswith("inkswap-cli: "), run.stderr)
        self.assertIn("Try 'inkswap-cli", run.stderr)

    def test_help_and_version(self):
        run = self.cli("--version")
        self.assertSucceeded(run)
        self.assertEqual(run.stdout, b"inkswap-cli 1.0.0\n")
        run = self.cli("--help")
        self.assertSucceeded(run)
        for command in COMMANDS:
            self.assertRegex(run.stdout.decode(), rf"(?m)\b{re.escape(command)}\b")
        self.assertEqual(self.cli("-h").stdout, run.stdout)
        bare = self.cli()
        self.assertRan(bare, 2)
        self.assertEqual(bare.stdout, b"")
        self.assertEqual(bare.stderr, run.stdout.decode())
        options = {"info": "--json", "correct-all": "--dry-run", "correct": "--dry-run", "export": "--scale",
                   "extract": "--all-screens", "insert": "--screen"}
        usages = set()
        for command in COMMANDS:
            with self.subTest(command=command):
                usage = self.cli(command, "--help")
                self.assertSucceeded(usage)
                self.assertIn(command, usage.stdout.decode())
                self.assertIn(options[command], usage.stdout.decode())
                usages.add(usage.stdout)
        self.assertEqual(len(usages), len(COMMANDS), "each command its own usage")

    def test_existing_outputs_are_kept_without_force(self):
        raw, tap = KIND["title.scr"], KIND["game.tap"]
        self.put(raw, tap)
        self.write("title.png", b"old picture")
        self.write("fixed.tap", b"old tape")
        run = self.cli("export", "title.scr", "game.tap")
        self.assertRan(run, 1)
        self.assertEqual(len(run.errors), 1, run.stderr)
        self.assertTrue(run.errors[0].startswith("inkswap-cli: title.scr: "), run.stderr)
        self.assertTrue(run.errors[0].endswith("title.png exists (use --force to replace it)"), run.stderr)
        self.assertEqual(run.lines, ["game.tap: screen 1 -> game loading.png"])
        self.assertEqual(self.read("title.png"), b"old picture")
        run = self.cli("correct-all", "-o", "fixed.tap", "game.tap")
        self.assertRan(run, 1)
        self.assertTrue(run.stderr.endswith("fixed.tap exists (use --force to replace it)\n"), run.stderr)
        self.assertEqual(self.read("fixed.tap"), b"old tape")
        # With --force both are replaced.
        run = self.cli("export", "--force", "title.scr")
        self.assertSucceeded(run)
        self.assertPicture(rgb(self.path("title.png")), raw.screens[0], "colour", False, 1)
        run = self.cli("correct-all", "--force", "-o", "fixed.tap", "game.tap")
        self.assertSucceeded(run)
        self.assertHolds(tap, "fixed.tap", [all_corrected(tap.screens[0]), tap.screens[1]], {0})
        self.assertUntouched(tap)
        self.assertEqual(self.listing(), ["fixed.tap", "game loading.png", "game.tap", "title.png", "title.scr"])

    def test_an_output_of_the_run_is_never_replaced(self):
        first, second = noise(50), noise(51)
        self.write("a/title.scr", first)
        self.write("b/title.scr", second)
        for force in ([], ["--force"]):
            with self.subTest(force=force):
                shutil.rmtree(self.path("out"), ignore_errors=True)
                os.mkdir(self.path("out"))
                run = self.cli("extract", *force, "--output-dir", "out", "a/title.scr", "b/title.scr")
                self.assertRan(run, 1)
                self.assertEqual(len(run.errors), 1, run.stderr)
                self.assertTrue(run.errors[0].startswith("inkswap-cli: b/title.scr: "), run.stderr)
                self.assertIn("would replace an output of this run", run.errors[0])
                self.assertEqual(len(run.lines), 1)
                self.assertEqual(self.listing("out"), ["title.scr"])
                self.assertEqual(self.read("out/title.scr"), first)

    def test_an_output_that_cannot_be_written(self):
        self.put(KIND["title.scr"])
        run = self.cli("export", "-o", "missing/title.png", "title.scr")
        self.assertRan(run, 1)
        self.assertEqual(run.errors, ["inkswap-cli: title.scr: missing/title.png could not be written"])
        self.assertEqual(self.listing(), ["title.scr"])

    def test_binary_output_to_a_terminal_is_refused(self):
        self.put(KIND["title.scr"])
        master, slave = pty.openpty()
        try:
            done = subprocess.run([PROGRAM, "extract", "-o", "-", "title.scr"], stdout=slave, stderr=subprocess.PIPE,
                                  cwd=self.folder, timeout=60)
            os.close(slave)
            shown = drain(master)
        finally:
            os.close(master)
        self.assertNotEqual(done.returncode, 0)
        self.assertLess(len(shown), 1000, "the screen's bytes went to the terminal")
        self.assertEqual(self.listing(), ["title.scr"])

    def test_progress_shows_on_a_terminal_only_when_a_batch_runs_long(self):
        self.put(KIND["title.scr"])
        screen = self.read("title.scr")
        for delay, shown_expected in ((0.0, False), (1.5, True)):
            with self.subTest(delay=delay):
                master, slave = pty.openpty()
                try:
                    # The second file is standard input, which arrives after the delay: the third
                    # file is then reached when the batch has run that long.
                    running = subprocess.Popen([PROGRAM, "info", "title.scr", "-", "title.scr"],
                                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=slave,
                                               cwd=self.folder)
                    time.sleep(delay)
                    results, _ = running.communicate(screen, timeout=60)
                    os.close(slave)
                    shown = drain(master).decode(errors="replace")
                finally:
                    os.close(master)
                self.assertEqual(running.returncode, 0)
                self.assertEqual(len(results.decode().splitlines()), 6, "the results stay on standard output")
                if shown_expected:
                    self.assertIn("\r\033[Kinkswap-cli: 3 of 3 files: title.scr", shown)
                    self.assertTrue(shown.endswith("\r\033[K"), f"the progress line is not cleared: {shown!r}")
                else:
                    self.assertEqual(shown, "")


def drain(master):
    """What a terminal's program side wrote, once it has closed its end."""
    shown = b""
    while select.select([master], [], [], 0.2)[0]:
        try:
            chunk = os.read(master, 65536)
        except OSError:  # the terminal's other end is closed and drained
            break
        if not chunk:
            break
        shown += chunk
    return shown


def main():
    global PROGRAM
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    PROGRAM = os.path.abspath(sys.argv[1])
    if not os.access(PROGRAM, os.X_OK):
        sys.exit(f"{PROGRAM}: not a program")
    unittest.main(argv=[sys.argv[0], *sys.argv[2:]])


if __name__ == "__main__":
    main()
