// Writes deterministic screen files for tests and demos:
//
//   make_screen sweep <file>          every attribute, position-dependent bitmap
//   make_screen scene <file>          lettering above a small scene
//   make_screen noise <seed> <file>   pseudo-random screen
//   make_screen bytes <count> <seed> <file>
//                                     pseudo-random file of any size
//   make_screen tap <file>            a game's tape with the scene as its
//                                     loading screen and the sweep after it
//   make_screen tzx <file>            the same as a TZX tape, the scene also
//                                     attached as the tape's loading screen
//   make_screen plus3dos <file>       the scene in a +3DOS file
//   make_screen sna48|z80|szx <file>  a 48K snapshot showing the scene (the
//                                     Z80 file of version 1, compressed)
//   make_screen sna128|z80-128|szx-128 <file>
//                                     a 128K snapshot showing bank 7, the
//                                     scene, with the sweep in bank 5 (the
//                                     Z80 file of version 3, compressed)

#include "screen_fixtures.h"
#include "snapshot_fixtures.h"
#include "tape_fixtures.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fputs("usage: make_screen sweep <file>\n"
               "       make_screen scene <file>\n"
               "       make_screen noise <seed> <file>\n"
               "       make_screen bytes <count> <seed> <file>\n"
               "       make_screen tap|tzx|plus3dos <file>\n"
               "       make_screen sna48|sna128|z80|z80-128|szx|szx-128 <file>\n",
               stderr);
    return 2;
}

unsigned long Number(const char* text) {
    return std::strtoul(text, nullptr, 10);
}

int Write(const std::string& path, const std::uint8_t* bytes, std::size_t count) {
    if (!fixtures::WriteBytes(path, bytes, count)) {
        std::fprintf(stderr, "make_screen: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

// The blocks of a game's tape: its loader, the named scene, its code, and a
// second, headerless screen.
std::vector<fixtures::Bytes> GameTape() {
    std::vector<fixtures::Bytes> blocks = fixtures::GameTapeBlocks(fixtures::Scene(), "loading");
    blocks.push_back(fixtures::ScreenBlock(fixtures::AttributeSweep()));
    return blocks;
}

int WriteContainer(const std::string& kind, const std::string& path) {
    fixtures::Bytes file;
    if (kind == "tap") {
        file = fixtures::TapFile(GameTape());
    } else if (kind == "tzx") {
        std::vector<fixtures::Bytes> blocks;
        for (const fixtures::Bytes& block : GameTape()) {
            blocks.push_back(fixtures::TzxStandard(block));
        }
        blocks.push_back(fixtures::TzxAttachedScreen(fixtures::Scene(), "Inkswap", 1));
        file = fixtures::TzxFile(blocks);
    } else {
        file = fixtures::Plus3DosFile(fixtures::Scene());
    }
    return Write(path, file.data(), file.size());
}

bool IsSnapshot(const std::string& kind) {
    for (const char* name : {"sna48", "sna128", "z80", "z80-128", "szx", "szx-128"}) {
        if (kind == name) {
            return true;
        }
    }
    return false;
}

int WriteSnapshot(const std::string& kind, const std::string& path) {
    const fixtures::Machine48 m48 = fixtures::Memory48(48, fixtures::Scene());
    // Bank 7 shown, the 48K ROM, bank 0 at 0xC000.
    const fixtures::Machine128 m128 =
        fixtures::Memory128(128, fixtures::AttributeSweep(), fixtures::Scene(), 0x18);
    fixtures::Bytes file;
    if (kind == "sna48") {
        file = fixtures::Sna48(m48);
    } else if (kind == "sna128") {
        file = fixtures::Sna128(m128);
    } else if (kind == "z80") {
        file = fixtures::Z80Version1(m48, true);
    } else if (kind == "z80-128") {
        file = fixtures::Z80Paged(3, m128, true);
    } else if (kind == "szx") {
        file = fixtures::Szx(m48, true);
    } else {
        file = fixtures::Szx(m128, true);
    }
    return Write(path, file.data(), file.size());
}

} // namespace

int main(int argc, char** argv) {
    const std::string pattern = argc > 1 ? argv[1] : "";
    if (pattern == "sweep" && argc == 3) {
        const fixtures::Screen screen = fixtures::AttributeSweep();
        return Write(argv[2], screen.data(), screen.size());
    }
    if (pattern == "scene" && argc == 3) {
        const fixtures::Screen screen = fixtures::Scene();
        return Write(argv[2], screen.data(), screen.size());
    }
    if (pattern == "noise" && argc == 4) {
        const fixtures::Screen screen =
            fixtures::Noise(static_cast<std::uint32_t>(Number(argv[2])));
        return Write(argv[3], screen.data(), screen.size());
    }
    if (pattern == "bytes" && argc == 5) {
        const auto bytes =
            fixtures::NoiseBytes(Number(argv[2]), static_cast<std::uint32_t>(Number(argv[3])));
        return Write(argv[4], bytes.data(), bytes.size());
    }
    if ((pattern == "tap" || pattern == "tzx" || pattern == "plus3dos") && argc == 3) {
        return WriteContainer(pattern, argv[2]);
    }
    if (IsSnapshot(pattern) && argc == 3) {
        return WriteSnapshot(pattern, argv[2]);
    }
    return Usage();
}
