#pragma once
// Moving a screen between disk and memory. A screen loads only when its
// file really holds 6,912 bytes as it is read; a save replaces the file in
// one step, so that the file on disk is always either the old picture or
// the new one.

#include <cstdint>

namespace inkswap {

enum class ScreenLoad {
    Loaded,
    Unreadable, // the file could not be opened
    NotAScreen, // it does not hold exactly 6,912 bytes (any more)
};

// Reads the file into bytes (6,912 of them); bytes are changed only when
// the result is Loaded. The size is asked through the handle that is read,
// and the file must end right after the 6,912th byte.
ScreenLoad LoadScreenFile(const char* name, std::uint8_t* bytes);

// Writes the 6,912 bytes over the file; false (the file as it was) when
// that could not be done completely.
bool SaveScreenFile(const char* name, const std::uint8_t* bytes);

} // namespace inkswap
