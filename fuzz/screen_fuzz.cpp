// Random screens and random cells to correct, anywhere in the 32-bit range.
// Correcting a cell must change exactly its eight pixel bytes (found by the
// Spectrum's own line-address formula) and its attribute, keep its look
// pixel for pixel, and correcting it again must give back every byte;
// cells outside the screen change nothing.

#include "fuzz_check.h"
#include "screen/screen_image.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace {

using Screen = std::array<std::uint8_t, inkswap::ScreenFileSize>;

// The display-file address of a pixel line's first byte: line bits 7-6
// select the third, bits 2-0 the line within a character row, bits 5-3 the
// character row within the third.
std::size_t LineOffset(std::int32_t line) {
    return static_cast<std::size_t>(((line & 0xC0) << 5) | ((line & 0x07) << 8) |
                                    ((line & 0x38) << 2));
}

std::size_t PixelByte(std::int32_t x, std::int32_t y, std::int32_t i) {
    return LineOffset(y * 8 + i) + static_cast<std::size_t>(x);
}

std::size_t AttributeByte(std::int32_t x, std::int32_t y) {
    return static_cast<std::size_t>(inkswap::AttributeStart + y * 32 + x);
}

// The cell's 64 pixel colours: ink where a bit is set, else paper.
std::vector<rook::Colour> Look(const Screen& screen, std::int32_t x, std::int32_t y) {
    const inkswap::CellColours colours = inkswap::AttributeColours(screen[AttributeByte(x, y)]);
    std::vector<rook::Colour> look;
    for (std::int32_t i = 0; i < 8; ++i) {
        const std::uint8_t bits = screen[PixelByte(x, y, i)];
        for (int bit = 7; bit >= 0; --bit) {
            look.push_back((bits >> bit & 1) != 0 ? colours.Ink : colours.Paper);
        }
    }
    return look;
}

std::int32_t CellCoordinate(FuzzedDataProvider& input, std::int32_t limit) {
    if (input.ConsumeIntegralInRange(0, 7) == 0) {
        return input.ConsumeIntegral<std::int32_t>();
    }
    return input.ConsumeIntegralInRange<std::int32_t>(-2, limit + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The cells come first and the screen from what is left, so that short
    // inputs already correct cells of a partly filled screen.
    FuzzedDataProvider input(data, size);
    std::vector<std::pair<std::int32_t, std::int32_t>> cells(input.ConsumeIntegralInRange(1, 16));
    for (auto& [x, y] : cells) {
        x = CellCoordinate(input, inkswap::ScreenColumns);
        y = CellCoordinate(input, inkswap::ScreenRows);
    }
    Screen screen{};
    const std::vector<std::uint8_t> bytes = input.ConsumeRemainingBytes<std::uint8_t>();
    std::copy_n(bytes.begin(), std::min(bytes.size(), screen.size()), screen.begin());
    for (const auto& [x, y] : cells) {
        const Screen before = screen;
        inkswap::CorrectCell(screen.data(), x, y);
        if (x < 0 || x >= inkswap::ScreenColumns || y < 0 || y >= inkswap::ScreenRows) {
            FUZZ_CHECK(screen == before);
            continue;
        }
        FUZZ_CHECK(Look(screen, x, y) == Look(before, x, y));
        Screen expected = before;
        for (std::int32_t i = 0; i < 8; ++i) {
            const std::size_t at = PixelByte(x, y, i);
            FUZZ_CHECK(static_cast<std::int32_t>(at) == inkswap::CellBitmapOffset(x, y) + i * 256);
            expected[at] = static_cast<std::uint8_t>(~before[at]);
        }
        const std::uint8_t attribute = before[AttributeByte(x, y)];
        // Flash and bright kept, ink and paper swapped.
        expected[AttributeByte(x, y)] = static_cast<std::uint8_t>(
            (attribute & 0xC0) | (attribute & 0x07) << 3 | (attribute >> 3 & 0x07));
        FUZZ_CHECK(screen == expected);
        inkswap::CorrectCell(screen.data(), x, y);
        FUZZ_CHECK(screen == before);
        inkswap::CorrectCell(screen.data(), x, y);
    }
    return 0;
}
