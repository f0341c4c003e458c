#include "window/requester.h"

#include "runtime/object_registry.h"

namespace rook {

namespace {

// The common-control classes the toolkit uses: tab, hot key, date, extended
// combo box and internet address.
constexpr DWORD CommonControlClasses = ICC_TAB_CLASSES | ICC_HOTKEY_CLASS | ICC_DATE_CLASSES |
                                       ICC_USEREX_CLASSES | ICC_INTERNET_CLASSES;

// The windows requesters have disabled, newest first.
ListNode* disabledWindows = nullptr;

// Moves a window into or out of the topmost band without activating it: an
// activation would make it the foreground window, and so the box's owner.
void SetTopmost(HWND window, HWND band) {
    ::SetWindowPos(window, band, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

BOOL CALLBACK DisableWindow(HWND window, LPARAM) {
    if (::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId() ||
        !::IsWindowVisible(window) || !::IsWindowEnabled(window) ||
        window == ::GetForegroundWindow()) {
        return TRUE;
    }
    auto* record =
        static_cast<DisabledWindow*>(NewListNode(&disabledWindows, sizeof(DisabledWindow)));
    if (record == nullptr) {
        return TRUE; // left enabled rather than left disabled for good
    }
    record->Thread = ::GetCurrentThreadId();
    record->Window = window;
    if ((::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) {
        SetTopmost(window, HWND_NOTOPMOST);
        record->WasTopmost = 1;
    }
    ::EnableWindow(window, FALSE);
    return TRUE;
}

// Gives back every window this thread's requesters disabled, topmost ones
// to the topmost band; records of other threads stay.
void EnableWindowsAgain() {
    const DWORD thread = ::GetCurrentThreadId();
    ListNode* node = disabledWindows;
    while (node != nullptr) {
        ListNode* older = node->Older;
        auto* record = static_cast<DisabledWindow*>(ListNodeElement(node));
        if (record->Thread == thread) {
            ::EnableWindow(record->Window, TRUE);
            if (record->WasTopmost != 0) {
                SetTopmost(record->Window, HWND_TOPMOST);
            }
            FreeListNode(&disabledWindows, record);
        }
        node = older;
    }
}

HWND OwnerForBox() {
    HWND foreground = ::GetForegroundWindow();
    DWORD process = 0;
    if (foreground != nullptr) {
        ::GetWindowThreadProcessId(foreground, &process);
    }
    return process == ::GetCurrentProcessId() ? foreground : nullptr;
}

} // namespace

void RequesterLibraryInit() {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), CommonControlClasses};
    ::InitCommonControlsEx(&controls);
    ::CoInitialize(nullptr);
}

std::int32_t MessageRequester(const char* title, const char* text, std::uint32_t flags) {
    ::EnumWindows(DisableWindow, 0);
    const int result = ::MessageBoxA(OwnerForBox(), text, title, flags);
    EnableWindowsAgain();
    return result;
}

} // namespace rook
