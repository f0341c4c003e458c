#pragma once
// The screen renderer paints a screen image into the current drawing
// context, every Spectrum pixel a zoom x zoom box (2 x 2 unless asked
// otherwise), the whole picture 256 zoom x 192 zoom from (0, 0), clipped to
// the output.

#include "screen/screen_image.h"

#include <cstdint>

namespace inkswap {

enum ScreenView : std::int32_t {
    BitmapView = 0, // the bitmap alone: grey (127,127,127) ink on black
    ColourView = 1, // the picture in its real colours
};

inline constexpr std::int32_t NoHighlight = -1;
inline constexpr std::int32_t SmallestZoom = 1;
inline constexpr std::int32_t LargestZoom = 4;
inline constexpr std::int32_t DefaultZoom = 2;

// How a view is drawn: each Spectrum pixel a Zoom x Zoom box (1 to 4), a
// blue line along every cell edge when Grid is set, and, in the colour
// view, the flashing cells in the phase Flash.
struct ViewLook {
    std::int32_t Zoom = DefaultZoom;
    bool Grid = false;
    FlashPhase Flash = FlashPhase::Plain;
};

// A cell's size in output pixels at the zoom.
constexpr std::int32_t CellSize(std::int32_t zoom) {
    return 8 * zoom;
}

// Draws the whole picture in one of the two views into the current drawing
// context. The cell whose linear index is y * 32 + x is drawn with the
// attribute it shows inverted (NoHighlight, NoHighlight selects none); the
// grid draws blue lines over the picture at every cell edge. The bitmap
// view never flashes.
void RenderScreenView(const void* screen, ScreenView view, std::int32_t x, std::int32_t y,
                      const ViewLook& look);

// The same at 2 x 2 without flashing, with or without the grid.
inline void RenderScreenView(const void* screen, ScreenView view, std::int32_t x, std::int32_t y,
                             bool grid) {
    RenderScreenView(screen, view, x, y, ViewLook{DefaultZoom, grid, FlashPhase::Plain});
}

// The linear index of the cell that RenderScreenView highlights for (x, y),
// or -1 for none.
std::int32_t HighlightedCell(std::int32_t x, std::int32_t y);

// Draws one cell, column 0..31 and row 0..23 (anything else draws nothing),
// with the pixels that RenderScreenView(screen, view, x, y, look) gives
// it, grid lines included, and notes the cell's area as the area drawn
// (MarkDrawnArea).
void RenderScreenCell(const void* screen, ScreenView view, std::int32_t column, std::int32_t row,
                      std::int32_t x, std::int32_t y, const ViewLook& look);

} // namespace inkswap
