#include "runtime/memory_block.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

using rook::AllocateMemory;
using rook::FreeMemory;
using rook::PeekB;
using rook::PokeB;

TEST(MemoryBlock, SizesBelowOneGiveNoBlock) {
    for (std::int32_t size : {0, -1, -5, INT_MIN}) {
        EXPECT_EQ(AllocateMemory(size), nullptr) << size;
    }
}

TEST(MemoryBlock, NewBlockIsZeroFilled) {
    // A block freed dirty must not show through in the next one.
    auto* dirty = static_cast<std::uint8_t*>(AllocateMemory(6912));
    ASSERT_NE(dirty, nullptr);
    for (int i = 0; i < 6912; ++i) {
        PokeB(dirty + i, 0x77);
    }
    EXPECT_NE(FreeMemory(dirty), 0);

    auto* block = static_cast<std::uint8_t*>(AllocateMemory(6912));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 6912; ++i) {
        ASSERT_EQ(PeekB(block + i), 0) << "byte " << i;
    }
    EXPECT_NE(FreeMemory(block), 0);
}

TEST(MemoryBlock, HugeSizesGiveZeroOrAUsableBlock) {
    auto* block = static_cast<std::uint8_t*>(AllocateMemory(INT_MAX));
    if (block == nullptr) {
        SUCCEED() << "the heap could not supply 2 GiB";
        return;
    }
    EXPECT_EQ(PeekB(block), 0);
    EXPECT_EQ(PeekB(block + (INT_MAX - 1)), 0);
    PokeB(block + (INT_MAX - 1), 1);
    EXPECT_NE(FreeMemory(block), 0);
}

TEST(MemoryBlock, FreeOfNothingReportsZero) {
    EXPECT_EQ(FreeMemory(nullptr), 0);
}

TEST(MemoryBlock, BytesReadBackSignedFromTheLowEightBitsWritten) {
    struct Case {
        std::int32_t Written;
        std::int32_t Read;
    };
    const Case cases[] = {{0, 0},     {127, 127}, {128, -128}, {255, -1},    {256, 0},
                          {383, 127}, {-1, -1},   {-129, 127}, {INT_MIN, 0}, {INT_MAX, -1}};
    auto* block = AllocateMemory(4);
    ASSERT_NE(block, nullptr);
    for (const Case& c : cases) {
        PokeB(block, c.Written);
        EXPECT_EQ(PeekB(block), c.Read) << "after PokeB(" << c.Written << ")";
    }
    FreeMemory(block);
}

} // namespace
