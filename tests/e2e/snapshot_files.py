"""Emulator snapshots for the end-to-end tests (SNA of 48K and 128K, Z80 of
version 3 with compressed pages, SZX with zlib-compressed pages), built here
byte by byte from the formats' layouts, apart from the program and from the
generator the native tests use; and the pages read back from such files,
to check that a saved file changed only the page of its screen."""

import random
import zlib

BANK = 16384
SCREEN = 6912
SNA48_SIZE = 27 + 3 * BANK

# Registers of a program running from RAM under the 48K ROM: SP in RAM, IY
# at the system variables, interrupts on in mode 1, a blue border.
A, F = 0x5C, 0x93
BC, DE, HL = 0x1234, 0x5CB9, 0x2D2B
ALT_AF, ALT_BC, ALT_DE, ALT_HL = 0x0044, 0x174B, 0x0006, 0x10A8
IX, IY, SP, PC = 0x03D4, 0x5C3A, 0xFE50, 0x6000
I, R, BORDER = 0x3F, 0x15, 1
NOT_ED = [b for b in range(256) if b != 0xED]


def word(value):
    return value.to_bytes(2, "little")


def filled_bank(seed, screen=b""):
    """16 KiB starting with the screen (if any), then noise mixed with runs
    of one byte longer than a run code holds, runs of 0xED, a single 0xED
    before a run, and runs of four: every rule of the Z80 run coding."""
    rng = random.Random(seed)
    out = bytearray(screen)
    out += bytes([rng.choice(NOT_ED)]) * 300 + b"\x01\xed\xed\x02\xed" + bytes(6) + b"\x03\x04\x04\x04\x04\x05"
    while len(out) < BANK:
        kind = rng.getrandbits(3)
        other = rng.choice(NOT_ED)
        if kind < 3:
            out += bytes(rng.getrandbits(8) for _ in range(16 + rng.getrandbits(7)))
        elif kind == 3:
            out += bytes([other]) * (5 + rng.getrandbits(9))
        elif kind == 4:
            out += b"\xed" * (2 + rng.getrandbits(8)) + bytes([other])
        elif kind == 5:
            out += bytes([other]) + b"\xed" + bytes([other]) * (6 + rng.getrandbits(5))
        else:
            out += bytes([other]) * 4 + b"\xed" + bytes([other ^ 1])
    return bytes(out[:BANK])


def banks_128(bank5, bank7, seed=7):
    """Eight banks, all different, with the screens at the start of 5 and 7."""
    screens = {5: bank5, 7: bank7}
    return [filled_bank(seed * 16 + bank, screens.get(bank, b"")) for bank in range(8)]


def sna_header():
    """I, HL', DE', BC', AF', HL, DE, BC, IY, IX, IFF2 in bit 2, R, AF, SP,
    the interrupt mode and the border."""
    pairs = (ALT_HL, ALT_DE, ALT_BC, ALT_AF, HL, DE, BC, IY, IX)
    return bytes([I]) + b"".join(word(p) for p in pairs) + bytes([0x04, R, F, A]) + word(SP) + bytes([1, BORDER])


def sna48(screen, seed=48):
    """The header and the 48 KiB from 0x4000, the screen first."""
    memory = filled_bank(seed, screen) + filled_bank(seed + 1) + filled_bank(seed + 2)
    return sna_header() + memory


def sna128(bank5, bank7, port, seed=7):
    """Banks 5, 2 and the paged one, PC, the port, TR-DOS off, then the
    other banks in ascending order."""
    banks = banks_128(bank5, bank7, seed)
    paged = port & 7
    rest = [banks[b] for b in range(8) if b not in (5, 2, paged)]
    return sna_header() + banks[5] + banks[2] + banks[paged] + word(PC) + bytes([port, 0]) + b"".join(rest)


def run_coded(data):
    """Runs of 5..255 equal bytes and of 2..255 0xEDs as ED ED count byte;
    the byte after a single 0xED as it is."""
    out, at = bytearray(), 0
    while at < len(data):
        byte, run = data[at], 1
        while at + run < len(data) and run < 255 and data[at + run] == byte:
            run += 1
        if run >= 5 or (byte == 0xED and run >= 2):
            out += bytes([0xED, 0xED, run, byte])
            at += run
        elif byte == 0xED:
            out += data[at:at + 2]
            at += 2
        else:
            out.append(byte)
            at += 1
    return bytes(out)


def z80_128(bank5, bank7, port, seed=7):
    """Version 3, hardware mode 4 (128K), every page run coded, as pages
    3..10 (bank + 3)."""
    header = bytes([A, F]) + word(BC) + word(HL) + word(0) + word(SP) + bytes([I, R & 0x7F])
    header += bytes([(R >> 7) | (BORDER << 1)]) + word(DE) + word(ALT_BC) + word(ALT_DE) + word(ALT_HL)
    header += bytes([ALT_AF >> 8, ALT_AF & 0xFF]) + word(IY) + word(IX) + bytes([1, 1, 1])
    extra = word(PC) + bytes([4, port, 0, 0x07, 0]) + bytes(16)
    extra += word(0x0800) + bytes([1, 0, 0, 0, 0xFF, 0xFF]) + bytes(20) + bytes(3)
    blocks = b""
    for bank, data in enumerate(banks_128(bank5, bank7, seed)):
        coded = run_coded(data)
        blocks += word(len(coded)) + bytes([bank + 3]) + coded
    return header + word(len(extra)) + extra + blocks


