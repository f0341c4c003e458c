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

#include "screen_fixtures.h"
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
               "       make_screen tap|tzx|plus3dos <file>\n",
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
    return Usage();
}
