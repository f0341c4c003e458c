#pragma once
// Which menu items can do something at the moment. The others are greyed,
// so that neither the menu nor their shortcuts offer them: Undo and Redo
// with nothing to take back or do again, Correct All Cells and Export PNG
// before a picture came from a file, Next Screen and Previous Screen where
// the file has no screen after or before the one shown, a zoom whose window
// would not fit the work area of its monitor.

#include "app/shell.h"

#include <cstdint>

namespace inkswap {

// Whether the item of this number can do something now; items that always
// can are not greyed.
bool CanChoose(const ShellState& shell, std::int32_t item);

// Greys the items that can do nothing now and makes the others choosable.
void UpdateMenuItems(ShellState& shell);

} // namespace inkswap
