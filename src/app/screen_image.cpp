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
    rook::PokeB(attribute, (a & 0xC0) | ((a & 7) << 3) | ((a & 0x38) >> 3));
}

} // namespace inkswap
