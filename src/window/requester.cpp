#include "window/requester.h"

#include "runtime/object_registry.h"
#include "window/window.h"

namespace rook {

namespace {

// The windows requesters have disabled, newest first.
ListNode* disabledWindows = nullptr;

// Moves a window into or out of the topmost band without activating it: an
// activation would make it the foreground window, and so the box's owner.
void SetTopmost(HWND window, HWND band) {
    ::SetWindowPos(window, band, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool IsShownWindowOfThisThread(HWND window) {
    return ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId() &&
           ::IsWindowVisible(window) && ::IsWindowEnabled(window);
}

// Disables the thread's shown windows except the box's owner (lParam),
// which the box disables and enables itself.
BOOL CALLBACK DisableWindow(HWND window, LPARAM owner) {
    if (!IsShownWindowOfThisThread(window) || window == ::GetForegroundWindow() ||
        window == reinterpret_cast<HWND>(owner)) {
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

bool IsForegroundOurs() {
    HWND foreground = ::GetForegroundWindow();
    DWORD process = 0;
    if (foreground != nullptr) {
        ::GetWindowThreadProcessId(foreground, &process);
    }
    return process == ::GetCurrentProcessId();
}

BOOL CALLBACK FindFrontWindow(HWND window, LPARAM found) {
    if (!IsShownWindowOfThisThread(window)) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The foreground window when it is the program's. When another program is
// in front (a file manager right after a drop), the front-most shown window
// of this thread (the program's main window): the box then comes up in
// front of the other program, and the window it disables is the one it
// enables again.
HWND OwnerForBox() {
    if (IsForegroundOurs()) {
        return ::GetForegroundWindow();
    }
    HWND front = nullptr;
    ::EnumWindows(FindFrontWindow, reinterpret_cast<LPARAM>(&front));
    return front;
}

} // namespace

void RequesterLibraryInit() {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), CommonControlClasses};
    ::InitCommonControlsEx(&controls);
    ::CoInitialize(nullptr);
}

std::int32_t MessageRequester(const char* title, const char* text, std::uint32_t flags) {
    const bool behindAnother = !IsForegroundOurs();
    HWND owner = OwnerForBox();
    ::EnumWindows(DisableWindow, reinterpret_cast<LPARAM>(owner));
    const int result =
        ::MessageBoxA(owner, text, title, behindAnother ? flags | MB_SETFOREGROUND : flags);
    EnableWindowsAgain();
    return result;
}

} // namespace rook
