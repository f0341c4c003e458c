#pragma once
// Memory blocks: zero-filled byte blocks from the MemoryHeap that the
// application reads and writes a byte at a time. The screen buffer is one.

#include <cstdint>

namespace rook {

// Start step of the memory library: creates the MemoryHeap.
void MemoryLibraryInit();

// End step of the memory library. It does nothing: blocks still allocated
// go with the process.
void MemoryLibraryEnd();

// A new zero-filled block of the given size; null when the size is below 1
// or the heap cannot supply it.
void* AllocateMemory(std::int32_t size);

// Non-zero when the block went back to the MemoryHeap.
std::int32_t FreeMemory(void* block);

// The byte at the address as a signed value, -128 to 127. No checking: the
// address lies inside a block the caller owns.
inline std::int32_t PeekB(const void* address) {
    return *static_cast<const std::int8_t*>(address);
}

// Stores the low 8 bits of the value at the address.
inline void PokeB(void* address, std::int32_t value) {
    *static_cast<std::uint8_t*>(address) = static_cast<std::uint8_t>(value & 0xFF);
}

} // namespace rook
