#pragma once
// Where Inkswap's window and its gadgets sit: the one definition of the
// layout, used by the shell that builds the window and by the tests that
// check or drive it. Gadgets are placed in the window's client area.

#include <cstdint>

namespace inkswap {

struct Placement {
    std::int32_t X;
    std::int32_t Y;
    std::int32_t Width;
    std::int32_t Height;
};

// The window's position on the screen and its client area's size.
inline constexpr Placement MainWindowPlacement = {381, 118, 1073, 510};
inline constexpr char InitialTitle[] = "New window ( 0 )";

inline constexpr Placement BitmapCanvasPlacement = {0, 20, 512, 384};
inline constexpr Placement ColourCanvasPlacement = {530, 20, 512, 384};
inline constexpr Placement CorrectModeBoxPlacement = {10, 0, 270, 20};
inline constexpr Placement GridBoxPlacement = {280, 0, 270, 20};
// Below the two pictures, as wide as both.
inline constexpr Placement StatusLinePlacement = {10, 410, 1032, 20};

} // namespace inkswap
