#pragma once
// WindowProc, the window procedure of every toolkit window, which turns
// Windows messages into events, and WaitWindowEvent, the one blocking call
// through which every event reaches the application.

#include "platform/win32/win32.h"

#include <cstdint>

namespace rook {

// What the toolkit's message handlers return for a message they leave to
// the default window procedure.
inline constexpr LRESULT NotHandled = 0xD0D0D0D1;

// Messages a drop target posts to a top-level window: a drop on the window
// itself, and one on a gadget (wParam the gadget's number). lParam is the
// DropRecord.
inline constexpr UINT WindowDropMessage = 13105;
inline constexpr UINT GadgetDropMessage = 13106;

// Offers a message that a control sent to its parent to the control's
// gadget kind: NotHandled when the control is no gadget or its kind takes
// no such messages.
using ParentMessageHandler = LRESULT (*)(HWND control, HWND parent, UINT message, WPARAM wParam,
                                         LPARAM lParam);

// The gadget library installs its handler at start-up; without one every
// such message goes on to the default handling.
void SetParentMessageHandler(ParentMessageHandler handler);

// The next event's code: the oldest queued event's, else that of an
// immediate event raised by the Windows message taken and dispatched, else
// that message's number. Blocks until one is there.
std::int32_t WaitWindowEvent();

// The procedure registered with every toolkit window class (behind the
// class procedure that passes NotHandled results to DefWindowProcA).
LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace rook
