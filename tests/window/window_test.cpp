#include "window/window.h"

#include "gadget/check_box.h"
#include "support/event_recorder.h"
#include "support/toolkit_test.h"
#include "window/event_state.h"
#include "window/gadget_list.h"

#include <algorithm>
#include <climits>
#include <string>

namespace {

using namespace rook;
using testsupport::ToolkitTest;

std::string ClassNameOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TitleOf(HWND window) {
    char title[128] = {};
    ::GetWindowTextA(window, title, sizeof title);
    return title;
}

SIZE ClientSize(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

using WindowTest = ToolkitTest;

TEST_F(WindowTest, MainWindowHasItsClientSizePositionClassAndNumber) {
    HWND window = OpenMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowID(0), window);
    EXPECT_TRUE(::IsWindowVisible(window));
    const SIZE client = ClientSize(window);
    const inkswap::Placement& asked = inkswap::MainWindowPlacement;
    EXPECT_EQ(client.cx, asked.Width);
    EXPECT_EQ(client.cy, asked.Height);
    RECT outer{};
    ::GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, asked.X);
    EXPECT_EQ(outer.top, asked.Y);
    EXPECT_EQ(ClassNameOf(window), "WindowClass_0");
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(::GetPropA(window, WindowIdProperty)), 1);
    EXPECT_EQ(TitleOf(window), "New window ( 0 )");
    const LONG_PTR style = ::GetWindowLongPtrA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME),
              WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);

    WNDCLASSA windowClass{};
    ASSERT_TRUE(::GetClassInfoA(ProgramInstance(), "WindowClass_0", &windowClass));
    EXPECT_EQ(windowClass.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(windowClass.hbrBackground,
              reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
    EXPECT_EQ(windowClass.hCursor, ::LoadCursorA(nullptr, IDC_ARROW));
}

// ResizeWindow gives the client size OpenWindow would (a menu bar's height
// taken out of it), keeps the corner where the work area allows, and tells
// whether a size fits.
TEST_F(WindowTest, ResizingGivesTheClientSizeAndStaysOnTheWorkArea) {
    HWND window = OpenMainWindow();
    ASSERT_NE(window, nullptr);
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    struct Case {
        std::int32_t Width, Height;
    };
    for (const Case& c : {Case{600, 400}, Case{1073, 510}, Case{1200, 800}}) {
        ASSERT_TRUE(ResizeWindow(0, c.Width, c.Height));
        const SIZE client = ClientSize(window);
        EXPECT_EQ(client.cx, c.Width);
        EXPECT_EQ(client.cy, c.Height);
        RECT outer{};
        ::GetWindowRect(window, &outer);
        EXPECT_EQ(outer.left, std::min<LONG>(381, work.right - (outer.right - outer.left)));
        EXPECT_GE(outer.left, work.left);
        EXPECT_LE(outer.right, work.right);
        EXPECT_LE(outer.bottom, work.bottom);
    }
    const LONG workWidth = work.right - work.left;
    const LONG workHeight = work.bottom - work.top;
    EXPECT_TRUE(WindowSizeFits(0, 600, 400));
    EXPECT_FALSE(WindowSizeFits(0, workWidth, 400)) << "the frame makes it wider";
    EXPECT_FALSE(WindowSizeFits(0, 600, workHeight));
    EXPECT_FALSE(ResizeWindow(5, 100, 100)) << "no such window";
    EXPECT_FALSE(WindowSizeFits(5, 1, 1));
}

// A window moved to a monitor of another DPI takes the rectangle Windows
// suggests, and the application hears the new DPI.
TEST_F(WindowTest, ADpiChangeTakesTheSuggestedRectangleAndTellsTheDpi) {
    HWND window = OpenMainWindow();
    ASSERT_NE(window, nullptr);
    RECT suggested{100, 80, 100 + 900, 80 + 600};
    ::SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&suggested));
    RECT now{};
    ::GetWindowRect(window, &now);
    EXPECT_EQ(now.left, 100);
    EXPECT_EQ(now.top, 80);
    EXPECT_EQ(now.right - now.left, 900);
    EXPECT_EQ(now.bottom - now.top, 600);
    std::int32_t dpi = 0;
    testsupport::TakeEvents(testsupport::BareMessages::Skip, [&](const testsupport::EventRow& row) {
        if (row.Code == EventWindowDpiChanged) {
            dpi = EventDpi();
        }
    });
    EXPECT_EQ(dpi, 144);
}

TEST_F(WindowTest, EveryWindowStartsWithTheTabShortcuts) {
    OpenMainWindow();
    const WindowRecord* record = FindWindowRecord(0);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->ShortcutCount, 2);
    EXPECT_EQ(record->Shortcuts[0].fVirt, FVIRTKEY | FNOINVERT);
    EXPECT_EQ(record->Shortcuts[0].key, VK_TAB);
    EXPECT_EQ(record->Shortcuts[0].cmd, FocusNextCommand);
    EXPECT_EQ(record->Shortcuts[1].fVirt, FVIRTKEY | FNOINVERT | FSHIFT);
    EXPECT_EQ(record->Shortcuts[1].key, VK_TAB);
    EXPECT_EQ(record->Shortcuts[1].cmd, FocusPreviousCommand);
    ACCEL copy[4] = {};
    EXPECT_EQ(::CopyAcceleratorTableA(record->Accelerators, copy, 4), 2);
    EXPECT_EQ(record->MinimisedOrMaximised, 0u);
}

