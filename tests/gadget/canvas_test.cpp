// The canvas under Wine: real windows, real input where the platform's own
// state matters (buttons, capture, the pointer's position), posted messages
// where only the canvas's answer does.

#include "gadget/canvas.h"

#include "drawing/primitives.h"
#include "gadget/check_box.h"
#include "gadget/gadget.h"
#include "support/toolkit_test.h"
#include "window/event_state.h"
#include "window/window_procedure.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <initializer_list>

namespace {

using namespace rook;
using testsupport::EventRow;
using testsupport::SameEvents;
using testsupport::TakeEvents;
using testsupport::ToolkitTest;
using testsupport::WithCodes;

constexpr Colour Red = RGB(255, 0, 0);
constexpr COLORREF RedPixel = 0x0000FF; // COLORREF order: red in the low byte

// A canvas event row of canvas 0 in window 0.
EventRow Canvas(std::int32_t type) {
    return {EventGadgetAction, 0, 0, type};
}

void SendMouse(DWORD flags, DWORD data = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    ::SendInput(1, &input, sizeof input);
}

// Moves the pointer as the user would, to a point of a window's client
// area, and lets the system settle (Wine echoes a move as a second
// movement message at the same spot).
void MovePointerTo(HWND window, int x, int y) {
    POINT point{x, y};
    ::ClientToScreen(window, &point);
    // Absolute input runs from 0 to 65535 across the screen; round up so
    // that the platform's scaling lands on the very pixel.
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = (point.x * 65536 + width - 1) / width;
    input.mi.dy = (point.y * 65536 + height - 1) / height;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof input);
}

void MovePointerAndSettle(HWND window, int x, int y) {
    MovePointerTo(window, x, y);
    testsupport::TakeEventsUntilQuiet();
    POINT expected{x, y};
    ::ClientToScreen(window, &expected);
    POINT now{};
    ::GetCursorPos(&now);
    EXPECT_EQ(now.x, expected.x);
    EXPECT_EQ(now.y, expected.y);
}

// Sets the keys down as the thread's key state, as input would.
void HoldKeys(std::initializer_list<int> keys) {
    BYTE state[256] = {};
    for (int key : keys) {
        state[key] = 0x80;
    }
    ::SetKeyboardState(state);
}

bool CursorIsFree() {
    RECT clip{};
    ::GetClipCursor(&clip);
    return clip.left == 0 && clip.top == 0 && clip.right == ::GetSystemMetrics(SM_CXSCREEN) &&
           clip.bottom == ::GetSystemMetrics(SM_CYSCREEN);
}

COLORREF ScreenPixel(HWND window, int x, int y) {
    HDC dc = ::GetDC(window);
    const COLORREF pixel = ::GetPixel(dc, x, y);
    ::ReleaseDC(window, dc);
    return pixel;
}

class CanvasTest : public ToolkitTest {
protected:
    void SetUp() override {
        window_ = OpenMainWindow();
        canvas_ = reinterpret_cast<HWND>(CanvasGadget(0, 0, 20, 512, 384, 3));
        ASSERT_NE(canvas_, nullptr);
        ::SetForegroundWindow(window_);
        // The pointer rests over the canvas, so that it counts as inside.
        MovePointerAndSettle(canvas_, 200, 150);
        Settle();
    }

    void TearDown() override {
        ::ClipCursor(nullptr);
        ToolkitTest::TearDown();
    }

    // Canvas events from real input, once the system has been quiet a while
    // (leave notifications come from a timer).
    static std::vector<EventRow> CanvasEvents(int quietMilliseconds = 250) {
        return WithCodes(testsupport::TakeEventsUntilQuiet(quietMilliseconds), {EventGadgetAction});
    }

    // The button events of real input. Taking or releasing the capture makes
    // the system send a movement message of its own, so moves are left out.
    static std::vector<EventRow> ButtonEvents() {
        std::vector<EventRow> events;
        for (const EventRow& row : CanvasEvents()) {
            if (row.Type != PointerMove) {
                events.push_back(row);
            }
        }
        return events;
    }

    // Takes events, reading an attribute of canvas 0 as each canvas event
    // of the type is delivered.
    static std::vector<std::int32_t> AttributeAtEvents(std::int32_t attribute, std::int32_t type) {
        std::vector<std::int32_t> values;
        testsupport::TakeEvents(testsupport::BareMessages::Skip, [&](const EventRow& row) {
            if (row.Code == EventGadgetAction && row.Type == type) {
                values.push_back(GetGadgetAttribute(0, attribute));
            }
        });
        return values;
    }

