#pragma once
// Interactive window sizing: the handler that sees every message of a
// toolkit window before WindowProc does.

#include "platform/win32/win32.h"

namespace rook {

// NotHandled for every message that sizing leaves to WindowProc.
LRESULT SizingHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace rook
