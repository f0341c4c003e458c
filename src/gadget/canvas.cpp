// The canvas gadget: window class "RookCanvas", its window procedure, the
// back buffer, painting, event snapshots and the drawing output.

#include "gadget/canvas.h"

#include "gadget/gadget.h"
#include "platform/win32/owners.h"
#include "runtime/element_pool.h"
#include "runtime/object_registry.h"
#include "window/event_state.h"
#include "window/gadget_list.h"
#include "window/window.h"

#include <algorithm>

namespace rook {

namespace {

constexpr char CanvasClassName[] = "RookCanvas";
constexpr char CanvasRecordProperty[] = "RK_Gadget";
constexpr std::int32_t BorderShrink = 4;
constexpr std::int32_t FocusFrameInset = 2;
constexpr std::int32_t WheelNotch = 120;
constexpr std::int32_t PoolMinimum = 16;
constexpr std::int32_t PoolMaximum = 1024;
constexpr std::int32_t FirstCharacter = 32;
// The state word: the pointer is inside; the low 8 bits are the cursor number.
constexpr std::intptr_t PointerInside = 0x10000;
constexpr std::intptr_t CursorNumberMask = 0xFF;

struct CanvasLibrary {
    bool Registered;
    ElementPool* EventPool;
    void* Kept; // held for good, so that the pool keeps its first block
    HCURSOR Arrow;
    HWND Confining; // the one canvas that confines the cursor, or null
};

CanvasLibrary library = {};

// The canvas's own fields of its gadget record.
enum CanvasField { BackBufferField, FlagsField, StateField, CursorField };

HBITMAP BackBufferOf(const GadgetRecord* canvas) {
    return reinterpret_cast<HBITMAP>(canvas->TypeFields[BackBufferField]);
}
std::uint32_t FlagsOf(const GadgetRecord* canvas) {
    return static_cast<std::uint32_t>(canvas->TypeFields[FlagsField]);
}
std::intptr_t& StateOf(GadgetRecord* canvas) {
    return canvas->TypeFields[StateField];
}
HCURSOR CursorOf(const GadgetRecord* canvas) {
    return reinterpret_cast<HCURSOR>(canvas->TypeFields[CursorField]);
}

// The canvas window's extra slots. The record is also attached as the
// property "RK_Gadget"; the window procedure reads the slot, set and kept
// with it, because a property asks the platform's server on every message.
// The canvas keeps one memory device context for its life, with the back
// buffer selected into it, for painting and for every drawing output:
// making one costs as much as drawing a few cells.
enum CanvasSlot { RecordSlot, WindowNumberSlot, MemorySlot, FirstImageSlot, CanvasSlotCount };

LONG_PTR SlotOf(HWND window, CanvasSlot slot) {
    return ::GetWindowLongPtrA(window, static_cast<int>(slot * sizeof(LONG_PTR)));
}
void SetSlot(HWND window, CanvasSlot slot, LONG_PTR value) {
    ::SetWindowLongPtrA(window, static_cast<int>(slot * sizeof(LONG_PTR)), value);
}

GadgetRecord* CanvasOf(HWND window) {
    return reinterpret_cast<GadgetRecord*>(SlotOf(window, RecordSlot));
}

// The canvas's memory device context, which holds its back buffer.
HDC MemoryOf(HWND window) {
    return reinterpret_cast<HDC>(SlotOf(window, MemorySlot));
}

// Selects the buffer into the canvas's memory device context; the image it
// displaces first, the context's own, is kept to be given back.
void HoldBuffer(HWND window, HBITMAP buffer) {
    HDC memory = MemoryOf(window);
    if (memory == nullptr || buffer == nullptr) {
        return;
    }
    HGDIOBJ displaced = ::SelectObject(memory, buffer);
    if (SlotOf(window, FirstImageSlot) == 0) {
        SetSlot(window, FirstImageSlot, reinterpret_cast<LONG_PTR>(displaced));
    }
}

// Deletes the canvas's back buffer, first taking it out of the memory
// device context: a bitmap is never deleted while selected.
void DropBuffer(GadgetRecord* canvas) {
    HBITMAP buffer = BackBufferOf(canvas);
    if (buffer == nullptr) {
        return;
    }
    if (HDC memory = MemoryOf(canvas->Handle); memory != nullptr) {
        ::SelectObject(memory, reinterpret_cast<HGDIOBJ>(SlotOf(canvas->Handle, FirstImageSlot)));
    }
    ::DeleteObject(buffer);
    canvas->TypeFields[BackBufferField] = 0;
}

// The number of the toolkit window the canvas belongs to, -1 for none.
// Found by the walk up its parents once, then kept: a canvas never moves
// to another window.
std::int32_t CanvasWindowNumber(HWND window) {
    if (const LONG_PTR kept = SlotOf(window, WindowNumberSlot); kept != 0) {
        return static_cast<std::int32_t>(kept - 1);
    }
    const std::int32_t number = ToolkitWindowNumber(TopLevelWindow(window));
    if (number != -1) {
        SetSlot(window, WindowNumberSlot, static_cast<LONG_PTR>(number) + 1);
    }
    return number;
}

// The thread's key state as of the message being handled, read in one call
// rather than a call per key.
struct KeyState {
    KeyState() { ::GetKeyboardState(Keys); }
    bool Down(int key) const { return (Keys[key] & 0x80) != 0; }

