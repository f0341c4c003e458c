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

// The scene's letters, 5 x 7 pixels each, drawn three times their size.
struct Glyph {
    char Letter;
    const char* Rows[7];
};

constexpr Glyph Letters[] = {
    {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {'N', {"#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
};
constexpr std::int32_t LetterScale = 3;

// Colour numbers and attribute bits.
constexpr std::uint8_t Blue = 1, Red = 2, Green = 4, Cyan = 5, Yellow = 6, White = 7;
constexpr std::uint8_t Bright = 0x40;

constexpr std::uint8_t Attribute(std::uint8_t ink, std::uint8_t paper, std::uint8_t bright = 0) {
    return static_cast<std::uint8_t>(bright | (paper << 3) | ink);
}

// Sets or clears pixel (x, y) of the 256 x 192 bitmap; outside it, nothing.
void Plot(Screen& screen, std::int32_t x, std::int32_t y, bool ink = true) {
    if (x < 0 || x >= 256 || y < 0 || y >= 192) {
        return;
    }
    const std::size_t offset = BitmapOffset(x / 8, y / 8, y % 8);
    const auto bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
    screen[offset] = static_cast<std::uint8_t>(ink ? screen[offset] | bit : screen[offset] & ~bit);
}

// Gives the cells from (x0, y0) to (x1, y1), inclusive, the attribute.
void Paint(Screen& screen, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
           std::uint8_t attribute) {
    for (std::int32_t y = y0; y <= y1; ++y) {
        for (std::int32_t x = x0; x <= x1; ++x) {
            screen[AttributeStart + static_cast<std::size_t>(y * 32 + x)] = attribute;
        }
    }
}

void DrawLetter(Screen& screen, const Glyph& glyph, std::int32_t left, std::int32_t top) {
    for (std::int32_t row = 0; row < 7; ++row) {
        for (std::int32_t column = 0; column < 5; ++column) {
            if (glyph.Rows[row][column] != '#') {
                continue;
            }
            for (std::int32_t dy = 0; dy < LetterScale; ++dy) {
                for (std::int32_t dx = 0; dx < LetterScale; ++dx) {
                    Plot(screen, left + column * LetterScale + dx, top + row * LetterScale + dy);
                }
            }
        }
    }
}

void DrawSun(Screen& screen, std::int32_t cx, std::int32_t cy, std::int32_t radius) {
    for (std::int32_t y = cy - radius - 6; y <= cy + radius + 6; ++y) {
        for (std::int32_t x = cx - radius - 6; x <= cx + radius + 6; ++x) {
            const std::int32_t d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            // The disc, and a ring of short rays around it.
            const bool ray =
                d2 > (radius + 3) * (radius + 3) && d2 <= (radius + 6) * (radius + 6) &&
                ((x - cx) == 0 || (y - cy) == 0 || (x - cx) == (y - cy) || (x - cx) == -(y - cy));
            if (d2 <= radius * radius || ray) {
                Plot(screen, x, y);
            }
        }
    }
}

// Green hills: every pixel below a row of rounded tops.
void DrawHills(Screen& screen) {
    for (std::int32_t x = 0; x < 256; ++x) {
        const std::int32_t fromTop = x % 96 - 48; // -48..47 across each hill
        const std::int32_t top = 130 + fromTop * fromTop / 96;
        for (std::int32_t y = top; y < 192; ++y) {
            Plot(screen, x, y);
        }
    }
}

// A house: walls with a door and two windows, under a roof, filling the
// cells from its top-left corner 48 pixels across and 56 down.
void DrawHouse(Screen& screen, std::int32_t left, std::int32_t top) {
    constexpr std::int32_t Width = 48, WallTop = 20, Bottom = 56;
    for (std::int32_t y = 0; y < WallTop; ++y) { // the roof, wider at the bottom
        for (std::int32_t x = Width / 2 - y - 2; x <= Width / 2 + y + 1; ++x) {
            Plot(screen, left + x, top + y);
        }
    }
    for (std::int32_t y = WallTop; y < Bottom; ++y) {
        for (std::int32_t x = 0; x < Width; ++x) {
            const bool wall = x >= 3 && x < Width - 3;
            const bool door = x >= 20 && x < 28 && y >= 40;
            const bool window = ((x >= 8 && x < 16) || (x >= 32 && x < 40)) && y >= 28 && y < 36;
            Plot(screen, left + x, top + y, wall && !door && !window);
        }
    }
}

} // namespace

Screen Scene() {
    Screen screen{};
    Paint(screen, 0, 0, 31, 4, Attribute(White, Blue, Bright));  // the lettering's band
    Paint(screen, 0, 5, 31, 23, Attribute(Green, Cyan, Bright)); // sky and hills
    Paint(screen, 23, 6, 29, 12, Attribute(Yellow, Cyan, Bright));
    Paint(screen, 4, 14, 9, 20, Attribute(Red, Cyan, Bright));
    const char word[] = "INKSWAP";
    const std::int32_t advance = 6 * LetterScale;
    std::int32_t left = (256 - (7 * advance - LetterScale)) / 2;
    for (const char letter : std::string(word)) {
        for (const Glyph& glyph : Letters) {
            if (glyph.Letter == letter) {
                DrawLetter(screen, glyph, left, 9);
            }
        }
        left += advance;
    }
    DrawSun(screen, 212, 76, 14);
    DrawHills(screen);
    DrawHouse(screen, 32, 112);
    return screen;
}

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
