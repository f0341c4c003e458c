// Any bytes as a +3DOS file. The reader must never read outside them, and
// take them as a screen exactly when the header is that of a 6,912-byte
// CODE file whose length is the file's and whose checksum is right.

#include "fuzz_check.h"
#include "screen/plus3dos_file.h"
#include "screen/screen_file.h"

#include <cstring>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<inkswap::ScreenEntry> screens;
    const bool found = inkswap::FindPlus3DosScreen(std::span(data, size), screens);
    FUZZ_CHECK(screens.size() == (found ? 1u : 0u));
    if (!found) {
        return 0;
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < 127; ++i) {
        sum += data[i];
    }
    FUZZ_CHECK(size == 7040 && std::memcmp(data, "PLUS3DOS\x1A", 9) == 0 && data[9] == 1);
    FUZZ_CHECK((sum & 0xFF) == data[127]);
    FUZZ_CHECK(data[11] == 0x80 && data[12] == 0x1B && data[13] == 0 && data[14] == 0);
    FUZZ_CHECK(data[15] == 3 && data[16] == 0x00 && data[17] == 0x1B);
    FUZZ_CHECK(screens[0].Offset == 128 && !screens[0].Checksummed);
    return 0;
}
