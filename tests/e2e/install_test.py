"""End-to-end tests of scripts/install, each in a home folder of its own and
with no desktop session in the environment, so that xdg-mime takes its
generic path (mimeapps.list, the desktop database, and the shared-mime-info
database read through File::MimeInfo's mimetype): the desktop entry, the
icons, the type and the default application that xdg-mime reports for each
kind of file Inkswap reads; the installed launcher opening a tape in
Inkswap; another application's type and default left to it; installing
twice; and --uninstall leaving each home exactly as it was before.

    python3 tests/e2e/install_test.py <inkswap.exe> [<build-dir> [<window_probe.exe>]]
"""

import os
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time
import unittest
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(REPO, "tools"))

import inkswap_driver  # noqa: E402
from inkswap_driver import noise, run_tests_with_probe, shown_windows, wait_for, SESSION_WINDOWS  # noqa: E402
from make_icon import icon_pixels, png_bytes  # noqa: E402
from snapshot_files import sna48, szx_128, z80_128  # noqa: E402
from tape_files import plus3dos_file, screen_block, screen_header, tap_file, tzx_file, tzx_standard  # noqa: E402

INSTALL = os.path.join(REPO, "scripts", "install")
DESKTOP_ID = "inkswap.desktop"

# A file of each kind Inkswap reads, and the type it must get.
KINDS = (
    ("title.scr", noise(1), "application/x-zx-spectrum-screen"),
    ("plus3.scr", plus3dos_file(noise(2)), "application/x-zx-spectrum-screen"),
    ("game.tap", tap_file([screen_header("loading"), screen_block(noise(3))]), "application/x-zx-spectrum-tap"),
    ("game.tzx", tzx_file([tzx_standard(screen_header("x")), tzx_standard(screen_block(noise(4)))]),
     "application/x-zx-spectrum-tzx"),
    ("game.sna", sna48(noise(5)), "application/x-zx-spectrum-sna"),
    ("game.z80", z80_128(noise(6), noise(7), 0x10), "application/x-zx-spectrum-z80"),
    ("game.szx", szx_128(noise(8), noise(9), 0x10), "application/x-zx-spectrum-szx"),
    # Known by their first bytes too, under a name that says nothing.
    ("tape-without-extension", tzx_file([tzx_standard(screen_block(noise(10)))]), "application/x-zx-spectrum-tzx"),
    ("snapshot-without-extension", szx_128(noise(11), noise(12), 0x10), "application/x-zx-spectrum-szx"),
)
INKSWAP_TYPES = sorted({mime_type for _, _, mime_type in KINDS})

OTHER_TYPE = "application/x-other-tape"
OTHER_PACKAGE = f"""<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="{OTHER_TYPE}">
    <comment>Another program's tape</comment>
    <glob pattern="*.tzx"/>
  </mime-type>
</mime-info>
"""
NOTES_PACKAGE = """<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="text/x-notes">
    <comment>Notes</comment>
    <glob pattern="*.notes"/>
  </mime-type>
</mime-info>
"""
OTHER_ENTRY = f"""[Desktop Entry]
Type=Application
Name=Other
Exec=true %f
MimeType={OTHER_TYPE};
"""

# Variables by which xdg-mime would take a desktop's own path.
DESKTOP_VARIABLES = ("DESKTOP_SESSION", "KDE_FULL_SESSION", "KDE_SESSION_VERSION", "GNOME_DESKTOP_SESSION_ID",
                     "MATE_DESKTOP_SESSION_ID", "DBUS_SESSION_BUS_ADDRESS")


