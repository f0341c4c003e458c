#pragma once
// Private heaps of the operating system: the one allocation service that the
// runtime core takes from the platform. Win32 heaps on Windows; elsewhere an
// allocator that keeps the same rules (blocks zero-filled on request, every
// block released when its heap is destroyed).

#include <cstddef>

namespace rook::os {

struct PrivateHeap;

// A growable heap with no maximum size; null when the platform refuses.
PrivateHeap* CreatePrivateHeap();

// Releases the heap and every block still allocated from it.
void DestroyPrivateHeap(PrivateHeap* heap);

enum class Fill { Uninitialised, Zero };

// A block of the given size, or null when the heap cannot supply it.
void* HeapAllocate(PrivateHeap* heap, std::size_t size, Fill fill);

// Moves the block to one of the new size, keeping its contents up to the
// smaller of the two sizes. Null on failure, in which case the old block is
// left as it was.
void* HeapResize(PrivateHeap* heap, void* block, std::size_t size);

// Returns the block to its heap; false when the heap did not take it back.
bool HeapRelease(PrivateHeap* heap, void* block);

} // namespace rook::os
