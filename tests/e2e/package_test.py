"""End-to-end test of the Windows package: scripts/package makes the zip,
which is unpacked into a fresh folder as a user unpacks it; what it holds is
checked, and that folder's inkswap.exe is started under Wine with a screen
file on its command line, which it shows.

    python3 tests/e2e/package_test.py <inkswap.exe> [<build-dir> [<window_probe.exe>]]
"""

import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")
sys.path.insert(0, HERE)

import inkswap_driver  # noqa: E402
from inkswap_driver import (  # noqa: E402
    Inkswap,
    UserTestCase,
    noise,
    project_version,
    run_tests_with_probe,
    wait_for,
    windows_path,
)

USAGE = __doc__.strip().splitlines()[-1].strip()


def with_windows_line_ends(name):
    with open(os.path.join(ROOT, name), "rb") as file:
        return file.read().replace(b"\n", b"\r\n")


class PackageTest(UserTestCase):
    start_program = False

    def test_the_unpacked_program_opens_a_file_named_on_its_command_line(self):
        made = subprocess.run([os.path.join(ROOT, "scripts", "package")], check=True, capture_output=True, text=True)
        version = project_version()
        path = made.stdout.strip().splitlines()[-1]
        self.assertEqual(os.path.realpath(path),
                         os.path.realpath(os.path.join(ROOT, "build", "dist", f"inkswap-{version}-windows-x64.zip")))

        unpacked = tempfile.mkdtemp(prefix="inkswap-unpacked-")
        self.addCleanup(shutil.rmtree, unpacked, ignore_errors=True)
        with zipfile.ZipFile(path) as package:
            self.assertIsNone(package.testzip())
            top = f"inkswap-{version}"
            self.assertEqual(sorted(package.namelist()),
                             [f"{top}/LICENSE.txt", f"{top}/README.txt", f"{top}/inkswap.exe"])
            package.extractall(unpacked)
        folder = os.path.join(unpacked, top)
        self.assertEqual(self.read(os.path.join(folder, "README.txt")), with_windows_line_ends("README.md"))
        self.assertEqual(self.read(os.path.join(folder, "LICENSE.txt")), with_windows_line_ends("LICENSE"))
        version_text = subprocess.run(["wrestool", "-x", "--raw", "--type=version", os.path.join(folder, "inkswap.exe")],
                                      check=True, capture_output=True).stdout
        self.assertIn(version.encode("utf-16-le"), version_text, "the packed program carries the version")

        screen = noise(71)
        picture = self.write("title.scr", screen)
        self.inkswap = Inkswap(os.path.join(folder, "inkswap.exe"), [windows_path(picture)], inkswap_driver.PROBE)
        self.addCleanup(self.inkswap.close)
        self.assertTrue(wait_for(lambda: self.inkswap.status().startswith("title.scr")), self.inkswap.status())
        self.assertShows(screen, self.hover(3, 2))


if __name__ == "__main__":
    sys.exit(run_tests_with_probe(USAGE, __file__))
