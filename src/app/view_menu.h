#pragma once
// The View menu: the zoom of the two pictures (1x to 4x, in and out) and
// FLASH in the colour view; and how the window follows the zoom and the DPI
// of its monitor. A zoom whose window would not fit the work area of its
// monitor is greyed. While Flash is on and the picture has flashing cells,
// a timer swaps their ink and paper every 320 ms, as a Spectrum does every
// 16 frames; otherwise no timer runs.

#include "app/shell.h"
#include "app/window_layout.h"

#include <cstdint>

namespace inkswap {

// Item numbers, after those of the File and Operations menus.
inline constexpr std::int32_t ZoomItem1 = 12; // Zoom 1x; Zoom 2x to 4x follow
inline constexpr std::int32_t ZoomItem4 = 15;
inline constexpr std::int32_t ZoomInItem = 16;
inline constexpr std::int32_t ZoomOutItem = 17;
inline constexpr std::int32_t FlashItem = 18;

inline constexpr std::int32_t FlashTimer = 0;
inline constexpr std::int32_t FlashInterval = 320; // milliseconds: 16 frames at 50 Hz

// "View" at the end of the menu bar being built, and its shortcuts: Ctrl+1
// to Ctrl+4, Ctrl+= and Ctrl with the keypad's plus, Ctrl+- and Ctrl with
// the keypad's minus, F.
void BuildViewMenu();
void EnableViewShortcuts();

// The layout of the shell's window at its zoom and DPI.
WindowLayout CurrentLayout(const ShellState& shell);

// Takes the DPI of the open window and, from it, the zoom it starts with:
// the largest of 1x to 4x not above 2 x DPI / 96 whose window fits the work
// area (1x when none does).
void ChooseStartZoom(ShellState& shell);

// Gives the window's gadgets the places and sizes of the current layout,
// and the window its client size when resize is set.
void ApplyLayout(ShellState& shell, bool resize);

// The menu events of the View items (also raised by their shortcuts), the
// flash timer's events, the window's moves (which may change the work area
// it must fit) and changes of its monitor's DPI.
void HandleViewEvent(ShellState& shell);

// Whether the zoom's window fits the work area, as last found.
bool ZoomFits(const ShellState& shell, std::int32_t zoom);

// Marks the current zoom and the Flash state in the menu.
void MarkViewItems(const ShellState& shell);

// Starts the flash timer when Flash is on and the picture has flashing
// cells, and stops it otherwise, back in the plain phase. Runs after every
// event.
void UpdateFlashTimer(ShellState& shell);

} // namespace inkswap
