#include "screen/tap_file.h"

#include "screen/byte_order.h"
#include "screen/tape_block.h"

#include <utility>

namespace inkswap {

bool FindTapScreens(std::span<const std::uint8_t> file, std::vector<ScreenEntry>& screens) {
    TapeScan scan{};
    std::size_t at = 0;
    while (at < file.size()) {
        if (file.size() - at < 2) {
            return false; // a length cut short
        }
        const std::size_t length = ReadLittleEndian(file, at, 2);
        at += 2;
        if (length > file.size() - at) {
            return false; // a block that runs past the end
        }
        ReadTapeBlock(file, at, length, scan);
        at += length;
    }
    screens = std::move(scan.Screens);
    return true;
}

} // namespace inkswap
