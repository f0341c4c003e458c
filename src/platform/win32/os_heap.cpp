// Private heaps on Windows: Win32 heaps, growable, 4,096 bytes at first.

#include "platform/os_heap.h"

#include "platform/win32/win32.h"

namespace rook::os {

namespace {

HANDLE HandleOf(PrivateHeap* heap) {
    return reinterpret_cast<HANDLE>(heap);
}

} // namespace

PrivateHeap* CreatePrivateHeap() {
    return reinterpret_cast<PrivateHeap*>(::HeapCreate(0, 4096, 0));
}

void DestroyPrivateHeap(PrivateHeap* heap) {
    if (heap != nullptr) {
        ::HeapDestroy(HandleOf(heap));
    }
}

void* HeapAllocate(PrivateHeap* heap, std::size_t size, Fill fill) {
    if (heap == nullptr) {
        return nullptr;
    }
    return ::HeapAlloc(HandleOf(heap), fill == Fill::Zero ? HEAP_ZERO_MEMORY : 0, size);
}

void* HeapResize(PrivateHeap* heap, void* block, std::size_t size) {
    if (heap == nullptr || block == nullptr) {
        return nullptr;
    }
    return ::HeapReAlloc(HandleOf(heap), 0, block, size);
}

bool HeapRelease(PrivateHeap* heap, void* block) {
    if (heap == nullptr || block == nullptr) {
        return false;
    }
    return ::HeapFree(HandleOf(heap), 0, block) != FALSE;
}

} // namespace rook::os
