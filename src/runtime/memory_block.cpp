#include "runtime/memory_block.h"

#include "platform/os_heap.h"

namespace rook {

namespace {
os::PrivateHeap* memoryHeap = nullptr;
}

void MemoryLibraryInit() {
    if (memoryHeap == nullptr) {
        memoryHeap = os::CreatePrivateHeap();
    }
}

void MemoryLibraryEnd() {}

void* AllocateMemory(std::int32_t size) {
    if (size < 1) {
        return nullptr;
    }
    return os::HeapAllocate(memoryHeap, static_cast<std::size_t>(size), os::Fill::Zero);
}

std::int32_t FreeMemory(void* block) {
    return os::HeapRelease(memoryHeap, block) ? 1 : 0;
}

} // namespace rook
