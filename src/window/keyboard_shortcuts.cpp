#include "window/keyboard_shortcuts.h"

#include "window/window.h"

#include <vector>

namespace rook {

namespace {

bool IsTabStop(HWND window) {
    return ::IsWindowEnabled(window) && ::IsWindowVisible(window) &&
           (::GetWindowLongPtrA(window, GWL_STYLE) & WS_TABSTOP) != 0;
}

BOOL CALLBACK CollectTabStop(HWND window, LPARAM candidates) {
    if (IsTabStop(window)) {
        reinterpret_cast<std::vector<HWND>*>(candidates)->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> TabStopsOf(HWND root) {
    std::vector<HWND> candidates;
    ::EnumChildWindows(root, CollectTabStop, reinterpret_cast<LPARAM>(&candidates));
    return candidates;
}

} // namespace

HACCEL AcceleratorTableFor(HWND activeWindow) {
    if (activeWindow == nullptr) {
        return nullptr;
    }
    const std::int32_t number = ToolkitWindowNumber(activeWindow);
    if (number == -1) {
        return nullptr;
    }
    const WindowRecord* record = FindWindowRecord(number);
    return record != nullptr ? record->Accelerators : nullptr;
}

void MoveFocus(FocusDirection direction) {
    HWND root = ::GetActiveWindow();
    if (root == nullptr) {
        return;
    }
    HWND focus = ::GetFocus();
    HWND current = focus != nullptr && ::IsChild(root, focus) ? focus : nullptr;
    const std::vector<HWND> candidates = TabStopsOf(root);
    if (candidates.empty()) {
        return;
    }
    std::size_t index = 0;
    while (index < candidates.size() && candidates[index] != current) {
        ++index;
    }
    const bool found = index < candidates.size();
    if (direction == FocusDirection::Next) {
        if (current == nullptr) {
            ::SetFocus(candidates.front());
        } else if (found) {
            ::SetFocus(index + 1 < candidates.size() ? candidates[index + 1] : candidates.front());
        }
        return;
    }
    ::SetFocus(found && index > 0 ? candidates[index - 1] : candidates.back());
}

} // namespace rook
