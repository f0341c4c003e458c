"""Makes the README's picture of Inkswap at work: starts the program,
drops a generated sample screen on it from another program, lays the grid
over both pictures, hovers over a cell (its column and row in the title,
its colours and addresses in the status line) and saves a screenshot of
the window as a PNG.

Runs inside a Wine session (scripts/demo starts one on an Xvfb of its own):

    python3 tools/demo.py <inkswap.exe> <make_screen.exe> <picture.png>
"""

import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from inkswap_driver import GRID_BOX, Inkswap, wait_for  # noqa: E402

HOVERED_CELL = (5, 17)  # a window of the scene's house


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
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    executable, make_screen, picture = (os.path.abspath(path) for path in sys.argv[1:])
    with tempfile.TemporaryDirectory(prefix="inkswap-demo-") as folder:
        sample = make_sample(make_screen, folder)
        inkswap = Inkswap(executable)
        try:
            inkswap.drop([sample])
            inkswap.click_box(GRID_BOX)
            column, row = HOVERED_CELL
            inkswap.move_to(1, column * 16 + 7, row * 16 + 7)
            inkswap.move_to(1, column * 16 + 8, row * 16 + 8)
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
