#pragma once
// Interactive window sizing. With full-window dragging on, the toolkit runs
// the resize of its windows itself instead of the system's modal sizing
// loop, so that the application's event loop keeps running, and size
// events keep arriving, while the user drags a border. The handler sees
// every message of a toolkit window before WindowProc does.

#include "platform/win32/win32.h"

#include <cstdint>

namespace rook {

struct SizingState {
    std::uint32_t Active;
    std::uint32_t RestoreCursor; // put the cursor back at the end
    POINT SavedCursor;
    RECT Current; // the window rectangle being dragged
    std::int32_t Edge;
    MINMAXINFO Limits;
    HWND Window; // the window being resized
};

// Created zeroed by the window library's start step.
void CreateSizingState();
const SizingState& GetSizingState();

// NotHandled for every message that sizing leaves to WindowProc.
LRESULT SizingHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace rook
