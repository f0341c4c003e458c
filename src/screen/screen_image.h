#pragma once
// The screen image: the 6,912-byte dump of a ZX Spectrum's display memory,
// held in one memory block for the life of the process. 256 x 192 pixels in
// 32 x 24 character cells of 8 x 8; bytes 0..6,143 are the interleaved
// bitmap (most significant bit = leftmost pixel, set = ink), bytes
// 6,144..6,911 one attribute per cell, row by row (bit 7 flash, bit 6
// bright, bits 5..3 paper, bits 2..0 ink).

#include "drawing/drawing_context.h"

#include <cstdint>

namespace inkswap {

inline constexpr std::int32_t ScreenFileSize = 6912;
inline constexpr std::int32_t BitmapSize = 6144;
inline constexpr std::int32_t AttributeStart = 6144;
inline constexpr std::int32_t ScreenColumns = 32;
inline constexpr std::int32_t ScreenRows = 24;
inline constexpr std::int32_t CellCount = ScreenColumns * ScreenRows;
inline constexpr std::int32_t ScreenWidth = 256; // pixels
inline constexpr std::int32_t ScreenHeight = 192;
inline constexpr std::int32_t CellPixelCount = 64;
inline constexpr std::int32_t PixelLineStride = 256; // between the lines of a cell

inline constexpr std::int32_t AttributeFlash = 0x80;
inline constexpr std::int32_t AttributeBright = 0x40;
inline constexpr std::int32_t AttributePaper = 0x38; // the paper's colour number, shifted
inline constexpr std::int32_t AttributeInk = 0x07;
inline constexpr std::int32_t PaperShift = 3;

// Ink and paper colour numbers (0..7) of an attribute byte.
constexpr std::int32_t InkOf(std::int32_t attribute) {
    return attribute & AttributeInk;
}

constexpr std::int32_t PaperOf(std::int32_t attribute) {
    return (attribute & AttributePaper) >> PaperShift;
}

// Offset of the first pixel line of cell (x, y); line i lies i * 256 further.
constexpr std::int32_t CellBitmapOffset(std::int32_t x, std::int32_t y) {
    return ((y & 7) * 32 + x) + (y & 24) * 256;
}

constexpr std::int32_t CellAttributeOffset(std::int32_t x, std::int32_t y) {
    return AttributeStart + y * 32 + x;
}

struct CellColours {
    rook::Colour Ink;
    rook::Colour Paper;
};

// The RGB colour of colour number n (0..7): bit 1 red, bit 2 green, bit 0
// blue, each at 127, or 255 when bright.
constexpr rook::Colour SpectrumColour(std::int32_t number, bool bright) {
    const std::int32_t intensity = bright ? 255 : 127;
    return rook::RGB(((number >> 1) & 1) * intensity, ((number >> 2) & 1) * intensity,
                     (number & 1) * intensity);
}

// Ink and paper of an attribute byte (only its low 8 bits count).
constexpr CellColours AttributeColours(std::int32_t attribute) {
    const bool bright = (attribute & AttributeBright) != 0;
    return {SpectrumColour(InkOf(attribute), bright), SpectrumColour(PaperOf(attribute), bright)};
}

// Corrects cell (x, y): its eight pixel bytes are inverted and its ink and
// paper swapped, flash and bright kept, so that it looks the same but is
// encoded the opposite way. A cell outside 0..31 x 0..23 is left alone.
void CorrectCell(void* screen, std::int32_t x, std::int32_t y);

// The number of set (ink) pixels of cell (x, y), 0..64.
std::int32_t CellInkCount(const void* screen, std::int32_t x, std::int32_t y);

// Corrects every cell with more than 32 of its 64 pixels set, so that
// afterwards no cell has more ink pixels than paper pixels; the picture
// looks exactly as before. Cells with 32 are left alone. The linear
// indices (y * 32 + x) of the corrected cells go to cells, which has room
// for all 768, in order; their count.
std::int32_t CorrectAllCells(void* screen, std::uint16_t* cells);

// The two phases of FLASH: a Spectrum shows every cell whose flash bit is
// set as it is encoded, then with ink and paper swapped, 16 frames each.
enum class FlashPhase : std::uint8_t { Plain, Swapped };

// The attribute a cell shows in the phase: in the swapped phase a flashing
// cell's ink and paper change places (flash and bright stay).
constexpr std::int32_t FlashedAttribute(std::int32_t attribute, FlashPhase phase) {
    if (phase == FlashPhase::Plain || (attribute & AttributeFlash) == 0) {
        return attribute;
    }
    return (attribute & (AttributeFlash | AttributeBright)) | (InkOf(attribute) << PaperShift) |
           PaperOf(attribute);
}

// Whether any cell of the screen has its flash bit set.
bool HasFlashingCells(const void* screen);

// The colour picture at one pixel per Spectrum pixel: 256 x 192 colours,
// row by row from the top, each pixel the ink or the paper of its cell as
// the colour view shows them in the flash phase.
void ColourPicture(const void* screen, rook::Colour* pixels, FlashPhase phase = FlashPhase::Plain);

// A file is taken as a screen image by its size alone: exactly 6,912 bytes,
// the whole 64-bit size compared.
constexpr bool IsScreenFileSize(std::int64_t size) {
    return size == ScreenFileSize;
}

} // namespace inkswap
