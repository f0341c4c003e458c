#include "platform/win32/dpi.h"

namespace rook::win32 {

namespace {

using DpiForWindow = UINT(WINAPI*)(HWND);
using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using MetricsForDpi = int(WINAPI*)(int, UINT);

// A function of user32 by name, or null where this Windows has none.
template <typename Function>
Function User32Function(const char* name) {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    if (user32 == nullptr) {
        return nullptr;
    }
    // The cast from the generic procedure type is how GetProcAddress is used.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

} // namespace

UINT SystemDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen != nullptr) {
        ::ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? static_cast<UINT>(dpi) : StandardDpi;
}

int SystemMetricForDpi(int index, UINT dpi) {
    static const auto forDpi = User32Function<MetricsForDpi>("GetSystemMetricsForDpi");
    return forDpi != nullptr ? forDpi(index, dpi) : ::GetSystemMetrics(index);
}

UINT WindowDpi(HWND window) {
    static const auto forWindow = User32Function<DpiForWindow>("GetDpiForWindow");
    if (forWindow != nullptr && window != nullptr) {
        if (const UINT dpi = forWindow(window); dpi != 0) {
            return dpi;
        }
    }
    return SystemDpi();
}

bool AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD extendedStyle, UINT dpi) {
    static const auto forDpi = User32Function<AdjustForDpi>("AdjustWindowRectExForDpi");
    if (forDpi != nullptr) {
        return forDpi(&rect, style, menu ? TRUE : FALSE, extendedStyle, dpi) != FALSE;
    }
    return ::AdjustWindowRectEx(&rect, style, menu ? TRUE : FALSE, extendedStyle) != FALSE;
}

int ScaleForDpi(int value, UINT dpi) {
    return ::MulDiv(value, static_cast<int>(dpi), static_cast<int>(StandardDpi));
}

} // namespace rook::win32
