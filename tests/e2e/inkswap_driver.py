"""Drives the real Inkswap program under Wine from outside, as a user does:
xdotool moves the pointer, clicks, types through the X server and reads the
title; ImageMagick's import takes screenshots. Runs inside a wine-session,
in one of its two modes: Wine's virtual desktop at the origin of the X
screen with no window manager, or Wine's managed mode under openbox, as
users run the program. Nothing here sends an event to a Wine window's X
window: Wine may replace those at any moment."""

import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from screen_reference import SCREEN_BYTES, correct_cell, expected_rows, first_difference


def read_layout():
    """The window's layout as the program's own source defines it:
    {name: (x, y, width, height)} from src/app/window_layout.h."""
    header = os.path.join(os.path.dirname(__file__), "..", "..", "src", "app", "window_layout.h")
    with open(header, encoding="utf-8") as source:
        text = source.read()
    pattern = r"constexpr Placement (\w+)Placement = \{(-?\d+), (-?\d+), (-?\d+), (-?\d+)\};"
    return {name: tuple(map(int, numbers)) for name, *numbers in re.findall(pattern, text)}


LAYOUT = read_layout()
# The window as the program lays it out (client coordinates).
CLIENT_WIDTH = LAYOUT["MainWindow"][2]
CANVAS_ORIGINS = {canvas: LAYOUT[name][:2] for canvas, name in ((0, "BitmapCanvas"), (1, "ColourCanvas"))}
CANVAS_EDGE = 2  # the sunken edge around each canvas's client area, at 96 DPI
# A canvas's size in the layout is its client area's, the picture's at 2x.
CANVAS_WIDTH, CANVAS_HEIGHT = LAYOUT["BitmapCanvas"][2], LAYOUT["BitmapCanvas"][3]
GRID_BOX = LAYOUT["GridBox"][:2]
CORRECT_MODE_BOX = LAYOUT["CorrectModeBox"][:2]
WHITE_ROW = bytes((255, 255, 255)) * CANVAS_WIDTH  # a canvas's fresh picture
_screen_width = []


def screen_width():
    """The X screen's width, which a screenshot's rows have (Wine's desktop
    is its left part)."""
    if not _screen_width:
        info = run("xwininfo", "-root")
        _screen_width.append(int(info.split("Width:")[1].split()[0]))
    return _screen_width[0]

# openbox's close button sits this far from the right end of its title bar.
CLOSE_BUTTON_INSET = 12
# Files are dragged from a GTK window beside Wine's desktop, as from a file
# manager; it needs the system's Python, which has the GTK bindings.
DRAG_SOURCE = os.path.join(os.path.dirname(__file__), "..", "..", "tools", "drag_source.py")
DRAG_SOURCE_AT = (1650, 100)


def managed_mode():
    """Whether the session runs Wine managed by a window manager."""
    return os.environ.get("INKSWAP_WINE_SESSION") == "managed"


def reopen_in_wine_session(script, argv, mode):
    """A test run outside a Wine session of its mode ("desktop" or
    "managed") opens one of its own (Xvfb, wineserver, the test prefix in
    the build folder) and runs again inside it."""
    if os.environ.get("INKSWAP_WINE_SESSION") == mode:
        return
    session = os.path.join(os.path.dirname(script), "..", "..", "scripts", "wine-session")
    executable = argv[1]
    build_dir = argv[2] if len(argv) > 2 else os.path.dirname(os.path.dirname(executable))
    flags = ["--managed"] if mode == "managed" else ["--dpi", mode[3:]] if mode.startswith("dpi") else []
    os.execv(session, [session, *flags, build_dir, sys.executable, script, *argv[1:]])


def program_argument(usage):
    """The program under test, the script's first argument; without one the
    usage is printed and the script ends with code 2."""
    if len(sys.argv) < 2:
        print(usage, file=sys.stderr)
        sys.exit(2)
    return sys.argv[1]


def run_tests(script, mode="desktop"):
    """Runs the calling script's tests, in a Wine session of the mode they
    need when not in one already. The exit code: 0 when every test
    passed."""
    reopen_in_wine_session(script, sys.argv, mode)
    result = unittest.main(argv=[sys.argv[0], "-v"], exit=False)
    return 0 if result.result.wasSuccessful() else 1