def szx_chunk(chunk_id, data):
    return chunk_id + len(data).to_bytes(4, "little") + data


def szx_128(bank5, bank7, port, seed=7):
    """ZXST 1.4 of a 128K: creator, registers, the Spectrum's ports and a
    RAMP chunk per bank, compressed with zlib."""
    creator = b"Inkswap end-to-end".ljust(32, b"\x00") + word(1) + word(0)
    pairs = (F | A << 8, BC, DE, HL, ALT_AF, ALT_BC, ALT_DE, ALT_HL, IX, IY, SP, PC)
    registers = b"".join(word(p) for p in pairs) + bytes([I, R, 1, 1, 1]) + (0x0800).to_bytes(4, "little")
    registers += bytes([0, 0]) + word(PC)
    chunks = [szx_chunk(b"CRTR", creator), szx_chunk(b"Z80R", registers),
              szx_chunk(b"SPCR", bytes([BORDER, port, 0, BORDER, 0, 0, 0, 0]))]
    for bank, data in enumerate(banks_128(bank5, bank7, seed)):
        chunks.append(szx_chunk(b"RAMP", word(1) + bytes([bank]) + zlib.compress(data, 9)))
    return b"ZXST\x01\x04\x02\x00" + b"".join(chunks)


# Reading back: every page of a file, by its 128K bank number (a 48K
# machine's 0x4000, 0x8000 and 0xC000 as banks 5, 2 and 0), from any file of
# these shapes, whoever wrote it.

def run_decoded(coded, end_marker=False):
    """The bytes of run-coded data; with end_marker, up to 00 ED ED 00."""
    out, at = bytearray(), 0
    while at < len(coded):
        if end_marker and coded[at:at + 4] == b"\x00\xed\xed\x00":
            break
        if coded[at:at + 2] == b"\xed\xed":
            out += bytes([coded[at + 3]]) * coded[at + 2]
            at += 4
        else:
            out.append(coded[at])
            at += 1
    return bytes(out)


def sna_pages(data):
    if len(data) == SNA48_SIZE:
        return {5: data[27:27 + BANK], 2: data[27 + BANK:27 + 2 * BANK], 0: data[27 + 2 * BANK:]}
    paged = data[27 + 3 * BANK + 2] & 7
    pages = {5: data[27:27 + BANK], 2: data[27 + BANK:27 + 2 * BANK], paged: data[27 + 2 * BANK:27 + 3 * BANK]}
    at = 27 + 3 * BANK + 4
    for bank in (b for b in range(8) if b not in (5, 2, paged)):
        pages[bank] = data[at:at + BANK]
        at += BANK
    return pages


def z80_pages(data):
    if data[6] | data[7]:  # version 1: PC in the first header, 48 KiB after it
        memory = run_decoded(data[30:], end_marker=True) if data[12] & 0x20 else data[30:30 + 3 * BANK]
        return {5: memory[:BANK], 2: memory[BANK:2 * BANK], 0: memory[2 * BANK:3 * BANK]}
    extra = int.from_bytes(data[30:32], "little")
    mode = data[34]
    is48 = mode in ((0, 1) if extra == 23 else (0, 1, 3))
    pages, at = {}, 32 + extra
    while at < len(data):
        length, number = int.from_bytes(data[at:at + 2], "little"), data[at + 2]
        at += 3
        stored = length == 0xFFFF
        block = data[at:at + (BANK if stored else length)]
        at += len(block)
        bank = {8: 5, 4: 2, 5: 0}.get(number) if is48 else number - 3
        pages[bank] = block if stored else run_decoded(block)
    return pages


def szx_pages(data):
    pages, at = {}, 8
    while at + 8 <= len(data):
        chunk_id, size = data[at:at + 4], int.from_bytes(data[at + 4:at + 8], "little")
        body = data[at + 8:at + 8 + size]
        at += 8 + size
        if chunk_id == b"RAMP":
            flags = int.from_bytes(body[0:2], "little")
            pages[body[2]] = zlib.decompress(body[3:]) if flags & 1 else body[3:]
    return pages


def pages(data, name):
    """Every page of the file, by bank number; the kind from the file's name."""
    kind = name.lower().rsplit(".", 1)[-1]
    return {"sna": sna_pages, "z80": z80_pages, "szx": szx_pages}[kind](data)


def page(data, name, bank):
    """The decoded 16 KiB of one bank."""
    return pages(data, name)[bank]


def changed_banks(before, after, name):
    """The banks whose bytes differ between two files of the same kind."""
    old, new = pages(before, name), pages(after, name)
    return sorted(bank for bank in set(old) | set(new) if old.get(bank) != new.get(bank))


def szx_chunks(data):
    """The chunks of an SZX file in order, as (id, data)."""
    chunks, at = [], 8
    while at + 8 <= len(data):
        size = int.from_bytes(data[at + 4:at + 8], "little")
        chunks.append((data[at:at + 4], data[at + 8:at + 8 + size]))
        at += 8 + size
    return chunks
