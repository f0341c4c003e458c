#pragma once
// Dots per inch, as the platform gives them. Windows 10 scales each monitor
// on its own and has per-DPI forms of its metric calls; earlier versions
// have one system DPI. The newer calls are looked up when first needed, so
// that the program still starts where they are missing, and the system's
// values stand in for them there.

#include "platform/win32/win32.h"

namespace rook::win32 {

inline constexpr UINT StandardDpi = 96;

// The DPI the window is shown at: its monitor's under per-monitor
// awareness, else the system's.
UINT WindowDpi(HWND window);

// AdjustWindowRectEx with the metrics of the DPI.
bool AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD extendedStyle, UINT dpi);

// GetSystemMetrics at the DPI.
int SystemMetricForDpi(int index, UINT dpi);

// The DPI the platform's fonts and metrics were made for (the system's).
UINT SystemDpi();

// A value measured at 96 DPI scaled to the DPI, rounded to nearest.
int ScaleForDpi(int value, UINT dpi);

} // namespace rook::win32
