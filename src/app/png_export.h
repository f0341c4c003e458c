#pragma once
// Exporting the colour picture as a PNG image: 256 x 192, one pixel per
// Spectrum pixel, in exactly the colours the colour view shows, without the
// highlight or the grid. The platform's own codec (the Windows Imaging
// Component) encodes it.

#include <cstdint>

namespace inkswap {

// Writes the picture of the screen as a PNG file, replacing the file in one
// step as Save does; false (the file as it was) when it could not be
// encoded or written completely.
bool ExportPng(const char* name, const std::uint8_t* screen);

} // namespace inkswap