    HWND window_ = nullptr;
    HWND canvas_ = nullptr;
};

TEST_F(CanvasTest, HasABorderedClientAndAWhiteBufferTheSameSize) {
    RECT client{};
    ::GetClientRect(canvas_, &client);
    EXPECT_EQ(client.right, 508);
    EXPECT_EQ(client.bottom, 380);
    RECT outer{};
    ::GetWindowRect(canvas_, &outer);
    EXPECT_EQ(outer.right - outer.left, 512);
    EXPECT_EQ(outer.bottom - outer.top, 384);
    EXPECT_NE(::GetWindowLongPtrA(canvas_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    const auto buffer = reinterpret_cast<HBITMAP>(
        static_cast<std::intptr_t>(GetGadgetAttribute(0, CanvasAttrImage)));
    DIBSECTION section{};
    ASSERT_EQ(::GetObjectA(buffer, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmWidth, 508);
    EXPECT_EQ(section.dsBm.bmHeight, 380);
    EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
    EXPECT_EQ(section.dsBmih.biHeight, 380) << "bottom-up";
    const auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    EXPECT_EQ(bits[0], 255);
    EXPECT_EQ(bits[RowPitch(508, 24) * 380 - 1], 255);
    EXPECT_EQ(ScreenPixel(canvas_, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetGadgetState(0), 0);
    EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrCursor), 0);
    EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrCustomCursor), 0);
    EXPECT_EQ(GetGadgetAttribute(0, 12), 0);
}

// A buffer's size, read from the canvas.
SIZE BufferSizeOf(std::int32_t canvas) {
    const auto buffer = reinterpret_cast<HBITMAP>(
        static_cast<std::intptr_t>(GetGadgetAttribute(canvas, CanvasAttrImage)));
    BITMAP bitmap{};
    ::GetObjectA(buffer, sizeof bitmap, &bitmap);
    return {bitmap.bmWidth, bitmap.bmHeight};
}

// With CanvasFlagClientSize the sizes given are the client area's and the
// buffer's, at creation and after ResizeGadget, the border outside them;
// without it a resize reads the size as the outer one, as creation does.
TEST_F(CanvasTest, ClientSizedCanvasesAndResizing) {
    struct Case {
        std::uint32_t Flags;
        std::int32_t Width, Height;
        std::int32_t ClientWidth, ClientHeight, OuterWidth, OuterHeight;
    };
    const Case cases[] = {
        {CanvasFlagBorder | CanvasFlagClientSize, 512, 384, 512, 384, 516, 388},
        {CanvasFlagBorder | CanvasFlagClientSize, 256, 192, 256, 192, 260, 196},
        {CanvasFlagBorder | CanvasFlagClientSize, 1024, 768, 1024, 768, 1028, 772},
        {CanvasFlagClientSize, 300, 200, 300, 200, 300, 200},
        {CanvasFlagBorder, 516, 388, 512, 384, 516, 388},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "flags " << c.Flags << ", " << c.Width << " x " << c.Height);
        for (bool resized : {false, true}) {
            HWND canvas =
                resized
                    ? reinterpret_cast<HWND>(CanvasGadget(6, 600, 20, 40, 30, c.Flags))
                    : reinterpret_cast<HWND>(CanvasGadget(6, 600, 20, c.Width, c.Height, c.Flags));
            ASSERT_NE(canvas, nullptr);
            if (resized) {
                ASSERT_TRUE(ResizeGadget(6, 5, 25, c.Width, c.Height));
            }
            RECT client{};
            ::GetClientRect(canvas, &client);
            RECT outer{};
            ::GetWindowRect(canvas, &outer);
            EXPECT_EQ(client.right, c.ClientWidth) << (resized ? "resized" : "made");
            EXPECT_EQ(client.bottom, c.ClientHeight);
            EXPECT_EQ(outer.right - outer.left, c.OuterWidth);
            EXPECT_EQ(outer.bottom - outer.top, c.OuterHeight);
            const SIZE buffer = BufferSizeOf(6);
            EXPECT_EQ(buffer.cx, c.ClientWidth);
            EXPECT_EQ(buffer.cy, c.ClientHeight);
            if (resized) {
                POINT corner{0, 0};
                ::MapWindowPoints(canvas, window_, &corner, 1);
                EXPECT_EQ(corner.x, 5 + (c.OuterWidth - c.ClientWidth) / 2) << "moved";
            }
        }
    }
    EXPECT_FALSE(ResizeGadget(77, 0, 0, 10, 10)) << "no such gadget";
}

