#include "runtime/toolkit_heap.h"

namespace rook {

namespace {
os::PrivateHeap* toolkitHeap = nullptr;
}

bool CreateToolkitHeap() {
    toolkitHeap = os::CreatePrivateHeap();
    return toolkitHeap != nullptr;
}

void DestroyToolkitHeap() {
    os::DestroyPrivateHeap(toolkitHeap);
    toolkitHeap = nullptr;
}

os::PrivateHeap* ToolkitHeap() {
    return toolkitHeap;
}

void* ToolkitAllocate(std::size_t size, os::Fill fill) {
    return os::HeapAllocate(toolkitHeap, size, fill);
}

void ToolkitRelease(void* block) {
    os::HeapRelease(toolkitHeap, block);
}

} // namespace rook
