#include "cli/input_file.h"

#include "cli/arguments.h"

#include <cstdio>

namespace inkswap::cli {

namespace {

constexpr char NoScreen[] = "holds no screen Inkswap reads";

// Standard input up to its end; false when it holds more than a screen
// file may or cannot be read.
bool ReadStandardInput(std::vector<std::uint8_t>& bytes, std::string& reason) {
    std::uint8_t chunk[65536];
    std::size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) {
        if (bytes.size() + count > static_cast<std::size_t>(LargestScreenFile)) {
            reason = NoScreen;
            return false;
        }
        bytes.insert(bytes.end(), chunk, chunk + count);
    }
    if (std::ferror(stdin) != 0) {
        reason = "cannot be read";
        return false;
    }
    return true;
}

} // namespace

bool ReadInput(const std::string& name, ScreenFile& file, std::string& reason) {
    if (name == StandardStream) {
        ScreenFile read{};
        if (!ReadStandardInput(read.Bytes, reason)) {
            return false;
        }
        if (!FindScreens(read)) {
            reason = NoScreen;
            return false;
        }
        file = std::move(read);
        return true;
    }
    switch (LoadScreenFile(name.c_str(), file)) {
    case ScreenLoad::Loaded:
        return true;
    case ScreenLoad::Unreadable:
        reason = "cannot be read";
        return false;
    case ScreenLoad::NotAScreen:
        break;
    }
    reason = NoScreen;
    return false;
}

} // namespace inkswap::cli
