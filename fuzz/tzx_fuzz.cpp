// Any bytes as the blocks of a TZX tape (behind a valid header, so that
// every input reaches the blocks, or as they come when the first byte
// says so). The reader must never read outside them, and every screen it
// finds must lie inside them: a tape data block's 6,912 bytes after a 0xFF
// flag with the checksum right behind them, or the end of a custom
// information block marked "Spectrum Screen ".

#include "fuzz_check.h"
#include "screen/screen_file.h"
#include "screen/tzx_file.h"

#include <cstring>
#include <span>
#include <vector>

namespace {

constexpr std::uint8_t Header[] = {'Z', 'X', 'T', 'a', 'p', 'e', '!', 0x1A, 1, 20};
constexpr std::size_t ScreenBytes = 6912;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> file;
    if (size > 0 && data[0] == 0) {
        file.assign(data + 1, data + size); // as it comes: the header's checks too
    } else {
        file.assign(std::begin(Header), std::end(Header));
        file.insert(file.end(), data + (size > 0 ? 1 : 0), data + size);
    }
    std::vector<inkswap::ScreenEntry> screens;
    if (!inkswap::FindTzxScreens(file, screens)) {
        FUZZ_CHECK(screens.empty());
        FUZZ_CHECK(file.size() < 10 || std::memcmp(file.data(), Header, 8) != 0 || file[8] != 1 ||
                   file[9] > 20);
        return 0;
    }
    std::size_t end = 0;
    for (const inkswap::ScreenEntry& screen : screens) {
        FUZZ_CHECK(screen.Offset >= end && screen.Offset + ScreenBytes <= file.size());
        FUZZ_CHECK(std::memchr(screen.Name.data(), '\0', screen.Name.size()) != nullptr);
        if (screen.Checksummed) {
            FUZZ_CHECK(screen.ChecksumStart + 1 == screen.Offset);
            FUZZ_CHECK(file[screen.ChecksumStart] == 0xFF);
            FUZZ_CHECK(screen.Offset + ScreenBytes < file.size());
        }
        end = screen.Offset + ScreenBytes;
    }
    return 0;
}
