#pragma once
// Keyboard shortcuts: key combinations bound to item numbers in a window's
// accelerator table, so that a shortcut gives the same menu event as the
// menu item of that number; the table WaitWindowEvent translates with; and
// the focus moves of the built-in Tab and Shift+Tab commands.

#include "platform/win32/win32.h"

#include <cstdint>

namespace rook {

// Modifiers of a shortcut code; the low 16 bits are the virtual-key code.
inline constexpr std::uint32_t ShortcutShift = 0x10000;
inline constexpr std::uint32_t ShortcutControl = 0x20000;
inline constexpr std::uint32_t ShortcutAlt = 0x40000;

// Binds the shortcut to the item number in an open window (a shortcut
// already bound there is bound anew); the window's rebuilt accelerator
// table, or null when the window is not open.
HACCEL AddKeyboardShortcut(std::int32_t window, std::uint32_t shortcut, std::int32_t item);

// The accelerator table of the active window when it is a toolkit window,
// else null: then no message is translated.
HACCEL AcceleratorTableFor(HWND activeWindow);

enum class FocusDirection { Next, Previous };

// Moves the keyboard focus among the active window's descendants that are
// enabled, visible and tab stops, in the order Windows enumerates them,
// wrapping around at either end.
void MoveFocus(FocusDirection direction);

} // namespace rook
