#include "runtime/element_pool.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

namespace {

using rook::ElementPool;
using rook::PoolBlock;

struct ListShape {
    int Blocks = 0;
    std::vector<std::int32_t> Capacities;
};

ListShape ShapeOf(const PoolBlock* head) {
    ListShape shape;
    const PoolBlock* previous = nullptr;
    for (const PoolBlock* block = head; block != nullptr; block = block->Next) {
        EXPECT_EQ(block->Previous, previous) << "broken back link";
        previous = block;
        ++shape.Blocks;
        shape.Capacities.push_back(block->Capacity);
    }
    return shape;
}

class ElementPoolTest : public ::testing::Test {
protected:
    void TearDown() override { rook::PoolDestroy(pool_); }

    int PartialBlocks() const { return ShapeOf(pool_->PartialBlocks).Blocks; }
    int FullBlocks() const { return ShapeOf(pool_->FullBlocks).Blocks; }

    ElementPool* pool_ = rook::PoolCreate(24, 16, 1024, 0);
};

TEST_F(ElementPoolTest, NewPoolHasNoBlocks) {
    ASSERT_NE(pool_, nullptr);
    EXPECT_EQ(pool_->Total, 0);
    EXPECT_EQ(pool_->FullBlocks, nullptr);
    EXPECT_EQ(pool_->PartialBlocks, nullptr);
    EXPECT_EQ(pool_->MinimumPerBlock, 16);
    EXPECT_EQ(pool_->MaximumPerBlock, 1024);
    EXPECT_GE(pool_->SlotSize, 24 + static_cast<std::int32_t>(sizeof(void*)));
    EXPECT_EQ(pool_->SlotSize % static_cast<std::int32_t>(sizeof(void*)), 0);
}

TEST_F(ElementPoolTest, FirstSixteenShareABlockAndTheSeventeenthMakesASecond) {
    std::set<void*> elements;
    for (int i = 0; i < 16; ++i) {
        void* element = rook::PoolAlloc(pool_);
        ASSERT_NE(element, nullptr);
        std::memset(element, 0xAB, 24); // the whole element is usable
        elements.insert(element);
        EXPECT_EQ(pool_->Total, 16);
    }
    EXPECT_EQ(elements.size(), 16u);
    EXPECT_EQ(FullBlocks(), 1);
    EXPECT_EQ(PartialBlocks(), 0);

    elements.insert(rook::PoolAlloc(pool_));
    EXPECT_EQ(elements.size(), 17u);
    EXPECT_EQ(pool_->Total, 32);
    EXPECT_EQ(FullBlocks(), 1);
    EXPECT_EQ(PartialBlocks(), 1);
}

TEST_F(ElementPoolTest, FreeingTheOnlyElementOfABlockReleasesIt) {
    void* element = rook::PoolAlloc(pool_);
    rook::PoolFree(pool_, element);
    EXPECT_EQ(pool_->Total, 0);
    EXPECT_EQ(PartialBlocks() + FullBlocks(), 0);

    ASSERT_NE(rook::PoolAlloc(pool_), nullptr);
    EXPECT_EQ(pool_->Total, 16) << "the next element makes a new block";
    EXPECT_EQ(PartialBlocks(), 1);
}

TEST_F(ElementPoolTest, FreeingFromAFullBlockMakesItServeThatElementNext) {
    std::vector<void*> elements;
    for (int i = 0; i < 16; ++i) {
        elements.push_back(rook::PoolAlloc(pool_));
    }
    ASSERT_EQ(FullBlocks(), 1);
    rook::PoolFree(pool_, elements[5]);
    EXPECT_EQ(FullBlocks(), 0);
    EXPECT_EQ(PartialBlocks(), 1);
    EXPECT_EQ(rook::PoolAlloc(pool_), elements[5]);
    EXPECT_EQ(FullBlocks(), 1);
    EXPECT_EQ(pool_->Total, 16);
}

TEST_F(ElementPoolTest, FreedSlotsAreReusedLastFreedFirstBeforeUntouchedOnes) {
    void* a = rook::PoolAlloc(pool_);
    void* b = rook::PoolAlloc(pool_);
    void* c = rook::PoolAlloc(pool_);
    void* keep = rook::PoolAlloc(pool_);
    rook::PoolFree(pool_, a);
    rook::PoolFree(pool_, c);
    rook::PoolFree(pool_, b);
    EXPECT_EQ(rook::PoolAlloc(pool_), b);
    EXPECT_EQ(rook::PoolAlloc(pool_), c);
    EXPECT_EQ(rook::PoolAlloc(pool_), a);
    void* untouched = rook::PoolAlloc(pool_);
    EXPECT_NE(untouched, keep);
    EXPECT_EQ(static_cast<char*>(untouched) - static_cast<char*>(keep), pool_->SlotSize)
        << "after the free list, the next untouched slot of the block";
}

TEST_F(ElementPoolTest, BlocksGrowByASixteenthOfTheTotalUpToTheMaximum) {
    // Blocks of 16 until the total reaches 512, then a sixteenth of the
    // total in steps of 16, never above the maximum.
    std::vector<std::int32_t> totals;
    std::int32_t previousTotal = 0;
    for (int i = 0; i < 40000; ++i) {
        ASSERT_NE(rook::PoolAlloc(pool_), nullptr);
        if (pool_->Total != previousTotal) {
            totals.push_back(pool_->Total - previousTotal);
            previousTotal = pool_->Total;
        }
    }
    ASSERT_GT(totals.size(), 40u);
    for (std::size_t i = 0; i < 32; ++i) {
        EXPECT_EQ(totals[i], 16) << "block " << i;
    }
    EXPECT_EQ(totals[32], 32) << "512 / 16";
    for (std::size_t i = 1; i < totals.size(); ++i) {
        EXPECT_EQ(totals[i] % 16, 0) << "block " << i;
        EXPECT_GE(totals[i], totals[i - 1]) << "block " << i;
        EXPECT_LE(totals[i], 1024) << "block " << i;
    }
    EXPECT_EQ(totals.front(), 16);
    EXPECT_EQ(totals.back(), 1024);
}

TEST_F(ElementPoolTest, ClearReleasesEveryBlockAndThePoolStartsOver) {
    for (int i = 0; i < 100; ++i) {
        rook::PoolAlloc(pool_);
    }
    rook::PoolClear(pool_);
    EXPECT_EQ(pool_->Total, 0);
    EXPECT_EQ(pool_->FullBlocks, nullptr);
    EXPECT_EQ(pool_->PartialBlocks, nullptr);
    ASSERT_NE(rook::PoolAlloc(pool_), nullptr);
    EXPECT_EQ(pool_->Total, 16);
}

TEST_F(ElementPoolTest, HoldingOneElementKeepsTheFirstBlock) {
    void* held = rook::PoolAlloc(pool_);
    for (int round = 0; round < 3; ++round) {
        void* element = rook::PoolAlloc(pool_);
        rook::PoolFree(pool_, element);
        EXPECT_EQ(pool_->Total, 16);
        EXPECT_EQ(PartialBlocks(), 1);
    }
    rook::PoolFree(pool_, held);
    EXPECT_EQ(pool_->Total, 0);
}

TEST(ElementPoolLimits, OutOfRangeArgumentsAreRefusedOrMadeSound) {
    EXPECT_EQ(rook::PoolCreate(-1, 16, 256, 0), nullptr);
    EXPECT_EQ(rook::PoolCreate(INT_MAX, 16, 256, 0), nullptr);

    ElementPool* pool = rook::PoolCreate(0, 0, -5, 2);
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(pool->MinimumPerBlock, 1);
    EXPECT_EQ(pool->MaximumPerBlock, 1);
    void* first = rook::PoolAlloc(pool);
    void* second = rook::PoolAlloc(pool);
    EXPECT_NE(first, second);
    rook::PoolFree(pool, nullptr);
    rook::PoolFree(pool, first);
    rook::PoolFree(pool, second);
    EXPECT_EQ(pool->Total, 0);
    rook::PoolDestroy(pool);

    EXPECT_EQ(rook::PoolAlloc(nullptr), nullptr);
    rook::PoolClear(nullptr);
    rook::PoolDestroy(nullptr);
}

} // namespace
