// Any bytes as a Z80 snapshot: as they come, or behind a header of the
// version the first byte picks (1: compressed; 2 and 3: the additional
// header, its hardware mode and port byte from the input), so that most
// inputs reach the memory. The reader must never read outside the bytes
// nor decode past a page; every screen it finds must decode from its
// bytes, code back to a page that decodes the same, and, coded again with
// another screen in it, read back changed in that page and its length only.
// The input's bytes as a page's coding decode as a byte-at-a-time model
// decodes them.

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

// The run coding decoded a byte at a time, as the format describes it:
// false where the decoder must refuse (bytes left once the page is full
// among them).
bool ModelDecode(std::span<const std::uint8_t> coded, std::vector<std::uint8_t>& page) {
    std::size_t in = 0;
    std::size_t out = 0;
    while (in < coded.size()) {
        if (out == page.size()) {
            return false;
        }
        if (in + 1 < coded.size() && coded[in] == 0xED && coded[in + 1] == 0xED) {
            if (in + 4 > coded.size() || out + coded[in + 2] > page.size()) {
                return false;
            }
            for (int i = 0; i < coded[in + 2]; ++i) {
                page[out++] = coded[in + 3];
            }
            in += 4;
        } else {
            page[out++] = coded[in++];
        }
    }
    return out == page.size();
}

// Any bytes as a page's run coding decode as the model decodes them.
void CheckDecoder(std::span<const std::uint8_t> coded, std::size_t size) {
    std::vector<std::uint8_t> page(size);
    std::vector<std::uint8_t> model(size);
    const bool decoded = inkswap::DecodeZ80Runs(coded, page);
    FUZZ_CHECK(decoded == ModelDecode(coded, model));
    FUZZ_CHECK(!decoded || page == model);
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
    CheckDecoder(std::span(data + 1, size - 1), data[0] % 64);
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
