#include "window/window_procedure.h"

#include "window/event_queue.h"
#include "window/event_state.h"
#include "window/keyboard_shortcuts.h"
#include "window/sizing.h"
#include "window/window.h"
#include "window/window_timer.h"

namespace rook {

namespace {

ParentMessageHandler parentMessageHandler = nullptr;

LRESULT DispatchParentMessage(HWND control, HWND parent, UINT message, WPARAM wParam,
                              LPARAM lParam) {
    if (parentMessageHandler == nullptr) {
        return NotHandled;
    }
    return parentMessageHandler(control, parent, message, wParam, lParam);
}

// The toolkit window a message belongs to: the first of the window and its
// ancestors that carries "RK_WindowID".
struct ToolkitWindow {
    HWND Handle;
    std::int32_t Number;  // -1 when there is none
    WindowRecord* Record; // null when the number names no open window
};

ToolkitWindow FindToolkitWindow(HWND window) {
    for (HWND candidate = window; candidate != nullptr; candidate = ::GetParent(candidate)) {
        const std::int32_t number = ToolkitWindowNumber(candidate);
        if (number != -1) {
            return {candidate, number, FindWindowRecord(number)};
        }
    }
    return {nullptr, -1, nullptr};
}

bool IsOwnWindow(const ToolkitWindow& found, HWND window) {
    return found.Record != nullptr && found.Record->Handle == window;
}

void PostWindowEvent(std::int32_t code, const ToolkitWindow& found) {
    PostEvent(code, 0, found.Number, 0);
}

LRESULT OnSize(const ToolkitWindow& found, HWND window, WPARAM kind) {
    if (found.Handle != window) {
        return 1;
    }
    WindowRecord* record = found.Record;
    if (record == nullptr) {
        return 0;
    }
    switch (kind) {
    case SIZE_RESTORED:
        if (record->MinimisedOrMaximised != 0) {
            record->MinimisedOrMaximised = 0;
            PostWindowEvent(EventWindowRestored, found);
        }
        PostWindowEvent(EventWindowResized, found);
        break;
    case SIZE_MINIMIZED:
        record->MinimisedOrMaximised = 1;
        PostWindowEvent(EventWindowMinimised, found);
        break;
    case SIZE_MAXIMIZED:
        record->MinimisedOrMaximised = 1;
        PostWindowEvent(EventWindowMaximised, found);
        PostWindowEvent(EventWindowResized, found);
        break;
    default:
        PostWindowEvent(EventWindowResized, found);
        break;
    }
    return 0;
}

// Activation gives the focus back to the window that had it when the
// window was deactivated.
LRESULT OnActivate(const ToolkitWindow& found, HWND window, WPARAM state) {
    if (LOWORD(state) != WA_INACTIVE) {
        if (HANDLE focus = ::GetPropA(window, FocusProperty); focus != nullptr) {
            ::SetFocus(static_cast<HWND>(focus));
        }
        PostWindowEvent(EventWindowActivated, found);
    } else {
        ::SetPropA(window, FocusProperty, ::GetFocus());
    }
    return 1;
}

LRESULT OnGetMinMaxInfo(const ToolkitWindow& found, HWND window, LPARAM info) {
    if (found.Record == nullptr) {
        return NotHandled;
    }
    if ((::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0) {
        reinterpret_cast<MINMAXINFO*>(info)->ptMinTrackSize.x = 1;
    }
    return 0;
}

BOOL CALLBACK SendColourChange(HWND child, LPARAM) {
    ::SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (DispatchParentMessage(control, window, WM_COMMAND, wParam, lParam) != NotHandled) {
        return 0;
    }
    if (control != nullptr) {
        const auto gadget = static_cast<std::int32_t>(::GetWindowLongPtrA(control, GWLP_ID));
        RaiseImmediateEvent(EventGadgetAction, gadget, HIWORD(wParam));
        return 0;
    }
    if (HIWORD(wParam) == 0) {
        RaiseImmediateEvent(EventMenuAction, static_cast<std::int32_t>(wParam), NoEventType);
        return 0;
    }
    switch (LOWORD(wParam)) {
    case FocusNextCommand:
        MoveFocus(FocusDirection::Next);
        break;
    case FocusPreviousCommand:
        MoveFocus(FocusDirection::Previous);
        break;
    case ItemZeroCommand:
        RaiseImmediateEvent(EventMenuAction, 0, NoEventType);
        break;
    default:
        RaiseImmediateEvent(EventMenuAction, LOWORD(wParam), NoEventType);
        break;
    }
    return 0;
}

// Only a record that this process's drop target handed over and that was
// not taken yet is a drop: any other lParam (another program can post the
// message) raises nothing and is never read.
LRESULT OnDrop(std::int32_t code, std::int32_t object, LPARAM address) {
    DropRecord* record = TakeHandedOverDropRecord(static_cast<std::uintptr_t>(address));
    if (record == nullptr) {
        return 0;
    }
    TakeDropRecord(record);
    RaiseImmediateEvent(code, object, NoEventType);
    return 0;
}

// The toolkit's own event codes, which a bare message must never pass for.
bool IsToolkitEventCode(UINT message) {
    return message >= EventGadgetAction && message <= EventWindowDpiChanged;
}

// A window that Windows moved to a monitor of another DPI takes the
// rectangle Windows suggests for it; the application hears of the new DPI.
LRESULT OnDpiChanged(const ToolkitWindow& found, HWND window, WPARAM wParam, LPARAM lParam) {
    if (!IsOwnWindow(found, window) || lParam == 0) {
        return NotHandled;
    }
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    ::SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    PostEvent(EventWindowDpiChanged, LOWORD(wParam), found.Number, 0);
    return 0;
}

// The messages an accelerator table can translate. Only for these is the
// active window's table looked up: each look-up asks the platform twice,
// which on a pointer movement costs more than the movement's own handling.
bool IsKeyboardMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_CHAR ||
           message == WM_SYSCHAR;
}

} // namespace

void SetParentMessageHandler(ParentMessageHandler handler) {
    parentMessageHandler = handler;
}

std::int32_t WaitWindowEvent() {
    BeginWaitForEvent();
    if (const std::int32_t code = TakeQueuedEvent(); code != 0) {
        return FinishWaitForEvent(code);
    }
    MSG message{};
    ::GetMessageA(&message, nullptr, 0, 0);
    HWND active = IsKeyboardMessage(message.message) ? ::GetActiveWindow() : nullptr;
    HACCEL accelerators = AcceleratorTableFor(active);
    if (accelerators == nullptr || !::TranslateAcceleratorA(active, accelerators, &message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    PendingEvent& pending = GetEventState().Pending;
    auto result = static_cast<std::int32_t>(message.message);
    if (IsToolkitEventCode(message.message)) {
        // A message under one of the toolkit's numbers that raised no
        // event (posted by another program, say) is no event either.
        result = WM_NULL;
    }
    if (pending.Code != 0) {
        result = pending.Code;
        pending.Code = 0;
    }
    return FinishWaitForEvent(result);
}

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const LRESULT result = SizingHandler(window, message, wParam, lParam);
        result != NotHandled) {
        return result;
    }
    const ToolkitWindow found = FindToolkitWindow(window);
    GetEventState().Pending.Window = found.Number;

    switch (message) {
    case WM_MOVE:
        if (IsOwnWindow(found, window)) {
            PostEvent(EventWindowMoved, found.Number, found.Number, 0);
        }
        return 0;
    case WM_SIZE:
        return OnSize(found, window, wParam);
    case WM_ACTIVATE:
        return OnActivate(found, window, wParam);
    case WM_CLOSE:
        // Closing is the application's decision: the window stays.
        if (IsOwnWindow(found, window)) {
            PostEvent(EventCloseWindow, found.Number, found.Number, 0);
        }
        return 0;
    case WM_ERASEBKGND:
        PostWindowEvent(EventWindowRepaint, found);
        return NotHandled;
    case WM_GETMINMAXINFO:
        return OnGetMinMaxInfo(found, window, lParam);
    case WM_TIMER:
        if (IsOwnWindow(found, window)) {
            PostEvent(EventWindowTimer, static_cast<std::int32_t>(wParam), found.Number, 0);
        }
        return 0;
    case WM_DPICHANGED:
        return OnDpiChanged(found, window, wParam, lParam);
    case WM_SYSCOLORCHANGE:
        if (found.Record != nullptr) {
            ::EnumChildWindows(window, SendColourChange, 0);
        }
        return NotHandled;
    case WM_NCDESTROY:
        ::RemovePropA(window, FocusProperty);
        return 1;
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam);
    case WM_NOTIFY:
        if (lParam == 0) {
            return NotHandled;
        }
        return DispatchParentMessage(reinterpret_cast<NMHDR*>(lParam)->hwndFrom, window, message,
                                     wParam, lParam);
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        return DispatchParentMessage(reinterpret_cast<HWND>(lParam), window, message, wParam,
                                     lParam);
    case WindowDropMessage:
        // A drop on the window itself names no object: the object stays.
        return OnDrop(EventWindowDrop, GetEventState().Pending.Object, lParam);
    case GadgetDropMessage:
        return OnDrop(EventGadgetDrop, static_cast<std::int32_t>(wParam), lParam);
    default:
        return NotHandled;
    }
}

} // namespace rook
