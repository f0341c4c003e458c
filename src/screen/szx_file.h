#pragma once
// SZX snapshots: the "ZXST" header (its version, the machine's id, flags),
// then chunks, each a 4-character id, a 32-bit length and its data. The
// memory pages are RAMP chunks (a 16-bit flags word whose bit 0 says the
// page is a zlib stream, the page's number, its bytes) and the paging state
// an SPCR chunk (the border, then the last byte written to port 0x7FFD).
// A 48K-like machine's screen lies in page 5; a 128K-like one (128K, +2,
// +2A, +3, +3e, 128Ke, Pentagon 128) shows page 5 or page 7.

#include "screen/screen_file.h"

#include <cstdint>
#include <span>
#include <vector>

namespace inkswap {

// Whether the bytes are an SZX snapshot whose screen pages read whole; its
// screens (48K: one; 128K: the one the machine shows, then the other) go
// to screens.
bool FindSzxScreens(std::span<const std::uint8_t> file, std::vector<ScreenEntry>& screens);

// Compresses the zlib-coded page of the screen entry again with the screen
// in place of its first 6,912 bytes and puts it into its RAMP chunk, whose
// length follows; every other chunk stays as it was. false, the bytes as
// they were, when the page does not inflate or zlib fails.
bool RecodeSzxPage(std::vector<std::uint8_t>& file, const ScreenEntry& entry,
                   const std::uint8_t* screen);

} // namespace inkswap
