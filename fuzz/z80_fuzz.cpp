// Any bytes as a Z80 snapshot: as they come, or behind a header of the
// version the first byte picks (1: compressed; 2 and 3: the additional
// header, its hardware mode and port byte from the input), so that most
// inputs reach the memory. The reader must never read outside the bytes
// nor decode past a page; every screen it finds must decode from its
// bytes, code back to a page that decodes the same, and, coded again with
// another screen in it, read back changed in that page and its length only.

#include "fuzz_check.h"
#include "screen/page_coding.h"
#include "screen/screen_file.h"
#include "screen/z80_file.h"
#include "snapshot_check.h"

#include <span>
#include <vector>

namespace {

std::vector<std::uint8_t> FileOf(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t choice = data[0] % 4;
    std::vector<std::uint8_t> file;
    if (choice == 1) {
        file.assign(30, 0);
        file[6] = 1;     // a program counter: version 1
        file[12] = 0x20; // compressed
    } else if (choice >= 2 && size >= 3) {
        file.assign(choice == 2 ? 55 : 86, 0);
        file[30] = choice == 2 ? 23 : 54;
        file[34] = data[1]; // the hardware mode
        file[35] = data[2]; // port 0x7FFD
        data += 2;
        size -= 2;
    }
    file.insert(file.end(), data + 1, data + size);
    return file;
}

// Whether the run coding of every page decodes to the page again.
void CheckCoding(std::span<const std::uint8_t> file, const inkswap::ScreenEntry& entry) {
    if (entry.Coding == inkswap::PageCoding::Stored) {
        return;
    }
    std::vector<std::uint8_t> page(entry.PageSize);
    FUZZ_CHECK(inkswap::DecodeZ80Runs(file.subspan(entry.Offset, entry.CodedLength), page));
    const std::vector<std::uint8_t> coded = inkswap::EncodeZ80Runs(page);
    std::vector<std::uint8_t> back(entry.PageSize);
    FUZZ_CHECK(inkswap::DecodeZ80Runs(coded, back) && back == page);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::vector<std::uint8_t> file = FileOf(data, size);
    std::vector<inkswap::ScreenEntry> screens;
    if (!inkswap::FindZ80Screens(file, screens)) {
        FUZZ_CHECK(screens.empty());
        return 0;
    }
    fuzzsupport::CheckSnapshot(file, screens, 2, inkswap::FindZ80Screens, inkswap::DecodeZ80Runs,
                               inkswap::RecodeZ80Page);
    for (const inkswap::ScreenEntry& screen : screens) {
        CheckCoding(file, screen);
    }
    return 0;
}
