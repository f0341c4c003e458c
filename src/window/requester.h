#pragma once
// The message requester: a system message box made modal for the whole
// program. Every other visible, enabled window of the calling thread is
// disabled while the box is open (and taken out of the topmost band) and
// given back afterwards; the box is owned by the foreground window when
// that window is the program's own.

#include "platform/win32/win32.h"

#include <cstdint>

namespace rook {

// One window a requester disabled.
struct DisabledWindow {
    DWORD Thread;
    HWND Window;
    std::uint32_t WasTopmost;
};

// Start step: the common controls and COM for this thread.
void RequesterLibraryInit();

// Shows the box (flags are MessageBoxA's styles) and returns the button
// pressed: IDOK, IDYES, ...; 0 when the box could not be shown.
std::int32_t MessageRequester(const char* title, const char* text, std::uint32_t flags);

} // namespace rook