def run_tests_with_probe(usage, script, mode="desktop"):
    """Runs the calling script's tests of Inkswap (its first argument) with
    the window probe, the third argument or the one built beside the tests
    in the build folder (the second, or the program's)."""
    global EXECUTABLE, PROBE
    EXECUTABLE = program_argument(usage)
    build = sys.argv[2] if len(sys.argv) > 2 else os.path.dirname(os.path.dirname(EXECUTABLE))
    PROBE = sys.argv[3] if len(sys.argv) > 3 else os.path.join(build, "tests", "window_probe.exe")
    return run_tests(script, mode)


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


def shown_windows():
    """(id, title) of every shown X window that has a title."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "."], capture_output=True, text=True)
    windows = []
    for window in found.stdout.split():
        name = subprocess.run(["xdotool", "getwindowname", window], capture_output=True, text=True)
        if name.returncode == 0 and name.stdout.strip():
            windows.append((window, name.stdout.strip()))
    return windows


def window_geometry(window):
    """(left, top, width, height) of an X window on the screen."""
    info = run("xwininfo", "-id", str(window))
    fields = {}
    for line in info.splitlines():
        name, _, value = line.strip().partition(":")
        fields[name] = value.strip()
    return (
        int(fields["Absolute upper-left X"]),
        int(fields["Absolute upper-left Y"]),
        int(fields["Width"]),
        int(fields["Height"]),
    )


def frame_extents(window):
    """The window manager's frame around an X window: (left, right, top,
    bottom) in pixels."""
    found = wait_for(lambda: "=" in run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS"))
    if not found:
        raise RuntimeError("the window has no frame")
    values = run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS").split("=")[1]
    return tuple(int(value) for value in values.split(","))


# The title of the standard open dialog.
OPEN_DIALOG = "Open"
SAVE_DIALOG = "Save As"  # the title of the Save As and the export dialogs

# Windows that belong to the session rather than to the program under test.
SESSION_WINDOWS = {"Default - Wine desktop"}


def windows_path(path):
    """The Windows name of a Linux path, as Wine's programs see it."""
    return run("winepath", "-w", path).strip()


