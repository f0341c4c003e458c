// The renderer walks the bitmap in memory order: third by third, pixel line
// by pixel line, cell by cell, bit by bit, one Box per Spectrum pixel (the
// eight of a cell line handed over together, as BoxesOfBits), then
// the vertical grid lines left to right and the horizontal ones top to
// bottom. Each pixel's bit is tested directly; the colours of a cell line
// come from a table made at compile time.

#include "screen/screen_renderer.h"

#include "drawing/primitives.h"
#include "runtime/memory_block.h"
#include "screen/screen_image.h"

#include <array>
#include <cstddef>

namespace inkswap {

namespace {

constexpr std::int32_t Thirds = 3;
constexpr std::int32_t CellsPerThird = 256;
constexpr std::int32_t ThirdBitmapStride = 2048;
constexpr std::int32_t PlainAttribute = 7; // the bitmap view: ink 7, paper 0, not bright
constexpr rook::Colour GridColour = rook::RGB(0, 0, 255);

// Ink and paper of every attribute byte, worked out once.
constexpr std::array<CellColours, 256> AttributeTable = [] {
    std::array<CellColours, 256> table{};
    for (std::int32_t attribute = 0; attribute < 256; ++attribute) {
        table[static_cast<std::size_t>(attribute)] = AttributeColours(attribute);
    }
    return table;
}();

void DrawCellLine(std::int32_t bits, CellColours colours, std::int32_t left, std::int32_t top) {
    // Picked by index rather than by a test, which a busy picture would
    // send the wrong way at every other pixel.
    const rook::Colour paperOrInk[2] = {colours.Paper, colours.Ink};
    rook::BoxesOfBits(left * 2, top * 2, bits, paperOrInk);
}

void DrawGrid() {
    for (std::int32_t i = 0; i < ScreenColumns; ++i) {
        rook::LineXY(i * CellPixels, 0, i * CellPixels, ScreenRows * CellPixels, GridColour);
    }
    for (std::int32_t j = 0; j < ScreenRows; ++j) {
        rook::LineXY(0, j * CellPixels, ScreenColumns * CellPixels, j * CellPixels, GridColour);
    }
}

// The attribute a cell is drawn with in the view.
std::int32_t ShownAttribute(const std::uint8_t* bytes, ScreenView view, std::int32_t cell,
                            bool highlighted) {
    std::int32_t attribute = rook::PeekB(bytes + AttributeStart + cell) & 0xFF;
    if (view == BitmapView) {
        attribute = PlainAttribute;
    }
    return highlighted ? 255 - attribute : attribute;
}

} // namespace

// Computed in 64 bits: any arguments whose true index y * 32 + x lies in
// 0..767 select that cell.
std::int32_t HighlightedCell(std::int32_t x, std::int32_t y) {
    const std::int64_t index = std::int64_t{y} * ScreenColumns + x;
    return index >= 0 && index < CellCount ? static_cast<std::int32_t>(index) : -1;
}

void RenderScreenView(const void* screen, ScreenView view, std::int32_t x, std::int32_t y,
                      bool grid) {
    const auto* bytes = static_cast<const std::uint8_t*>(screen);
    const std::int32_t highlight = HighlightedCell(x, y);
    for (std::int32_t third = 0; third < Thirds; ++third) {
        for (std::int32_t line = 0; line < 8; ++line) {
            for (std::int32_t cell = 0; cell < CellsPerThird; ++cell) {
                const std::int32_t index = third * CellsPerThird + cell;
                const std::int32_t attribute =
                    ShownAttribute(bytes, view, index, highlight == index);
                const std::int32_t bits =
                    rook::PeekB(bytes + cell + line * PixelLineStride + third * ThirdBitmapStride) &
                    0xFF;
                const std::int32_t left = (cell % ScreenColumns) * 8;
                const std::int32_t top = (cell / ScreenColumns) * 8 + line + third * 64;
                DrawCellLine(bits, AttributeTable[static_cast<std::size_t>(attribute)], left, top);
            }
        }
    }
    if (grid) {
        DrawGrid();
    }
}

// The cell's eight pixel lines, then the two grid lines that cross it: the
// vertical one along its left edge and the horizontal one along its top.
// The grid's other lines only touch other cells.
void RenderScreenCell(const void* screen, ScreenView view, std::int32_t column, std::int32_t row,
                      std::int32_t x, std::int32_t y, bool grid) {
    if (column < 0 || column >= ScreenColumns || row < 0 || row >= ScreenRows) {
        return;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(screen);
    const std::int32_t index = row * ScreenColumns + column;
    const std::int32_t attribute =
        ShownAttribute(bytes, view, index, HighlightedCell(x, y) == index);
    const CellColours colours = AttributeTable[static_cast<std::size_t>(attribute)];
    const std::int32_t first = CellBitmapOffset(column, row);
    for (std::int32_t line = 0; line < 8; ++line) {
        const std::int32_t bits = rook::PeekB(bytes + first + line * PixelLineStride) & 0xFF;
        DrawCellLine(bits, colours, column * 8, row * 8 + line);
    }
    const std::int32_t left = column * CellPixels;
    const std::int32_t top = row * CellPixels;
    if (grid) {
        rook::LineXY(left, top, left, top + CellPixels - 1, GridColour);
        rook::LineXY(left, top, left + CellPixels - 1, top, GridColour);
    }
    rook::MarkDrawnArea(left, top, CellPixels, CellPixels);
}

} // namespace inkswap
