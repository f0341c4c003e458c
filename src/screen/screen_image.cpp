#include "screen/screen_image.h"

#include "runtime/memory_block.h"

#include <algorithm>
#include <bit>

namespace inkswap {

void CorrectCell(void* screen, std::int32_t x, std::int32_t y) {
    if (x < 0 || x >= ScreenColumns || y < 0 || y >= ScreenRows) {
        return;
    }
    auto* bytes = static_cast<std::uint8_t*>(screen);
    const std::int32_t first = CellBitmapOffset(x, y);
    for (std::int32_t line = 0; line < 8; ++line) {
        std::uint8_t* pixels = bytes + first + line * PixelLineStride;
        rook::PokeB(pixels, 255 - (rook::PeekB(pixels) & 0xFF));
    }
    std::uint8_t* attribute = bytes + CellAttributeOffset(x, y);
    const std::int32_t a = rook::PeekB(attribute) & 0xFF;
    const std::int32_t kept = a & (AttributeFlash | AttributeBright);
    rook::PokeB(attribute, kept | (InkOf(a) << PaperShift) | PaperOf(a));
}

std::int32_t CellInkCount(const void* screen, std::int32_t x, std::int32_t y) {
    const auto* bytes = static_cast<const std::uint8_t*>(screen);
    const std::int32_t first = CellBitmapOffset(x, y);
    // The eight lines side by side in one word: one count instead of eight.
    std::uint64_t lines = 0;
    for (std::int32_t line = 0; line < 8; ++line) {
        lines = lines << 8 | bytes[first + line * PixelLineStride];
    }
    return std::popcount(lines);
}

std::int32_t CorrectAllCells(void* screen, std::uint16_t* cells) {
    std::int32_t count = 0;
    for (std::int32_t cell = 0; cell < CellCount; ++cell) {
        const std::int32_t x = cell % ScreenColumns;
        const std::int32_t y = cell / ScreenColumns;
        if (CellInkCount(screen, x, y) * 2 > CellPixelCount) {
            CorrectCell(screen, x, y);
            cells[count++] = static_cast<std::uint16_t>(cell);
        }
    }
    return count;
}

bool HasFlashingCells(const void* screen) {
    const auto* bytes = static_cast<const std::uint8_t*>(screen) + AttributeStart;
    return std::any_of(bytes, bytes + CellCount,
                       [](std::uint8_t attribute) { return (attribute & AttributeFlash) != 0; });
}

void ColourPicture(const void* screen, rook::Colour* pixels, FlashPhase phase) {
    const auto* bytes = static_cast<const std::uint8_t*>(screen);
    for (std::int32_t y = 0; y < ScreenHeight; ++y) {
        const std::int32_t row = y / 8;
        const std::int32_t line = y % 8;
        for (std::int32_t x = 0; x < ScreenColumns; ++x) {
            const CellColours colours =
                AttributeColours(FlashedAttribute(bytes[CellAttributeOffset(x, row)], phase));
            const std::int32_t byte = bytes[CellBitmapOffset(x, row) + line * PixelLineStride];
            rook::Colour* out = pixels + y * ScreenWidth + x * 8;
            for (std::int32_t bit = 0; bit < 8; ++bit) {
                out[bit] = (byte & (0x80 >> bit)) != 0 ? colours.Ink : colours.Paper;
            }
        }
    }
}

} // namespace inkswap
