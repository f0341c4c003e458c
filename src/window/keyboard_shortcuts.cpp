#include "window/keyboard_shortcuts.h"

#include "runtime/toolkit_heap.h"
#include "window/window.h"

#include <vector>

namespace rook {

namespace {

bool IsTabStop(HWND window) {
    return ::IsWindowEnabled(window) && ::IsWindowVisible(window) &&
           (::GetWindowLongPtrA(window, GWL_STYLE) & WS_TABSTOP) != 0;
}

// No exception may leave a Win32 callback (this one runs inside the window
// procedure): without memory the walk ends with the tab stops found so far.
BOOL CALLBACK CollectTabStop(HWND window, LPARAM candidates) {
    if (IsTabStop(window)) {
        try {
            reinterpret_cast<std::vector<HWND>*>(candidates)->push_back(window);
        } catch (...) {
            return FALSE;
        }
    }
    return TRUE;
}

std::vector<HWND> TabStopsOf(HWND root) {
    std::vector<HWND> candidates;
    ::EnumChildWindows(root, CollectTabStop, reinterpret_cast<LPARAM>(&candidates));
    return candidates;
}

BYTE ModifierFlagsOf(std::uint32_t shortcut) {
    BYTE flags = FVIRTKEY | FNOINVERT;
    if ((shortcut & ShortcutShift) != 0) {
        flags |= FSHIFT;
    }
    if ((shortcut & ShortcutControl) != 0) {
        flags |= FCONTROL;
    }
    if ((shortcut & ShortcutAlt) != 0) {
        flags |= FALT;
    }
    return flags;
}

ACCEL* FindEntry(WindowRecord* record, BYTE flags, WORD key) {
    for (std::int32_t i = 0; i < record->ShortcutCount; ++i) {
        if (record->Shortcuts[i].key == key && record->Shortcuts[i].fVirt == flags) {
            return &record->Shortcuts[i];
        }
    }
    return nullptr;
}

// Adds an entry at the end; false when memory runs out.
bool AppendEntry(WindowRecord* record, ACCEL entry) {
    const auto count = static_cast<std::size_t>(record->ShortcutCount) + 1;
    void* grown = record->Shortcuts == nullptr
                      ? ToolkitAllocate(count * sizeof(ACCEL), os::Fill::Zero)
                      : os::HeapResize(ToolkitHeap(), record->Shortcuts, count * sizeof(ACCEL));
    if (grown == nullptr) {
        return false;
    }
    record->Shortcuts = static_cast<ACCEL*>(grown);
    record->Shortcuts[record->ShortcutCount++] = entry;
    return true;
}

} // namespace

HACCEL AddKeyboardShortcut(std::int32_t window, std::uint32_t shortcut, std::int32_t item) {
    WindowRecord* record = FindWindowRecord(window);
    if (record == nullptr) {
        return nullptr;
    }
    const BYTE flags = ModifierFlagsOf(shortcut);
    const auto key = static_cast<WORD>(shortcut & 0xFFFF);
    const auto command = item == 0 ? ItemZeroCommand : static_cast<WORD>(item & 0xFFFF);
    if (ACCEL* entry = FindEntry(record, flags, key); entry != nullptr) {
        entry->cmd = command;
    } else if (!AppendEntry(record, {flags, key, command})) {
        return record->Accelerators;
    }
    if (record->Accelerators != nullptr) {
        ::DestroyAcceleratorTable(record->Accelerators);
    }
    record->Accelerators = ::CreateAcceleratorTableA(record->Shortcuts, record->ShortcutCount);
    return record->Accelerators;
}

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
