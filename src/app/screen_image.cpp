#include "app/screen_image.h"

#include "runtime/memory_block.h"

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

} // namespace inkswap
