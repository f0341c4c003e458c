"""The screen model and the picture it should give, worked out here from
the bytes alone, apart from the program."""

SCREEN_BYTES = 6912
ATTRIBUTES = 6144


def bitmap_offset(column, row, line):
    return (row // 8) * 2048 + line * 256 + (row % 8) * 32 + column


def correct_cell(screen, column, row):
    for line in range(8):
        offset = bitmap_offset(column, row, line)
        screen[offset] = 255 - screen[offset]
    index = ATTRIBUTES + row * 32 + column
    a = screen[index]
    screen[index] = (a & 0xC0) | ((a & 7) << 3) | ((a >> 3) & 7)


def colour(number, bright):
    intensity = 255 if bright else 127
    return bytes(
        (((number >> 1) & 1) * intensity, ((number >> 2) & 1) * intensity, (number & 1) * intensity)
    )


def ink_count(screen, column, row):
    """The set pixels of a cell."""
    return sum(bin(screen[bitmap_offset(column, row, line)]).count("1") for line in range(8))


def correct_all_cells(screen):
    """Corrects every cell with more than 32 of its 64 pixels set."""
    for row in range(24):
        for column in range(32):
            if ink_count(screen, column, row) > 32:
                correct_cell(screen, column, row)


def expected_picture(screen):
    """The colour picture at one pixel per Spectrum pixel, 256 x 192, as red,
    green, blue bytes row by row: no highlight, no grid."""
    picture = bytearray()
    for y in range(192):
        row = y // 8
        for column in range(32):
            bits = screen[bitmap_offset(column, row, y % 8)]
            attribute = screen[ATTRIBUTES + row * 32 + column]
            for bit in range(8):
                number = attribute & 7 if bits & (0x80 >> bit) else (attribute >> 3) & 7
                picture += colour(number, attribute & 0x40)
    return bytes(picture)


BLUE = bytes((0, 0, 255))


def expected_rows(screen, view, highlight, grid, zoom=2, swapped=False):
    """Rows of red, green, blue bytes of a canvas showing the screen at the
    zoom (each Spectrum pixel zoom x zoom), in the swapped phase of FLASH
    when asked (the colour view's flashing cells with ink and paper
    exchanged)."""
    cell = 8 * zoom
    rows = []
    for sy in range(192):
        line_row = sy // 8
        spectrum_row = []
        for column in range(32):
            bits = screen[bitmap_offset(column, line_row, sy % 8)]
            attribute = 7 if view == 0 else screen[ATTRIBUTES + line_row * 32 + column]
            flashed = view != 0 and swapped and attribute & 0x80
            if line_row * 32 + column == highlight:
                attribute = 255 - attribute
            for bit in range(8):
                ink = bool(bits & (0x80 >> bit)) != bool(flashed)
                number = attribute & 7 if ink else (attribute >> 3) & 7
                spectrum_row.append(colour(number, attribute & 0x40))
        row = bytearray(b"".join(pixel * zoom for pixel in spectrum_row))
        if grid:
            for x in range(0, 256 * zoom, cell):
                row[x * 3:x * 3 + 3] = BLUE
        for line in range(zoom):
            y = sy * zoom + line
            rows.append(BLUE * (256 * zoom) if grid and y % cell == 0 else bytes(row))
    return rows


def first_difference(actual, expected):
    for y, (got, wanted) in enumerate(zip(actual, expected)):
        if got != wanted:
            for x in range(0, len(wanted), 3):
                if got[x:x + 3] != wanted[x:x + 3]:
                    return f"pixel ({x // 3}, {y}) is {tuple(got[x:x + 3])}, expected {tuple(wanted[x:x + 3])}"
    return None
