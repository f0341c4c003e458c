#pragma once
// SNA snapshots. A 48K one is a 27-byte register header and the 48 KiB of
// memory from 16384 (49,179 bytes). A 128K one holds, after the header,
// banks 5, 2 and the one paged at 0xC000, then the program counter, the
// last byte written to port 0x7FFD, a TR-DOS flag and the remaining banks
// in ascending order, without the paged one again: 131,103 bytes, or
// 147,487 when the paged bank is 2 or 5, which then lies in the file twice
// (a file whose two copies of bank 5 differ is refused).

#include "screen/screen_file.h"

#include <cstdint>
#include <span>
#include <vector>

namespace inkswap {

// Whether the bytes are an SNA snapshot; its screens (48K: one; 128K: the
// one the machine shows, then the other) go to screens.
bool FindSnaScreens(std::span<const std::uint8_t> file, std::vector<ScreenEntry>& screens);

} // namespace inkswap
