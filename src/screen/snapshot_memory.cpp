#include "screen/snapshot_memory.h"

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

} // namespace inkswap