TEST_F(CanvasTest, ATinyBorderedCanvasGetsAOneByOneBuffer) {
    // The smallest sizes less the border must not wrap round to huge ones.
    for (const std::int32_t size : {3, 0, -5, INT_MIN, INT_MIN + 3}) {
        CanvasGadget(5, 600, 20, size, size, CanvasFlagBorder);
        const auto buffer = reinterpret_cast<HBITMAP>(
            static_cast<std::intptr_t>(GetGadgetAttribute(5, CanvasAttrImage)));
        BITMAP bitmap{};
        ASSERT_NE(::GetObjectA(buffer, sizeof bitmap, &bitmap), 0) << size;
        EXPECT_EQ(bitmap.bmWidth, 1) << size;
        EXPECT_EQ(bitmap.bmHeight, 1) << size;
    }
}

TEST_F(CanvasTest, EnterThenMovesThenLeaveThenEnterAgain) {
    const std::pair<UINT, std::int32_t> steps[] = {
        {WM_MOUSELEAVE, PointerLeave}, {WM_MOUSEMOVE, PointerEnter},  {WM_MOUSEMOVE, PointerMove},
        {WM_MOUSEMOVE, PointerMove},   {WM_MOUSELEAVE, PointerLeave}, {WM_MOUSEMOVE, PointerEnter},
    };
    for (const auto& [message, type] : steps) {
        ::PostMessageA(canvas_, message, 0, 0);
        EXPECT_TRUE(SameEvents(WithCodes(TakeEvents(), {EventGadgetAction}), {Canvas(type)}))
            << "message " << std::hex << message;
    }
}

TEST_F(CanvasTest, LeavingForRealIsNoticed) {
    MovePointerTo(window_, 520, 200); // between the pictures
    const auto events = CanvasEvents(800);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), Canvas(PointerLeave));
    MovePointerTo(canvas_, 10, 10);
    const auto back = CanvasEvents();
    ASSERT_FALSE(back.empty());
    EXPECT_EQ(back.front(), Canvas(PointerEnter)) << "the first movement back enters";
}

// Dispatches Windows messages without fetching events, until the system
// has been quiet a while.
void DispatchUntilQuiet() {
    do {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageA(&message);
        }
    } while (::MsgWaitForMultipleObjects(0, nullptr, FALSE, 250, QS_ALLINPUT) == WAIT_OBJECT_0);
}

// Takes events, noting the pointer position of each PointerMove of canvas 0.
std::vector<std::pair<std::int32_t, std::int32_t>> MovePositions() {
    std::vector<std::pair<std::int32_t, std::int32_t>> positions;
    testsupport::TakeEvents(testsupport::BareMessages::Skip, [&](const EventRow& row) {
        if (row == Canvas(PointerMove)) {
            positions.emplace_back(GetGadgetAttribute(0, CanvasAttrPointerX),
                                   GetGadgetAttribute(0, CanvasAttrPointerY));
        }
    });
    return positions;
}

TEST_F(CanvasTest, PointerPositionIsInClientPixels) {
    using Position = std::pair<std::int32_t, std::int32_t>;
    std::vector<Position> visited{{200, 150}}; // where the fixture left the pointer
    for (const Position& target : {Position{507, 379}, Position{0, 0}, Position{31, 23}}) {
        // Wine may deliver a late echo of an earlier movement after this one;
        // the pointer is then moved away and back, as a user would. Every
        // position reported is one the pointer was really moved to, and the
        // last one is the target.
        std::vector<Position> positions;
        for (int attempt = 0; attempt < 4; ++attempt) {
            if (attempt > 0) {
                MovePointerTo(canvas_, 100, 100); // a fresh movement towards the target
                visited.emplace_back(100, 100);
            }
            MovePointerTo(canvas_, target.first, target.second);
            DispatchUntilQuiet();
            const auto taken = MovePositions();
            positions.insert(positions.end(), taken.begin(), taken.end());
            if (!positions.empty() && positions.back() == target) {
                break;
            }
        }
        visited.push_back(target);
        for (const Position& position : positions) {
            EXPECT_NE(std::find(visited.begin(), visited.end(), position), visited.end())
                << position.first << "," << position.second;
        }
        ASSERT_FALSE(positions.empty());
        EXPECT_EQ(positions.back(), target);
    }
}

