// Writes deterministic screen files for tests and demos:
//
//   make_screen sweep <file>          every attribute, position-dependent bitmap
//   make_screen scene <file>          lettering above a small scene
//   make_screen noise <seed> <file>   pseudo-random screen
//   make_screen bytes <count> <seed> <file>
//                                     pseudo-random file of any size

#include "screen_fixtures.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Usage() {
    std::fputs("usage: make_screen sweep <file>\n"
               "       make_screen scene <file>\n"
               "       make_screen noise <seed> <file>\n"
               "       make_screen bytes <count> <seed> <file>\n",
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
    return Usage();
}
