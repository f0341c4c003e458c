#pragma once
// TZX tapes, up to version 1.20: the signature "ZXTape!" and 0x1A, the
// version, then blocks, each an ID byte and a body whose length follows a
// rule of its own. The data of standard speed (0x10), turbo speed (0x11)
// and pure data (0x14) blocks is a tape data block like a TAP block's; a
// custom information block (0x35) marked "Spectrum Screen " carries the
// tape's attached loading screen: a description, a border colour, then the
// 6,912 bytes. Every other block is skipped; a block whose length cannot be
// known (an unknown ID, or one cut short by the end of the file) ends the
// search, and the screens found before it still count.

#include "screen/screen_file.h"

#include <cstdint>
#include <span>
#include <vector>

namespace inkswap {

// Whether the bytes are a TZX tape of a version this reader knows; its
// screens go to screens (in file order).
bool FindTzxScreens(std::span<const std::uint8_t> file, std::vector<ScreenEntry>& screens);

} // namespace inkswap