TEST_F(CanvasTest, MovesMergedBeforeTheApplicationFetchesCarryTheFirstPosition) {
    // Movements are dispatched before the application fetches an event, as
    // when it is busy, and each dispatched movement's position is noted.
    // (The platform itself merges moves that wait in its queue, so each is
    // dispatched before the next is made.)
    std::vector<POINT> dispatched;
    const auto dispatch = [&] {
        do {
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.hwnd == canvas_ && message.message == WM_MOUSEMOVE) {
                    POINT client = message.pt;
                    ::ScreenToClient(canvas_, &client);
                    dispatched.push_back(client);
                }
                ::DispatchMessageA(&message);
            }
        } while (::MsgWaitForMultipleObjects(0, nullptr, FALSE, 250, QS_ALLINPUT) == WAIT_OBJECT_0);
    };
    MovePointerTo(canvas_, 40, 30);
    dispatch();
    MovePointerTo(canvas_, 300, 200);
    dispatch();
    ASSERT_GE(dispatched.size(), 2u);
    // Wine may echo earlier positions late, so the order of the dispatched
    // moves is its own; the pointer did reach its last spot.
    ASSERT_TRUE(std::any_of(dispatched.begin(), dispatched.end(),
                            [](POINT p) { return p.x == 300 && p.y == 200; }));
    EXPECT_EQ(WaitWindowEvent(), EventGadgetAction);
    EXPECT_EQ(EventType(), PointerMove);
    EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrPointerX), dispatched.front().x);
    EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrPointerY), dispatched.front().y);
}

TEST_F(CanvasTest, ADoubleClickGivesSixEventsInOrder) {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(SameEvents(ButtonEvents(),
                           {Canvas(LeftPress), Canvas(ClickLeft), Canvas(LeftRelease),
                            Canvas(LeftPress), Canvas(DoubleClickLeft), Canvas(LeftRelease)}));
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_TRUE(CursorIsFree());
}

TEST_F(CanvasTest, TheFirstButtonCapturesAndConfinesUntilTheLastIsReleased) {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(SameEvents(ButtonEvents(), {Canvas(LeftPress), Canvas(ClickLeft)}));
    EXPECT_EQ(::GetCapture(), canvas_);
    EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrConfine), 1);
    RECT clip{};
    ::GetClipCursor(&clip);
    POINT origin{0, 0};
    ::ClientToScreen(canvas_, &origin);
    EXPECT_EQ(clip.left, origin.x);
    EXPECT_EQ(clip.top, origin.y);
    EXPECT_EQ(clip.right - clip.left, 508);
    EXPECT_EQ(clip.bottom - clip.top, 380);

    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    EXPECT_TRUE(SameEvents(ButtonEvents(), {Canvas(RightPress), Canvas(ClickRight)}));
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(SameEvents(ButtonEvents(), {Canvas(LeftRelease)}));
    EXPECT_EQ(::GetCapture(), canvas_) << "the right button is still down";
    EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrConfine), 1);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(SameEvents(ButtonEvents(), {Canvas(RightRelease)}));
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrConfine), 0);
    EXPECT_TRUE(CursorIsFree());
}

TEST_F(CanvasTest, ButtonsAndModifiersAreInTheSnapshot) {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(AttributeAtEvents(CanvasAttrButtons, LeftPress), std::vector<std::int32_t>{1});
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(AttributeAtEvents(CanvasAttrButtons, LeftRelease), std::vector<std::int32_t>{0});
    struct Case {
        std::initializer_list<int> Keys;
        std::int32_t Buttons;
        std::int32_t Modifiers;
    };
    const Case cases[] = {
        {{VK_SHIFT}, 0, ModifierShift},
        {{VK_MENU, VK_CONTROL}, 0, ModifierAlt | ModifierControl},
        {{VK_RBUTTON, VK_MBUTTON, VK_SHIFT}, ButtonRight | ButtonMiddle, ModifierShift},
        {{}, 0, 0},
    };
    for (const Case& c : cases) {
        HoldKeys(c.Keys);
        ::SendMessageA(canvas_, WM_KEYDOWN, 'M', 0);
        EXPECT_TRUE(WaitWindowEvent() == EventGadgetAction && EventType() == KeyPress);
        EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrButtons), c.Buttons);
        EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrModifiers), c.Modifiers);
    }
}

