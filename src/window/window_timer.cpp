#include "window/window_timer.h"

#include "window/event_queue.h"
#include "window/event_state.h"
#include "window/window.h"

namespace rook {

bool AddWindowTimer(std::int32_t window, std::int32_t timer, std::int32_t milliseconds) {
    HWND handle = WindowID(window);
    if (handle == nullptr || timer < 0 || milliseconds < 1) {
        return false;
    }
    return ::SetTimer(handle, static_cast<UINT_PTR>(timer), static_cast<UINT>(milliseconds),
                      nullptr) != 0;
}

void RemoveWindowTimer(std::int32_t window, std::int32_t timer) {
    HWND handle = WindowID(window);
    if (handle == nullptr || timer < 0) {
        return;
    }
    ::KillTimer(handle, static_cast<UINT_PTR>(timer));
    RemoveEvents(EventWindowTimer, timer, window, AnyValue);
    // A timer message the platform had already made comes no more. The
    // window's other timers lose a tick at most: they fire again.
    MSG waiting;
    while (::PeekMessageA(&waiting, handle, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    }
}

std::int32_t EventTimer() {
    return GetEventState().Current.Object;
}

} // namespace rook
