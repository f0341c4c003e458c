"""Drives the real Inkswap program under Wine from outside, as a user does:
xdotool moves the pointer, clicks and reads the title; ImageMagick's import
takes screenshots. Runs inside a wine-session (Xvfb, Wine's virtual desktop
at the origin of the X screen, so Windows screen coordinates are X ones)."""

import os
import subprocess
import sys
import time
import unittest

# The window as the program lays it out (client coordinates).
WINDOW_X, WINDOW_Y = 381, 118
CLIENT_WIDTH = 1073
CANVAS_ORIGINS = {0: (0, 20), 1: (530, 20)}  # outer corner of each canvas
CANVAS_EDGE = 2  # the sunken edge around each canvas's client area
CANVAS_WIDTH, CANVAS_HEIGHT = 508, 380
GRID_BOX = (280, 0)
CORRECT_MODE_BOX = (10, 0)
SCREEN_WIDTH, SCREEN_HEIGHT = 1920, 1200  # the X screen; Wine's desktop is its left 1600
# Files are dragged from a GTK window beside Wine's desktop, as from a file
# manager; it needs the system's Python, which has the GTK bindings.
DRAG_SOURCE = os.path.join(os.path.dirname(__file__), "..", "..", "tools", "drag_source.py")
DRAG_SOURCE_AT = (1650, 100)


def reopen_in_wine_session(script, argv):
    """A test run by hand opens a Wine session of its own (Xvfb, wineserver,
    the test prefix in the build folder) and runs again inside it."""
    if os.environ.get("INKSWAP_WINE_SESSION"):
        return
    session = os.path.join(os.path.dirname(script), "..", "..", "scripts", "wine-session")
    executable = argv[1]
    build_dir = argv[2] if len(argv) > 2 else os.path.dirname(os.path.dirname(executable))
    os.execv(session, [session, build_dir, sys.executable, script, *argv[1:]])


def program_argument(usage):
    """The program under test, the script's first argument; without one the
    usage is printed and the script ends with code 2."""
    if len(sys.argv) < 2:
        print(usage, file=sys.stderr)
        sys.exit(2)
    return sys.argv[1]


def run_tests(script):
    """Runs the calling script's tests, in a Wine session of their own when
    run by hand. The exit code: 0 when every test passed."""
    reopen_in_wine_session(script, sys.argv)
    result = unittest.main(argv=[sys.argv[0], "-v"], exit=False)
    return 0 if result.result.wasSuccessful() else 1


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def wait_for(condition, timeout=5.0, interval=0.05):
    """Polls until the condition returns something true; returns the last
    value it gave."""
    deadline = time.monotonic() + timeout
    value = condition()
    while not value and time.monotonic() < deadline:
        time.sleep(interval)
        value = condition()
    return value


def find_window(name, timeout=5.0):
    """The id of a shown window whose title is exactly name, or None."""

    def search():
        found = subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", f"^{name}$"], capture_output=True, text=True
        )
        return found.stdout.split()[0] if found.returncode == 0 and found.stdout.split() else None

    return wait_for(search, timeout=timeout)


