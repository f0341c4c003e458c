#include "screen_fixtures.h"

#include <algorithm>
#include <cstdio>

namespace fixtures {

namespace {

constexpr std::size_t AttributeStart = 6144;

std::size_t BitmapOffset(std::int32_t x, std::int32_t y, std::int32_t line) {
    return static_cast<std::size_t>((y & 7) * 32 + x + (y & 24) * 256 + line * 256);
}

std::uint32_t NextRandom(std::uint32_t& state) {
    // xorshift32: small, fast and the same on every platform.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

} // namespace

std::uint8_t SweepBitmapByte(std::int32_t x, std::int32_t y, std::int32_t line) {
    switch ((x + y + line) % 8) {
    case 0:
        return 0x00;
    case 1:
        return 0xFF;
    case 2:
        return 0x80;
    case 3:
        return 0x01;
    default:
        return static_cast<std::uint8_t>(x * 8 + line + y * 97);
    }
}

Screen AttributeSweep() {
    Screen screen{};
    for (std::int32_t y = 0; y < 24; ++y) {
        for (std::int32_t x = 0; x < 32; ++x) {
            for (std::int32_t line = 0; line < 8; ++line) {
                screen[BitmapOffset(x, y, line)] = SweepBitmapByte(x, y, line);
            }
            screen[AttributeStart + static_cast<std::size_t>(y * 32 + x)] =
                static_cast<std::uint8_t>((y * 32 + x) & 0xFF);
        }
    }
    return screen;
}

Screen Noise(std::uint32_t seed) {
    Screen screen{};
    const std::vector<std::uint8_t> bytes = NoiseBytes(ScreenBytes, seed);
    std::copy(bytes.begin(), bytes.end(), screen.begin());
    return screen;
}

std::vector<std::uint8_t> NoiseBytes(std::size_t count, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(count);
    std::uint32_t state = seed != 0 ? seed : 0x9E3779B9u;
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(NextRandom(state) >> 24);
    }
    return bytes;
}

bool WriteBytes(const std::string& path, const std::uint8_t* bytes, std::size_t count) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes, 1, count, file) == count;
    return std::fclose(file) == 0 && written;
}

} // namespace fixtures
