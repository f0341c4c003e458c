#pragma once
// The keys that work on the highlighted cell: the arrow keys move the
// highlight one cell (from the last pointer cell, or cell 0, 0), the title
// and the status line following as they follow the pointer; Enter corrects
// the highlighted cell, one step that can be taken back, as a click is.

#include "app/shell.h"

#include <cstdint>

namespace inkswap {

// Item numbers of the keys, which have no menu items of their own.
inline constexpr std::int32_t CellLeftItem = 19;
inline constexpr std::int32_t CellRightItem = 20;
inline constexpr std::int32_t CellUpItem = 21;
inline constexpr std::int32_t CellDownItem = 22;
inline constexpr std::int32_t CorrectCellItem = 23;

void EnableCellKeys();

// The menu events the keys raise.
void HandleCellKeys(ShellState& shell);

} // namespace inkswap
