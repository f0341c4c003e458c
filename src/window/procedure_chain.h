#pragma once
// Chained window procedures: a toolkit layer puts its procedure in front of
// a window's own, keeps the one it replaced wherever the layer keeps its
// state, and passes every message on to it.

#include "platform/win32/win32.h"

namespace rook {

// Makes procedure the window's procedure; the one it replaced.
WNDPROC PutProcedureInFront(HWND window, WNDPROC procedure);

// Passes a message on to the procedure behind a layer's, or to the default
// window procedure when there is none.
LRESULT CallProcedureBehind(WNDPROC behind, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam);

} // namespace rook
