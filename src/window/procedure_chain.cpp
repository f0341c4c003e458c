#include "window/procedure_chain.h"

namespace rook {

WNDPROC PutProcedureInFront(HWND window, WNDPROC procedure) {
    return reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

LRESULT CallProcedureBehind(WNDPROC behind, HWND window, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    if (behind == nullptr) {
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    return ::CallWindowProcA(behind, window, message, wParam, lParam);
}

} // namespace rook
