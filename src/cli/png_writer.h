#pragma once
// A picture as a PNG file: a palette image of the fewest bits per pixel
// its colours need (1, 2 or 4; the Spectrum's 15 colours fit in 4),
// encoded through libpng and compressed as hard as zlib can, in one IDAT
// chunk and without the chunks a picture does not need.

#include "screen/indexed_picture.h"

#include <cstdint>
#include <vector>

namespace inkswap::cli {

// The PNG of the picture's first frame; false (png empty) when libpng fails.
bool EncodePng(const IndexedPicture& picture, std::vector<std::uint8_t>& png);

} // namespace inkswap::cli
