// Any bytes as an SNA snapshot: cut or padded with zeros to one of the
// sizes the format has, or as they come, as the first byte says. The
// reader must take exactly the sizes that hold a whole machine, never read
// outside the bytes, and find bank 7 where a model of the 128K layout puts
// it: banks 5, 2 and the paged one, then the others in ascending order
// after the 4 bytes of the program counter, the port and the TR-DOS flag.
// Bank 5 paged lies there twice, and both copies must be the same.

#include "fuzz_check.h"
#include "screen/screen_file.h"
#include "screen/sna_file.h"

#include <algorithm>
#include <span>
#include <vector>

namespace {

constexpr std::size_t Header = 27;
constexpr std::size_t Bank = 16384;
constexpr std::size_t Sizes[] = {Header + 3 * Bank, Header + 3 * Bank + 4 + 5 * Bank,
                                 Header + 3 * Bank + 4 + 6 * Bank};

std::size_t ModelBank7(std::uint8_t paged) {
    std::vector<std::uint8_t> order = {5, 2, paged};
    for (std::uint8_t bank = 0; bank < 8; ++bank) {
        if (std::find(order.begin(), order.end(), bank) == order.end()) {
            order.push_back(bank);
        }
    }
    const auto at =
        static_cast<std::size_t>(std::find(order.begin(), order.end(), 7) - order.begin());
    return at < 3 ? Header + at * Bank : Header + 3 * Bank + 4 + (at - 3) * Bank;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    std::vector<std::uint8_t> file(data + 1, data + size);
    if (data[0] % 4 != 0) {
        file.resize(Sizes[data[0] % 4 - 1], 0);
    }
    std::vector<inkswap::ScreenEntry> screens;
    const bool found = inkswap::FindSnaScreens(file, screens);
    if (file.size() == Sizes[0]) {
        FUZZ_CHECK(found && screens.size() == 1 && screens[0].Offset == Header &&
                   screens[0].Bank == -1);
        return 0;
    }
    if (file.size() != Sizes[1] && file.size() != Sizes[2]) {
        FUZZ_CHECK(!found && screens.empty());
        return 0;
    }
    const std::uint8_t port = file[Header + 3 * Bank + 2];
    const auto paged = static_cast<std::uint8_t>(port & 7);
    const bool repeated = paged == 2 || paged == 5;
    if (file.size() != Sizes[repeated ? 2 : 1]) {
        FUZZ_CHECK(!found && screens.empty());
        return 0;
    }
    const std::size_t copy = Header + 2 * Bank;
    const bool copiesDiffer =
        paged == 5 && !std::equal(file.begin() + Header, file.begin() + Header + Bank,
                                  file.begin() + static_cast<std::ptrdiff_t>(copy));
    if (copiesDiffer) {
        FUZZ_CHECK(!found && screens.empty());
        return 0;
    }
    FUZZ_CHECK(found && screens.size() == 2);
    const bool shadow = (port & 0x08) != 0;
    const inkswap::ScreenEntry& bank5 = screens[shadow ? 1 : 0];
    const inkswap::ScreenEntry& bank7 = screens[shadow ? 0 : 1];
    FUZZ_CHECK(bank5.Bank == 5 && bank5.Offset == Header);
    FUZZ_CHECK(bank5.CopyOffset == (paged == 5 ? copy : 0));
    FUZZ_CHECK(bank7.CopyOffset == 0);
    FUZZ_CHECK(bank7.Bank == 7 && bank7.Offset == ModelBank7(paged));
    for (const inkswap::ScreenEntry& screen : screens) {
        FUZZ_CHECK(screen.Coding == inkswap::PageCoding::Stored && !screen.Checksummed);
    }
    return 0;
}
