#pragma once
// What a rendered screen should look like, worked out pixel by pixel from
// the screen bytes without the renderer: at zoom z, output pixel (X, Y)
// shows Spectrum pixel (X / z, Y / z), whose byte is found by the cell
// formula and whose colour comes from the colour table below; in the
// swapped phase of FLASH a flashing cell of the colour view shows its ink
// where it has paper and the other way round.

#include "drawing/drawing_context.h"
#include "support/memory_output.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>

namespace screentest {

// Colour numbers 0..7, normal and bright.
inline constexpr rook::Colour Palette[2][8] = {
    {rook::RGB(0, 0, 0), rook::RGB(0, 0, 127), rook::RGB(127, 0, 0), rook::RGB(127, 0, 127),
     rook::RGB(0, 127, 0), rook::RGB(0, 127, 127), rook::RGB(127, 127, 0),
     rook::RGB(127, 127, 127)},
    {rook::RGB(0, 0, 0), rook::RGB(0, 0, 255), rook::RGB(255, 0, 0), rook::RGB(255, 0, 255),
     rook::RGB(0, 255, 0), rook::RGB(0, 255, 255), rook::RGB(255, 255, 0),
     rook::RGB(255, 255, 255)},
};

inline constexpr rook::Colour GridBlue = rook::RGB(0, 0, 255);

inline std::size_t BitmapByteOf(std::int32_t column, std::int32_t row, std::int32_t line) {
    const std::int32_t third = row / 8;
    const std::int32_t rowInThird = row % 8;
    return static_cast<std::size_t>(third * 2048 + line * 256 + rowInThird * 32 + column);
}

inline rook::Colour ExpectedPixel(const std::uint8_t* screen, std::int32_t view,
                                  std::int32_t highlightIndex, bool grid, std::int32_t x,
                                  std::int32_t y, std::int32_t zoom = 2, bool swapped = false) {
    if (grid && (x % (8 * zoom) == 0 || y % (8 * zoom) == 0)) {
        return GridBlue;
    }
    const std::int32_t sx = x / zoom;
    const std::int32_t sy = y / zoom;
    const std::int32_t column = sx / 8;
    const std::int32_t row = sy / 8;
    const std::uint8_t bits = screen[BitmapByteOf(column, row, sy % 8)];
    bool ink = (bits & (0x80 >> (sx % 8))) != 0;
    std::int32_t attribute = view == 0 ? 7 : screen[6144 + row * 32 + column];
    if (view != 0 && swapped && (attribute & 0x80) != 0) {
        ink = !ink;
    }
    if (row * 32 + column == highlightIndex) {
        attribute = 255 - attribute;
    }
    const std::int32_t number = ink ? attribute & 7 : (attribute >> 3) & 7;
    return Palette[(attribute >> 6) & 1][number];
}

// Compares every pixel of an output with the expectation; reports the first
// few mismatches.
inline ::testing::AssertionResult ShowsScreen(const testsupport::MemoryOutput& output,
                                              const std::uint8_t* screen, std::int32_t view,
                                              std::int32_t highlightIndex, bool grid,
                                              std::int32_t zoom = 2, bool swapped = false) {
    std::ostringstream mismatches;
    int count = 0;
    for (std::int32_t y = 0; y < output.Height(); ++y) {
        for (std::int32_t x = 0; x < output.Width(); ++x) {
            const rook::Colour expected =
                ExpectedPixel(screen, view, highlightIndex, grid, x, y, zoom, swapped);
            const rook::Colour actual = output.PixelAt(x, y);
            if (actual != expected && ++count <= 5) {
                mismatches << "  (" << x << ", " << y << "): expected 0x" << std::hex << expected
                           << ", got 0x" << actual << std::dec << '\n';
            }
        }
    }
    if (count == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << count << " pixels differ in view " << view << ":\n"
                                         << mismatches.str();
}

} // namespace screentest
