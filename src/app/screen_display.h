#pragma once
// What the two canvases show: the screen, the highlighted cell, the grid,
// the zoom and the phase of FLASH they were last drawn with. A pointer
// movement changes at most the highlight, so it brings the canvases up to
// date with the least drawing: nothing when they already show what it asks
// for, the old and the new highlighted cell when only the highlight moves,
// and a whole redraw when anything else differs from what was drawn. A
// change of the flash phase redraws just the flashing cells of the colour
// view.

#include "app/shell.h"
#include "screen/screen_renderer.h"

#include <cstdint>

namespace inkswap {

// Forgets what the canvases show: the next update redraws them whole.
void ForgetShownScreen();

// How the shell's canvases are to be drawn now: its zoom and flash phase,
// and the grid as "Grid" says.
ViewLook CurrentLook(const ShellState& shell);

// Records a whole redraw of both canvases: the screen with cell (x, y)
// highlighted, in the look. drawn is false when a canvas could not be
// drawn; nothing is known to be shown then.
void RecordShownScreen(const std::uint8_t* screen, std::int32_t x, std::int32_t y,
                       const ViewLook& look, bool drawn);

// Makes both canvases show the screen with cell (x, y) highlighted in the
// current look, with the same pixels as RedrawScreen(shell, x, y).
void ShowPointerCell(const ShellState& shell, std::int32_t x, std::int32_t y);

// Redraws both canvases whole from the screen, keeping the highlight they
// show (an undo or Correct All Cells changes the bytes, not the pointer).
void RedrawKeepingHighlight(const ShellState& shell);

// Brings the colour view to the shell's flash phase by redrawing the cells
// whose flash bit is set, and painting only them; a whole redraw when the
// canvases show anything else than the screen they were drawn with.
void ShowFlashPhase(const ShellState& shell);

} // namespace inkswap