    std::int32_t Buttons() const {
        return (Down(VK_LBUTTON) ? ButtonLeft : 0) | (Down(VK_RBUTTON) ? ButtonRight : 0) |
               (Down(VK_MBUTTON) ? ButtonMiddle : 0);
    }

    std::int32_t Modifiers() const {
        return (Down(VK_SHIFT) ? ModifierShift : 0) | (Down(VK_MENU) ? ModifierAlt : 0) |
               (Down(VK_CONTROL) ? ModifierControl : 0);
    }

    BYTE Keys[256];
};

std::int32_t ButtonsDown() {
    return KeyState().Buttons();
}

void ReleaseEventData(void* data) {
    PoolFree(library.EventPool, data);
}

// Queues a gadget event with a snapshot of the pointer where the platform
// recorded it for the message being handled, in client coordinates and not
// clamped, and of the buttons and modifier keys down.
void QueueCanvasEvent(HWND window, std::int32_t type, std::int32_t key = 0, std::int32_t wheel = 0,
                      std::int32_t input = 0) {
    const DWORD position = ::GetMessagePos();
    POINT pointer{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ::ScreenToClient(window, &pointer);
    auto* data = static_cast<CanvasEventData*>(PoolAlloc(library.EventPool));
    if (data != nullptr) {
        const KeyState keys;
        *data = {pointer.x, pointer.y, keys.Buttons(), key, keys.Modifiers(), wheel, input & 0xFF};
    }
    const auto gadget = static_cast<std::int32_t>(::GetWindowLongPtrA(window, GWLP_ID));
    PostEvent(EventGadgetAction, gadget, CanvasWindowNumber(window), type, data,
              data != nullptr ? ReleaseEventData : nullptr);
}

void FreeCursor() {
    ::ClipCursor(nullptr);
    library.Confining = nullptr;
}

// The first button pressed over the canvas captures the mouse, and with
// CanvasFlagConfine keeps the cursor inside the client area.
void PressHandling(HWND window, GadgetRecord* canvas, std::int32_t button) {
    if (ButtonsDown() != button) {
        return;
    }
    if ((FlagsOf(canvas) & CanvasFlagConfine) != 0) {
        RECT client;
        ::GetClientRect(window, &client);
        ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
        ::ClipCursor(&client);
        library.Confining = window;
    }
    ::SetCapture(window);
}

// The release that leaves no button down ends capture and confinement.
void ReleaseHandling(HWND window, GadgetRecord* canvas) {
    if (ButtonsDown() != 0) {
        return;
    }
    if ((FlagsOf(canvas) & CanvasFlagConfine) == 0) {
        ::ReleaseCapture();
        return;
    }
    if (library.Confining == window) {
        FreeCursor();
        ::ReleaseCapture();
    }
}

SIZE BufferSize(HBITMAP buffer) {
    BITMAP bitmap{};
    ::GetObjectA(buffer, sizeof bitmap, &bitmap);
    return {bitmap.bmWidth, bitmap.bmHeight};
}

// Draws the back buffer at (0, 0) at its own size, or white without one,
// from the memory device context that holds it.
void DrawPicture(HDC target, HBITMAP buffer, HDC memory, const RECT& client) {
    if (buffer == nullptr || memory == nullptr) {
        ::FillRect(target, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        return;
    }
    const SIZE size = BufferSize(buffer);
    ::BitBlt(target, 0, 0, size.cx, size.cy, memory, 0, 0, SRCCOPY);
}

// The picture with the focus frame, composed off screen and copied once.
void DrawPictureWithFrame(HDC target, HBITMAP buffer, HDC memory, const RECT& client) {
    const win32::GdiObject<HBITMAP> picture(
        ::CreateCompatibleBitmap(target, client.right, client.bottom));
    const win32::MemoryDC composed(target);
    if (!composed || !picture) {
        return;
    }
    const win32::SelectedObject selected(composed.get(), picture.get());
    DrawPicture(composed.get(), buffer, memory, client);
    RECT frame = client;
    ::InflateRect(&frame, -FocusFrameInset, -FocusFrameInset);
    ::DrawFocusRect(composed.get(), &frame);
    ::BitBlt(target, 0, 0, client.right, client.bottom, composed.get(), 0, 0, SRCCOPY);
}

void PaintOn(HDC target, HWND window, const GadgetRecord* canvas) {
    RECT client;
    ::GetClientRect(window, &client);
    const bool framed = (FlagsOf(canvas) & CanvasFlagFocusFrame) != 0 && ::GetFocus() == window &&
                        client.right >= 1 && client.bottom >= 1;
    if (framed) {
        DrawPictureWithFrame(target, BackBufferOf(canvas), MemoryOf(window), client);
    } else {
        DrawPicture(target, BackBufferOf(canvas), MemoryOf(window), client);
    }
}

// Paints the picture on the given device context, or on the window's own.
void Paint(HWND window, const GadgetRecord* canvas, HDC given) {
    if (given != nullptr) {
        PaintOn(given, window, canvas);
        return;
    }
    const win32::WindowDC target(window);
    if (target) {
        PaintOn(target.get(), window, canvas);
    }
}

void Invalidate(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE);
}

LRESULT OnMouseMove(HWND window, GadgetRecord* canvas) {
    std::intptr_t& state = StateOf(canvas);
    if ((state & PointerInside) != 0) {
        QueueCanvasEvent(window, PointerMove);
        return 0;
    }
    state |= PointerInside;
    TRACKMOUSEEVENT tracking{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, 0};
    ::TrackMouseEvent(&tracking);
    QueueCanvasEvent(window, PointerEnter);
    return 0;
}

LRESULT OnPress(HWND window, GadgetRecord* canvas, std::int32_t button, std::int32_t press,
                std::int32_t click) {
    PressHandling(window, canvas, button);
    QueueCanvasEvent(window, press);
    if (click >= 0) {
        QueueCanvasEvent(window, click);
    }
    return 0;
}

LRESULT OnRelease(HWND window, GadgetRecord* canvas, std::int32_t release) {
    ReleaseHandling(window, canvas);
    QueueCanvasEvent(window, release);
    return 0;
}

constexpr std::int32_t NoClick = -1;

LRESULT CALLBACK CanvasProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GadgetRecord* canvas = CanvasOf(window);
    if (canvas == nullptr) {
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_SETFOCUS:
        QueueCanvasEvent(window, FocusGain);
        Invalidate(window);
        return 0;
    case WM_KILLFOCUS:
        QueueCanvasEvent(window, FocusLoss);
        Invalidate(window);
        return 0;
    case WM_ENABLE:
        Paint(window, canvas, nullptr);
        if (wParam == FALSE && library.Confining == window) {
            FreeCursor();
        }
        return 0;
    case WM_CAPTURECHANGED:
        // Whoever took the capture (a message box, another window, the
        // system) also ends the confinement that came with it.
        if (library.Confining == window) {
            FreeCursor();
        }
        return 0;
    case WM_CANCELMODE:
        if (library.Confining == window) {
            FreeCursor();
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC target = ::BeginPaint(window, &paint);
        Paint(window, canvas, target);
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        Paint(window, canvas, reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_SETCURSOR:
        ::SetCursor(CursorOf(canvas));
        return 1;
    case WM_MOUSEACTIVATE:
        if ((FlagsOf(canvas) & CanvasFlagKeyboard) == 0) {
            return ::DefWindowProcA(window, message, wParam, lParam);
        }
        ::SetFocus(window);
        Invalidate(window);
        return MA_NOACTIVATE;
    case WM_KEYDOWN:
        QueueCanvasEvent(window, KeyPress, static_cast<std::int32_t>(wParam));
        return 0;
    case WM_KEYUP:
        QueueCanvasEvent(window, KeyRelease, static_cast<std::int32_t>(wParam));
        return 0;
    case WM_CHAR:
        if (static_cast<std::uint32_t>(wParam) >= FirstCharacter) {
            QueueCanvasEvent(window, CharInput, 0, 0, static_cast<std::int32_t>(wParam & 0xFF));
        }
        return 0;
    case WM_MOUSEMOVE:
        return OnMouseMove(window, canvas);
    case WM_MOUSELEAVE:
        StateOf(canvas) &= ~PointerInside;
        QueueCanvasEvent(window, PointerLeave);
        return 0;
    case WM_LBUTTONDOWN:
        return OnPress(window, canvas, ButtonLeft, LeftPress, ClickLeft);
    case WM_LBUTTONDBLCLK:
        return OnPress(window, canvas, ButtonLeft, LeftPress, DoubleClickLeft);
    case WM_RBUTTONDOWN:
        return OnPress(window, canvas, ButtonRight, RightPress, ClickRight);
    case WM_RBUTTONDBLCLK:
        return OnPress(window, canvas, ButtonRight, RightPress, DoubleClickRight);
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        return OnPress(window, canvas, ButtonMiddle, MiddlePress, NoClick);
    case WM_LBUTTONUP:
        return OnRelease(window, canvas, LeftRelease);
    case WM_RBUTTONUP:
        return OnRelease(window, canvas, RightRelease);
    case WM_MBUTTONUP:
        return OnRelease(window, canvas, MiddleRelease);
    case WM_MOUSEWHEEL:
        QueueCanvasEvent(window, WheelTurn, 0, static_cast<short>(HIWORD(wParam)) / WheelNotch);
        return 0;
    case WM_PRINT:
    case WM_PRINTCLIENT:
        Paint(window, canvas, reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

void FreeCanvas(GadgetRecord* canvas) {
    // A canvas that goes while a button is held must not keep the cursor.
    if (library.Confining != nullptr && library.Confining == canvas->Handle) {
        FreeCursor();
    }
    DropBuffer(canvas);
    if (HDC memory = MemoryOf(canvas->Handle); memory != nullptr) {
        ::DeleteDC(memory);
        SetSlot(canvas->Handle, MemorySlot, 0);
    }
}

// The event-data attributes answer only for this canvas's own queued event.
const CanvasEventData* CurrentSnapshot(const GadgetRecord* canvas) {
    const CurrentEvent& current = GetEventState().Current;
    if (current.QueuedCode != EventGadgetAction) {
        return nullptr;
    }
    if (current.Object != static_cast<std::int32_t>(::GetWindowLongPtrA(canvas->Handle, GWLP_ID))) {
        return nullptr;
    }
    return static_cast<const CanvasEventData*>(current.Data);
}

std::int32_t SnapshotAttribute(const GadgetRecord* canvas, std::int32_t attribute) {
    const CanvasEventData* data = CurrentSnapshot(canvas);
    if (data == nullptr) {
        return 0;
    }
    switch (attribute) {
    case CanvasAttrPointerX:
        return data->PointerX;
    case CanvasAttrPointerY:
        return data->PointerY;
    case CanvasAttrButtons:
        return data->Buttons;
    case CanvasAttrKey:
        return data->Key;
    case CanvasAttrModifiers:
        return data->Modifiers;
    case CanvasAttrWheel:
        return data->Wheel;
    case CanvasAttrInput:
        return data->Input;
    default:
        return 0;
    }
}

std::int32_t CanvasAttribute(GadgetRecord* canvas, std::int32_t attribute) {
    switch (attribute) {
    case CanvasAttrImage:
        // A handle; its significant bits fit 32 bits.
        return static_cast<std::int32_t>(canvas->TypeFields[BackBufferField]);
    case CanvasAttrCursor:
        return static_cast<std::int32_t>(StateOf(canvas) & CursorNumberMask);
    case CanvasAttrConfine:
        return library.Confining == canvas->Handle ? 1 : 0;
    case CanvasAttrCustomCursor:
        return 0;
    default:
        return SnapshotAttribute(canvas, attribute);
    }
}

bool ResizeCanvas(GadgetRecord* canvas, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height);

constexpr GadgetType CanvasType = {CanvasTypeNumber, nullptr,         FreeCanvas,
                                   nullptr,          CanvasAttribute, ResizeCanvas};

void RegisterCanvasClass() {
    library.EventPool = PoolCreate(sizeof(CanvasEventData), PoolMinimum, PoolMaximum, 0);
    library.Kept = PoolAlloc(library.EventPool);
    library.Arrow = ::LoadCursorA(nullptr, IDC_ARROW);
    WNDCLASSEXA canvasClass{};
    canvasClass.cbSize = sizeof canvasClass;
    // A device context of its own: every paint gets the same one instead of
    // a cached one set up afresh (under Wine each set-up selects a font,
    // which reads the X resource files again).
    canvasClass.style = CS_DBLCLKS | CS_OWNDC;
    canvasClass.cbWndExtra = static_cast<int>(CanvasSlotCount * sizeof(LONG_PTR));
    canvasClass.lpfnWndProc = CanvasProcedure;
    canvasClass.hInstance = ProgramInstance();
    canvasClass.lpszClassName = CanvasClassName;
    ::RegisterClassExA(&canvasClass);
    library.Registered = true;
}

// A white 24-bit bottom-up DIB section of the requested size, less the
// border unless the size is the client area's, and at least 1 x 1; null
// when it cannot be made.
HBITMAP MakeBackBuffer(std::int32_t width, std::int32_t height, std::uint32_t flags) {
    // In 64 bits: any requested size less the border stays representable.
    std::int64_t wide = width;
    std::int64_t high = height;
    if ((flags & CanvasFlagBorder) != 0 && (flags & CanvasFlagClientSize) == 0) {
        wide -= BorderShrink;
        high -= BorderShrink;
    }
    width = static_cast<std::int32_t>(std::max<std::int64_t>(wide, 1));
    height = static_cast<std::int32_t>(std::max<std::int64_t>(high, 1));
    const win32::MemoryDC memory(nullptr);
    if (!memory) {
        return nullptr;
    }
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP buffer = ::CreateDIBSection(memory.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (buffer != nullptr) {
        const win32::SelectedObject selected(memory.get(), buffer);
        const RECT all{0, 0, width, height};
        ::FillRect(memory.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    return buffer;
}

// Whether the stop step may paint just the areas that the drawing noted:
// it noted some, and no focus frame is to be drawn over the picture.
bool PaintsDrawnAreasOnly(const GadgetRecord* canvas, const DrawingContext* context) {
    return context->DrawnAreaCount > 0 && BackBufferOf(canvas) == context->OutputImage &&
           !((FlagsOf(canvas) & CanvasFlagFocusFrame) != 0 && ::GetFocus() == canvas->Handle);
}

// Copies the noted areas from the canvas's memory device context, which
// holds the back buffer.
void PaintDrawnAreas(const GadgetRecord* canvas, const DrawingContext* context) {
    HDC target = ::GetDC(canvas->Handle);
    if (target == nullptr) {
        return;
    }
    HDC source = reinterpret_cast<HDC>(context->OutputDeviceContext);
    for (std::int32_t i = 0; i < context->DrawnAreaCount; ++i) {
        const DrawnArea& area = context->DrawnAreas[i];
        ::BitBlt(target, area.X, area.Y, area.Width, area.Height, source, area.X, area.Y, SRCCOPY);
    }
    ::ReleaseDC(canvas->Handle, target);
}

// The stop step: restores the batch limit and, when drawing finished, shows
// at once what was drawn: just the noted areas, or the whole picture. The
// memory device context stays the canvas's.
void ReleaseCanvasOutput(DrawingContext* context, std::int32_t finished) {
    ::GdiSetBatchLimit(context->SavedBatchLimit);
    const GadgetRecord* canvas = finished != 0 ? FindGadget(context->OutputGadget) : nullptr;
    if (canvas == nullptr) {
        return;
    }
    if (PaintsDrawnAreasOnly(canvas, context)) {
        PaintDrawnAreas(canvas, context);
        return;
    }
    Paint(canvas->Handle, canvas, nullptr);
}

// Gives a canvas made at (x, y) with the outer size width x height the
// client area of that size instead, when its flags ask for it: the border
// is measured as the platform drew it and added.
void FitClientArea(HWND window, std::uint32_t flags, std::int32_t x, std::int32_t y,
                   std::int32_t width, std::int32_t height) {
    if ((flags & CanvasFlagClientSize) == 0) {
        return;
    }
    RECT client;
    ::GetClientRect(window, &client);
    const LONG extraWidth = width - client.right;
    const LONG extraHeight = height - client.bottom;
    if (extraWidth != 0 || extraHeight != 0) {
        ::SetWindowPos(window, nullptr, x, y, width + extraWidth, height + extraHeight,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool ResizeCanvas(GadgetRecord* canvas, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height) {
    const std::uint32_t flags = FlagsOf(canvas);
    if (!::SetWindowPos(canvas->Handle, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE)) {
        return false;
    }
    FitClientArea(canvas->Handle, flags, x, y, width, height);
    DropBuffer(canvas);
    HBITMAP buffer = MakeBackBuffer(width, height, flags);
    canvas->TypeFields[BackBufferField] = reinterpret_cast<std::intptr_t>(buffer);
    HoldBuffer(canvas->Handle, buffer);
    ::RedrawWindow(canvas->Handle, nullptr, nullptr, RDW_INVALIDATE);
    return true;
}

} // namespace

std::intptr_t CanvasGadget(std::int32_t number, std::int32_t x, std::int32_t y, std::int32_t width,
                           std::int32_t height, std::uint32_t flags) {
    if (!library.Registered) {
        RegisterCanvasClass();
    }
    const DWORD extendedStyle = (flags & CanvasFlagBorder) != 0 ? WS_EX_CLIENTEDGE : 0;
    DWORD style = WS_CHILD | WS_VISIBLE;
    if ((flags & CanvasFlagKeyboard) != 0) {
        style |= WS_GROUP | WS_TABSTOP;
    }
    HWND window =
        CreateGadgetWindow(extendedStyle, CanvasClassName, "", style, x, y, width, height);
    if (window == nullptr) {
        return 0;
    }
    FitClientArea(window, flags, x, y, width, height);
    const RegistryObject object = TakeGadgetRecord(number, window);
    if (object.Storage == nullptr) {
        return 0;
    }
    auto* canvas = static_cast<GadgetRecord*>(object.Storage);
    ::SetPropA(window, CanvasRecordProperty, canvas);
    SetSlot(window, RecordSlot, reinterpret_cast<LONG_PTR>(canvas));
    canvas->TypeFields[FlagsField] = flags;
    canvas->TypeFields[StateField] = 0;
    canvas->TypeFields[CursorField] = reinterpret_cast<std::intptr_t>(library.Arrow);
    HBITMAP buffer = MakeBackBuffer(width, height, flags);
    canvas->TypeFields[BackBufferField] = reinterpret_cast<std::intptr_t>(buffer);
    SetSlot(window, MemorySlot, reinterpret_cast<LONG_PTR>(::CreateCompatibleDC(nullptr)));
    HoldBuffer(window, buffer);
    return RegisterGadget(number, object, window, &CanvasType);
}

DrawingContext* CanvasOutput(std::int32_t number) {
    const GadgetRecord* canvas = FindGadget(number);
    if (canvas == nullptr || canvas->Type->TypeNumber != CanvasTypeNumber ||
        BackBufferOf(canvas) == nullptr) {
        return nullptr;
    }
    HBITMAP buffer = BackBufferOf(canvas);
    DIBSECTION section{};
    if (::GetObjectA(buffer, sizeof section, &section) != sizeof section ||
        section.dsBm.bmBits == nullptr) {
        return nullptr;
    }
    HDC memory = MemoryOf(canvas->Handle);
    if (memory == nullptr) {
        return nullptr;
    }
    DrawingContext* context = CreateDrawingContext(PixelFormat24Bits);
    if (context == nullptr) {
        return nullptr;
    }
    context->OutputDeviceContext = reinterpret_cast<std::intptr_t>(memory);
    context->OutputImage = buffer;
    context->OutputGadget = number;
    context->SavedBatchLimit = ::GdiGetBatchLimit();
    context->Buffer = static_cast<std::uint8_t*>(section.dsBm.bmBits);
    context->Width = section.dsBm.bmWidth;
    context->Height = section.dsBm.bmHeight;
    context->BitsPerPixel = 24;
    context->Pitch = RowPitch(context->Width, 24);
    context->Operations.ReleaseOutput = ReleaseCanvasOutput;
    ::GdiSetBatchLimit(1);
    return context;
}

const ElementPool* CanvasEventPool() {
    return library.EventPool;
}

} // namespace rook
