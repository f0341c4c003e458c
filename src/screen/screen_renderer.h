#pragma once
// The screen renderer paints a screen image into the current drawing
// context at twice the Spectrum's resolution: every pixel a 2 x 2 box, the
// whole picture 512 x 384 from (0, 0), clipped to the output.

#include <cstdint>

namespace inkswap {

enum ScreenView : std::int32_t {
    BitmapView = 0, // the bitmap alone: grey (127,127,127) ink on black
    ColourView = 1, // the picture in its real colours
};

inline constexpr std::int32_t NoHighlight = -1;
inline constexpr std::int32_t CellPixels = 16; // a cell's size in output pixels

// Draws the whole picture in one of the two views into the current drawing
// context. The cell whose linear index is y * 32 + x is drawn with its
// attribute inverted (NoHighlight, NoHighlight selects none); the grid
// draws blue lines over the picture at every multiple of 16 pixels.
void RenderScreenView(const void* screen, ScreenView view, std::int32_t x, std::int32_t y,
                      bool grid);

// The linear index of the cell that RenderScreenView highlights for (x, y),
// or -1 for none.
std::int32_t HighlightedCell(std::int32_t x, std::int32_t y);

// Draws one cell, column 0..31 and row 0..23 (anything else draws nothing),
// with the pixels that RenderScreenView(screen, view, x, y, grid) gives it,
// grid lines included, and notes the cell's 16 x 16 area as the area drawn
// (MarkDrawnArea).
void RenderScreenCell(const void* screen, ScreenView view, std::int32_t column, std::int32_t row,
                      std::int32_t x, std::int32_t y, bool grid);

} // namespace inkswap
