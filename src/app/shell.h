#pragma once
// The application shell: Inkswap's one window with the two pictures, the
// two check boxes and the status line, and the event loop that follows the
// pointer, corrects cells on click and toggles the grid until the window is
// to close.

#include "runtime/string_operations.h"
#include "screen/correction_history.h"
#include "screen/screen_file.h"
#include "screen/screen_renderer.h"

#include <cstddef>
#include <cstdint>

namespace inkswap {

// Object numbers, fixed at build time.
inline constexpr std::int32_t MainWindow = 0;
inline constexpr std::int32_t BitmapCanvas = 0; // the left picture
inline constexpr std::int32_t ColourCanvas = 1; // the right picture
inline constexpr std::int32_t CorrectModeBox = 2;
inline constexpr std::int32_t GridBox = 3;
inline constexpr std::int32_t StatusLine = 4; // the file and the cell under the pointer

// The two pictures: each canvas and the view it shows.
struct Picture {
    std::int32_t Canvas;
    ScreenView View;
};
inline constexpr Picture Pictures[] = {{BitmapCanvas, BitmapView}, {ColourCanvas, ColourView}};

// The shell's process-wide state.
struct ShellState {
    std::uint8_t* Screen; // the screen buffer, 6,912 bytes
    std::uint8_t* Saved;  // the bytes last loaded or saved, 6,912 of them
    std::int32_t EventCode;
    std::int32_t X; // the last pointer cell
    std::int32_t Y;
    bool CellKnown;  // the pointer has been over a picture: (X, Y) is its cell
    bool TitleShown; // the title shows cell (TitleX, TitleY)
    std::int32_t TitleX;
    std::int32_t TitleY;
    rook::StringVariable Path;     // the file last loaded or saved, the target of Save
    ScreenFile File;               // that file's bytes and its screens
    std::size_t ScreenIndex;       // the screen of it that the picture is
    rook::StringVariable DropList; // the names of the last drop
    rook::StringVariable DropName; // the first of them
    CorrectionHistory* History;    // the corrections since the picture was loaded
    std::int32_t GreyedItems;      // a bit per item number greyed in the menu; -1: not known
    std::int32_t Zoom;             // each Spectrum pixel a Zoom x Zoom block, 1 to 4
    std::int32_t Dpi;              // of the window's monitor
    std::int32_t FittingZooms;     // a bit (1 << zoom) for each zoom whose window fits its screen
    bool Flash;                    // View > Flash: FLASH cells blink in the colour view
    bool FlashTimerRuns;
    FlashPhase Phase; // the phase the colour view shows
};

enum class StartResult { Started, NoToolkit, NoMemory, NoWindow };

// Starts the toolkit, allocates the screen buffer and builds the window.
StartResult StartShell(ShellState& shell);

// Handles the event whose code is shell.EventCode, the current event.
void HandleEvent(ShellState& shell);

// Frees the screen buffer and shuts the toolkit down.
void EndShell(ShellState& shell);

// Repaints both canvases from the screen buffer, highlighting cell (x, y)
// (or none for -1, -1), at the shell's zoom and in its flash phase, with the
// grid when "Grid" is checked.
void RedrawScreen(const ShellState& shell, std::int32_t x, std::int32_t y);

// Shows cell (x, y) in the title: "x:<column> y:<row>".
void ShowCellInTitle(ShellState& shell, std::int32_t x, std::int32_t y);

// The whole program: start-up, the window, the event loop, shut-down. The
// exit code: 0, or non-zero when the program could not start.
int RunShell();

} // namespace inkswap
