#pragma once
// What the two canvases show: the screen, the highlighted cell and the
// grid they were last drawn with. A pointer movement changes at most the
// highlight, so it brings the canvases up to date with the least drawing:
// nothing when they already show what it asks for, the old and the new
// highlighted cell when only the highlight moves, and a whole redraw when
// anything else differs from what was drawn.

#include <cstdint>

namespace inkswap {

// Forgets what the canvases show: the next update redraws them whole.
void ForgetShownScreen();

// Records a whole redraw of both canvases: the screen with cell (x, y)
// highlighted and the grid flag. drawn is false when a canvas could not be
// drawn; nothing is known to be shown then.
void RecordShownScreen(const std::uint8_t* screen, std::int32_t x, std::int32_t y,
                       std::int32_t grid, bool drawn);

// Makes both canvases show the screen with cell (x, y) highlighted and the
// grid as "Grid" says, with the same pixels as RedrawScreen(screen, x, y).
void ShowPointerCell(const std::uint8_t* screen, std::int32_t x, std::int32_t y);

// Redraws both canvases whole from the screen, keeping the highlight they
// show (an undo or Correct All Cells changes the bytes, not the pointer).
void RedrawKeepingHighlight(const std::uint8_t* screen);

} // namespace inkswap
