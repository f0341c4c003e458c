#include "runtime/element_pool.h"

#include "runtime/toolkit_heap.h"

#include <climits>
#include <cstddef>

namespace rook {

namespace {

using SlotWord = void*;

constexpr std::size_t WordSize = sizeof(SlotWord);
// Slots start on a boundary that suits any element.
constexpr std::size_t HeaderSize = (sizeof(PoolBlock) + alignof(std::max_align_t) - 1) /
                                   alignof(std::max_align_t) * alignof(std::max_align_t);

std::byte* SlotAt(PoolBlock* block, std::int32_t index, std::int32_t slotSize) {
    return reinterpret_cast<std::byte*>(block) + HeaderSize +
           static_cast<std::size_t>(index) * static_cast<std::size_t>(slotSize);
}

SlotWord& WordOf(void* slot) {
    return *static_cast<SlotWord*>(slot);
}

void PushFront(PoolBlock*& head, PoolBlock* block) {
    block->Previous = nullptr;
    block->Next = head;
    if (head != nullptr) {
        head->Previous = block;
    }
    head = block;
}

void Unlink(ElementPool* pool, PoolBlock* block) {
    if (block->Previous != nullptr) {
        block->Previous->Next = block->Next;
    } else if (pool->FullBlocks == block) {
        pool->FullBlocks = block->Next;
    } else {
        pool->PartialBlocks = block->Next;
    }
    if (block->Next != nullptr) {
        block->Next->Previous = block->Previous;
    }
}

bool IsFull(const PoolBlock* block) {
    return block->FreeCount == 0 && block->Used >= block->Capacity;
}

// A sixteenth of the pool's total in steps of 16, within the pool's limits.
std::int32_t NextBlockCapacity(const ElementPool* pool) {
    std::int32_t n = (pool->Total >> 4) & ~15;
    if (n < pool->MinimumPerBlock) {
        n = pool->MinimumPerBlock;
    } else if (n > pool->MaximumPerBlock) {
        n = pool->MaximumPerBlock;
    }
    return n;
}

PoolBlock* AllocateBlock(const ElementPool* pool, std::int32_t capacity) {
    const std::size_t bytes =
        HeaderSize + static_cast<std::size_t>(capacity) * static_cast<std::size_t>(pool->SlotSize);
    auto* block = static_cast<PoolBlock*>(ToolkitAllocate(bytes, os::Fill::Uninitialised));
    if (block != nullptr) {
        block->Capacity = capacity;
    }
    return block;
}

// Makes a block, falling back to a single slot when a full-size block
// cannot be had, and hands out its first slot.
void* TakeFromNewBlock(ElementPool* pool) {
    PoolBlock* block = AllocateBlock(pool, NextBlockCapacity(pool));
    if (block == nullptr) {
        block = AllocateBlock(pool, 1);
    }
    if (block == nullptr || block->Capacity > INT_MAX - pool->Total) {
        ToolkitRelease(block);
        return nullptr;
    }
    pool->Total += block->Capacity;
    block->Used = 1;
    block->FreeCount = 0;
    block->FreeList = nullptr;
    PushFront(block->Capacity > 1 ? pool->PartialBlocks : pool->FullBlocks, block);
    void* slot = SlotAt(block, 0, pool->SlotSize);
    WordOf(slot) = block;
    return slot;
}

void* TakeFromBlock(ElementPool* pool, PoolBlock* block) {
    void* slot;
    if (block->FreeCount > 0) {
        slot = block->FreeList;
        block->FreeList = WordOf(slot);
        --block->FreeCount;
    } else {
        slot = SlotAt(block, block->Used, pool->SlotSize);
        ++block->Used;
    }
    if (IsFull(block)) {
        Unlink(pool, block);
        PushFront(pool->FullBlocks, block);
    }
    WordOf(slot) = block;
    return slot;
}

void ReleaseList(PoolBlock* block) {
    while (block != nullptr) {
        PoolBlock* next = block->Next;
        ToolkitRelease(block);
        block = next;
    }
}

} // namespace

ElementPool* PoolCreate(std::int32_t elementSize, std::int32_t minimumPerBlock,
                        std::int32_t maximumPerBlock, std::uint32_t) {
    if (elementSize < 0 || static_cast<std::size_t>(elementSize) > INT_MAX - 2 * WordSize) {
        return nullptr;
    }
    auto* pool = static_cast<ElementPool*>(ToolkitAllocate(sizeof(ElementPool), os::Fill::Zero));
    if (pool == nullptr) {
        return nullptr;
    }
    const std::size_t slotSize =
        (static_cast<std::size_t>(elementSize) + WordSize + WordSize - 1) / WordSize * WordSize;
    pool->SlotSize = static_cast<std::int32_t>(slotSize);
    pool->MinimumPerBlock = minimumPerBlock < 1 ? 1 : minimumPerBlock;
    pool->MaximumPerBlock =
        maximumPerBlock < pool->MinimumPerBlock ? pool->MinimumPerBlock : maximumPerBlock;
    return pool;
}

void* PoolAlloc(ElementPool* pool) {
    if (pool == nullptr) {
        return nullptr;
    }
    void* slot = pool->PartialBlocks != nullptr ? TakeFromBlock(pool, pool->PartialBlocks)
                                                : TakeFromNewBlock(pool);
    if (slot == nullptr) {
        return nullptr;
    }
    return static_cast<std::byte*>(slot) + WordSize;
}

void PoolFree(ElementPool* pool, void* element) {
    if (pool == nullptr || element == nullptr) {
        return;
    }
    void* slot = static_cast<std::byte*>(element) - WordSize;
    auto* block = static_cast<PoolBlock*>(WordOf(slot));
    const bool wasFull = IsFull(block);
    WordOf(slot) = block->FreeList;
    block->FreeList = slot;
    ++block->FreeCount;
    if (block->FreeCount == block->Used) {
        Unlink(pool, block);
        pool->Total -= block->Capacity;
        ToolkitRelease(block);
    } else if (wasFull) {
        Unlink(pool, block);
        PushFront(pool->PartialBlocks, block);
    }
}

void PoolClear(ElementPool* pool) {
    if (pool == nullptr) {
        return;
    }
    ReleaseList(pool->FullBlocks);
    ReleaseList(pool->PartialBlocks);
    pool->FullBlocks = nullptr;
    pool->PartialBlocks = nullptr;
    pool->Total = 0;
}

void PoolDestroy(ElementPool* pool) {
    PoolClear(pool);
    ToolkitRelease(pool);
}

} // namespace rook
