#pragma once
// The ToolkitHeap: the private heap that holds every toolkit record
// (registries, object storage, state blocks, file buffers, element pools,
// drawing contexts). Start-up creates it before any library starts and
// destroys it after every library has ended.

#include "platform/os_heap.h"

#include <cstddef>

namespace rook {

// False when the platform refuses the heap; the heap is then absent and
// every allocation from it fails.
bool CreateToolkitHeap();

// Releases the heap with everything still in it.
void DestroyToolkitHeap();

os::PrivateHeap* ToolkitHeap();

void* ToolkitAllocate(std::size_t size, os::Fill fill);
void ToolkitRelease(void* block);

} // namespace rook
