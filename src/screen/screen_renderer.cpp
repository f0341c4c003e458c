// The renderer walks the bitmap in memory order: third by third, pixel line
// by pixel line, cell by cell, bit by bit, one Box per Spectrum pixel (the
// 32 cells of a pixel row handed over together, as BoxesOfBits), then the
// vertical grid lines left to right and the horizontal ones top to bottom.
// The 32 bitmap bytes of a pixel row lie side by side in memory, and so do
// the 32 attributes of their cells; the colours come from a table made at
// compile time.

#include "screen/screen_renderer.h"

#include "drawing/primitives.h"
#include "runtime/memory_block.h"

#include <array>
#include <cstddef>

namespace inkswap {

namespace {

constexpr std::int32_t Thirds = 3;
constexpr std::int32_t CellsPerThird = 256;
constexpr std::int32_t RowsPerThird = 8;
constexpr std::int32_t ThirdBitmapStride = 2048;
constexpr std::int32_t PlainAttribute = 7; // the bitmap view: ink 7, paper 0, not bright
constexpr rook::Colour GridColour = rook::RGB(0, 0, 255);

// Paper and ink of every attribute byte, packed for BoxesOfBits, worked
// out at compile time.
constexpr std::array<rook::BitPalette, 256> AttributeTable = [] {
    std::array<rook::BitPalette, 256> table{};
    for (std::int32_t attribute = 0; attribute < 256; ++attribute) {
        const CellColours colours = AttributeColours(attribute);
        table[static_cast<std::size_t>(attribute)] =
            rook::MakeBitPalette(colours.Paper, colours.Ink);
    }
    return table;
}();

void DrawGrid(std::int32_t zoom) {
    const std::int32_t cell = CellSize(zoom);
    for (std::int32_t i = 0; i < ScreenColumns; ++i) {
        rook::LineXY(i * cell, 0, i * cell, ScreenRows * cell, GridColour);
    }
    for (std::int32_t j = 0; j < ScreenRows; ++j) {
        rook::LineXY(0, j * cell, ScreenColumns * cell, j * cell, GridColour);
    }
}

// The attribute a cell is drawn with in the view: the bitmap view's plain
// one, or the cell's own in the flash phase; inverted when highlighted.
std::int32_t ShownAttribute(const std::uint8_t* bytes, ScreenView view, const ViewLook& look,
                            std::int32_t cell, bool highlighted) {
    std::int32_t attribute = PlainAttribute;
    if (view != BitmapView) {
        attribute = FlashedAttribute(rook::PeekB(bytes + AttributeStart + cell) & 0xFF, look.Flash);
    }
    return highlighted ? 255 - attribute : attribute;
}

const rook::BitPalette& PaletteOf(std::int32_t attribute) {
    return AttributeTable[static_cast<std::size_t>(attribute)];
}

} // namespace

// Computed in 64 bits: any arguments whose true index y * 32 + x lies in
// 0..767 select that cell.
std::int32_t HighlightedCell(std::int32_t x, std::int32_t y) {
    const std::int64_t index = std::int64_t{y} * ScreenColumns + x;
    return index >= 0 && index < CellCount ? static_cast<std::int32_t>(index) : -1;
}

void RenderScreenView(const void* screen, ScreenView view, std::int32_t x, std::int32_t y,
                      const ViewLook& look) {
    const auto* bytes = static_cast<const std::uint8_t*>(screen);
    const std::int32_t highlight = HighlightedCell(x, y);
    // Each cell's colours once: the eight pixel rows of a cell row share them.
    rook::BitPalette palettes[CellCount];
    for (std::int32_t cell = 0; cell < CellCount; ++cell) {
        palettes[cell] = PaletteOf(ShownAttribute(bytes, view, look, cell, highlight == cell));
    }
    for (std::int32_t third = 0; third < Thirds; ++third) {
        for (std::int32_t line = 0; line < 8; ++line) {
            for (std::int32_t row = 0; row < RowsPerThird; ++row) {
                const std::int32_t first = third * CellsPerThird + row * ScreenColumns;
                const std::uint8_t* pixels = bytes + row * ScreenColumns + line * PixelLineStride +
                                             third * ThirdBitmapStride;
                const std::int32_t top = (third * RowsPerThird + row) * 8 + line;
                rook::BoxesOfBits(0, top * look.Zoom, pixels, palettes + first, ScreenColumns,
                                  look.Zoom);
            }
        }
    }
    if (look.Grid) {
        DrawGrid(look.Zoom);
    }
}

// The cell's eight pixel lines, then the two grid lines that cross it: the
// vertical one along its left edge and the horizontal one along its top.
// The grid's other lines only touch other cells.
void RenderScreenCell(const void* screen, ScreenView view, std::int32_t column, std::int32_t row,
                      std::int32_t x, std::int32_t y, const ViewLook& look) {
    if (column < 0 || column >= ScreenColumns || row < 0 || row >= ScreenRows) {
        return;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(screen);
    const std::int32_t index = row * ScreenColumns + column;
    const std::int32_t attribute =
        ShownAttribute(bytes, view, look, index, HighlightedCell(x, y) == index);
    const rook::BitPalette* palette = &PaletteOf(attribute);
    const std::int32_t first = CellBitmapOffset(column, row);
    const std::int32_t cell = CellSize(look.Zoom);
    const std::int32_t left = column * cell;
    const std::int32_t top = row * cell;
    for (std::int32_t line = 0; line < 8; ++line) {
        const auto bits =
            static_cast<std::uint8_t>(rook::PeekB(bytes + first + line * PixelLineStride));
        rook::BoxesOfBits(left, top + line * look.Zoom, &bits, palette, 1, look.Zoom);
    }
    if (look.Grid) {
        rook::LineXY(left, top, left, top + cell - 1, GridColour);
        rook::LineXY(left, top, left + cell - 1, top, GridColour);
    }
    rook::MarkDrawnArea(left, top, cell, cell);
}

} // namespace inkswap