TEST_F(WindowTest, FlagsBecomeStylesAndPlacements) {
    HWND plain = reinterpret_cast<HWND>(OpenWindow(1, 10, 10, 200, 100, "plain", 0));
    EXPECT_EQ(::GetWindowLongPtrA(plain, GWL_STYLE) & WS_CAPTION, WS_CAPTION) << "caption added";

    HWND tool = reinterpret_cast<HWND>(
        OpenWindow(2, 10, 10, 200, 100, "tool", WindowTool | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_NE(::GetWindowLongPtrA(tool, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    EXPECT_EQ(::GetWindowLongPtrA(tool, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(::GetWindowLongPtrA(tool, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    MINMAXINFO limits{};
    limits.ptMinTrackSize.x = 100;
    ::SendMessageA(tool, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 1) << "a tool window may be made narrow";

    HWND hidden =
        reinterpret_cast<HWND>(OpenWindow(3, 10, 10, 200, 100, "hidden", WindowInvisible));
    EXPECT_NE(hidden, nullptr);
    EXPECT_FALSE(::IsWindowVisible(hidden));
    EXPECT_EQ(::GetWindowLongPtrA(hidden, GWL_STYLE) & WindowInvisible, 0)
        << "the toolkit's flags never reach Windows";
}

TEST_F(WindowTest, MaximisedAndMinimisedStylesShowTheWindowSo) {
    HWND big = reinterpret_cast<HWND>(
        OpenWindow(1, 0, 0, 200, 100, "big", WS_CAPTION | WS_SYSMENU | WS_MAXIMIZE));
    EXPECT_TRUE(::IsZoomed(big));
    EXPECT_EQ(FindWindowRecord(1)->MinimisedOrMaximised, 1u);
    HWND small = reinterpret_cast<HWND>(
        OpenWindow(2, 0, 0, 200, 100, "small", WS_CAPTION | WS_SYSMENU | WS_MINIMIZE));
    EXPECT_TRUE(::IsIconic(small));
    EXPECT_EQ(FindWindowRecord(2)->MinimisedOrMaximised, 1u);
    ::ShowWindow(small, SW_RESTORE);
    const auto events = testsupport::WithCodes(testsupport::TakeEvents(), {EventWindowRestored});
    EXPECT_TRUE(testsupport::SameEvents(events, {{EventWindowRestored, 0, 2, 0}}))
        << "a window opened minimised is restored like any other";
}

TEST_F(WindowTest, CentredWindowsAreClampedToTheScreen) {
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    HWND centred = reinterpret_cast<HWND>(OpenWindow(1, 0, 0, 300, 200, "centred", WindowCentred));
    RECT outer{};
    ::GetWindowRect(centred, &outer);
    EXPECT_EQ(outer.left, (screenWidth - (outer.right - outer.left)) / 2);
    EXPECT_EQ(outer.top, (screenHeight - (outer.bottom - outer.top)) / 2);

    HWND huge = reinterpret_cast<HWND>(
        OpenWindow(2, 0, 0, screenWidth * 2, screenHeight * 2, "huge", WindowCentred));
    ::GetWindowRect(huge, &outer);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
}

TEST_F(WindowTest, CentredOnTheParentAndNeverOffTheScreen) {
    HWND parent = reinterpret_cast<HWND>(OpenWindow(1, 300, 200, 400, 300, "parent", 0));
    HWND child = reinterpret_cast<HWND>(
        OpenWindow(2, 0, 0, 200, 150, "child", WindowCentredOnParent, parent));
    RECT parentArea{}, childArea{};
    ::GetWindowRect(parent, &parentArea);
    ::GetWindowRect(child, &childArea);
    const LONG childWidth = childArea.right - childArea.left;
    const LONG childHeight = childArea.bottom - childArea.top;
    EXPECT_EQ(childArea.left,
              parentArea.left + (parentArea.right - parentArea.left - childWidth) / 2);
    EXPECT_EQ(childArea.top,
              parentArea.top + (parentArea.bottom - parentArea.top - childHeight) / 2);

    HWND corner = reinterpret_cast<HWND>(OpenWindow(3, 0, 0, 50, 50, "corner", 0));
    ::SetWindowPos(corner, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    HWND big =
        reinterpret_cast<HWND>(OpenWindow(4, 0, 0, 600, 600, "big", WindowCentredOnParent, corner));
    ::GetWindowRect(big, &childArea);
    EXPECT_EQ(childArea.left, 0) << "negative positions are raised to 0";
    EXPECT_EQ(childArea.top, 0);
}

TEST_F(WindowTest, ReopeningANumberClosesTheOldWindowAndItsClassFirst) {
    HWND first = OpenMainWindow();
    constexpr std::int32_t Marked = 77;
    PostEvent(EventWindowMoved, 0, 0, Marked); // pending for the first window 0
    HWND second = OpenMainWindow();
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_EQ(WindowID(0), second);
    EXPECT_EQ(ClassNameOf(second), "WindowClass_0");
    for (const testsupport::EventRow& row : testsupport::TakeEvents()) {
        EXPECT_NE(row.Type, Marked) << "the first window's pending event is gone";
    }
    SetWindowTitle(0, "still works");
    EXPECT_EQ(TitleOf(second), "still works");
}

TEST_F(WindowTest, AnyNumberGivesADynamicIdentifier) {
    const std::intptr_t identifier = OpenWindow(AnyNumber, 50, 50, 120, 90, "dynamic", 0);
    ASSERT_LT(identifier, AnyNumber);
    const auto number = static_cast<std::int32_t>(identifier);
    HWND window = WindowID(number);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ClassNameOf(window), "WindowClass_" + std::to_string(number));
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(::GetPropA(window, WindowIdProperty)), number + 1);
    ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    const auto events = testsupport::WithCodes(testsupport::TakeEvents(), {EventCloseWindow});
    EXPECT_TRUE(testsupport::SameEvents(events, {{EventCloseWindow, number, number, 0}}));
    CloseWindow(number);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(WindowID(number), nullptr);
}

TEST_F(WindowTest, TitlesShowExactlyTheTextGiven) {
    HWND window = OpenMainWindow();
    SetWindowTitle(0, "x:31 y:23");
    EXPECT_EQ(TitleOf(window), "x:31 y:23");
    SetWindowTitle(0, nullptr);
    EXPECT_EQ(TitleOf(window), "x:31 y:23");
    HWND untitled = reinterpret_cast<HWND>(OpenWindow(1, 0, 0, 50, 50, nullptr, 0));
    EXPECT_EQ(TitleOf(untitled), "");
}

TEST_F(WindowTest, NumbersThatNameNoWindowDoNothing) {
    OpenMainWindow();
    for (std::int32_t number : {1, -2, -5, 1000, INT_MAX, INT_MIN}) {
        EXPECT_EQ(WindowID(number), nullptr) << number;
        SetWindowTitle(number, "nothing");
        CloseWindow(number);
    }
    EXPECT_NE(WindowID(0), nullptr);
    EXPECT_EQ(OpenWindow(-7, 0, 0, 10, 10, "bad", 0), 0);
}

TEST_F(WindowTest, ClosingAWindowRemovesItsPendingEvents) {
    OpenMainWindow();
    HWND other = reinterpret_cast<HWND>(OpenWindow(1, 0, 0, 50, 50, "other", 0));
    Settle();
    PostEvent(EventWindowMoved, 1, 1, 0);
    PostEvent(EventWindowMoved, 0, 0, 0);
    PostEvent(EventCloseWindow, 1, 1, 0);
    CloseWindow(1);
    EXPECT_FALSE(::IsWindow(other));
    WNDCLASSA windowClass{};
    EXPECT_FALSE(::GetClassInfoA(ProgramInstance(), "WindowClass_1", &windowClass));
    const auto events = testsupport::TakeEvents();
    EXPECT_TRUE(testsupport::SameEvents(testsupport::WithCodes(events, {3, 16}),
                                        {{EventWindowMoved, 0, 0, 0}}));
}

TEST_F(WindowTest, NewWindowsBecomeTheGadgetListUnlessAskedNot) {
    HWND main = OpenMainWindow();
    EXPECT_EQ(CurrentGadgetList(), main);
    OpenWindow(1, 0, 0, 50, 50, "aside", WindowNoGadgetList);
    EXPECT_EQ(CurrentGadgetList(), main);
    HWND box = reinterpret_cast<HWND>(CheckBoxGadget(0, 10, 0, 270, 20, "Correct Mode"));
    EXPECT_EQ(::GetParent(box), main);
}

} // namespace

namespace {

int colourChanges = 0;

LRESULT CALLBACK CountColourChanges(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOLORCHANGE) {
        ++colourChanges;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(WindowTest, SystemColourChangesReachEveryDescendant) {
    HWND window = OpenMainWindow();
    WNDCLASSA counting{};
    counting.lpfnWndProc = CountColourChanges;
    counting.hInstance = ProgramInstance();
    counting.lpszClassName = "CountingColourChanges";
    ::RegisterClassA(&counting);
    HWND child = ::CreateWindowExA(0, "CountingColourChanges", "", WS_CHILD, 0, 0, 10, 10, window,
                                   nullptr, ProgramInstance(), nullptr);
    ::CreateWindowExA(0, "CountingColourChanges", "", WS_CHILD, 0, 0, 5, 5, child, nullptr,
                      ProgramInstance(), nullptr);
    colourChanges = 0;
    ::SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(colourChanges, 2);
    ::DestroyWindow(child);
    ::UnregisterClassA("CountingColourChanges", ProgramInstance());
}

} // namespace
