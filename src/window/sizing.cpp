#include "window/sizing.h"

#include "runtime/object_registry.h"
#include "window/window_procedure.h"

namespace rook {

namespace {

// The window edge is 2 pixels beyond the pointer on the right and bottom.
constexpr LONG EdgeOffset = 2;
constexpr int KeyStep = 10;

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
    if (state.Edge == EdgeNone) {
        state.RestoreCursor = 1;
        ::GetCursorPos(&state.SavedCursor);
        ShowCursorShape(IDC_SIZEALL);
    } else {
        state.RestoreCursor = 0;
    }
    return 0;
}

bool MovesLeft(std::int32_t edge) {
    return edge == EdgeLeft || edge == EdgeTopLeft || edge == EdgeBottomLeft;
}
bool MovesRight(std::int32_t edge) {
    return edge == EdgeRight || edge == EdgeTopRight || edge == EdgeBottomRight;
}
bool MovesTop(std::int32_t edge) {
    return edge == EdgeTop || edge == EdgeTopLeft || edge == EdgeTopRight;
}
bool MovesBottom(std::int32_t edge) {
    return edge == EdgeBottom || edge == EdgeBottomLeft || edge == EdgeBottomRight;
}

// Keeps a size within the tracking limits by moving the side being dragged.
LONG Clamped(LONG size, LONG minimum, LONG maximum) {
    if (size < minimum) {
        return minimum;
    }
    return size > maximum ? maximum : size;
}

// The rectangle with the dragged sides at the pointer; the others stay.
RECT RectangleFor(const SizingState& state, POINT pointer) {
    RECT area = state.Current;
    const POINT& minimum = state.Limits.ptMinTrackSize;
    const POINT& maximum = state.Limits.ptMaxTrackSize;
    const LONG topLeftOffset = state.Edge == EdgeTopLeft ? EdgeOffset : 0;
    if (MovesLeft(state.Edge)) {
        area.left = pointer.x - topLeftOffset;
        area.left = area.right - Clamped(area.right - area.left, minimum.x, maximum.x);
    }
    if (MovesRight(state.Edge)) {
        area.right = pointer.x + EdgeOffset;
        area.right = area.left + Clamped(area.right - area.left, minimum.x, maximum.x);
    }
    if (MovesTop(state.Edge)) {
        area.top = pointer.y - topLeftOffset;
        area.top = area.bottom - Clamped(area.bottom - area.top, minimum.y, maximum.y);
    }
    if (MovesBottom(state.Edge)) {
        area.bottom = pointer.y + EdgeOffset;
        area.bottom = area.top + Clamped(area.bottom - area.top, minimum.y, maximum.y);
    }
    return area;
}

// Resizes the window for a pointer position (screen coordinates).
void ResizeTo(HWND window, POINT pointer) {
    SizingState& state = State();
    state.Current = RectangleFor(state, pointer);
    ::SendMessageA(window, WM_SIZING, static_cast<WPARAM>(state.Edge),
                   reinterpret_cast<LPARAM>(&state.Current));
    RECT area = state.Current;
    HWND parent = ::GetParent(window);
    if (parent != nullptr && (::GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) != 0) {
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    }
    ::MoveWindow(window, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}

// A key that only chooses an edge and puts the cursor on it.
struct EdgeChoice {
    WPARAM Key;
    std::int32_t Before;
    std::int32_t After;
    LPCSTR Shape;
};

const EdgeChoice EdgeChoices[] = {
    {VK_LEFT, EdgeNone, EdgeLeft, IDC_SIZEWE},
    {VK_LEFT, EdgeTop, EdgeTopLeft, IDC_SIZENWSE},
    {VK_LEFT, EdgeBottom, EdgeBottomLeft, IDC_SIZENESW},
    {VK_RIGHT, EdgeNone, EdgeRight, IDC_SIZEWE},
    {VK_RIGHT, EdgeTop, EdgeTopRight, IDC_SIZENESW},
    {VK_RIGHT, EdgeBottom, EdgeBottomRight, IDC_SIZENWSE},
    {VK_UP, EdgeNone, EdgeTop, IDC_SIZENS},
    {VK_UP, EdgeLeft, EdgeTopLeft, IDC_SIZENWSE},
    {VK_UP, EdgeRight, EdgeTopRight, IDC_SIZENESW},
    {VK_DOWN, EdgeNone, EdgeBottom, IDC_SIZENS},
    {VK_DOWN, EdgeLeft, EdgeBottomLeft, IDC_SIZENESW},
    {VK_DOWN, EdgeRight, EdgeBottomRight, IDC_SIZENWSE},
};

// Where the cursor goes when a key chooses an edge.
POINT CursorOnEdge(std::int32_t edge, const RECT& area, POINT pointer) {
    switch (edge) {
    case EdgeLeft:
        return {area.left, pointer.y};
    case EdgeRight:
        return {area.right - EdgeOffset, pointer.y};
    case EdgeTop:
        return {pointer.x, area.top};
    case EdgeBottom:
        return {pointer.x, area.bottom - EdgeOffset};
    case EdgeTopLeft:
        return {area.left + EdgeOffset, area.top + EdgeOffset};
    case EdgeTopRight:
        return {area.right - EdgeOffset, area.top};
    case EdgeBottomLeft:
        return {area.left, area.bottom - EdgeOffset};
    default:
        return {area.right - EdgeOffset, area.bottom - EdgeOffset};
    }
}

POINT Stepped(WPARAM key, POINT pointer) {
    switch (key) {
    case VK_LEFT:
        return {pointer.x - KeyStep, pointer.y};
    case VK_RIGHT:
        return {pointer.x + KeyStep, pointer.y};
    case VK_UP:
        return {pointer.x, pointer.y - KeyStep};
    default:
        return {pointer.x, pointer.y + KeyStep};
    }
}

LRESULT OnArrowKey(HWND window, WPARAM key) {
    SizingState& state = State();
    POINT pointer;
    ::GetCursorPos(&pointer);
    for (const EdgeChoice& choice : EdgeChoices) {
        if (choice.Key == key && choice.Before == state.Edge) {
            state.Edge = choice.After;
            const POINT cursor = CursorOnEdge(state.Edge, state.Current, pointer);
            ::SetCursorPos(cursor.x, cursor.y);
            ShowCursorShape(choice.Shape);
            return NotHandled;
        }
    }
    const POINT moved = Stepped(key, pointer);
    ::SetCursorPos(moved.x, moved.y);
    ResizeTo(window, moved);
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
