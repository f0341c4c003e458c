#include "screen/sna_file.h"

#include "screen/snapshot_memory.h"

#include <algorithm>
#include <utility>

namespace inkswap {

namespace {

constexpr std::size_t HeaderSize = 27;
constexpr std::size_t Size48 = HeaderSize + 3 * PageSize;
constexpr std::size_t PortAt = Size48 + 2; // after the program counter
constexpr std::size_t RestAt = Size48 + 4; // the remaining banks
constexpr std::size_t Size128 = RestAt + 5 * PageSize;
constexpr std::size_t Size128Repeated = RestAt + 6 * PageSize;

// Where bank 7 lies in a 128K snapshot whose paged bank is `paged`.
std::size_t Bank7Offset(std::uint8_t paged) {
    if (paged == ShadowScreenBank) {
        return HeaderSize + 2 * PageSize;
    }
    std::size_t index = 0; // among the remaining banks, in ascending order
    for (std::uint8_t bank = 0; bank < ShadowScreenBank; ++bank) {
        if (bank != 5 && bank != 2 && bank != paged) {
            ++index;
        }
    }
    return RestAt + index * PageSize;
}

} // namespace

bool FindSnaScreens(std::span<const std::uint8_t> file, std::vector<ScreenEntry>& screens) {
    if (file.size() == Size48) {
        screens.push_back(StoredScreen(HeaderSize, -1));
        return true;
    }
    if (file.size() != Size128 && file.size() != Size128Repeated) {
        return false;
    }
    const std::uint8_t port = file[PortAt];
    const auto paged = static_cast<std::uint8_t>(port & 7);
    const bool repeated = paged == 2 || paged == 5;
    if (file.size() != (repeated ? Size128Repeated : Size128)) {
        return false;
    }
    ScreenEntry normal = StoredScreen(HeaderSize, NormalScreenBank);
    if (paged == NormalScreenBank) {
        // Bank 5 is saved again as the paged bank: both must hold the same.
        normal.CopyOffset = static_cast<std::uint32_t>(HeaderSize + 2 * PageSize);
        if (!std::equal(file.begin() + HeaderSize, file.begin() + HeaderSize + PageSize,
                        file.begin() + normal.CopyOffset)) {
            return false;
        }
    }
    OfferScreens(screens, std::move(normal), StoredScreen(Bank7Offset(paged), ShadowScreenBank),
                 port);
    return true;
}

} // namespace inkswap
