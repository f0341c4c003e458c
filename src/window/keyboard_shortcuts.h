#pragma once
// Keyboard shortcuts: the accelerator table WaitWindowEvent translates
// with, and the focus moves of the built-in Tab and Shift+Tab commands.

#include "platform/win32/win32.h"

namespace rook {

// The accelerator table of the active window when it is a toolkit window,
// else null: then no message is translated.
HACCEL AcceleratorTableFor(HWND activeWindow);

enum class FocusDirection { Next, Previous };

// Moves the keyboard focus among the active window's descendants that are
// enabled, visible and tab stops, in the order Windows enumerates them,
// wrapping around at either end.
void MoveFocus(FocusDirection direction);

} // namespace rook
