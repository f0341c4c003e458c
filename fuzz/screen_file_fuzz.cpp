// The round trip of any file that reads as a screen file: put back
// unchanged, a screen gives the same bytes (but for the checksum of a
// block whose checksum was wrong, which is mended); put back after
// corrections, the file reads back with the same screens, the corrected
// one among them, every checksum right, and differs from the original only
// in that screen's bytes and its block's checksum, or, for a snapshot page
// coded again, only in that page and its length field.

#include "fuzz_check.h"
#include "screen/screen_file.h"
#include "screen/screen_image.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <vector>

namespace {

using Screen = std::array<std::uint8_t, inkswap::ScreenFileSize>;

// The same screens in the same places; a snapshot's coded pages after the
// one coded again move, so there the banks must match.
bool SamePlaces(const inkswap::ScreenFile& a, const inkswap::ScreenFile& b) {
    if (a.Kind != b.Kind || a.Screens.size() != b.Screens.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.Screens.size(); ++i) {
        const inkswap::ScreenEntry& x = a.Screens[i];
        const inkswap::ScreenEntry& y = b.Screens[i];
        const bool moved = inkswap::IsSnapshot(a.Kind) && x.Bank == y.Bank;
        if ((x.Offset != y.Offset && !moved) || x.Checksummed != y.Checksummed) {
            return false;
        }
    }
    return true;
}

// Whether byte `at` may differ after screen `index` was put back in place.
bool MayChange(const inkswap::ScreenEntry& screen, std::size_t at) {
    const std::size_t end = screen.Offset + inkswap::ScreenFileSize;
    const bool copy = screen.CopyOffset != 0 && at >= screen.CopyOffset &&
                      at < screen.CopyOffset + inkswap::ScreenFileSize;
    return (at >= screen.Offset && at < end) || (screen.Checksummed && at == end) || copy;
}

// Whether the bytes differ from the original only in the page of screen
// `entry`, coded again, and in the length field before it.
bool OnlyPageChanged(const std::vector<std::uint8_t>& original,
                     const std::vector<std::uint8_t>& bytes, const inkswap::ScreenEntry& entry,
                     inkswap::ScreenFileKind kind) {
    const std::size_t lengthBytes = kind == inkswap::ScreenFileKind::Szx ? 4 : 2;
    for (std::size_t at = 0; at < entry.Offset; ++at) {
        const bool length =
            entry.LengthAt != 0 && at >= entry.LengthAt && at < entry.LengthAt + lengthBytes;
        if (bytes[at] != original[at] && !length) {
            return false;
        }
    }
    const std::size_t after = original.size() - entry.Offset - entry.CodedLength;
    return bytes.size() >= entry.Offset + after &&
           std::equal(original.end() - static_cast<std::ptrdiff_t>(after), original.end(),
                      bytes.end() - static_cast<std::ptrdiff_t>(after));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto choice = input.ConsumeIntegral<std::uint16_t>();
    const auto cellX = input.ConsumeIntegralInRange<std::int32_t>(0, 31);
    const auto cellY = input.ConsumeIntegralInRange<std::int32_t>(0, 23);
    inkswap::ScreenFile file{};
    file.Bytes = input.ConsumeRemainingBytes<std::uint8_t>();
    if (!inkswap::FindScreens(file)) {
        FUZZ_CHECK(file.Screens.empty());
        return 0;
    }
    const std::vector<std::uint8_t> original = file.Bytes;
    const std::size_t index = choice % file.Screens.size();
    const inkswap::ScreenEntry entry = file.Screens[index];
    Screen screen{};
    inkswap::CopyScreen(file, index, screen.data());

    FUZZ_CHECK(inkswap::PutScreen(file, index, screen.data()));
    FUZZ_CHECK(file.Bytes.size() == original.size());
    for (std::size_t at = 0; at < original.size(); ++at) {
        FUZZ_CHECK(file.Bytes[at] == original[at] || (entry.ChecksumWrong && MayChange(entry, at)));
    }
    FUZZ_CHECK(!file.Screens[index].ChecksumWrong);

    inkswap::CorrectCell(screen.data(), cellX, cellY);
    FUZZ_CHECK(inkswap::PutScreen(file, index, screen.data()));
    inkswap::ScreenFile reread{};
    reread.Bytes = file.Bytes;
    FUZZ_CHECK(inkswap::FindScreens(reread));
    FUZZ_CHECK(SamePlaces(reread, file));
    FUZZ_CHECK(!reread.Screens[index].ChecksumWrong);
    Screen back{};
    inkswap::CopyScreen(reread, index, back.data());
    FUZZ_CHECK(back == screen);
    if (entry.Coding != inkswap::PageCoding::Stored) {
        FUZZ_CHECK(OnlyPageChanged(original, reread.Bytes, entry, file.Kind));
        return 0;
    }
    FUZZ_CHECK(reread.Bytes.size() == original.size());
    for (std::size_t at = 0; at < original.size(); ++at) {
        FUZZ_CHECK(reread.Bytes[at] == original[at] || MayChange(entry, at));
    }
    return 0;
}
