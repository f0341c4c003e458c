#pragma once
// The file-list block a drag source gives with a file drop (the platform's
// DROPFILES header followed by the names, each ended by a NUL, the list by
// one more). The block comes from another program, so it is checked before
// anything reads names from it.

#include <cstddef>
#include <cstdint>

namespace rook {

// The header: offset of the names, drop point, non-client flag, wide flag.
inline constexpr std::size_t FileListHeaderSize = 20;

// True when the names' offset lies inside the block, after the header, and
// the names (8-bit, or 16-bit when the wide flag is set) end with their
// double terminator inside the block.
bool IsWellFormedFileList(const void* block, std::size_t size);

} // namespace rook
