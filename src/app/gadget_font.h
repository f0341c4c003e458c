#pragma once
// The font of the check boxes and the status line at the DPI of the
// window's monitor: the platform's GUI font, which is made for the system's
// DPI, scaled when the window is shown at another one.

#include <cstdint>

namespace inkswap {

// Gives the check boxes and the status line the font for the DPI.
void ApplyGadgetFont(std::int32_t dpi);

// Deletes a font made for another DPI; after the gadgets that showed it.
void ReleaseGadgetFont();

} // namespace inkswap
