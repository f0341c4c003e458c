#include "screen/snapshot_memory.h"

#include "screen/page_coding.h"
#include "screen/screen_image.h"

#include <utility>

namespace inkswap {

void OfferScreens(std::vector<ScreenEntry>& screens, ScreenEntry bank5, ScreenEntry bank7,
                  std::uint8_t port) {
    const bool shadow = (port & ShadowScreenBit) != 0;
    screens.push_back(std::move(shadow ? bank7 : bank5));
    screens.push_back(std::move(shadow ? bank5 : bank7));
}

ScreenEntry StoredScreen(std::size_t offset, std::int8_t bank) {
    ScreenEntry entry{};
    entry.Offset = static_cast<std::uint32_t>(offset);
    entry.Bank = bank;
    return entry;
}

bool DecodeScreenPage(std::span<const std::uint8_t> file, ScreenEntry& entry, PageCoding coding,
                      std::size_t codedLength, std::size_t pageSize) {
    std::vector<std::uint8_t> page(pageSize);
    const std::span<const std::uint8_t> coded = file.subspan(entry.Offset, codedLength);
    const bool decoded =
        coding == PageCoding::Zlib ? InflatePage(coded, page) : DecodeZ80Runs(coded, page);
    if (!decoded) {
        return false;
    }
    entry.Coding = coding;
    entry.CodedLength = static_cast<std::uint32_t>(codedLength);
    entry.PageSize = static_cast<std::uint32_t>(pageSize);
    entry.Decoded.assign(page.begin(), page.begin() + ScreenFileSize);
    return true;
}

} // namespace inkswap
