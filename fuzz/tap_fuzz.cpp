// Any bytes as a TAP tape. The reader must never read outside them, and
// what it finds must be what a walk over the blocks' lengths finds: a tape
// only when the blocks cover the bytes exactly, and as screens exactly the
// blocks of flag 0xFF and 6,912 data bytes, each named by a screen header
// right before it and marked when its checksum is wrong.

#include "fuzz_check.h"
#include "screen/screen_file.h"
#include "screen/tap_file.h"

#include <cstring>
#include <span>
#include <vector>

namespace {

struct ModelBlock {
    std::size_t Start; // the flag byte
    std::size_t Length;
};

std::size_t Word(const std::uint8_t* at) {
    return at[0] | static_cast<std::size_t>(at[1]) << 8;
}

// The blocks by their lengths alone; false when they do not cover the bytes.
bool ModelBlocks(const std::uint8_t* data, std::size_t size, std::vector<ModelBlock>& blocks) {
    std::size_t at = 0;
    while (at != size) {
        if (at + 2 > size || at + 2 + Word(data + at) > size) {
            return false;
        }
        blocks.push_back({at + 2, Word(data + at)});
        at += 2 + Word(data + at);
    }
    return true;
}

bool IsScreenHeader(const std::uint8_t* data, const ModelBlock& block) {
    return block.Length == 19 && data[block.Start] == 0 && data[block.Start + 1] == 3 &&
           Word(data + block.Start + 12) == 6912;
}

std::uint8_t Xor(const std::uint8_t* data, std::size_t count) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum ^= data[i];
    }
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<inkswap::ScreenEntry> screens;
    const bool tape = inkswap::FindTapScreens(std::span(data, size), screens);
    std::vector<ModelBlock> blocks;
    FUZZ_CHECK(tape == ModelBlocks(data, size, blocks));
    if (!tape) {
        FUZZ_CHECK(screens.empty());
        return 0;
    }
    std::size_t found = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const ModelBlock& block = blocks[i];
        if (block.Length != 6914 || data[block.Start] != 0xFF) {
            continue;
        }
        FUZZ_CHECK(found < screens.size());
        const inkswap::ScreenEntry& screen = screens[found++];
        FUZZ_CHECK(screen.Offset == block.Start + 1 && screen.ChecksumStart == block.Start);
        FUZZ_CHECK(screen.Checksummed);
        FUZZ_CHECK(screen.ChecksumWrong == (Xor(data + block.Start, block.Length) != 0));
        const bool named = i > 0 && IsScreenHeader(data, blocks[i - 1]);
        FUZZ_CHECK(named || screen.Name[0] == '\0');
        FUZZ_CHECK(std::memchr(screen.Name.data(), '\0', screen.Name.size()) != nullptr);
    }
    FUZZ_CHECK(found == screens.size());
    return 0;
}
