#include "window/window.h"

#include "platform/win32/dpi.h"
#include "runtime/toolkit_heap.h"
#include "window/event_queue.h"
#include "window/event_state.h"
#include "window/gadget_list.h"
#include "window/sizing.h"
#include "window/window_procedure.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace rook {

namespace {

constexpr std::int32_t WindowGrowthStep = 16;
constexpr std::uint32_t ToolkitFlags = WindowCentred | WindowCentredOnParent | WindowTool;
// The styles a tool window may not have: minimised, maximised and their boxes.
constexpr std::uint32_t ToolWindowMask =
    ~static_cast<std::uint32_t>(WS_MINIMIZE | WS_MAXIMIZE | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);

constexpr ACCEL BuiltInShortcuts[] = {
    {FVIRTKEY | FNOINVERT, VK_TAB, FocusNextCommand},
    {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, FocusPreviousCommand},
};

ObjectRegistry* windowRegistry = nullptr;
HICON classIcon = nullptr;
HCURSOR classCursor = nullptr;

struct ClassName {
    explicit ClassName(std::int32_t number) {
        std::snprintf(Text, sizeof Text, "WindowClass_%d", static_cast<int>(number));
    }
    char Text[32];
};

LRESULT CALLBACK ClassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = WindowProc(window, message, wParam, lParam);
    return result == NotHandled ? ::DefWindowProcA(window, message, wParam, lParam) : result;
}

void RegisterWindowClass(const ClassName& name) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = ClassProcedure;
    windowClass.hInstance = ProgramInstance();
    windowClass.hIcon = classIcon;
    windowClass.hCursor = classCursor;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = name.Text;
    ::RegisterClassA(&windowClass);
}

// The Win32 styles a flags word asks for, and what else it says.
struct WindowStyle {
    DWORD Style;
    DWORD ExtendedStyle;
    std::uint32_t Placement; // WindowCentred, WindowCentredOnParent
    bool Invisible;
    bool NoGadgetList;
};

WindowStyle StyleOf(std::uint32_t flags) {
    WindowStyle style{};
    style.NoGadgetList = (flags & WindowNoGadgetList) != 0;
    flags &= ~WindowNoGadgetList;
    if ((flags & ~(WindowCentred | WindowCentredOnParent | WindowInvisible)) == 0) {
        flags |= WS_CAPTION;
    }
    style.Invisible = (flags & WindowInvisible) != 0;
    flags &= ~WindowInvisible;
    if ((flags & WindowTool) != 0) {
        flags = (flags & ToolWindowMask) | WS_CAPTION;
        style.ExtendedStyle = WS_EX_TOOLWINDOW;
    }
    style.Placement = flags & (WindowCentred | WindowCentredOnParent);
    style.Style = flags & ~ToolkitFlags;
    return style;
}

struct Placement {
    int X;
    int Y;
    int Width;
    int Height;
};

Placement PlaceWindow(const WindowStyle& style, std::int32_t x, std::int32_t y, std::int32_t width,
                      std::int32_t height, HWND parent) {
    RECT frame{0, 0, width, height};
    ::AdjustWindowRectEx(&frame, style.Style, FALSE, style.ExtendedStyle);
    Placement placement{x, y, frame.right - frame.left, frame.bottom - frame.top};
    if ((x == WindowDefaultPosition || y == WindowDefaultPosition) && style.Placement == 0) {
        placement.X = CW_USEDEFAULT;
        placement.Y = CW_USEDEFAULT;
    }
    if ((style.Placement & WindowCentred) != 0) {
        const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
        const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
        placement.Width = std::min(placement.Width, screenWidth);
        placement.Height = std::min(placement.Height, screenHeight);
        placement.X = (screenWidth - placement.Width) / 2;
        placement.Y = (screenHeight - placement.Height) / 2;
        return placement;
    }
    if ((style.Placement & WindowCentredOnParent) != 0) {
        HWND reference = parent != nullptr ? parent : ::GetActiveWindow();
        RECT area;
        if (reference != nullptr && ::GetWindowRect(reference, &area)) {
            placement.X = std::max(
                0, static_cast<int>(area.left + (area.right - area.left - placement.Width) / 2));
            placement.Y = std::max(
                0, static_cast<int>(area.top + (area.bottom - area.top - placement.Height) / 2));
        }
    }
    return placement;
}

void GiveBuiltInShortcuts(WindowRecord* record) {
    record->Shortcuts =
        static_cast<ACCEL*>(ToolkitAllocate(sizeof BuiltInShortcuts, os::Fill::Zero));
    if (record->Shortcuts == nullptr) {
        return;
    }
    std::copy(std::begin(BuiltInShortcuts), std::end(BuiltInShortcuts), record->Shortcuts);
    record->ShortcutCount = static_cast<std::int32_t>(std::size(BuiltInShortcuts));
    record->Accelerators = ::CreateAcceleratorTableA(record->Shortcuts, record->ShortcutCount);
}

// The outer size of the window for a client area of width x height, as
// OpenWindow reckons it (a menu bar takes its height out of that area), at
// the window's DPI.
SIZE OuterSize(HWND window, std::int32_t width, std::int32_t height) {
    RECT frame{0, 0, width, height};
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE));
    const auto extended = static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_EXSTYLE));
    win32::AdjustWindowRectForDpi(frame, style, false, extended, win32::WindowDpi(window));
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// The work area of the monitor the window is on (most of it). The primary
// monitor's is the system's setting, which Windows keeps the same and Wine
// keeps apart from its monitor information.
RECT WorkAreaOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT work = monitor.rcWork;
    if ((monitor.dwFlags & MONITORINFOF_PRIMARY) != 0) {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    }
    return work;
}

