#pragma once
// TAP tapes: a run of blocks, each a 2-byte little-endian length and that
// many bytes of a tape data block (flag, data, checksum), that covers the
// file exactly.

#include "screen/screen_file.h"

#include <cstdint>
#include <span>
#include <vector>

namespace inkswap {

// Whether the bytes are a TAP tape; its screens go to screens (in file
// order). screens stays empty when they are not.
bool FindTapScreens(std::span<const std::uint8_t> file, std::vector<ScreenEntry>& screens);

} // namespace inkswap
