"""The command-line tool's export against ImageMagick: 1,000 generated
screens exported as PNG in one call of inkswap-cli, against ImageMagick
converting the same screens' RGB pixels one file at a time, as a script
would after decoding the screens itself. Prints the time of the first
over the time of the second (the goal is 0.05 or less: 20 times faster),
and the largest of the tool's PNGs over ImageMagick's at its best
compression of the same picture (the goal is 1 or less).

    python3 bench/cli_export_benchmark.py <inkswap-cli> <make_screen> [--screens N]

The screens: a third noise, a third the generator's scene and a third its
attribute sweep, each of those with 40 random cells corrected, so that no
two are the same.
"""

import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from screen_reference import correct_cell, expected_picture  # noqa: E402

CONVERT = "/usr/bin/convert"  # ImageMagick's own, not a wrapper found first on the PATH


def make_screens(folder, count, make_screen):
    """The screens as .scr files, and their pictures as .rgb files."""
    bases = []
    for pattern in ("scene", "sweep"):
        path = os.path.join(folder, f"{pattern}.base")
        subprocess.run([make_screen, pattern, path], check=True)
        with open(path, "rb") as file:
            bases.append(file.read())
        os.remove(path)
    names = []
    for i in range(count):
        generator = random.Random(i)
        if i % 3 == 0:
            screen = bytearray(generator.randrange(256) for _ in range(6912))
        else:
            screen = bytearray(bases[i % 3 - 1])
            for _ in range(40):
                correct_cell(screen, generator.randrange(32), generator.randrange(24))
        name = os.path.join(folder, f"screen{i:04d}")
        with open(name + ".scr", "wb") as file:
            file.write(screen)
        with open(name + ".rgb", "wb") as file:
            file.write(expected_picture(bytes(screen)))
        names.append(name)
    return names


def time_tool(tool, names, folder, runs=3):
    """The fastest of a few runs of the one call, each into a fresh folder."""
    best = None
    for run in range(runs):
        out = os.path.join(folder, f"ours{run}")
        os.mkdir(out)
        start = time.perf_counter()
        subprocess.run([tool, "export", "--output-dir", out] + [n + ".scr" for n in names], check=True,
                       stdout=subprocess.DEVNULL)
        elapsed = time.perf_counter() - start
        best = elapsed if best is None else min(best, elapsed)
        if run > 0:
            shutil.rmtree(out)
    return best, os.path.join(folder, "ours0")


def time_imagemagick(names, extra, suffix):
    start = time.perf_counter()
    for name in names:
        subprocess.run([CONVERT, "-size", "256x192", "-depth", "8", "rgb:" + name + ".rgb", *extra,
                        name + suffix], check=True)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("tool")
    parser.add_argument("make_screen")
    parser.add_argument("--screens", type=int, default=1000)
    options = parser.parse_args()
    folder = tempfile.mkdtemp(prefix="inkswap-export-bench-")
    try:
        names = make_screens(folder, options.screens, options.make_screen)
        ours, out = time_tool(options.tool, names, folder)
        theirs = time_imagemagick(names, [], ".png")
        time_imagemagick(names, ["-define", "png:compression-level=9"], ".best.png")
        ratios = []
        for name in names:
            mine = os.path.getsize(os.path.join(out, os.path.basename(name) + ".png"))
            ratios.append(mine / os.path.getsize(name + ".best.png"))
        # The pictures are the same: a sample decoded by ImageMagick.
        for name in names[:: max(1, len(names) // 30)]:
            decoded = subprocess.run([CONVERT, os.path.join(out, os.path.basename(name) + ".png"), "rgb:-"],
                                     check=True, capture_output=True).stdout
            with open(name + ".rgb", "rb") as file:
                if decoded != file.read():
                    sys.exit(f"{name}.png is not the screen's picture")
        print(f"export of {len(names)} screens in one call: {ours:.2f} s; "
              f"ImageMagick one file at a time: {theirs:.2f} s")
        print(f"export / ImageMagick = {ours / theirs:.3f} (goal <= 0.05), {theirs / ours:.1f} times faster")
        larger = sum(1 for ratio in ratios if ratio > 1)
        print(f"largest PNG / ImageMagick's at compression level 9 = {max(ratios):.3f} (goal <= 1), "
              f"mean {sum(ratios) / len(ratios):.3f}; {larger} of {len(ratios)} larger")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
