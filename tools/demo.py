"""Makes the README's picture of Inkswap at work: starts the program,
drops a generated sample screen on it from another program, zooms to 3x,
lays the grid over both pictures, hovers over a cell (its column and row in
the title, its colours and addresses in the status line) and saves a
screenshot of the window as a PNG.

Runs inside a Wine session (scripts/demo starts one on an Xvfb of its own):

    python3 tools/demo.py <inkswap.exe> <make_screen.exe> <window_probe.exe> <picture.png>
"""

import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from inkswap_driver import GRID_BOX, Inkswap, wait_for, window_geometry  # noqa: E402

HOVERED_CELL = (5, 17)  # a window of the scene's house
ZOOM = 3


def make_sample(make_screen, folder):
    """The sample scene: lettering above a sun, hills and a house."""
    subprocess.run(
        ["wine", make_screen, "scene", "title.scr"],
        cwd=folder,
        check=True,
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
    )
    return os.path.join(folder, "title.scr")


def main():
    if len(sys.argv) != 5:
        print(__doc__, file=sys.stderr)
        return 2
    executable, make_screen, probe, picture = (os.path.abspath(path) for path in sys.argv[1:])
    with tempfile.TemporaryDirectory(prefix="inkswap-demo-") as folder:
        sample = make_sample(make_screen, folder)
        inkswap = Inkswap(executable, probe=probe)
        try:
            inkswap.drop([sample])
            inkswap.click_box(GRID_BOX)
            inkswap.key(f"ctrl+{ZOOM}")
            cell = 8 * ZOOM
            if not wait_for(lambda: inkswap.read_probe("canvas 1").split()[2] == str(256 * ZOOM)):
                print("demo: the zoom did not change", file=sys.stderr)
                return 1
            inkswap.read_canvases()
            inkswap.outer = window_geometry(inkswap.window)
            column, row = HOVERED_CELL
            inkswap.move_to(1, column * cell + 7, row * cell + 7)
            inkswap.move_to(1, column * cell + 8, row * cell + 8)
            title = f"x:{column} y:{row}"
            if not wait_for(lambda: inkswap.title() == title):
                print(f"demo: the title is {inkswap.title()!r}, not {title!r}", file=sys.stderr)
                return 1
            time.sleep(0.5)
            left, top, width, height = inkswap.outer
            subprocess.run(
                ["import", "-window", "root", "-crop", f"{width}x{height}+{left}+{top}", "+repage", picture],
                check=True,
            )
        finally:
            inkswap.close()
    print(f"demo: wrote {picture}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
