#pragma once
// The data blocks of a Spectrum tape as the ROM saves them: a flag byte,
// the data, and a checksum byte, the XOR of flag and data. A TAP file is a
// run of them; a TZX file carries them in its data blocks. A block that the
// ROM loader takes as 6,912 bytes of data (flag 0xFF) is a screen, and a
// standard header right before it (type 3, CODE, 6,912 bytes) gives its
// name. Blocks with other flags belong to custom loaders, whose data may be
// stored in any order: they are not screens.

#include "screen/screen_file.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace inkswap {

inline constexpr std::uint8_t HeaderFlag = 0x00;
inline constexpr std::uint8_t DataFlag = 0xFF;

// What a walk over a tape's data blocks has found so far.
struct TapeScan {
    std::vector<ScreenEntry> Screens;
    bool AfterScreenHeader; // the last data block was the header of a screen
    ScreenName HeaderName;  // that header's name
};

// Takes the data block (flag, data, checksum) of length bytes at start in
// the file, which holds them all: a screen is added to the scan.
void ReadTapeBlock(std::span<const std::uint8_t> file, std::size_t start, std::size_t length,
                   TapeScan& scan);

// Spectrum text (a tape file name, a description) in UTF-8, trailing spaces
// dropped, cut at a whole character when it does not fit. Printable ASCII
// stays, the Spectrum's own up arrow, pound and copyright signs become
// theirs, and anything else (block graphics, tokens, control codes) '?'.
void SpectrumTextToName(std::span<const std::uint8_t> text, ScreenName& name);

} // namespace inkswap
