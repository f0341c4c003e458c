#pragma once
// Exporting the colour picture as a GIF image: 256 x 192, one pixel per
// Spectrum pixel, in exactly the colours the colour view shows. A screen
// with flashing cells becomes an animation of the two phases of FLASH, as
// a Spectrum shows them, looping forever. The platform's own codec (the
// Windows Imaging Component) encodes it.

#include <cstdint>

namespace inkswap {

// Writes the colour picture of the screen as a GIF file through the
// platform's imaging component (WIC), replacing the file in one step as
// Save does; false (the file as it was) when it could not be encoded or
// written completely.
bool ExportGif(const char* name, const std::uint8_t* screen);

} // namespace inkswap
