#pragma once
// Where Inkswap's window and its gadgets sit: the one definition of the
// layout, used by the shell that builds the window and by the tests that
// check or drive it. Gadgets are placed in the window's client area.
//
// The two pictures are as large as the zoom makes them (256 x 192 Spectrum
// pixels, each zoom x zoom); the check boxes, the status line and the
// spaces between scale with the DPI. The constants below are the layout at
// 2x and 96 DPI, the one the window opens with there.

#include <cstdint>

namespace inkswap {

struct Placement {
    std::int32_t X;
    std::int32_t Y;
    std::int32_t Width;
    std::int32_t Height;
};

// The window's position on the screen and its client area's size (a menu
// bar takes its height out of it).
inline constexpr Placement MainWindowPlacement = {381, 118, 1073, 510};
inline constexpr char InitialTitle[] = "New window ( 0 )";

// A canvas's size is its client area's, the picture's; its sunken border,
// 2 pixels at 96 DPI, lies outside.
inline constexpr Placement BitmapCanvasPlacement = {0, 20, 512, 384};
inline constexpr Placement ColourCanvasPlacement = {530, 20, 512, 384};
inline constexpr Placement CorrectModeBoxPlacement = {10, 0, 270, 20};
inline constexpr Placement GridBoxPlacement = {280, 0, 270, 20};
// Below the two pictures, as wide as both.
inline constexpr Placement StatusLinePlacement = {10, 410, 1032, 20};

struct WindowLayout {
    std::int32_t ClientWidth;
    std::int32_t ClientHeight;
    Placement BitmapCanvas;
    Placement ColourCanvas;
    Placement CorrectModeBox;
    Placement GridBox;
    Placement StatusLine;
};

// The layout at the zoom (1 to 4) and the DPI, for canvases whose border is
// `border` pixels wide on each side.
WindowLayout LayoutFor(std::int32_t zoom, std::int32_t dpi, std::int32_t border);

} // namespace inkswap
