// The steps of WaitWindowEvent that need no window system: data release,
// queued events becoming current, and the drop record's ownership.

#include "window/event_state.h"

#include "runtime/toolkit_heap.h"

#include <gtest/gtest.h>

namespace {

using namespace rook;

int releases = 0;
void CountRelease(void*) {
    ++releases;
}

DropRecord* MakeDropRecord() {
    auto* record = static_cast<DropRecord*>(ToolkitAllocate(sizeof(DropRecord), os::Fill::Zero));
    record->Data = ToolkitAllocate(16, os::Fill::Zero);
    record->DataSize = 16;
    return record;
}

class EventStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveEvents(AnyValue, AnyValue, AnyValue, AnyValue);
        BeginWaitForEvent();
        releases = 0;
    }
};

TEST_F(EventStateTest, AQueuedEventBecomesCurrentWithItsQueuedCode) {
    int data = 0;
    PostEvent(13100, 7, 2, 0x10003, &data, CountRelease);
    BeginWaitForEvent();
    EXPECT_EQ(FinishWaitForEvent(TakeQueuedEvent()), 13100);
    const CurrentEvent& current = GetEventState().Current;
    EXPECT_EQ(EventGadget(), 7);
    EXPECT_EQ(EventMenu(), 7);
    EXPECT_EQ(EventType(), 0x10003);
    EXPECT_EQ(current.Window, 2);
    EXPECT_EQ(current.QueuedCode, 13100);
    EXPECT_EQ(current.Data, &data);
    EXPECT_EQ(releases, 0) << "the data live until the next wait";
    BeginWaitForEvent();
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(GetEventState().Current.Data, nullptr);
}

TEST_F(EventStateTest, ABareMessageHasTypeMinusOneAndKeepsTheObject) {
    PostEvent(13100, 4, 0, 0);
    BeginWaitForEvent();
    FinishWaitForEvent(TakeQueuedEvent());
    BeginWaitForEvent();
    EXPECT_EQ(TakeQueuedEvent(), 0);
    EXPECT_EQ(FinishWaitForEvent(0x201), 0x201);
    EXPECT_EQ(EventType(), NoEventType);
    EXPECT_EQ(EventGadget(), 4);
    EXPECT_EQ(GetEventState().Current.QueuedCode, 0);
}

TEST_F(EventStateTest, DropRecordsAreFreedAtTheNextWaitAndNeverLost) {
    // Under the sanitizers a record that is not freed shows as a leak.
    TakeDropRecord(MakeDropRecord());
    EXPECT_NE(GetEventState().Drop, nullptr);
    TakeDropRecord(MakeDropRecord()); // a second drop before the wait
    BeginWaitForEvent();
    EXPECT_EQ(GetEventState().Drop, nullptr);
    TakeDropRecord(MakeDropRecord());
    ReleaseEventState();
    EXPECT_EQ(GetEventState().Drop, nullptr);
}

TEST_F(EventStateTest, AnImmediateEventRaisedOutsideTheWaitIsNeverDelivered) {
    RaiseImmediateEvent(EventMenuAction, 2, NoEventType);
    BeginWaitForEvent();
    EXPECT_EQ(GetEventState().Pending.Code, 0);
}

} // namespace