TEST_F(CanvasTest, DisablingTheConfiningCanvasFreesTheCursor) {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    CanvasEvents();
    ASSERT_EQ(GetGadgetAttribute(0, CanvasAttrConfine), 1);
    ::EnableWindow(canvas_, FALSE);
    EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrConfine), 0);
    EXPECT_TRUE(CursorIsFree());
    ::EnableWindow(canvas_, TRUE);
    SendMouse(MOUSEEVENTF_LEFTUP);
    CanvasEvents();
}

// The confinement goes with the capture and with the canvas, whatever
// ends them while the button is still held.
TEST_F(CanvasTest, ConfinementEndsWhenTheCaptureIsLostOrTheCanvasGoes) {
    struct Ending {
        const char* What;
        void (*End)(HWND canvas);
    };
    const Ending endings[] = {
        {"capture taken", [](HWND) { ::ReleaseCapture(); }},
        {"mode cancelled", [](HWND canvas) { ::SendMessageA(canvas, WM_CANCELMODE, 0, 0); }},
        {"canvas destroyed", [](HWND canvas) { ::DestroyWindow(canvas); }},
        // Last: the shut-down's window step closes every window, as after
        // Ctrl+Q pressed with the button still held.
        {"windows closed at shut-down", [](HWND) { WindowLibraryEnd(); }},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.What);
        canvas_ = reinterpret_cast<HWND>(CanvasGadget(0, 0, 20, 512, 384, 3));
        MovePointerAndSettle(canvas_, 200, 150);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        CanvasEvents();
        ASSERT_EQ(GetGadgetAttribute(0, CanvasAttrConfine), 1);
        ASSERT_FALSE(CursorIsFree());
        ending.End(canvas_);
        EXPECT_TRUE(CursorIsFree());
        EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrConfine), 0);
        SendMouse(MOUSEEVENTF_LEFTUP);
        CanvasEvents();
    }
}

TEST_F(CanvasTest, WheelNotchesTruncateTowardsZero) {
    for (const auto& [delta, notches] : {std::pair{240, 2}, {-120, -1}, {60, 0}, {-60, 0}}) {
        ::PostMessageA(canvas_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
        EXPECT_EQ(AttributeAtEvents(CanvasAttrWheel, WheelTurn), std::vector<std::int32_t>{notches})
            << delta;
    }
}

TEST_F(CanvasTest, KeysAndCharacters) {
    ::PostMessageA(canvas_, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(AttributeAtEvents(CanvasAttrKey, KeyPress), std::vector<std::int32_t>{'A'});
    ::PostMessageA(canvas_, WM_KEYUP, 'A', 0);
    EXPECT_EQ(AttributeAtEvents(CanvasAttrKey, KeyRelease), std::vector<std::int32_t>{'A'});
    ::PostMessageA(canvas_, WM_CHAR, 13, 0);
    EXPECT_TRUE(AttributeAtEvents(CanvasAttrInput, CharInput).empty()) << "control characters";
    ::PostMessageA(canvas_, WM_CHAR, 65, 0);
    EXPECT_EQ(AttributeAtEvents(CanvasAttrInput, CharInput), std::vector<std::int32_t>{65});
    ::PostMessageA(canvas_, WM_CHAR, 0x1E9, 0);
    EXPECT_EQ(AttributeAtEvents(CanvasAttrInput, CharInput), std::vector<std::int32_t>{0xE9})
        << "low byte";
}

TEST_F(CanvasTest, EventAttributesAnswerOnlyForThisCanvasesOwnEvent) {
    CanvasGadget(1, 530, 20, 512, 384, 3);
    ::PostMessageA(canvas_, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(WaitWindowEvent(), WM_MOUSEMOVE);
    EXPECT_EQ(WaitWindowEvent(), EventGadgetAction);
    EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrPointerX), 200);
    EXPECT_EQ(GetGadgetAttribute(1, CanvasAttrPointerX), 0) << "another gadget's event";
    ::PostMessageA(window_, WM_COMMAND, 2, 0);
    EXPECT_EQ(WaitWindowEvent(), EventMenuAction);
    EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrPointerX), 0) << "a menu event";
    EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrPointerY), 0);
}

