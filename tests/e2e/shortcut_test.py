"""End-to-end test of a keyboard shortcut and the message requester, from
outside as a user: Ctrl+S pressed with xdotool gives the menu event, and the
message box it opens is dismissed with Return.

    python3 tests/e2e/shortcut_test.py <shortcut_probe.exe> [<build-dir>]
"""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from inkswap_driver import program_argument, run, run_tests  # noqa: E402

PROBE = None


class ShortcutTest(unittest.TestCase):
    def test_ctrl_s_gives_the_menu_event_and_return_closes_the_box(self):
        probe = subprocess.Popen(
            ["wine", PROBE], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True
        )
        self.addCleanup(lambda: probe.poll() is None and probe.kill())
        window = run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^Probe$").split()[0]
        # Without a window manager keys go where the pointer is. The window
        # is given a moment to be shown and activated before the key.
        run("xdotool", "mousemove", "500", "300")
        time.sleep(0.5)
        run("xdotool", "key", "--window", window, "ctrl+s")
        self.assertEqual(probe.stdout.readline().strip(), "menu 1")
        box = run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^Probe box$").split()[0]
        run("xdotool", "key", "--window", box, "Return")
        self.assertEqual(probe.stdout.readline().strip(), "requester 1")
        self.assertEqual(probe.wait(timeout=10), 1, "the box's answer, IDOK")


def main():
    global PROBE
    PROBE = program_argument(__doc__)
    return run_tests(__file__)


if __name__ == "__main__":
    sys.exit(main())
