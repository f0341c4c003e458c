#include "window/event_queue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace rook;

struct Row {
    std::int32_t Code, Object, Window, Type;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "{" << row.Code << ", " << row.Object << ", " << row.Window << ", " << row.Type
               << "}";
}

std::vector<Row> DrainQueue() {
    std::vector<Row> rows;
    for (EventRecord event = PopEvent(); event.Code != 0; event = PopEvent()) {
        rows.push_back({event.Code, event.Object, event.Window, event.Type});
        if (event.Release != nullptr) {
            event.Release(event.Data);
        }
    }
    return rows;
}

// Data blocks whose release is counted.
std::vector<int> released;
void ReleaseTag(void* data) {
    released.push_back(*static_cast<int*>(data));
}

class EventQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        DrainQueue();
        released.clear();
    }
    void TearDown() override { DrainQueue(); }

    int tags_[8] = {0, 1, 2, 3, 4, 5, 6, 7};
};

TEST_F(EventQueueTest, EventsComeOutInTheOrderPosted) {
    EXPECT_TRUE(EventQueueEmpty());
    EXPECT_EQ(PopEvent().Code, 0);
    PostEvent(3, 0, 0, 0);
    PostEvent(5, 0, 0, 0);
    PostEvent(16, 0, 0, 0);
    EXPECT_FALSE(EventQueueEmpty());
    EXPECT_EQ(DrainQueue(), (std::vector<Row>{{3, 0, 0, 0}, {5, 0, 0, 0}, {16, 0, 0, 0}}));
    EXPECT_TRUE(EventQueueEmpty());
}

TEST_F(EventQueueTest, AnEventEqualToTheTailIsDroppedWithItsData) {
    PostEvent(13100, 1, 0, 0x10003, &tags_[1], ReleaseTag);
    PostEvent(13100, 1, 0, 0x10003, &tags_[2], ReleaseTag);
    EXPECT_EQ(released, std::vector<int>{2}) << "the second one's data go at once";
    const EventRecord event = PopEvent();
    EXPECT_EQ(event.Data, &tags_[1]) << "the first one's data stay";
    EXPECT_EQ(PopEvent().Code, 0);
}

TEST_F(EventQueueTest, OnlyTheTailIsCompared) {
    const std::vector<Row> posted = {{13100, 1, 0, 0x10003}, {13100, 1, 0, 0x10004},
                                     {13100, 1, 0, 0x10003}, {13100, 2, 0, 0x10003},
                                     {13100, 2, 1, 0x10003}, {5, 2, 1, 0x10003}};
    for (const Row& row : posted) {
        PostEvent(row.Code, row.Object, row.Window, row.Type);
    }
    EXPECT_EQ(DrainQueue(), posted);
}

TEST_F(EventQueueTest, RemoveEventsMatchesEveryFieldWithMinusOneAsAny) {
    PostEvent(13100, 1, 0, 1, &tags_[1], ReleaseTag);
    PostEvent(13100, 2, 0, 1, &tags_[2], ReleaseTag);
    PostEvent(16, 1, 0, 0);
    PostEvent(13100, 1, 3, 7, &tags_[3], ReleaseTag);
    PostEvent(5, 0, 3, 0);
    RemoveEvents(13100, 1, AnyValue, AnyValue);
    EXPECT_EQ(released, (std::vector<int>{1, 3}));
    EXPECT_EQ(DrainQueue(), (std::vector<Row>{{13100, 2, 0, 1}, {16, 1, 0, 0}, {5, 0, 3, 0}}));
}

TEST_F(EventQueueTest, RemovingTheTailLeavesItOnTheLastEventKept) {
    PostEvent(3, 0, 0, 0);
    PostEvent(13100, 4, 0, 0);
    RemoveEvents(13100, 4, -1, -1);
    PostEvent(3, 0, 0, 0); // equal to the new tail: dropped
    PostEvent(5, 0, 0, 0);
    EXPECT_EQ(DrainQueue(), (std::vector<Row>{{3, 0, 0, 0}, {5, 0, 0, 0}}));

    PostEvent(13100, 4, 0, 0);
    RemoveEvents(-1, -1, -1, -1);
    EXPECT_TRUE(EventQueueEmpty());
    PostEvent(13100, 4, 0, 0);
    EXPECT_EQ(DrainQueue(), (std::vector<Row>{{13100, 4, 0, 0}})) << "an empty queue takes posts";
}

TEST_F(EventQueueTest, RemoveWindowEventsTakesOnlyThatWindows) {
    PostEvent(3, 0, 1, 0, &tags_[1], ReleaseTag);
    PostEvent(3, 0, 2, 0);
    PostEvent(5, 0, 1, 0);
    PostEvent(13100, 0, -1, 0);
    RemoveWindowEvents(1);
    EXPECT_EQ(released, std::vector<int>{1});
    EXPECT_EQ(DrainQueue(), (std::vector<Row>{{3, 0, 2, 0}, {13100, 0, -1, 0}}));
}

TEST_F(EventQueueTest, ManyEventsLeaveThePoolAsItWas) {
    const ElementPool* pool = EventRecordPool();
    const std::int32_t total = pool->Total;
    for (std::int32_t i = 0; i < 100000; ++i) {
        PostEvent(13100, 0, 0, 0x10003 + (i & 1));
    }
    EXPECT_GT(pool->Total, total);
    EXPECT_EQ(DrainQueue().size(), 100000u);
    EXPECT_EQ(pool->Total, total) << "every block made for the burst is released";
    for (std::int32_t i = 0; i < 100000; ++i) {
        PostEvent(13100, 0, 0, 0x10003);
    }
    EXPECT_EQ(DrainQueue().size(), 1u) << "equal moves collapse into one record";
    EXPECT_EQ(pool->Total, total);
}

} // namespace
