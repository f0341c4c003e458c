#!/usr/bin/env python3
"""Draws Inkswap's icon: one Spectrum character cell in the machine's bright
colours, its left half yellow ink on blue paper and its right half the same
pixels with ink and paper swapped (what a correction does), with the
rainbow stripes of the Spectrum's case across the lower right corner.

    tools/make_icon.py ico OUT.ico          16, 32, 48 and 256 pixels in one icon
    tools/make_icon.py png SIZE OUT.png     one size, for a Linux desktop's icon theme

The build makes the program's icon resource with the first form and
scripts/install the desktop's icons with the second; tests import the
module and compare what the program carries with icon_pixels().
"""

import struct
import sys
import zlib

ICON_SIZES = (16, 32, 48, 256)

BLUE = (0, 0, 255)
YELLOW = (255, 255, 0)
BLACK = (0, 0, 0)
STRIPES = ((255, 0, 0), (255, 255, 0), (0, 255, 0), (0, 255, 255))  # red, yellow, green, cyan

# The cell's 8 x 8 pixels, one row a string, "#" for ink: a diamond, whole
# on both halves so that the swap reads at 16 pixels.
GLYPH = (
    "...##...",
    "..####..",
    ".######.",
    "########",
    "########",
    ".######.",
    "..####..",
    "...##...",
)


def _cell_colour(size, x, y):
    step = size // 8
    column, row = min(x // step, 7), min(y // step, 7)
    ink = GLYPH[row][column] == "#"
    if column >= 4:  # the swapped half
        ink = not ink
    return YELLOW if ink else BLUE


def _stripe_colour(size, x, y):
    """The stripe under a pixel, if any: four bands, each a sixteenth of the
    icon wide, running from the bottom edge up to the right edge."""
    if size < 32:
        return None  # too small to show them without losing the cell
    band = size // 16
    distance = (size - 1 - x) + (size - 1 - y)  # from the lower right corner, along the diagonal
    first = size // 4
    index = (distance - first) // band
    if distance < first or index >= len(STRIPES):
        return None
    return STRIPES[len(STRIPES) - 1 - index]


def icon_pixels(size):
    """The icon at a size as rows of (red, green, blue, alpha) tuples: the
    cell inside a one-pixel black frame (two from 48 pixels up), opaque."""
    frame = 1 if size < 48 else size // 24
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            if x < frame or y < frame or x >= size - frame or y >= size - frame:
                colour = BLACK
            else:
                colour = _stripe_colour(size, x, y) or _cell_colour(size, x, y)
            row.append((*colour, 255))
        rows.append(row)
    return rows


def png_bytes(rows):
    """An RGBA PNG of the rows; zlib does the compression, each row unfiltered."""
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + bytes(value for pixel in row for value in pixel) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8 bits, RGBA
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def dib_bytes(rows):
    """A 32-bit icon image as Windows keeps it: the bitmap header with twice
    the height (colour and mask), the rows bottom up in BGRA, then the mask,
    all opaque."""
    height, width = len(rows), len(rows[0])
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((width + 31) // 32) * 4
    return header + colour + bytes(mask_stride * height)


def ico_bytes(sizes=ICON_SIZES):
    """An icon file of the sizes: bitmaps below 256 pixels, which every reader
    takes, and a PNG at 256, as Windows keeps its large icons."""
    images = [png_bytes(icon_pixels(size)) if size >= 256 else dib_bytes(icon_pixels(size)) for size in sizes]
    offset = 6 + 16 * len(sizes)
    directory = struct.pack("<HHH", 0, 1, len(sizes))
    for size, image in zip(sizes, images):
        side = size if size < 256 else 0  # 0 stands for 256
        directory += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


def main(arguments):
    if len(arguments) == 2 and arguments[0] == "ico":
        data = ico_bytes()
    elif len(arguments) == 3 and arguments[0] == "png" and arguments[1].isdigit() and 16 <= int(arguments[1]) <= 1024:
        data = png_bytes(icon_pixels(int(arguments[1])))
    else:
        sys.exit(__doc__)
    with open(arguments[-1], "wb") as output:
        output.write(data)


if __name__ == "__main__":
    main(sys.argv[1:])
