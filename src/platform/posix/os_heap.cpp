// Private heaps on POSIX: each block carries a small header that links it
// into its heap, so that destroying the heap can release every block, as a
// Win32 heap does.
//
// The links are kept disguised (xor-ed with a constant) so that a leak
// checker scanning memory does not count them as references: a block that
// nothing but its heap remembers is reported as leaked, as it would be
// without the heap. Tests rely on this to find records their code lost.

#include "platform/os_heap.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace rook::os {

namespace {

using Link = std::uintptr_t;

constexpr Link Disguise = 0x5A5A5A5A5A5A5A5Au & UINTPTR_MAX;

struct BlockHeader;

Link Hide(BlockHeader* header) {
    return reinterpret_cast<Link>(header) ^ Disguise;
}

BlockHeader* Reveal(Link link) {
    return reinterpret_cast<BlockHeader*>(link ^ Disguise);
}

struct alignas(std::max_align_t) BlockHeader {
    Link Previous;
    Link Next;
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
    Link Blocks = Hide(nullptr);

    void Attach(BlockHeader* header) {
        header->Previous = Hide(nullptr);
        header->Next = Blocks;
        header->Owner = this;
        if (BlockHeader* first = Reveal(Blocks); first != nullptr) {
            first->Previous = Hide(header);
        }
        Blocks = Hide(header);
    }

    void Detach(BlockHeader* header) {
        if (BlockHeader* previous = Reveal(header->Previous); previous != nullptr) {
            previous->Next = header->Next;
        } else {
            Blocks = header->Next;
        }
        if (BlockHeader* next = Reveal(header->Next); next != nullptr) {
            next->Previous = header->Previous;
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
    BlockHeader* header = Reveal(heap->Blocks);
    while (header != nullptr) {
        BlockHeader* next = Reveal(header->Next);
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
    heap->Attach(header);
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
    heap->Detach(header);
    void* raw = std::realloc(header, sizeof(BlockHeader) + size);
    if (raw == nullptr) {
        heap->Attach(header);
        return nullptr;
    }
    auto* moved = static_cast<BlockHeader*>(raw);
    heap->Attach(moved);
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
    heap->Detach(header);
    header->Owner = nullptr;
    std::free(header);
    return true;
}

} // namespace rook::os
