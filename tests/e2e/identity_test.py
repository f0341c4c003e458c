"""End-to-end tests of what tells Inkswap apart as a program: the version
and the icon it carries, read back from the built executable by icoutils,
and what the running program shows of them: Help > About Inkswap and the
window's class icons.

    python3 tests/e2e/identity_test.py <inkswap.exe> [<build-dir> [<window_probe.exe>]]
"""

import os
import re
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))

import inkswap_driver  # noqa: E402
from inkswap_driver import UserTestCase, find_window, project_version, run, run_tests_with_probe, wait_for  # noqa: E402
from make_icon import ICON_SIZES, icon_pixels  # noqa: E402

USAGE = __doc__.strip().splitlines()[-1].strip()
FIXED_FILE_INFO = 0xFEEF04BD


def version_nodes(data, at=0, end=None):
    """The nodes of a VS_VERSIONINFO tree (length, value length, type, key,
    value, children) as (key, value bytes, children) triples."""
    end = len(data) if end is None else end
    nodes = []
    while at + 6 <= end:
        length, value_length, kind = struct.unpack_from("<HHH", data, at)
        if length == 0:
            break
        key_end = at + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[at + 6:key_end].decode("utf-16-le")
        value_at = (key_end + 2 + 3) & ~3
        size = value_length * 2 if kind == 1 else value_length  # text values count characters
        value = data[value_at:value_at + size]
        children_at = (value_at + size + 3) & ~3
        nodes.append((key, value, version_nodes(data, children_at, at + length)))
        at = (at + length + 3) & ~3
    return nodes


def version_strings(tree):
    """The string table's entries, by name."""
    strings = {}
    for key, value, children in tree:
        if children and key != "VarFileInfo":
            strings.update(version_strings(children))
        elif not children and value:
            strings[key] = value.decode("utf-16-le", errors="replace").rstrip("\0")
    return strings


class ResourceTest(UserTestCase):
    start_program = False

    def extract(self, *what):
        return subprocess.run(["wrestool", "-x", *what, inkswap_driver.EXECUTABLE], check=True,
                              capture_output=True).stdout

    def test_version_resource_carries_the_project_version(self):
        major, minor, patch = (int(part) for part in project_version().split("."))
        tree = version_nodes(self.extract("--raw", "--type=version"))
        self.assertEqual(tree[0][0], "VS_VERSION_INFO")
        fixed = struct.unpack_from("<13I", tree[0][1])
        self.assertEqual(fixed[0], FIXED_FILE_INFO)
        for most, least in ((fixed[2], fixed[3]), (fixed[4], fixed[5])):  # file, then product version
            self.assertEqual((most >> 16, most & 0xFFFF, least >> 16, least & 0xFFFF), (major, minor, patch, 0))
        strings = version_strings(tree[0][2])
        version = f"{major}.{minor}.{patch}"
        self.assertEqual(strings["FileVersion"], version)
        self.assertEqual(strings["ProductVersion"], version)
        self.assertEqual(strings["ProductName"], "Inkswap")
        self.assertEqual(strings["OriginalFilename"], "inkswap.exe")
        self.assertIn("MIT License", strings["LegalCopyright"])

    def test_first_icon_is_the_generators_at_every_size(self):
        listing = run("wrestool", "-l", "--type=group_icon", inkswap_driver.EXECUTABLE)
        names = re.findall(r"--name=(\S+)", listing)
        self.assertEqual(names[0], "1", listing)
        with tempfile.TemporaryDirectory() as folder:
            icon = os.path.join(folder, "inkswap.ico")
            with open(icon, "wb") as file:
                file.write(self.extract("--type=group_icon", "--name=1"))
            run("icotool", "-x", "-o", folder, icon)
            for size in ICON_SIZES:
                with self.subTest(size=size):
                    image = [name for name in os.listdir(folder) if f"_{size}x{size}x32" in name]
                    self.assertEqual(len(image), 1, os.listdir(folder))
                    rgba = subprocess.run(["/usr/bin/convert", os.path.join(folder, image[0]), "-depth", "8", "rgba:-"],
                                          check=True, capture_output=True).stdout
                    expected = bytes(value for row in icon_pixels(size) for pixel in row for value in pixel)
                    self.assertEqual(rgba, expected)


class AboutTest(UserTestCase):
    def choose_about(self):
        """Help > About Inkswap: a click on the File title opens the menus,
        Right goes on to Operations, View and Help, whose first item is
        About."""
        left, top = self.inkswap.client
        run("xdotool", "mousemove", str(left + 15), str(top - 10))
        time.sleep(0.3)
        self.inkswap.click()
        time.sleep(0.5)
        run("xdotool", "key", "Right", "Right", "Right", "Return")

    def test_about_box_names_the_version_and_the_licence(self):
        version = project_version()
        self.choose_about()
        self.assertIsNotNone(find_window("About Inkswap"), "the About box opens")
        text = self.inkswap.read_probe("box About Inkswap")
        lines = text.splitlines()
        self.assertEqual(lines[0], f"Inkswap {version}")
        self.assertIn("ZX Spectrum screens", text)
        self.assertIn("MIT License", text)
        self.assertTrue(self.inkswap.dismiss_box("About Inkswap"))
        self.assertTrue(wait_for(lambda: find_window("About Inkswap", timeout=0) is None))

    def test_caption_shows_the_small_icon(self):
        # Wine's desktop draws the frame: the caption's icon is the 16 pixel
        # image, somewhere left of the title, between the frame's top and
        # the menu bar.
        expected = [pixel[:3] for row in icon_pixels(16) for pixel in row]
        left, top = self.inkswap.outer[:2]
        shot = self.inkswap.screenshot()
        caption = self.inkswap.client[1] - top
        places = [(x, y) for y in range(0, caption - 15) for x in range(0, 40)]
        found = [place for place in places
                 if self.inkswap.region(shot, left + place[0], top + place[1], 16, 16) == expected]
        self.assertEqual(len(found), 1, "the icon in the caption")

if __name__ == "__main__":
    sys.exit(run_tests_with_probe(USAGE, __file__))
