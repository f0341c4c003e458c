#pragma once
// What the snapshot fuzz targets check of every screen a reader finds:
// it lies inside the file, a coded one decodes from its bytes to the
// screen the reader gave, and coding it again with another screen in it
// gives a file that reads back with that screen and the others as they
// were, changed only in the page and its length.

#include "fuzz_check.h"
#include "screen/screen_file.h"
#include "screen/screen_image.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

namespace fuzzsupport {

using Find = bool (*)(std::span<const std::uint8_t>, std::vector<inkswap::ScreenEntry>&);
using Decode = bool (*)(std::span<const std::uint8_t>, std::span<std::uint8_t>);
using Recode = bool (*)(std::vector<std::uint8_t>&, const inkswap::ScreenEntry&,
                        const std::uint8_t*);

// The screen's bytes as the file holds them now.
inline std::vector<std::uint8_t> ScreenOf(std::span<const std::uint8_t> file,
                                          const inkswap::ScreenEntry& entry, Decode decode) {
    if (entry.Coding == inkswap::PageCoding::Stored) {
        return {file.begin() + entry.Offset, file.begin() + entry.Offset + inkswap::ScreenFileSize};
    }
    std::vector<std::uint8_t> page(entry.PageSize);
    FUZZ_CHECK(decode(file.subspan(entry.Offset, entry.CodedLength), page));
    page.resize(inkswap::ScreenFileSize);
    return page;
}

inline void CheckInside(std::span<const std::uint8_t> file, const inkswap::ScreenEntry& entry,
                        Decode decode) {
    FUZZ_CHECK(entry.Bank == -1 || entry.Bank == 5 || entry.Bank == 7);
    if (entry.Coding == inkswap::PageCoding::Stored) {
        FUZZ_CHECK(entry.Offset + inkswap::ScreenFileSize <= file.size());
        return;
    }
    FUZZ_CHECK(entry.Offset + std::size_t{entry.CodedLength} <= file.size());
    FUZZ_CHECK(entry.Decoded.size() == inkswap::ScreenFileSize);
    FUZZ_CHECK(ScreenOf(file, entry, decode) == entry.Decoded);
}

// Codes screen `index` again, inverted, and reads the file back.
inline void CheckRecoded(std::span<const std::uint8_t> file,
                         const std::vector<inkswap::ScreenEntry>& screens, std::size_t index,
                         std::size_t lengthBytes, Find find, Decode decode, Recode recode) {
    const inkswap::ScreenEntry& entry = screens[index];
    std::vector<std::uint8_t> inverted = entry.Decoded;
    for (std::uint8_t& byte : inverted) {
        byte = static_cast<std::uint8_t>(~byte);
    }
    std::vector<std::uint8_t> changed(file.begin(), file.end());
    FUZZ_CHECK(recode(changed, entry, inverted.data()));
    std::vector<inkswap::ScreenEntry> reread;
    FUZZ_CHECK(find(changed, reread) && reread.size() == screens.size());
    for (std::size_t i = 0; i < screens.size(); ++i) {
        FUZZ_CHECK(reread[i].Bank == screens[i].Bank);
        const std::vector<std::uint8_t> expected =
            i == index ? inverted : ScreenOf(file, screens[i], decode);
        FUZZ_CHECK(ScreenOf(changed, reread[i], decode) == expected);
    }
    // Before the page only its length changed, and after it every byte moved as one.
    for (std::size_t at = 0; at < entry.Offset; ++at) {
        const bool length = at >= entry.LengthAt && at < entry.LengthAt + lengthBytes;
        FUZZ_CHECK(changed[at] == file[at] || (entry.LengthAt != 0 && length));
    }
    const std::size_t after = file.size() - entry.Offset - entry.CodedLength;
    FUZZ_CHECK(changed.size() >= entry.Offset + after);
    FUZZ_CHECK(std::equal(file.end() - static_cast<std::ptrdiff_t>(after), file.end(),
                          changed.end() - static_cast<std::ptrdiff_t>(after)));
}

inline void CheckSnapshot(std::span<const std::uint8_t> file,
                          const std::vector<inkswap::ScreenEntry>& screens, std::size_t lengthBytes,
                          Find find, Decode decode, Recode recode) {
    FUZZ_CHECK(screens.size() == 1 || screens.size() == 2);
    if (screens.size() == 1) {
        FUZZ_CHECK(screens[0].Bank == -1);
    } else {
        FUZZ_CHECK(screens[0].Bank + screens[1].Bank == 12 && screens[0].Bank != screens[1].Bank);
    }
    for (std::size_t i = 0; i < screens.size(); ++i) {
        CheckInside(file, screens[i], decode);
        if (screens[i].Coding != inkswap::PageCoding::Stored) {
            CheckRecoded(file, screens, i, lengthBytes, find, decode, recode);
        }
    }
}

} // namespace fuzzsupport
