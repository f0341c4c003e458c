// Private heaps on POSIX: each block carries a small header that links it
// into its heap, so that destroying the heap can release every block, as a
// Win32 heap does.

#include "platform/os_heap.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace rook::os {

namespace {

struct alignas(std::max_align_t) BlockHeader {
    BlockHeader* Previous;
    BlockHeader* Next;
    PrivateHeap* Owner;
};

BlockHeader* HeaderOf(void* block) {
    return static_cast<BlockHeader*>(block) - 1;
}

bool SizeFits(std::size_t size) {
    return size <= SIZE_MAX - sizeof(BlockHeader);
}

} // namespace

struct PrivateHeap {
    BlockHeader* Blocks = nullptr;

    void Link(BlockHeader* header) {
        header->Previous = nullptr;
        header->Next = Blocks;
        header->Owner = this;
        if (Blocks != nullptr) {
            Blocks->Previous = header;
        }
        Blocks = header;
    }

    void Unlink(BlockHeader* header) {
        if (header->Previous != nullptr) {
            header->Previous->Next = header->Next;
        } else {
            Blocks = header->Next;
        }
        if (header->Next != nullptr) {
            header->Next->Previous = header->Previous;
        }
    }
};

PrivateHeap* CreatePrivateHeap() {
    return new (std::nothrow) PrivateHeap;
}

void DestroyPrivateHeap(PrivateHeap* heap) {
    if (heap == nullptr) {
        return;
    }
    BlockHeader* header = heap->Blocks;
    while (header != nullptr) {
        BlockHeader* next = header->Next;
        std::free(header);
        header = next;
    }
    delete heap;
}

void* HeapAllocate(PrivateHeap* heap, std::size_t size, Fill fill) {
    if (heap == nullptr || !SizeFits(size)) {
        return nullptr;
    }
    const std::size_t total = sizeof(BlockHeader) + size;
    void* raw = fill == Fill::Zero ? std::calloc(1, total) : std::malloc(total);
    if (raw == nullptr) {
        return nullptr;
    }
    auto* header = static_cast<BlockHeader*>(raw);
    heap->Link(header);
    return header + 1;
}

void* HeapResize(PrivateHeap* heap, void* block, std::size_t size) {
    if (heap == nullptr || block == nullptr || !SizeFits(size)) {
        return nullptr;
    }
    BlockHeader* header = HeaderOf(block);
    if (header->Owner != heap) {
        return nullptr;
    }
    heap->Unlink(header);
    void* raw = std::realloc(header, sizeof(BlockHeader) + size);
    if (raw == nullptr) {
        heap->Link(header);
        return nullptr;
    }
    auto* moved = static_cast<BlockHeader*>(raw);
    heap->Link(moved);
    return moved + 1;
}

bool HeapRelease(PrivateHeap* heap, void* block) {
    if (heap == nullptr || block == nullptr) {
        return false;
    }
    BlockHeader* header = HeaderOf(block);
    if (header->Owner != heap) {
        return false;
    }
    heap->Unlink(header);
    header->Owner = nullptr;
    std::free(header);
    return true;
}

} // namespace rook::os
