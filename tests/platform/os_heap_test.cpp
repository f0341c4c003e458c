#include "platform/os_heap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

using rook::os::Fill;

class PrivateHeapTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(heap_, nullptr); }
    void TearDown() override { rook::os::DestroyPrivateHeap(heap_); }

    rook::os::PrivateHeap* heap_ = rook::os::CreatePrivateHeap();
};

TEST_F(PrivateHeapTest, ZeroFilledBlocksAreZero) {
    // Dirty the heap first, so that a reused block would show old bytes.
    auto* dirty =
        static_cast<std::uint8_t*>(rook::os::HeapAllocate(heap_, 4096, Fill::Uninitialised));
    ASSERT_NE(dirty, nullptr);
    std::memset(dirty, 0xCC, 4096);
    ASSERT_TRUE(rook::os::HeapRelease(heap_, dirty));

    auto* block = static_cast<std::uint8_t*>(rook::os::HeapAllocate(heap_, 4096, Fill::Zero));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 4096; ++i) {
        ASSERT_EQ(block[i], 0) << "byte " << i;
    }
}

TEST_F(PrivateHeapTest, ResizeKeepsContentsAndMayMoveTheBlock) {
    auto* block = static_cast<char*>(rook::os::HeapAllocate(heap_, 16, Fill::Zero));
    std::memcpy(block, "fifteen bytes..", 16);
    auto* grown = static_cast<char*>(rook::os::HeapResize(heap_, block, 1 << 20));
    ASSERT_NE(grown, nullptr);
    EXPECT_STREQ(grown, "fifteen bytes..");
    grown[(1 << 20) - 1] = 'x'; // the whole new size is usable
    EXPECT_TRUE(rook::os::HeapRelease(heap_, grown));
}

TEST_F(PrivateHeapTest, ImpossibleRequestsFailWithoutHarm) {
    EXPECT_EQ(rook::os::HeapAllocate(heap_, SIZE_MAX, Fill::Zero), nullptr);
    EXPECT_EQ(rook::os::HeapAllocate(nullptr, 16, Fill::Zero), nullptr);
    void* block = rook::os::HeapAllocate(heap_, 16, Fill::Zero);
    EXPECT_EQ(rook::os::HeapResize(heap_, block, SIZE_MAX), nullptr);
    EXPECT_TRUE(rook::os::HeapRelease(heap_, block)) << "a failed resize keeps the block";
    EXPECT_FALSE(rook::os::HeapRelease(heap_, nullptr));
}

TEST(PrivateHeapLifetime, DestroyingAHeapReleasesItsBlocks) {
    // Under LeakSanitizer (native) a block left behind would be reported.
    rook::os::PrivateHeap* heap = rook::os::CreatePrivateHeap();
    ASSERT_NE(heap, nullptr);
    for (int i = 0; i < 100; ++i) {
        ASSERT_NE(rook::os::HeapAllocate(heap, 1000, Fill::Uninitialised), nullptr);
    }
    rook::os::DestroyPrivateHeap(heap);
    rook::os::DestroyPrivateHeap(nullptr);
}

} // namespace