class Inkswap:
    def __init__(self, executable, arguments=(), probe=None):
        """Starts the program with the arguments. probe, the window probe
        (tests/e2e/window_probe.cpp), reads what xdotool cannot: the status
        line, and the client area of a window that opens with a picture."""
        self.probe = probe
        self.process = subprocess.Popen(
            ["wine", executable, *arguments], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL
        )
        self.ended_on_purpose = False  # set by a test that ends the program itself
        self.areas = {}  # the canvases' client areas once read with the probe
        found = run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^New window")
        self.window = found.split()[0]
        # The side borders Wine draws itself in its desktop (none under a
        # window manager), from the window's size as it opens.
        self.border = (window_geometry(self.window)[2] - CLIENT_WIDTH) // 2
        self.locate()

    def locate(self):
        """Finds the window and its client area on the screen: where the
        program put it in Wine's desktop, or wherever the window manager
        placed or sized it. Windows' screen coordinates are the X screen's
        in both modes (the desktop sits at the screen's origin)."""
        self.outer = window_geometry(self.window)
        if self.probe is not None:
            x, y = self.read_probe("client").split()
            self.client = (int(x), int(y))
            return
        left = self.outer[0] + self.border
        self.client = (left, self._client_top(left))

    def read_probe(self, what):
        """What the window probe prints about the window ("status",
        "client", "size", "canvas 1")."""
        result = subprocess.run(["wine", self.probe, *what.split()], capture_output=True, timeout=30)
        if result.returncode != 0:
            raise RuntimeError(f"the window probe found no window ({result.returncode})")
        return result.stdout.decode("utf-8")

    def status(self):
        """The status line's text."""
        return self.read_probe("status")

    def _client_top(self, client_left):
        """The client area's top, below the caption and the menu bar: found
        as the top of the left canvas's fresh white picture, which lies 22
        pixels down in the client area."""
        column = client_left + CANVAS_ORIGINS[0][0] + CANVAS_EDGE + 100
        white = bytes((255, 255, 255))
        window_top, window_height = self.outer[1], self.outer[3]

        def canvas_top():
            shot = self.screenshot()
            run_length = 0
            for y in range(window_top, window_top + window_height):
                offset = (y * screen_width() + column) * 3
                run_length = run_length + 1 if shot[offset:offset + 3] == white else 0
                if run_length == 100:
                    return y - 99
            return None

        top = wait_for(canvas_top, timeout=10)
        if top is None:
            raise RuntimeError("the left picture is not on the screen")
        return top - CANVAS_ORIGINS[0][1] - CANVAS_EDGE

    def close(self):
        """Ends the test's program. A program that is gone already must have
        ended with code 0 (a crash ends it with another code), and no window
        but its own may be left on the screen (a crash dialog, a forgotten
        message box)."""
        code = self.process.poll()
        if self.ended_on_purpose:
            code = None
        others = [name for window, name in shown_windows() if window != self.window and name not in SESSION_WINDOWS]
        if code is None:
            self.process.kill()
        self.process.wait()
        if code not in (None, 0):
            raise AssertionError(f"the program ended with code {code}")
        if others:
            raise AssertionError(f"windows left open: {others}")

    def title(self):
        return run("xdotool", "getwindowname", self.window).strip()

    def canvas_point(self, canvas, x, y):
        if self.areas:
            left, top = self.areas[canvas][:2]
            return (left + x, top + y)
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

    def choose_quit(self):
        """File > Quit: the File title sits at the left of the menu bar,
        above the client area; the menu opens on it and Quit is its last
        item."""
        left, top = self.client
        run("xdotool", "mousemove", str(left + 15), str(top - 10))
        time.sleep(0.3)
        self.click()
        time.sleep(0.5)
        run("xdotool", "key", "Up", "Return")

    # From Undo, the first item of the Operations menu: the keys to each item
    # (Up wraps around to the last; the separators are passed over).
    OPERATION_KEYS = {
        "Undo": (),
        "Redo": ("Down",),
        "Correct All Cells": ("Down", "Down"),
        "Export PNG...": ("Up", "Up", "Up"),
        "Export GIF...": ("Up", "Up"),
        "Copy Picture": ("Up",),
    }

    def choose_operation(self, item):
        """Operations > item: a click on the File title opens the menus,
        Right goes on to Operations with its first item selected."""
        left, top = self.client
        run("xdotool", "mousemove", str(left + 15), str(top - 10))
        time.sleep(0.3)
        self.click()
        time.sleep(0.5)
        run("xdotool", "key", "Right", *self.OPERATION_KEYS[item], "Return")

    def click_close_box(self):
        left, top, width, _ = self.outer
        run("xdotool", "mousemove", str(left + width - 7), str(top + 7))
        self.click()

    def frame(self):
        """The window manager's frame on the screen: (left, top, right,
        bottom), the right and bottom edges exclusive."""
        left, top, width, height = window_geometry(self.window)
        extent_left, extent_right, extent_top, extent_bottom = frame_extents(self.window)
        return (left - extent_left, top - extent_top, left + width + extent_right, top + height + extent_bottom)

    def drag_frame_corner(self, dx, dy):
        """Drags the bottom-right corner of the window manager's frame by
        (dx, dy), in small steps as a hand does."""
        _, _, right, bottom = self.frame()
        x, y = right - 3, bottom - 2
        run("xdotool", "mousemove", str(x), str(y))
        time.sleep(0.3)
        run("xdotool", "mousedown", "1")
        for step in range(1, 5):
            time.sleep(0.1)
            run("xdotool", "mousemove", str(x + dx * step // 4), str(y + dy * step // 4))
        time.sleep(0.3)
        run("xdotool", "mouseup", "1")
        time.sleep(0.3)

    def click_frame_close_button(self):
        """Clicks the close button at the right end of the window manager's
        title bar."""
        _, top, right, _ = self.frame()
        _, _, extent_top, _ = frame_extents(self.window)
        run("xdotool", "mousemove", str(right - CLOSE_BUTTON_INSET), str(top + extent_top // 2))
        time.sleep(0.3)
        self.click()

    def key(self, keys):
        """Types keys (xdotool's names, "ctrl+s") as a user does, through
        the X server to the window with the focus, once Inkswap's window has
        it. Keys sent to the window's X window directly
        lose their releases when the keys close it, and Wine then holds
        those keys down for the next program."""
        self.focus()
        run("xdotool", "key", keys)

    def focus(self):
        """Gives Inkswap's window the keyboard focus as a user does: without
        a window manager by resting the pointer on it, under one by a click
        on the window's own background between the pictures."""
        self.move_to_client(520, 200)
        time.sleep(0.3)
        if managed_mode():
            self.click()
            time.sleep(0.3)

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

    def open_dialog(self, how="ctrl+o"):
        """Opens the open dialog with Ctrl+O or from the File menu (its
        first item); whether it came."""
        if how == "ctrl+o":
            self.key("ctrl+o")
        else:
            run("xdotool", "mousemove", str(self.client[0] + 15), str(self.client[1] - 10))
            time.sleep(0.3)
            self.click()
            time.sleep(0.5)
            run("xdotool", "key", "Down", "Return")
        if find_window(OPEN_DIALOG) is None:
            return False
        time.sleep(0.5)  # the name box takes the keys once the dialog is up
        return True

    def export(self, path):
        """Ctrl+E, the file's Windows name typed over the proposed one, and
        Return; whether the dialog came and went."""
        return self.name_in_save_dialog("ctrl+e", path)

    def save_as(self, path):
        """Ctrl+Shift+S (Save As...) and the file's name, as export does."""
        return self.name_in_save_dialog("ctrl+shift+s", path)

    def name_in_save_dialog(self, keys, path):
        """Opens a save dialog with the keys, types the file's Windows name
        over the proposed one and presses Return; whether the dialog came
        and went."""
        self.key(keys)
        if find_window(SAVE_DIALOG) is None:
            return False
        time.sleep(0.5)  # the name box takes the keys once the dialog is up
        run("xdotool", "type", "--delay", "20", windows_path(path))
        run("xdotool", "key", "Return")
        return bool(wait_for(lambda: find_window(SAVE_DIALOG, timeout=0) is None))

    def choose(self, path):
        """Types the file's Windows name into the open dialog and presses
        Return; whether the dialog went. The pointer is then moved onto
        the colour picture, as its first movement there only enters it."""
        run("xdotool", "type", "--delay", "20", windows_path(path))
        run("xdotool", "key", "Return")
        gone = wait_for(lambda: find_window(OPEN_DIALOG, timeout=0) is None)
        self.move_to(1, 100, 100)
        time.sleep(0.3)
        return bool(gone)

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
            # A window manager may place the source elsewhere than asked.
            window = find_window("drag source")
            if window is None:
                raise RuntimeError("the drag source is not on the screen")
            left, top, _, _ = window_geometry(window)
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

    @staticmethod
    def region(shot, left, top, width, height):
        """The (red, green, blue) pixels of a rectangle of a screenshot."""
        pixels = []
        for y in range(top, top + height):
            start = (y * screen_width() + left) * 3
            row = shot[start:start + width * 3]
            pixels.extend(tuple(row[i:i + 3]) for i in range(0, len(row), 3))
        return pixels

    def canvas_pixels(self, shot, canvas):
        """The canvas's client area from a screenshot, row by row."""
        left, top = self.canvas_point(canvas, 0, 0)
        width, height = self.canvas_size(canvas)
        rows = []
        for y in range(height):
            start = ((top + y) * screen_width() + left) * 3
            rows.append(shot[start:start + width * 3])
        return rows

    def read_canvases(self):
        """Finds the canvases' client areas on the screen with the window
        probe, after the zoom or the DPI moved them from where the layout
        at 2x puts them."""
        self.areas = {}
        for canvas in (0, 1):
            x, y, width, height = map(int, self.read_probe(f"canvas {canvas}").split())
            self.areas[canvas] = (x, y, width, height)

    def canvas_size(self, canvas):
        if self.areas:
            return self.areas[canvas][2:]
        return CANVAS_WIDTH, CANVAS_HEIGHT

    def client_size(self):
        """The client area's size, read with the window probe."""
        return tuple(map(int, self.read_probe("size").split()))


def project_version():
    """The version the project sets, in its top CMakeLists.txt: "1.0.0"."""
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "CMakeLists.txt"),
              encoding="utf-8") as cmake:
        return re.search(r"project\(Inkswap VERSION (\d+\.\d+\.\d+)", cmake.read()).group(1)


def decoded_png(path):
    """A PNG file's pixels as red, green, blue bytes, decoded by ImageMagick."""
    return subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout


def noise(seed, size=SCREEN_BYTES):
    """A screen file's worth of random bytes, the same for the same seed."""
    generator = random.Random(seed)
    return bytes(generator.randrange(256) for _ in range(size))


# The program under test, set by the test script from its first argument,
# and the window probe, for the scripts that read the status line.
EXECUTABLE = None
PROBE = None


class UserTestCase(unittest.TestCase):
    """A test that starts Inkswap with a folder of files of its own and works
    it as a user does: dropping files, hovering, clicking, saving."""

    start_program = True  # False: the test calls start() itself

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="inkswap-e2e-")
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        if self.start_program:
            self.start()

    def start(self, arguments=None):
        """Starts Inkswap with the arguments, or with the test case's own."""
        self.inkswap = Inkswap(EXECUTABLE, self.arguments() if arguments is None else arguments, PROBE)
        self.addCleanup(self.inkswap.close)

    def arguments(self):
        """The program's command line after its name; a test case that
        starts it with files writes them into self.folder here."""
        return ()

    def write(self, name, data):
        path = os.path.join(self.folder, name)
        with open(path, "wb") as file:
            file.write(data)
        return path

    def read(self, path):
        with open(path, "rb") as file:
            return file.read()

    def assertShows(self, screen, highlight=-1, zoom=2, canvases=(0, 1)):
        """The canvases show the screen at the zoom, waiting a moment for the
        drawing."""
        for canvas in canvases:
            expected = expected_rows(screen, canvas, highlight, False, zoom)

            def matches():
                return first_difference(self.inkswap.canvas_pixels(self.inkswap.screenshot(), canvas), expected) is None

            if not wait_for(matches, timeout=3):
                actual = self.inkswap.canvas_pixels(self.inkswap.screenshot(), canvas)
                self.fail(f"canvas {canvas}: {first_difference(actual, expected)}")

    def hover(self, column, row, canvas=1, zoom=2):
        """Moves over a cell and waits for its title; the cell's number."""
        x, y = column * 8 * zoom + 3, row * 8 * zoom + 3
        self.inkswap.move_to(canvas, x, y)
        self.inkswap.move_to(canvas, x + 1, y)
        title = f"x:{column} y:{row}"
        self.assertEqual(wait_for(lambda: self.inkswap.title() == title), True, self.inkswap.title())
        return row * 32 + column

    def load(self, path, canvas=1):
        """Drops a screen file and hovers a cell of it, so that the pictures
        no longer hang on whether Wine sent a movement after the drop. The
        screen and the highlighted cell."""
        self.inkswap.drop([path], canvas)
        with open(path, "rb") as file:
            screen = bytearray(file.read())
        highlight = self.hover(3, 2, canvas)
        self.assertShows(screen, highlight)
        return screen, highlight

    def assertRefused(self, name, data, seed):
        """Drops a file named name holding data over a loaded picture: the
        "Error" box says why, and the picture and the status line stay."""
        screen = noise(seed)
        self.load(self.write("picture.scr", screen))
        status = self.inkswap.status()
        self.inkswap.drop([self.write(name, data)])
        self.assertTrue(self.inkswap.dismiss_box("Error"), "a message box says why")
        self.assertShows(screen, self.hover(3, 2))
        self.assertEqual(self.inkswap.status(), status)

    def correct(self, screen, column, row):
        highlight = self.hover(column, row)
        self.inkswap.click()
        correct_cell(screen, column, row)
        self.assertShows(screen, highlight)
        # Apart from the next click in time, or the two make a double click.
        time.sleep(0.6)

    def save(self, path, expected):
        self.inkswap.key("ctrl+s")
        self.assertTrue(wait_for(lambda: self.read(path) == expected), "the file holds the picture")
