#pragma once
// Z80 snapshots. Version 1: a 30-byte header (its program counter not 0),
// then the 48 KiB of memory from 16384, stored or run-coded (as byte 12
// says) and then ended by 00 ED ED 00. Versions 2 and 3: the 30-byte header
// with a program counter of 0, an additional header of 23 (version 2), 54
// or 55 bytes (version 3) after its 2-byte length, the hardware mode (48K;
// 128K, +2, +2A, +3 and the Pentagon 128 count as 128K; others are not
// read) and the last byte written to port 0x7FFD; then pages, each a
// 2-byte length of its coded bytes (0xFFFF in version 3: 16,384 bytes
// stored), a page number (48K: 8 holds 16384; 128K: bank + 3) and the
// bytes.

#include "screen/screen_file.h"

#include <cstdint>
#include <span>
#include <vector>

namespace inkswap {

// Whether the bytes are a Z80 snapshot whose screen pages read whole; its
// screens (48K: one; 128K: the one the machine shows, then the other) go
// to screens.
bool FindZ80Screens(std::span<const std::uint8_t> file, std::vector<ScreenEntry>& screens);

// Codes the run-coded page of the screen entry again with the screen in
// place of its first 6,912 bytes, as the format codes it, and puts it into
// the bytes with its length (version 3 stores a page whose coding is not
// smaller, its length 0xFFFF). false, the bytes as they were, when the
// page does not decode.
bool RecodeZ80Page(std::vector<std::uint8_t>& file, const ScreenEntry& entry,
                   const std::uint8_t* screen);

} // namespace inkswap