TEST_F(CanvasTest, KeyboardCanvasTakesTheFocusOnAClickWithoutActivating) {
    HWND keyboard = reinterpret_cast<HWND>(
        CanvasGadget(6, 530, 20, 100, 100, CanvasFlagKeyboard | CanvasFlagFocusFrame));
    EXPECT_NE(::GetWindowLongPtrA(keyboard, GWL_STYLE) & WS_TABSTOP, 0);
    EXPECT_EQ(::SendMessageA(keyboard, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(window_),
                             MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    EXPECT_EQ(::GetFocus(), keyboard);
    const auto events = WithCodes(TakeEvents(), {EventGadgetAction});
    EXPECT_TRUE(SameEvents(events, {{EventGadgetAction, 6, 0, FocusGain}}));
    EXPECT_EQ(::SendMessageA(canvas_, WM_SETCURSOR, reinterpret_cast<WPARAM>(canvas_), 0), 1);
}

TEST_F(CanvasTest, StoppingTheDrawingShowsThePictureAtOnce) {
    DrawingContext* context = CanvasOutput(0);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->Width, 508);
    EXPECT_EQ(context->Height, 380);
    EXPECT_EQ(context->BitsPerPixel, 24);
    EXPECT_EQ(context->Pitch, RowPitch(508, 24));
    EXPECT_EQ(::GdiGetBatchLimit(), 1u);
    EXPECT_NE(StartDrawing(context), 0);
    Box(10, 10, 20, 20, Red);
    Box(500, 370, 20, 20, Red); // partly beyond the buffer
    StopDrawing();
    // No message has been dispatched since: the picture is on screen already.
    EXPECT_EQ(ScreenPixel(canvas_, 15, 15), RedPixel);
    EXPECT_EQ(ScreenPixel(canvas_, 507, 379), RedPixel);
    EXPECT_EQ(ScreenPixel(canvas_, 9, 9), RGB(255, 255, 255));
    StopDrawing(); // harmless
}

TEST_F(CanvasTest, AFailingStartReleasesTheOutputWithoutPainting) {
    DrawingContext* context = CanvasOutput(0);
    ASSERT_NE(context, nullptr);
    std::uint8_t* pixels = context->Buffer;
    pixels[0] = 0; // bottom-left pixel blue byte: drawn behind the context's back
    context->Buffer = nullptr;
    EXPECT_EQ(StartDrawing(context), 0);
    EXPECT_EQ(CurrentDrawingContext(), nullptr);
    EXPECT_EQ(ScreenPixel(canvas_, 0, 379), RGB(255, 255, 255)) << "not painted";
}

TEST_F(CanvasTest, OutputOnlyForCanvases) {
    CheckBoxGadget(2, 0, 0, 100, 20, "box");
    for (std::int32_t number : {2, 7, -1, -2, INT_MAX}) {
        EXPECT_EQ(CanvasOutput(number), nullptr) << number;
        EXPECT_EQ(CurrentDrawingContext(), nullptr);
    }
}

TEST_F(CanvasTest, EventsOfAFreedCanvasNeverArrive) {
    ::SendMessageA(canvas_, WM_MOUSEMOVE, 0, 0);
    ::SendMessageA(canvas_, WM_KEYDOWN, 'Q', 0);
    ::DestroyWindow(canvas_);
    EXPECT_TRUE(WithCodes(TakeEvents(), {EventGadgetAction}).empty());
    EXPECT_EQ(GetGadgetAttribute(0, CanvasAttrImage), 0);
}

TEST_F(CanvasTest, ManyPointerMovesLeaveTheSnapshotPoolAsItWas) {
    const std::int32_t total = CanvasEventPool()->Total;
    // Moves and key presses take turns, so that none merges: every one is
    // queued with its snapshot.
    for (int i = 0; i < 100000; ++i) {
        ::SendMessageA(canvas_, (i & 1) != 0 ? WM_MOUSEMOVE : WM_KEYDOWN, 'K', 0);
    }
    EXPECT_GT(CanvasEventPool()->Total, total);
    Settle();
    ::PostMessageA(window_, WM_NULL, 0, 0);
    TakeEvents(); // the last event's snapshot goes at the next wait
    EXPECT_EQ(CanvasEventPool()->Total, total);
}

} // namespace
