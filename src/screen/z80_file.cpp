#include "screen/z80_file.h"

#include "screen/byte_order.h"
#include "screen/page_coding.h"
#include "screen/screen_image.h"
#include "screen/snapshot_memory.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace inkswap {

namespace {

constexpr std::size_t HeaderSize = 30;
constexpr std::size_t ProgramCounterAt = 6;
constexpr std::size_t FlagsAt = 12;
constexpr std::uint8_t CompressedFlag = 0x20;
constexpr std::size_t ExtraLengthAt = 30;
constexpr std::size_t HardwareAt = 34;
constexpr std::size_t PortAt = 35;
constexpr std::size_t Memory48 = 3 * PageSize;
constexpr std::uint32_t StoredLength = 0xFFFF;
constexpr std::uint8_t ScreenPage48 = 8;  // 16384..32767
constexpr std::uint8_t FirstBankPage = 3; // a 128K machine's bank 0

enum class Memory { None, K48, K128 };

// The machine of a hardware mode in the version's numbering: modes 3 and 4
// mean 128K machines in version 2 and 48K and 128K ones in version 3.
Memory MachineOf(int version, std::uint8_t mode) {
    switch (mode) {
    case 0: // 48K
    case 1: // 48K with Interface 1
        return Memory::K48;
    case 3: // version 2: 128K; version 3: 48K with an MGT disk interface
        return version == 2 ? Memory::K128 : Memory::K48;
    case 4: // version 2: 128K with Interface 1; version 3: 128K
        return Memory::K128;
    case 5: // version 3: 128K with Interface 1
    case 6: // version 3: 128K with an MGT disk interface
        return version == 2 ? Memory::None : Memory::K128;
    case 7:  // +3
    case 8:  // +3, as some writers number it
    case 9:  // Pentagon 128
    case 12: // +2
    case 13: // +2A
        return Memory::K128;
    default:
        return Memory::None;
    }
}

int VersionOf(std::span<const std::uint8_t> file) {
    if (file.size() < HeaderSize || ReadLittleEndian(file, ProgramCounterAt, 2) != 0) {
        return 1;
    }
    if (file.size() < ExtraLengthAt + 2) {
        return 0;
    }
    const std::uint32_t extra = ReadLittleEndian(file, ExtraLengthAt, 2);
    return extra == 23 ? 2 : extra == 54 || extra == 55 ? 3 : 0;
}

// A page of versions 2 and 3: where its block starts (its length) and its
// bytes lie.
struct Page {
    std::size_t Block;
    std::size_t Data;
    std::size_t Length;
    bool Stored;
};

// The screen in a page: as it is, or decoded from the page's run coding.
bool ScreenIn(std::span<const std::uint8_t> file, const Page& page, std::int8_t bank,
              ScreenEntry& entry) {
    entry = StoredScreen(page.Data, bank);
    entry.LengthAt = static_cast<std::uint32_t>(page.Block);
    if (page.Stored) {
        return true;
    }
    return DecodeScreenPage(file, entry, PageCoding::Z80Runs, page.Length, PageSize);
}

bool FindVersion1Screen(std::span<const std::uint8_t> file, std::vector<ScreenEntry>& screens) {
    if (file.size() < HeaderSize) {
        return false;
    }
    const std::uint8_t flags = file[FlagsAt] == 0xFF ? 1 : file[FlagsAt];
    if ((flags & CompressedFlag) == 0) {
        if (file.size() != HeaderSize + Memory48) {
            return false;
        }
        screens.push_back(StoredScreen(HeaderSize, -1));
        return true;
    }
    std::span<const std::uint8_t> coded = file.subspan(HeaderSize);
    if (coded.size() >= std::size(Z80EndMarker) &&
        std::equal(std::begin(Z80EndMarker), std::end(Z80EndMarker),
                   coded.end() - std::size(Z80EndMarker))) {
        coded = coded.first(coded.size() - std::size(Z80EndMarker));
    }
    ScreenEntry entry = StoredScreen(HeaderSize, -1);
    if (!DecodeScreenPage(file, entry, PageCoding::Z80Runs, coded.size(), Memory48)) {
        return false;
    }
    screens.push_back(std::move(entry));
    return true;
}

// The pages of a version 2 or 3 snapshot by number (the first of a number
// counts); false when a block runs past the file.
bool ReadPages(std::span<const std::uint8_t> file, std::size_t at, int version,
               std::vector<Page>& pages) {
    pages.assign(256, Page{0, 0, 0, false});
    while (at < file.size()) {
        if (file.size() - at < 3) {
            return false;
        }
        const std::uint32_t length = ReadLittleEndian(file, at, 2);
        const bool stored = version == 3 && length == StoredLength;
        const std::size_t bytes = stored ? PageSize : length;
        if (bytes > file.size() - at - 3) {
            return false;
        }
        Page& page = pages[file[at + 2]];
        if (page.Block == 0) {
            page = {at, at + 3, bytes, stored};
        }
        at += 3 + bytes;
    }
    return true;
}

bool FindPagedScreens(std::span<const std::uint8_t> file, int version,
                      std::vector<ScreenEntry>& screens) {
    const std::size_t pagesAt = ExtraLengthAt + 2 + ReadLittleEndian(file, ExtraLengthAt, 2);
    if (file.size() < pagesAt) {
        return false;
    }
    const Memory memory = MachineOf(version, file[HardwareAt]);
    std::vector<Page> pages;
    if (memory == Memory::None || !ReadPages(file, pagesAt, version, pages)) {
        return false;
    }
    if (memory == Memory::K48) {
        ScreenEntry entry;
        if (pages[ScreenPage48].Block == 0 || !ScreenIn(file, pages[ScreenPage48], -1, entry)) {
            return false;
        }
        screens.push_back(std::move(entry));
        return true;
    }
    const Page& bank5 = pages[FirstBankPage + NormalScreenBank];
    const Page& bank7 = pages[FirstBankPage + ShadowScreenBank];
    ScreenEntry normal;
    ScreenEntry shadow;
    if (bank5.Block == 0 || bank7.Block == 0 || !ScreenIn(file, bank5, NormalScreenBank, normal) ||
        !ScreenIn(file, bank7, ShadowScreenBank, shadow)) {
        return false;
    }
    OfferScreens(screens, std::move(normal), std::move(shadow), file[PortAt]);
    return true;
}

} // namespace

