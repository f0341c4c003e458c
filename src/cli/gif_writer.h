#pragma once
// A picture as a GIF file through giflib: one frame, or, for a picture of
// two frames (the phases of FLASH), an animation that shows each for 32
// hundredths of a second, as a Spectrum does (16 frames at 50 a second),
// and loops forever.

#include "screen/indexed_picture.h"

#include <cstdint>
#include <vector>

namespace inkswap::cli {

inline constexpr int FlashDelay = 32; // hundredths of a second

// The GIF of the picture; false (gif empty) when giflib fails.
bool EncodeGif(const IndexedPicture& picture, std::vector<std::uint8_t>& gif);

} // namespace inkswap::cli