class Home:
    """A fresh home folder; every command runs with it as HOME."""

    def __init__(self, cleanups):
        self.path = tempfile.mkdtemp(prefix="inkswap-home-")
        cleanups(shutil.rmtree, self.path, ignore_errors=True)

    def environment(self):
        environment = {
            name: value for name, value in os.environ.items()
            if not name.startswith("XDG_") and name not in DESKTOP_VARIABLES
        }
        environment["HOME"] = self.path
        return environment

    def run(self, *command, cwd=None, check=True):
        result = subprocess.run(command, env=self.environment(), cwd=cwd, capture_output=True, text=True,
                                timeout=300)
        if check and result.returncode != 0:
            raise AssertionError(f"{' '.join(command)} ended with {result.returncode}:\n"
                                 f"{result.stdout}{result.stderr}")
        return result

    def install(self, *arguments):
        return self.run(INSTALL, *arguments)

    def query(self, *what):
        return self.run("xdg-mime", "query", *what).stdout.strip()

    def file(self, relative, text):
        path = os.path.join(self.path, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as file:
            file.write(text)

    def join(self, *parts):
        return os.path.join(self.path, *parts)

    def tree(self):
        """Every file, folder and link under the home: kind, mode and
        contents by relative path."""
        entries = {}
        for folder, folders, files in os.walk(self.path):
            for name in folders + files:
                path = os.path.join(folder, name)
                info = os.lstat(path)
                if stat.S_ISLNK(info.st_mode):
                    entry = ("link", os.readlink(path))
                elif stat.S_ISDIR(info.st_mode):
                    entry = ("folder", stat.S_IMODE(info.st_mode))
                else:
                    with open(path, "rb") as file:
                        entry = ("file", stat.S_IMODE(info.st_mode), file.read())
                entries[os.path.relpath(path, self.path)] = entry
        return entries


def tree_changes(before, after):
    """What differs between two trees, one line a path."""
    changes = [f"added {path}" for path in sorted(after.keys() - before.keys())]
    changes += [f"removed {path}" for path in sorted(before.keys() - after.keys())]
    changes += [f"changed {path}" for path in sorted(before.keys() & after.keys()) if before[path] != after[path]]
    return changes


def desktop_entry(path):
    """The [Desktop Entry] group's keys and values."""
    values = {}
    with open(path, encoding="utf-8") as entry:
        lines = entry.read().splitlines()
    assert lines[0] == "[Desktop Entry]", lines[0]
    for line in lines[1:]:
        key, _, value = line.partition("=")
        values[key] = value
    return values


def package_types(path):
    """{type: [glob, ...]} of a shared-mime-info package."""
    namespace = "{http://www.freedesktop.org/standards/shared-mime-info}"
    root = ElementTree.parse(path).getroot()
    return {
        element.get("type"): [glob.get("pattern") for glob in element.iter(namespace + "glob")]
        for element in root.iter(namespace + "mime-type")
    }


# Homes with other programs' files, which the install must leave as they are.


def home_where_another_application_owns_tzx(home):
    """A program of the user's own: its MIME type for *.tzx, its desktop
    entry, and a mimeapps.list that makes it the type's default."""
    home.file(".local/share/mime/packages/other.xml", OTHER_PACKAGE)
    home.run("update-mime-database", home.join(".local/share/mime"))
    home.file(".local/share/applications/other.desktop", OTHER_ENTRY)
    home.run("update-desktop-database", home.join(".local/share/applications"))
    home.file(".config/mimeapps.list", f"[Default Applications]\n{OTHER_TYPE}=other.desktop\n")


def lived_in_home(home):
    """A mimeapps.list without defaults, a MIME database of text types only
    and a folder of the user's own programs."""
    home.file(".config/mimeapps.list", "[Added Associations]\ntext/plain=other.desktop;\n\n")
    home.file(".local/share/mime/packages/notes.xml", NOTES_PACKAGE)
    home.run("update-mime-database", home.join(".local/share/mime"))
    home.file(".local/bin/tool", "#!/bin/sh\n")


class InstallTest(unittest.TestCase):
    """Each home goes through an install, a look at what it did, and an
    uninstall that must leave it as it was."""

    def setUp(self):
        self.files = tempfile.mkdtemp(prefix="inkswap-files-")
        self.addCleanup(shutil.rmtree, self.files, ignore_errors=True)

    def test_a_fresh_home(self):
        home = Home(self.addCleanup)
        home.install()
        with self.subTest("the desktop entry"):
            self.check_entry(home)
        with self.subTest("the icons"):
            self.check_icons(home)
        for name, data, mime_type in KINDS:
            with self.subTest("type and default", name=name):
                path = self.write(name, data)
                self.assertEqual(home.query("filetype", path), mime_type)
                self.assertEqual(home.query("default", mime_type), DESKTOP_ID)
        with self.subTest("the launcher"):
            self.check_launcher(home)
        with self.subTest("installing again"):
            installed = home.tree()
            home.install()
            self.assertEqual(tree_changes(installed, home.tree()), [])
        self.check_uninstall(home, {})
        again = home.install("--uninstall")
        self.assertIn("Inkswap is not installed", again.stdout)

    def test_a_home_where_another_application_owns_tzx(self):
        home = Home(self.addCleanup)
        home_where_another_application_owns_tzx(home)
        before = home.tree()
        output = home.install().stdout
        tape = self.write("tape.tzx", KINDS[3][1])
        self.assertEqual(home.query("filetype", tape), OTHER_TYPE)
        self.assertEqual(home.query("default", OTHER_TYPE), "other.desktop")
        own = package_types(home.join(".local/share/mime/packages/inkswap.xml"))
        self.assertNotIn("application/x-zx-spectrum-tzx", own)
        self.assertNotIn("*.tzx", [glob for globs in own.values() for glob in globs])
        offered = desktop_entry(home.join(".local/share/applications", DESKTOP_ID))["MimeType"].split(";")
        self.assertIn(OTHER_TYPE, offered)
        # The types nobody had are Inkswap's.
        self.assertEqual(home.query("default", "application/x-zx-spectrum-tap"), DESKTOP_ID)
        self.assertIn(f"{OTHER_TYPE} stays with other.desktop", output)
        self.check_uninstall(home, before)

    def test_a_lived_in_home(self):
        home = Home(self.addCleanup)
        lived_in_home(home)
        before = home.tree()
        home.install()
        self.assertEqual(home.query("default", "application/x-zx-spectrum-sna"), DESKTOP_ID)
        self.check_uninstall(home, before)

    def test_help_prints_the_usage_and_a_wrong_option_is_refused(self):
        home = Home(self.addCleanup)
        self.assertIn("scripts/install --uninstall", home.install("--help").stdout)
        refused = home.run(INSTALL, "--remove", check=False)
        self.assertEqual(refused.returncode, 2)
        self.assertIn("usage:", refused.stderr)
        self.assertEqual(home.tree(), {})

    def write(self, name, data):
        path = os.path.join(self.files, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as file:
            file.write(data)
        return path

    def check_entry(self, home):
        path = home.join(".local/share/applications", DESKTOP_ID)
        validation = home.run("desktop-file-validate", path, check=False)
        self.assertEqual((validation.returncode, validation.stdout), (0, ""), validation.stdout)
        entry = desktop_entry(path)
        self.assertEqual(entry["Exec"], home.join(".local/bin/inkswap") + " %F")
        self.assertEqual((entry["Type"], entry["Name"], entry["Icon"], entry["Terminal"]),
                         ("Application", "Inkswap", "inkswap", "false"))
        self.assertEqual(sorted(entry["MimeType"].rstrip(";").split(";")), INKSWAP_TYPES)

    def check_icons(self, home):
        for size in (16, 32, 48, 256):
            with open(home.join(f".local/share/icons/hicolor/{size}x{size}/apps/inkswap.png"), "rb") as icon:
                self.assertEqual(icon.read(), png_bytes(icon_pixels(size)), f"{size} pixels")

    def check_launcher(self, home):
        """The installed launcher, started in a folder with a space in its
        name on a tape named there, shows the tape; Ctrl+Q ends Inkswap and
        the launcher with it. The home is left as it was."""
        self.write("my tapes/game.tap", KINDS[2][1])
        before = home.tree()
        environment = home.environment()
        environment["INKSWAP_WINEPREFIX"] = os.environ["WINEPREFIX"]
        # A group of its own, so that whatever the launcher leaves running
        # can be stopped by its id.
        launcher = subprocess.Popen([home.join(".local/bin/inkswap"), "game.tap"],
                                    cwd=os.path.join(self.files, "my tapes"), env=environment,
                                    start_new_session=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(stop_group, launcher)
        expected = 'game.tap: screen 1 of 1 "loading"'
        wait_for(lambda: launcher.poll() is not None or probe("status") == expected, timeout=30)
        self.assertEqual(probe("status"), expected, f"the launcher ended with {launcher.poll()}")
        # Without a window manager the keys go where the pointer is.
        x, y = map(int, probe("client").split())
        subprocess.run(["xdotool", "mousemove", str(x + 520), str(y + 200)], check=True)
        time.sleep(0.3)
        subprocess.run(["xdotool", "key", "ctrl+q"], check=True)
        self.assertEqual(launcher.wait(timeout=15), 0)
        self.assertEqual([name for _, name in shown_windows() if name not in SESSION_WINDOWS], [])
        self.assertEqual(tree_changes(before, home.tree()), [])

    def check_uninstall(self, home, before):
        output = home.install("--uninstall").stdout
        self.assertIn("scripts/install: removed", output)
        self.assertEqual(tree_changes(before, home.tree()), [])


def probe(what):
    """What the window probe says of Inkswap's window, or None without one."""
    result = subprocess.run(["wine", inkswap_driver.PROBE, *what.split()], capture_output=True, timeout=30)
    return result.stdout.decode("utf-8") if result.returncode == 0 else None


def stop_group(process):
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGKILL)
    process.wait()


def main():
    return run_tests_with_probe(__doc__, __file__)


if __name__ == "__main__":
    sys.exit(main())
