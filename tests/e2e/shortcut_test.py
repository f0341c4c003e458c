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

from inkswap_driver import find_window, program_argument, run, run_tests  # noqa: E402

PROBE = None


class ShortcutTest(unittest.TestCase):
    def test_ctrl_s_gives_the_menu_event_and_return_closes_the_box(self):
        probe = subprocess.Popen(
            ["wine", PROBE], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True
        )
        self.addCleanup(lambda: probe.poll() is None and probe.kill())
        self.assertIsNotNone(find_window("Probe", timeout=10), "the probe's window")
        # Keys go through the X server to the window with the focus; without
        # a window manager that is the window under the pointer. The window
        # is given a moment to be shown and activated before the key.
        run("xdotool", "mousemove", "500", "300")
        time.sleep(0.5)
        run("xdotool", "key", "ctrl+s")
        self.assertEqual(probe.stdout.readline().strip(), "menu 1")
        self.assertIsNotNone(find_window("Probe box", timeout=10), "the message box")
        run("xdotool", "key", "Return")
        self.assertEqual(probe.stdout.readline().strip(), "requester 1")
        self.assertEqual(probe.wait(timeout=10), 1, "the box's answer, IDOK")

def main():
    global PROBE
    PROBE = program_argument(__doc__)
    return run_tests(__file__)


if __name__ == "__main__":
    sys.exit(main())