int ShowCommandFor(DWORD style) {
    if ((style & WS_MAXIMIZE) != 0) {
        return SW_MAXIMIZE;
    }
    return (style & WS_MINIMIZE) != 0 ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
}

} // namespace

HINSTANCE ProgramInstance() {
    static const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    return instance;
}

void WindowLibraryInit() {
    if (windowRegistry == nullptr) {
        windowRegistry = RegistryCreate(sizeof(WindowRecord), WindowGrowthStep, CloseWindow);
    }
    CreateEventState();
    classIcon = ::LoadIconA(ProgramInstance(), MAKEINTRESOURCEA(1));
    classCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    CreateSizingState();
}

void WindowLibraryEnd() {
    RegistryFreeAll(windowRegistry);
    ReleaseEventState();
}

std::intptr_t OpenWindow(std::int32_t number, std::int32_t x, std::int32_t y, std::int32_t width,
                         std::int32_t height, const char* title, std::uint32_t flags, HWND parent) {
    const RegistryObject object = RegistryGetOrCreate(windowRegistry, number);
    if (object.Storage == nullptr) {
        return 0;
    }
    const ClassName name(object.Number);
    RegisterWindowClass(name);
    const WindowStyle style = StyleOf(flags);
    const Placement placement = PlaceWindow(style, x, y, width, height, parent);
    HWND window = ::CreateWindowExA(style.ExtendedStyle, name.Text, title != nullptr ? title : "",
                                    style.Style, placement.X, placement.Y, placement.Width,
                                    placement.Height, parent, nullptr, ProgramInstance(), nullptr);
    if (window == nullptr) {
        ::UnregisterClassA(name.Text, ProgramInstance());
        RegistryFree(windowRegistry, object.Number);
        return 0;
    }
    auto* record = static_cast<WindowRecord*>(object.Storage);
    record->Handle = window;
    ::SetPropA(window, WindowIdProperty,
               reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(object.Number) + 1));
    if (!style.Invisible) {
        ::ShowWindow(window, ShowCommandFor(style.Style));
    }
    record->MinimisedOrMaximised = (style.Style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0 ? 1 : 0;
    GiveBuiltInShortcuts(record);
    if (!style.NoGadgetList) {
        UseGadgetList(window);
    }
    if (number == AnyNumber) {
        return object.Number;
    }
    return reinterpret_cast<std::intptr_t>(window);
}

HWND WindowID(std::int32_t number) {
    const WindowRecord* record = FindWindowRecord(number);
    return record != nullptr ? record->Handle : nullptr;
}

void SetWindowTitle(std::int32_t number, const char* text) {
    const WindowRecord* record = FindWindowRecord(number);
    if (record != nullptr && text != nullptr) {
        ::SetWindowTextA(record->Handle, text);
    }
}

bool ResizeWindow(std::int32_t number, std::int32_t width, std::int32_t height) {
    HWND window = WindowID(number);
    if (window == nullptr || width < 0 || height < 0) {
        return false;
    }
    const SIZE outer = OuterSize(window, width, height);
    RECT now;
    ::GetWindowRect(window, &now);
    // Moved up and left as far as it takes to stay on the work area.
    const RECT work = WorkAreaOf(window);
    const LONG x = std::max(work.left, std::min(now.left, work.right - outer.cx));
    const LONG y = std::max(work.top, std::min(now.top, work.bottom - outer.cy));
    return ::SetWindowPos(window, nullptr, x, y, outer.cx, outer.cy,
                          SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

bool WindowSizeFits(std::int32_t number, std::int32_t width, std::int32_t height) {
    HWND window = WindowID(number);
    if (window == nullptr) {
        return false;
    }
    const SIZE outer = OuterSize(window, width, height);
    const RECT work = WorkAreaOf(window);
    return outer.cx <= work.right - work.left && outer.cy <= work.bottom - work.top;
}

void CloseWindow(std::int32_t number) {
    WindowRecord* record = FindWindowRecord(number);
    if (record == nullptr) {
        return;
    }
    HWND window = record->Handle;
    if (HWND owner = ::GetWindow(window, GW_OWNER); owner != nullptr) {
        ::SetActiveWindow(owner);
    }
    ::RemovePropA(window, WindowIdProperty);
    RevokeDropTarget(window);
    ::DestroyWindow(window);
    ::UnregisterClassA(ClassName(number).Text, ProgramInstance());
    if (record->Shortcuts != nullptr) {
        ToolkitRelease(record->Shortcuts);
        ::DestroyAcceleratorTable(record->Accelerators);
    }
    RemoveWindowEvents(number);
    RegistryFree(windowRegistry, number);
}

WindowRecord* FindWindowRecord(std::int32_t number) {
    return static_cast<WindowRecord*>(RegistryLookup(windowRegistry, number));
}

std::int32_t ToolkitWindowNumber(HWND window) {
    // The last window found is remembered while its record still names it:
    // every message to a window asks for its number, and reading a
    // property asks the platform's server.
    static HWND lastWindow = nullptr;
    static std::int32_t lastNumber = -1;
    if (window != nullptr && window == lastWindow) {
        const WindowRecord* record = FindWindowRecord(lastNumber);
        if (record != nullptr && record->Handle == window) {
            return lastNumber;
        }
    }
    const auto property = reinterpret_cast<std::intptr_t>(::GetPropA(window, WindowIdProperty));
    if (property == 0) {
        return -1;
    }
    lastWindow = window;
    lastNumber = static_cast<std::int32_t>(property - 1);
    return lastNumber;
}

void RevokeDropTarget(HWND window) {
    if (::RemovePropA(window, DropAcceptProperty) != nullptr) {
        ::RevokeDragDrop(window);
    }
}

} // namespace rook
