// WaitWindowEvent and WindowProc with real windows and real messages: what
// a user's action produces, dispatched by the real loop, recorded and
// compared with tables of {code, object, window, type} rows.

#include "window/window_procedure.h"

#include "gadget/check_box.h"
#include "gadget/gadget.h"
#include "runtime/toolkit_heap.h"
#include "support/toolkit_test.h"
#include "window/event_state.h"

namespace {

using namespace rook;
using testsupport::BareMessages;
using testsupport::EventRow;
using testsupport::SameEvents;
using testsupport::TakeEvents;
using testsupport::ToolkitTest;
using testsupport::WithCodes;

constexpr std::int32_t SizeCodes[] = {EventWindowResized, EventWindowMinimised,
                                      EventWindowMaximised, EventWindowRestored};

std::vector<EventRow> SizeEvents(const std::vector<EventRow>& rows) {
    return WithCodes(rows, {SizeCodes[0], SizeCodes[1], SizeCodes[2], SizeCodes[3]});
}

class WaitWindowEventTest : public ToolkitTest {
protected:
    void SetUp() override {
        window_ = OpenMainWindow();
        ASSERT_NE(window_, nullptr);
        Settle();
    }

    HWND window_ = nullptr;
};

TEST_F(WaitWindowEventTest, ACloseBoxClickPostsCloseAndTheWindowStays) {
    ::PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    const auto events = TakeEvents(BareMessages::Keep);
    EXPECT_TRUE(SameEvents(WithCodes(events, {WM_SYSCOMMAND, EventCloseWindow}),
                           {{WM_SYSCOMMAND, 0, 0, NoEventType}, {EventCloseWindow, 0, 0, 0}}));
    EXPECT_TRUE(::IsWindow(window_));
    EXPECT_TRUE(::IsWindowVisible(window_));
    ::PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(
        SameEvents(WithCodes(TakeEvents(), {EventCloseWindow}), {{EventCloseWindow, 0, 0, 0}}))
        << "the window keeps working";
}

TEST_F(WaitWindowEventTest, TailRuleKeepsTheFirstOfEqualNeighbours) {
    int first = 1, second = 2;
    PostEvent(EventGadgetAction, 5, 0, 0x10003, &first, nullptr);
    PostEvent(EventGadgetAction, 5, 0, 0x10003, &second, nullptr);
    PostEvent(EventGadgetAction, 5, 0, 0x10004);
    PostEvent(EventGadgetAction, 5, 0, 0x10003);
    EXPECT_EQ(WaitWindowEvent(), EventGadgetAction);
    EXPECT_EQ(GetEventState().Current.Data, &first);
    EXPECT_EQ(EventType(), 0x10003);
    EXPECT_TRUE(SameEvents(
        TakeEvents(), {{EventGadgetAction, 5, 0, 0x10004}, {EventGadgetAction, 5, 0, 0x10003}}));
}

TEST_F(WaitWindowEventTest, QueuedEventsGoOutBeforeTheNextMessage) {
    ::PostMessageA(window_, WM_USER + 1, 0, 0);
    PostEvent(EventWindowMoved, 0, 0, 0);
    EXPECT_EQ(WaitWindowEvent(), EventWindowMoved);
    EXPECT_EQ(GetEventState().Current.QueuedCode, EventWindowMoved);
    EXPECT_EQ(WaitWindowEvent(), WM_USER + 1);
}

TEST_F(WaitWindowEventTest, BareMessagesAreTheirOwnNumberWithTypeMinusOne) {
    PostEvent(EventGadgetAction, 9, 0, 0);
    EXPECT_EQ(WaitWindowEvent(), EventGadgetAction);
    ::PostMessageA(window_, WM_USER + 42, 0, 0);
    EXPECT_EQ(WaitWindowEvent(), WM_USER + 42);
    EXPECT_EQ(EventType(), NoEventType);
    EXPECT_EQ(EventGadget(), 9) << "the object stays that of the previous event";
    EXPECT_EQ(EventMenu(), EventGadget());
    EXPECT_EQ(GetEventState().Current.Window, 0);
    ::PostMessageA(nullptr, WM_USER + 43, 0, 0); // a thread message reaches no window
    EXPECT_EQ(WaitWindowEvent(), WM_USER + 43);
}

TEST_F(WaitWindowEventTest, SizeKindsGiveTheirEvents) {
    struct Step {
        WPARAM Kind;
        std::vector<EventRow> Expected;
    };
    const Step steps[] = {
        {SIZE_RESTORED, {{EventWindowResized, 0, 0, 0}}},
        {SIZE_MINIMIZED, {{EventWindowMinimised, 0, 0, 0}}},
        {SIZE_RESTORED, {{EventWindowRestored, 0, 0, 0}, {EventWindowResized, 0, 0, 0}}},
        {SIZE_MAXIMIZED, {{EventWindowMaximised, 0, 0, 0}, {EventWindowResized, 0, 0, 0}}},
        {SIZE_RESTORED, {{EventWindowRestored, 0, 0, 0}, {EventWindowResized, 0, 0, 0}}},
        {SIZE_MAXSHOW, {{EventWindowResized, 0, 0, 0}}},
    };
    for (const Step& step : steps) {
        ::SendMessageA(window_, WM_SIZE, step.Kind, MAKELPARAM(100, 100));
        EXPECT_TRUE(SameEvents(SizeEvents(TakeEvents()), step.Expected)) << "kind " << step.Kind;
    }
}

TEST_F(WaitWindowEventTest, MinimisingAndRestoringTheRealWindow) {
    ::ShowWindow(window_, SW_MINIMIZE);
    EXPECT_TRUE(SameEvents(SizeEvents(TakeEvents()), {{EventWindowMinimised, 0, 0, 0}}));
    ::ShowWindow(window_, SW_RESTORE);
    EXPECT_TRUE(SameEvents(SizeEvents(TakeEvents()),
                           {{EventWindowRestored, 0, 0, 0}, {EventWindowResized, 0, 0, 0}}));
}

TEST_F(WaitWindowEventTest, MovesRepaintsAndActivationsAreQueued) {
    ::SetWindowPos(window_, nullptr, 100, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(
        SameEvents(WithCodes(TakeEvents(), {EventWindowMoved}), {{EventWindowMoved, 0, 0, 0}}));
    ::SendMessageA(window_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(::GetDC(window_)), 0);
    EXPECT_TRUE(
        SameEvents(WithCodes(TakeEvents(), {EventWindowRepaint}), {{EventWindowRepaint, 0, 0, 0}}));
    ::SendMessageA(window_, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(SameEvents(WithCodes(TakeEvents(), {EventWindowActivated}),
                           {{EventWindowActivated, 0, 0, 0}}));
}

TEST_F(WaitWindowEventTest, ActivationGivesTheFocusBackWhereItWas) {
    HWND box = reinterpret_cast<HWND>(CheckBoxGadget(3, 280, 0, 270, 20, "Grid"));
    ::SetFocus(box);
    ::SendMessageA(window_, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(::GetPropA(window_, FocusProperty), box);
    ::SetFocus(window_);
    ::SendMessageA(window_, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_EQ(::GetFocus(), box);
}

TEST_F(WaitWindowEventTest, MenuCommandsAndShortcutsAreMenuEvents) {
    ::PostMessageA(window_, WM_COMMAND, MAKEWPARAM(2, 0), 0);
    ::PostMessageA(window_, WM_COMMAND, MAKEWPARAM(2, 1), 0);
    ::PostMessageA(window_, WM_COMMAND, MAKEWPARAM(FocusNextCommand, 0), 0);
    EXPECT_TRUE(SameEvents(TakeEvents(), {{EventMenuAction, 2, 0, NoEventType},
                                          {EventMenuAction, 2, 0, NoEventType},
                                          {EventMenuAction, FocusNextCommand, 0, NoEventType}}))
        << "as a menu item, 64001 is an ordinary number";
    EXPECT_EQ(GetEventState().Current.QueuedCode, 0);
}

TEST_F(WaitWindowEventTest, TabAndShiftTabMoveTheFocusAroundTheGadgets) {
    HWND correct = reinterpret_cast<HWND>(CheckBoxGadget(2, 10, 0, 270, 20, "Correct Mode"));
    HWND grid = reinterpret_cast<HWND>(CheckBoxGadget(3, 280, 0, 270, 20, "Grid"));
    ::SetActiveWindow(window_);
    ASSERT_EQ(::GetActiveWindow(), window_);
    struct Step {
        WORD Command;
        HWND FocusBefore;
        HWND FocusAfter;
    };
    const Step steps[] = {
        {FocusNextCommand, window_, correct},  {FocusNextCommand, correct, grid},
        {FocusNextCommand, grid, correct},     {FocusPreviousCommand, correct, grid},
        {FocusPreviousCommand, grid, correct}, {FocusPreviousCommand, window_, grid},
    };
    for (const Step& step : steps) {
        ::SetFocus(step.FocusBefore);
        ::PostMessageA(window_, WM_COMMAND, MAKEWPARAM(step.Command, 1), 0);
        EXPECT_TRUE(WithCodes(TakeEvents(), {EventMenuAction}).empty()) << "no menu event";
        EXPECT_EQ(::GetFocus(), step.FocusAfter) << "command " << step.Command;
    }
}

TEST_F(WaitWindowEventTest, TheTabKeyGoesThroughTheAcceleratorTable) {
    HWND correct = reinterpret_cast<HWND>(CheckBoxGadget(2, 10, 0, 270, 20, "Correct Mode"));
    ::SetActiveWindow(window_);
    ::SetFocus(window_);
    ::PostMessageA(window_, WM_KEYDOWN, VK_TAB, 0);
    TakeEvents();
    EXPECT_EQ(::GetFocus(), correct);
}

DropRecord* HandedOverRecord() {
    auto* record = static_cast<DropRecord*>(ToolkitAllocate(sizeof(DropRecord), os::Fill::Zero));
    record->Format = 15;
    EXPECT_TRUE(HandOverDropRecord(record));
    return record;
}

TEST_F(WaitWindowEventTest, DropsAreImmediateEventsAndTheirRecordsAreFreedAtTheNextWait) {
    DropRecord* record = HandedOverRecord();
    ::PostMessageA(window_, GadgetDropMessage, 1, reinterpret_cast<LPARAM>(record));
    EXPECT_EQ(WaitWindowEvent(), EventGadgetDrop);
    EXPECT_EQ(EventGadget(), 1);
    EXPECT_EQ(EventType(), NoEventType);
    EXPECT_EQ(GetEventState().Drop, record);
    DropRecord* second = HandedOverRecord();
    ::PostMessageA(window_, WindowDropMessage, 0, reinterpret_cast<LPARAM>(second));
    EXPECT_EQ(WaitWindowEvent(), EventWindowDrop);
    EXPECT_EQ(GetEventState().Drop, second) << "the earlier record was freed";
}

// Any program may post a message under the toolkit's numbers: it is no
// event, and its lParam is never taken for a drop record.
TEST_F(WaitWindowEventTest, MessagesUnderTheToolkitsNumbersThatRaiseNoEventAreNoEvents) {
    DropRecord* record = HandedOverRecord();
    ::PostMessageA(window_, GadgetDropMessage, 1, reinterpret_cast<LPARAM>(record));
    ASSERT_EQ(WaitWindowEvent(), EventGadgetDrop);
    struct Forged {
        UINT Message;
        LPARAM Parameter;
    };
    const Forged forged[] = {
        {GadgetDropMessage, 0x1234},
        {WindowDropMessage, 0x1234},
        {GadgetDropMessage, reinterpret_cast<LPARAM>(record)}, // taken already
        {GadgetDropMessage, 0},
        {EventGadgetAction, 0},
        {EventMenuAction, 0},
        {EventWindowActivated, 0},
        {EventWindowRestored, 0},
    };
    for (const Forged& f : forged) {
        ::PostMessageA(window_, f.Message, 0, f.Parameter);
        EXPECT_EQ(WaitWindowEvent(), WM_NULL) << f.Message << " " << f.Parameter;
        EXPECT_EQ(GetEventState().Drop, nullptr) << f.Message;
    }
    EXPECT_TRUE(EventQueueEmpty());
}

TEST_F(WaitWindowEventTest, RecordsHandedOverAndNeverTakenAreFreedAtShutDown) {
    const auto address = reinterpret_cast<std::uintptr_t>(HandedOverRecord());
    FreeHandedOverDropRecords(); // as the window library's end step does
    EXPECT_EQ(TakeHandedOverDropRecord(address), nullptr) << "no longer a record";
}

TEST_F(WaitWindowEventTest, WindowsThatAreNotTheToolkitsTakeTheDefaultPath) {
    HWND plain = ::CreateWindowExA(0, "STATIC", "plain", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                   nullptr, ProgramInstance(), nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(WindowProc(plain, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(WindowProc(plain, WM_MOVE, 0, 0), 0);
    EXPECT_EQ(WindowProc(plain, WM_SIZE, SIZE_RESTORED, 0), 1);
    EXPECT_EQ(WindowProc(plain, WM_USER, 0, 0), NotHandled);
    EXPECT_TRUE(EventQueueEmpty()) << "no move, size or close events for it";
    ::DestroyWindow(plain);
}

} // namespace
