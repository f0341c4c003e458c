#pragma once
// The Operations menu: taking corrections back and doing them again,
// correcting every cell with more ink than paper at once, exporting the
// colour picture as a PNG or a GIF image (animated when cells flash), and
// copying it to the clipboard.

#include "app/shell.h"

#include <cstdint>

namespace inkswap {

// Item numbers, after those of the File menu.
inline constexpr std::int32_t UndoItem = 3;
inline constexpr std::int32_t RedoItem = 4;
inline constexpr std::int32_t CorrectAllItem = 5;
inline constexpr std::int32_t ExportPngItem = 6;
// After the File menu's later items.
inline constexpr std::int32_t ExportGifItem = 10;
inline constexpr std::int32_t CopyPictureItem = 11;

inline constexpr char UnexportedMessage[] = "this picture could not be exported!";
inline constexpr char UncopiedMessage[] = "this picture could not be copied!";

// "Operations" at the end of the menu bar being built, with its items, and
// their shortcuts: Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z, Ctrl+E, Ctrl+Shift+E,
// Ctrl+C.
void BuildOperationsMenu();
void EnableOperationShortcuts();

// Corrects the cell (x, y) clicked on as one step that can be taken back;
// a cell off the screen is left alone.
void CorrectClickedCell(ShellState& shell, std::int32_t x, std::int32_t y);

// The menu event of an Operations item (also raised by the shortcuts).
void HandleOperationEvent(ShellState& shell);

} // namespace inkswap
