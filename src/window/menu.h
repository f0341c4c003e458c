#pragma once
// Menus: a window's menu bar of drop-down menus with text items and
// separators. Choosing an item gives the menu event 13101 with the item's
// number, exactly as a keyboard shortcut bound to that number does.
// Attaching a bar does not resize the window: its client area loses the
// bar's height.

#include "platform/win32/win32.h"

#include <cstdint>

namespace rook {

struct MenuRecord {
    HMENU Handle; // the menu bar; null: no menu
    HWND Window;  // the window it belongs to, or null
};

inline constexpr char MenuProcedureProperty[] = "rk_menu_callback";

// Start step: the menu registry and the menu-building state.
void MenuLibraryInit();

// An empty menu bar for the window, made the current menu for building; it
// is attached by the first title or item. The menu handle, or the dynamic
// identifier for AnyNumber; 0 when the menu cannot be made.
std::intptr_t CreateMenu(std::int32_t number, HWND window);

// A new drop-down with the title at the end of the current bar; items go
// into it from now on. Never nested.
void MenuTitle(const char* text);

// A text item with the number in the menu being filled.
void MenuItem(std::int32_t number, const char* text);

// A separator line in the menu being filled.
void MenuBar();

// Greys the item with the number anywhere in the menu's drop-downs
// (state non-zero), or makes it choosable again (0). A greyed item cannot
// be chosen, and a shortcut bound to its number gives no event while the
// menu is attached to the shortcut's window.
void DisableMenuItem(std::int32_t number, std::int32_t item, std::int32_t state);

// Puts a check mark before the item (state non-zero) or takes it away (0).
void SetMenuItemState(std::int32_t number, std::int32_t item, std::int32_t state);

// Marks the item as the chosen one of the radio items first..last (their
// numbers in one drop-down, in order) with a bullet, and unmarks the others.
void SetMenuRadioItem(std::int32_t number, std::int32_t first, std::int32_t last,
                      std::int32_t item);

// Detaches the menu from its window and destroys it. The application never
// calls it: the registry does, and a window's menus go with the window.
void FreeMenu(std::int32_t number);

// The record of a live menu, or null.
MenuRecord* FindMenu(std::int32_t number);

} // namespace rook