bool FindZ80Screens(std::span<const std::uint8_t> file, std::vector<ScreenEntry>& screens) {
    switch (VersionOf(file)) {
    case 1:
        return FindVersion1Screen(file, screens);
    case 2:
    case 3:
        return FindPagedScreens(file, VersionOf(file), screens);
    default:
        return false;
    }
}

bool RecodeZ80Page(std::vector<std::uint8_t>& file, const ScreenEntry& entry,
                   const std::uint8_t* screen) {
    std::vector<std::uint8_t> page(entry.PageSize);
    const std::span<const std::uint8_t> coded =
        std::span<const std::uint8_t>(file).subspan(entry.Offset, entry.CodedLength);
    if (!DecodeZ80Runs(coded, page)) {
        return false;
    }
    std::memcpy(page.data(), screen, ScreenFileSize);
    std::vector<std::uint8_t> recoded = EncodeZ80Runs(page);
    std::uint32_t length = static_cast<std::uint32_t>(recoded.size());
    if (entry.LengthAt != 0 && VersionOf(file) == 3 && recoded.size() >= PageSize) {
        recoded = page; // coding would not make it smaller: stored, as version 3 allows
        length = StoredLength;
    }
    const auto at = file.begin() + entry.Offset;
    file.erase(at, at + entry.CodedLength);
    file.insert(file.begin() + entry.Offset, recoded.begin(), recoded.end());
    if (entry.LengthAt != 0) {
        WriteLittleEndian(file, entry.LengthAt, 2, length);
    }
    return true;
}

} // namespace inkswap
