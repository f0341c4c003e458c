// Window timers with real windows and the real event loop: the events a
// timer gives, compared with tables of {code, object, window, type} rows;
// a removed timer and a closed window's timers give no more.

#include "window/window_timer.h"

#include "support/toolkit_test.h"
#include "window/event_state.h"
#include "window/window.h"
#include "window/window_procedure.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using namespace rook;
using testsupport::EventRow;
using testsupport::SameEvents;
using testsupport::TakeEvents;
using testsupport::ToolkitTest;
using testsupport::WithCodes;

// The timer events that arrive within the time, fetched as a busy program
// fetches them: now and then.
std::vector<EventRow> TimerEventsWithin(int milliseconds) {
    std::vector<EventRow> events;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (const EventRow& row : WithCodes(TakeEvents(), {EventWindowTimer})) {
            events.push_back(row);
        }
    }
    return events;
}

class WindowTimerTest : public ToolkitTest {
protected:
    void SetUp() override {
        window_ = OpenMainWindow();
        ASSERT_NE(window_, nullptr);
        ASSERT_NE(OpenWindow(1, 50, 50, 200, 100, "second", 0xCC0000), 0);
        Settle();
    }

    HWND window_ = nullptr;
};

TEST_F(WindowTimerTest, ATimerGivesItsEventAgainAndAgainUntilRemoved) {
    ASSERT_TRUE(AddWindowTimer(0, 3, 40));
    const std::vector<EventRow> events = TimerEventsWithin(300);
    ASSERT_GE(events.size(), 3u) << "about one every 40 ms";
    for (const EventRow& row : events) {
        EXPECT_EQ(row, (EventRow{EventWindowTimer, 3, 0, 0}));
    }
    RemoveWindowTimer(0, 3);
    EXPECT_TRUE(TimerEventsWithin(150).empty());
}

TEST_F(WindowTimerTest, EventTimerNamesTheTimerOfEachWindow) {
    ASSERT_TRUE(AddWindowTimer(0, 1, 30));
    ASSERT_TRUE(AddWindowTimer(1, 2, 30));
    std::vector<std::int32_t> named;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
    while (std::chrono::steady_clock::now() < end && named.size() < 4) {
        if (WaitWindowEvent() == EventWindowTimer) {
            named.push_back(EventTimer() * 10 + GetEventState().Current.Window);
        }
    }
    EXPECT_NE(std::find(named.begin(), named.end(), 10), named.end()) << "timer 1 of window 0";
    EXPECT_NE(std::find(named.begin(), named.end(), 21), named.end()) << "timer 2 of window 1";
    RemoveWindowTimer(0, 1);
    RemoveWindowTimer(1, 2);
}

TEST_F(WindowTimerTest, RemovingATimerDropsItsQueuedEventsAndClosingAWindowEndsItsTimers) {
    ASSERT_TRUE(AddWindowTimer(0, 4, 20));
    ASSERT_TRUE(AddWindowTimer(1, 5, 20));
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    // Dispatched but not fetched: the events wait in the queue.
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageA(&message);
    }
    RemoveWindowTimer(0, 4);
    CloseWindow(1);
    EXPECT_TRUE(SameEvents(WithCodes(TakeEvents(), {EventWindowTimer}), {}));
    EXPECT_TRUE(TimerEventsWithin(100).empty());
}

TEST_F(WindowTimerTest, TimersOfWindowsThatAreNotOpenOrOutOfRangeAreRefused) {
    EXPECT_FALSE(AddWindowTimer(7, 0, 100));
    EXPECT_FALSE(AddWindowTimer(0, -1, 100));
    EXPECT_FALSE(AddWindowTimer(0, 0, 0));
    RemoveWindowTimer(7, 0); // nothing happens
    EXPECT_TRUE(TimerEventsWithin(60).empty());
}

} // namespace
