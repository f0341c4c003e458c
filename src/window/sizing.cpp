#include "window/sizing.h"

#include "runtime/object_registry.h"
#include "window/sizing_geometry.h"
#include "window/window_procedure.h"

namespace rook {

namespace {

LibraryState sizingState = nullptr;

SizingState& State() {
    return *GetLibraryState<SizingState>(sizingState);
}

bool FullWindowDragging() {
    BOOL on = FALSE;
    ::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &on, 0);
    return on != FALSE;
}

void ShowCursorShape(LPCSTR shape) {
    ::SetCursor(static_cast<HCURSOR>(
        ::LoadImageA(nullptr, shape, IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE)));
}

POINT MaximisedPosition(HWND window) {
    if ((::GetWindowLongPtrA(window, GWL_STYLE) & WS_BORDER) != 0) {
        return {::GetSystemMetrics(SM_CXBORDER), ::GetSystemMetrics(SM_CYBORDER)};
    }
    if ((::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_WINDOWEDGE) != 0) {
        return {::GetSystemMetrics(SM_CXEDGE), ::GetSystemMetrics(SM_CYEDGE)};
    }
    return {0, 0};
}

MINMAXINFO SizeLimits(HWND window) {
    MINMAXINFO limits{};
    limits.ptMaxSize = {::GetSystemMetrics(SM_CXMAXIMIZED), ::GetSystemMetrics(SM_CYMAXIMIZED)};
    limits.ptMaxPosition = MaximisedPosition(window);
    limits.ptMinTrackSize = {::GetSystemMetrics(SM_CXMINTRACK), ::GetSystemMetrics(SM_CYMINTRACK)};
    limits.ptMaxTrackSize = {::GetSystemMetrics(SM_CXMAXTRACK), ::GetSystemMetrics(SM_CYMAXTRACK)};
    ::SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    return limits;
}

LRESULT StartSizing(HWND window, WPARAM command) {
    SizingState& state = State();
    state.Edge = static_cast<std::int32_t>(command & 0xF);
    state.Active = 1;
    state.Window = window;
    ::GetWindowRect(window, &state.Current);
    state.Limits = SizeLimits(window);
    ::SetCapture(window);
    ::PostMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    if (state.Edge == sizing::None) {
        state.RestoreCursor = 1;
        ::GetCursorPos(&state.SavedCursor);
        ShowCursorShape(IDC_SIZEALL);
    } else {
        state.RestoreCursor = 0;
    }
    return 0;
}

sizing::Rect FromRect(const RECT& area) {
    return {area.left, area.top, area.right, area.bottom};
}

RECT ToRect(const sizing::Rect& area) {
    return {area.Left, area.Top, area.Right, area.Bottom};
}

sizing::Limits LimitsOf(const MINMAXINFO& info) {
    return {{info.ptMinTrackSize.x, info.ptMinTrackSize.y},
            {info.ptMaxTrackSize.x, info.ptMaxTrackSize.y}};
}

// Resizes the window for a pointer position (screen coordinates).
void ResizeTo(HWND window, POINT pointer) {
    SizingState& state = State();
    state.Current = ToRect(sizing::RectangleFor(FromRect(state.Current), state.Edge,
                                                {pointer.x, pointer.y}, LimitsOf(state.Limits)));
    ::SendMessageA(window, WM_SIZING, static_cast<WPARAM>(state.Edge),
                   reinterpret_cast<LPARAM>(&state.Current));
    RECT area = state.Current;
    HWND parent = ::GetParent(window);
    if (parent != nullptr && (::GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) != 0) {
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    }
    ::MoveWindow(window, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}

LPCSTR ShapeResource(sizing::CursorShape shape) {
    switch (shape) {
    case sizing::CursorShape::Horizontal:
        return IDC_SIZEWE;
    case sizing::CursorShape::Vertical:
        return IDC_SIZENS;
    case sizing::CursorShape::DiagonalDown:
        return IDC_SIZENWSE;
    default:
        return IDC_SIZENESW;
    }
}

sizing::ArrowKey ArrowKeyOf(WPARAM key) {
    switch (key) {
    case VK_LEFT:
        return sizing::ArrowKey::Left;
    case VK_RIGHT:
        return sizing::ArrowKey::Right;
    case VK_UP:
        return sizing::ArrowKey::Up;
    default:
        return sizing::ArrowKey::Down;
    }
}

// An arrow key either chooses an edge and puts the cursor on it, or moves
// the pointer 10 pixels and resizes.
LRESULT OnArrowKey(HWND window, WPARAM key) {
    SizingState& state = State();
    POINT pointer;
    ::GetCursorPos(&pointer);
    const sizing::ArrowKey arrow = ArrowKeyOf(key);
    if (const auto choice =
            sizing::ChooseEdge(arrow, state.Edge, FromRect(state.Current), {pointer.x, pointer.y});
        choice) {
        state.Edge = choice->Edge;
        // The shape first: under Wine, changing the shape after the
        // position puts the cursor back where the X server last saw it.
        ShowCursorShape(ShapeResource(choice->Shape));
        ::SetCursorPos(choice->Cursor.X, choice->Cursor.Y);
        return NotHandled;
    }
    const sizing::Point moved = sizing::Stepped(arrow, {pointer.x, pointer.y});
    ::SetCursorPos(moved.X, moved.Y);
    ResizeTo(window, {moved.X, moved.Y});
    return NotHandled;
}

LRESULT OnCaptureChanged(HWND window) {
    SizingState& state = State();
    ::PostMessageA(window, WM_EXITSIZEMOVE, 0, 0);
    state.Active = 0;
    state.Window = nullptr;
    if (state.RestoreCursor != 0) {
        ::SetCursorPos(state.SavedCursor.x, state.SavedCursor.y);
    }
    return 0;
}

LRESULT WhileSizing(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE: {
        State().RestoreCursor = 0;
        POINT pointer{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ::ClientToScreen(window, &pointer);
        ResizeTo(window, pointer);
        return 0;
    }
    case WM_LBUTTONUP:
        ::ReleaseCapture();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            ::ReleaseCapture(); // Escape keeps the size reached
            return 0;
        }
        if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN) {
            return OnArrowKey(window, wParam);
        }
        return NotHandled;
    case WM_CAPTURECHANGED:
        return OnCaptureChanged(window);
    case WM_NCDESTROY:
        // A window destroyed mid-resize ends it.
        State().Active = 0;
        State().Window = nullptr;
        return NotHandled;
    default:
        return NotHandled;
    }
}

} // namespace

void CreateSizingState() {
    if (sizingState == nullptr) {
        sizingState = CreateLibraryState(sizeof(SizingState), nullptr);
    }
}

const SizingState& GetSizingState() {
    return State();
}

LRESULT SizingHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const SizingState& state = State();
    if (state.Active != 0) {
        // Only one window is resized at a time; the others go on as usual.
        return window == state.Window ? WhileSizing(window, message, wParam, lParam) : NotHandled;
    }
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_SIZE && FullWindowDragging()) {
        return StartSizing(window, wParam);
    }
    return NotHandled;
}

} // namespace rook
