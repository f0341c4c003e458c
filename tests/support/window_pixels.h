#pragma once
// What a window shows: its client area's pixels read back through a device
// context of the window, for tests that compare what reaches the screen.

#include <windows.h>

#include <cstdint>
#include <vector>

namespace testsupport {

// The top-left width x height pixels of the window's client area as
// 0x00RRGGBB, row by row from the top.
std::vector<std::uint32_t> WindowPixels(HWND window, int width, int height);

} // namespace testsupport