class Inkswap:
    def __init__(self, executable):
        self.process = subprocess.Popen(
            ["wine", executable], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL
        )
        found = run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^New window")
        self.window = found.split()[0]
        # The frame's size comes from the outer size Wine reports.
        geometry = run("xwininfo", "-id", self.window)
        width = int(self._field(geometry, "Width:"))
        height = int(self._field(geometry, "Height:"))
        border = (width - CLIENT_WIDTH) // 2
        self.outer = (WINDOW_X, WINDOW_Y, width, height)
        self.client = (WINDOW_X + border, self._client_top(WINDOW_X + border))

    def _client_top(self, client_left):
        """The client area's top, below the caption and the menu bar: found
        as the top of the left canvas's fresh white picture, which lies 22
        pixels down in the client area."""
        column = client_left + CANVAS_ORIGINS[0][0] + CANVAS_EDGE + 100
        white = bytes((255, 255, 255))

        def canvas_top():
            shot = self.screenshot()
            run_length = 0
            for y in range(WINDOW_Y, WINDOW_Y + self.outer[3]):
                offset = (y * SCREEN_WIDTH + column) * 3
                run_length = run_length + 1 if shot[offset:offset + 3] == white else 0
                if run_length == 100:
                    return y - 99
            return None

        top = wait_for(canvas_top, timeout=10)
        if top is None:
            raise RuntimeError("the left picture is not on the screen")
        return top - CANVAS_ORIGINS[0][1] - CANVAS_EDGE

    @staticmethod
    def _field(text, name):
        for line in text.splitlines():
            if line.strip().startswith(name):
                return line.split(":")[1].strip()
        raise ValueError(name)

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()

    def title(self):
        return run("xdotool", "getwindowname", self.window).strip()

    def canvas_point(self, canvas, x, y):
        left, top = CANVAS_ORIGINS[canvas]
        return (self.client[0] + left + CANVAS_EDGE + x, self.client[1] + top + CANVAS_EDGE + y)

    def move_to(self, canvas, x, y):
        px, py = self.canvas_point(canvas, x, y)
        run("xdotool", "mousemove", str(px), str(py))

    def move_to_client(self, x, y):
        run("xdotool", "mousemove", str(self.client[0] + x), str(self.client[1] + y))

    def click(self, repeat=1):
        if repeat == 1:
            run("xdotool", "click", "1")
        else:
            run("xdotool", "click", "--repeat", str(repeat), "--delay", "80", "1")

    def click_box(self, box):
        """Clicks a check box next to its square."""
        self.move_to_client(box[0] + 7, box[1] + 10)
        self.click()

    def click_close_box(self):
        left, top, width, _ = self.outer
        run("xdotool", "mousemove", str(left + width - 7), str(top + 7))
        self.click()

    def key(self, keys):
        """Types keys (xdotool's names, "ctrl+s") as a user does, through
        the X server to the window with the focus, with the pointer resting
        on Inkswap's window. Keys sent to the window's X window directly
        lose their releases when the keys close it, and Wine then holds
        those keys down for the next program."""
        self.move_to_client(520, 200)  # between the canvases
        time.sleep(0.3)
        run("xdotool", "key", keys)

    def dismiss_box(self, title, timeout=5.0):
        """Closes a message box with the given title with Return; whether one
        came. The key is typed as a user types it: sent to the box's X
        window directly, the Return leaves Wine's desktop taking no more
        drops from other programs."""
        if find_window(title, timeout) is None:
            return False
        run("xdotool", "key", "Return")
        wait_for(lambda: find_window(title, timeout=0) is None)
        return True

    def drop(self, paths, canvas=1, x=200, y=200):
        """Drags the files from a file-manager-like source onto a canvas.
        The pointer moves in small steps with pauses, as a hand does: the
        drag starts only once the source sees movement with the button
        down, and Wine takes the drop from the last position it saw."""
        source = subprocess.Popen(
            ["/usr/bin/python3", DRAG_SOURCE, *map(str, DRAG_SOURCE_AT), *paths],
            stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL,
            text=True,
        )
        try:
            if source.stdout.readline().strip() != "ready":
                raise RuntimeError("the drag source did not start")
            time.sleep(0.3)
            left, top = DRAG_SOURCE_AT
            target = self.canvas_point(canvas, x, y)
            steps = [
                ("mousemove", left + 60, top + 30),
                ("mousedown", 1),
                ("mousemove", left + 80, top + 40),
                ("mousemove", *target),
                ("mousemove", target[0] + 2, target[1] + 2),
                ("mouseup", 1),
            ]
            for step in steps:
                run("xdotool", *map(str, step))
                time.sleep(0.2)
            source.wait(timeout=10)
        finally:
            if source.poll() is None:
                source.kill()
                source.wait()
            source.stdout.close()

    def screenshot(self):
        """The whole X screen as rows of (red, green, blue) bytes."""
        raw = subprocess.run(
            ["import", "-window", "root", "-depth", "8", "rgb:-"], check=True, capture_output=True
        ).stdout
        return raw

    def canvas_pixels(self, shot, canvas):
        """The canvas's client area from a screenshot, row by row."""
        left, top = self.canvas_point(canvas, 0, 0)
        rows = []
        for y in range(CANVAS_HEIGHT):
            start = ((top + y) * SCREEN_WIDTH + left) * 3
            rows.append(shot[start:start + CANVAS_WIDTH * 3])
        return rows
