#pragma once
// +3DOS files, as the Spectrum +3 keeps them on disk: a 128-byte header,
// then the file's data. The header holds the signature "PLUS3DOS", 0x1A,
// the issue and version, the length of the whole file, the +3 BASIC header
// (here that of a CODE file of 6,912 bytes) and, in its last byte, the sum
// of the 127 bytes before it modulo 256.

#include "screen/screen_file.h"

#include <cstdint>
#include <span>
#include <vector>

namespace inkswap {

inline constexpr std::size_t Plus3DosHeaderSize = 128;

// Whether the bytes are a +3DOS file of one screen with a valid header;
// the screen goes to screens.
bool FindPlus3DosScreen(std::span<const std::uint8_t> file, std::vector<ScreenEntry>& screens);

} // namespace inkswap
