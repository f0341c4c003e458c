#pragma once
// Copying the colour picture to the clipboard, as other programs paste it:
// a device-independent bitmap (CF_DIB) at the current zoom, 24 bits per
// pixel, without the highlight or the grid, FLASH cells in their plain
// phase.

#include "platform/win32/win32.h"

#include <cstdint>

namespace inkswap {

// Puts the picture on the clipboard for owner; false (the clipboard as it
// was, or emptied) when that could not be done.
bool CopyPicture(HWND owner, const std::uint8_t* screen, std::int32_t zoom);

} // namespace inkswap
