// Any bytes as an SZX snapshot: as they come, or as the chunks behind a
// "ZXST" header whose machine the first byte picks, so that most inputs
// reach the chunks. The reader must never read outside the bytes nor
// inflate past a page; every screen it finds must inflate from its chunk,
// and, compressed again with another screen in it, read back changed in
// that chunk and its length only.

#include "fuzz_check.h"
#include "screen/page_coding.h"
#include "screen/screen_file.h"
#include "screen/szx_file.h"
#include "snapshot_check.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    std::vector<std::uint8_t> file;
    if (data[0] < 0xF0) {
        file = {'Z', 'X', 'S', 'T', 1, 4, static_cast<std::uint8_t>(data[0] % 18), 0};
    }
    file.insert(file.end(), data + 1, data + size);
    std::vector<inkswap::ScreenEntry> screens;
    if (!inkswap::FindSzxScreens(file, screens)) {
        FUZZ_CHECK(screens.empty());
        return 0;
    }
    fuzzsupport::CheckSnapshot(file, screens, 4, inkswap::FindSzxScreens, inkswap::InflatePage,
                               inkswap::RecodeSzxPage);
    return 0;
}
