#pragma once
// Top-level windows. Each window has a number of the application's choice
// (or a dynamic identifier for AnyNumber), a window class of its own
// ("WindowClass_%d") whose procedure is WindowProc, the two built-in Tab
// and Shift+Tab shortcuts, and the property "RK_WindowID" = number + 1 that
// marks it as the toolkit's. Opening a window makes it the current gadget
// list unless asked not to. Closing is left to the library's shut-down:
// the close box only posts an event.

#include "platform/win32/win32.h"
#include "runtime/object_registry.h"

#include <cstdint>

namespace rook {

// Window flags that belong to the toolkit; every other bit is a Win32 style.
inline constexpr std::uint32_t WindowCentred = 1;
inline constexpr std::uint32_t WindowCentredOnParent = 2;
inline constexpr std::uint32_t WindowTool = 4;
inline constexpr std::uint32_t WindowNoGadgetList = 8;
inline constexpr std::uint32_t WindowInvisible = 0x10000000;

// x or y of OpenWindow: let Windows choose the position.
inline constexpr std::int32_t WindowDefaultPosition = -65535;

// Commands of the built-in shortcuts.
inline constexpr WORD FocusNextCommand = 0xFA01;
inline constexpr WORD FocusPreviousCommand = 0xFA02;
// The command a shortcut to menu item 0 carries. Windows looks a shortcut's
// command up in the system menu first, where command 0 names the
// separators, and then sends nothing; this number names no entry there.
inline constexpr WORD ItemZeroCommand = 0xFA03;

inline constexpr char WindowIdProperty[] = "RK_WindowID";
inline constexpr char FocusProperty[] = "RK_Focus";
inline constexpr char DropAcceptProperty[] = "RK_DropAccept";

// The common-control classes the toolkit uses: tab, hot key, date, extended
// combo box and internet address.
inline constexpr DWORD CommonControlClasses = ICC_TAB_CLASSES | ICC_HOTKEY_CLASS |
                                              ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                              ICC_INTERNET_CLASSES;

// Takes a window's drop target away, if it has one: the "RK_DropAccept"
// property goes and the platform's registration is revoked, whose release
// frees the target.
void RevokeDropTarget(HWND window);

struct WindowRecord {
    HWND Handle;         // null: no window
    ACCEL* Shortcuts;    // owned; handed to CreateAcceleratorTableA as it is
    HACCEL Accelerators; // built from the shortcuts
    std::int32_t ShortcutCount;
    std::uint32_t MinimisedOrMaximised;
};

// The program's module instance.
HINSTANCE ProgramInstance();

// Start step: the window registry, the event state, class icon and cursor.
void WindowLibraryInit();

// End step: closes every window, then frees the drop record still held.
void WindowLibraryEnd();

// Opens a top-level window whose client area is width x height, its outer
// corner at (x, y) on the screen. The window handle, or the dynamic
// identifier for AnyNumber; 0 on failure.
std::intptr_t OpenWindow(std::int32_t number, std::int32_t x, std::int32_t y, std::int32_t width,
                         std::int32_t height, const char* title, std::uint32_t flags,
                         HWND parent = nullptr);

// The window handle, or null when the window is not open.
HWND WindowID(std::int32_t number);

void SetWindowTitle(std::int32_t number, const char* text);

// Gives the open window a client area of width x height as OpenWindow
// reckons it (a menu bar takes its height out of that area), at the DPI of
// its monitor. Its top-left corner stays, moved up and left only as far as
// it takes to keep the window on its monitor's work area. false when the
// window is not open or the size is negative.
bool ResizeWindow(std::int32_t number, std::int32_t width, std::int32_t height);

// Whether the window, with a client area of that size, would fit the work
// area of its monitor.
bool WindowSizeFits(std::int32_t number, std::int32_t width, std::int32_t height);

// Closes the window: its class, shortcuts and pending events go with it.
void CloseWindow(std::int32_t number);

// The record of an open window, or null.
WindowRecord* FindWindowRecord(std::int32_t number);

// The number of the toolkit window that a window handle is, or -1.
std::int32_t ToolkitWindowNumber(HWND window);

} // namespace rook
