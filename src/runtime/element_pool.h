#pragma once
// The element pool: an allocator of fixed-size records for the small,
// frequent records of the event queue and the canvas. Elements come from
// blocks of slots; taking or returning one is a few pointer moves except
// when a block is made or released. Free slots are reused last-freed-first,
// before the untouched slots of the same block.
//
// A slot is one pointer-sized word followed by the element. While the
// element is handed out the word names the owning block; while the slot is
// free it links to the next free slot of the block.
//
// The pools of Rook are private and unlocked: the options to lock a
// pool or share it between users are not offered.

#include <cstdint>

namespace rook {

struct PoolBlock {
    PoolBlock* Next;
    PoolBlock* Previous;
    void* FreeList;         // head of the block's free slots
    std::int32_t Capacity;  // elements
    std::int32_t Used;      // slots handed out at least once: the high-water mark
    std::int32_t FreeCount; // slots on the free list
};

struct ElementPool {
    PoolBlock* FullBlocks;    // blocks with no element left to hand out
    PoolBlock* PartialBlocks; // blocks that can still hand one out; the head serves
    std::int32_t Total;       // sum of the capacities of all blocks
    std::int32_t SlotSize;    // element size plus the slot word, word-aligned
    std::int32_t MinimumPerBlock;
    std::int32_t MaximumPerBlock;
};

// A new pool, or null when its header cannot be allocated or the element
// size is out of range. The flags select options Rook does not use
// and are ignored.
ElementPool* PoolCreate(std::int32_t elementSize, std::int32_t minimumPerBlock,
                        std::int32_t maximumPerBlock, std::uint32_t flags);

// An element, not zero-filled; null only when not even a one-element block
// can be allocated.
void* PoolAlloc(ElementPool* pool);

// Returns an element that PoolAlloc handed out. A block whose elements are
// all back is released at once.
void PoolFree(ElementPool* pool, void* element);

// Releases every block; all elements handed out become invalid.
void PoolClear(ElementPool* pool);

// Clears the pool and releases its header.
void PoolDestroy(ElementPool* pool);

} // namespace rook
