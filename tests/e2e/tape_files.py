"""Tapes and +3DOS files for the end-to-end tests, built here byte by byte
from the formats' layouts, apart from the program and from the generator
the native tests use."""


def checksum(data):
    """The XOR of the bytes: a tape block's checksum over flag and data."""
    value = 0
    for byte in data:
        value ^= byte
    return value


def data_block(flag, data, wrong_checksum=False):
    """A tape data block: flag, data, checksum (one off when wrong)."""
    block = bytes([flag]) + bytes(data)
    return block + bytes([checksum(block) ^ (1 if wrong_checksum else 0)])


def screen_header(name):
    """The header of SAVE "name" SCREEN$: a CODE file of 6,912 bytes at 16384."""
    fields = bytes([3]) + name.ljust(10)[:10].encode("ascii")
    fields += (6912).to_bytes(2, "little") + (16384).to_bytes(2, "little") + (32768).to_bytes(2, "little")
    return data_block(0x00, fields)


def program_header(name, length):
    fields = bytes([0]) + name.ljust(10)[:10].encode("ascii")
    fields += length.to_bytes(2, "little") + (10).to_bytes(2, "little") + length.to_bytes(2, "little")
    return data_block(0x00, fields)


def screen_block(screen, wrong_checksum=False):
    return data_block(0xFF, screen, wrong_checksum)


def tap_file(blocks):
    """Each block after its 2-byte little-endian length."""
    return b"".join(len(block).to_bytes(2, "little") + block for block in blocks)


def tap_blocks(tape):
    """The blocks of a TAP file, by their lengths."""
    blocks, at = [], 0
    while at < len(tape):
        length = int.from_bytes(tape[at:at + 2], "little")
        blocks.append(tape[at + 2:at + 2 + length])
        at += 2 + length
    return blocks


def tzx_file(blocks):
    return b"ZXTape!\x1a\x01\x14" + b"".join(blocks)


def tzx_standard(block):
    return bytes([0x10]) + (1000).to_bytes(2, "little") + len(block).to_bytes(2, "little") + block


def tzx_turbo(block):
    timings = b"".join(value.to_bytes(2, "little") for value in (2168, 667, 735, 855, 1710, 3223))
    return bytes([0x11]) + timings + bytes([8]) + (1000).to_bytes(2, "little") + len(block).to_bytes(3, "little") + block


def tzx_text(text):
    return bytes([0x30, len(text)]) + text.encode("ascii")


def tzx_attached_screen(screen, description, border):
    """A custom information block "Spectrum Screen ": the tape's attached
    loading screen."""
    info = bytes([len(description)]) + description.encode("ascii") + bytes([border]) + bytes(screen)
    return bytes([0x35]) + b"Spectrum Screen " + len(info).to_bytes(4, "little") + info


def plus3dos_file(screen):
    """The 128-byte header of a 6,912-byte CODE file, then the screen."""
    header = b"PLUS3DOS\x1a\x01\x00" + (128 + 6912).to_bytes(4, "little")
    header += bytes([3]) + (6912).to_bytes(2, "little") + (16384).to_bytes(2, "little") + (32768).to_bytes(2, "little")
    header = header.ljust(127, b"\x00")
    return header + bytes([sum(header) & 0xFF]) + bytes(screen)
