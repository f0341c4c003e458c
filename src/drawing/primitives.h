#pragma once
// Box and LineXY, the two drawing primitives. Both draw into the buffer of
// the current drawing context in the colour passed to them, clipped to the
// buffer, by writing pixel bytes directly; nothing is ever written outside
// the buffer, whatever the arguments. Coordinates grow right and down from
// the top-left pixel (0, 0). Without a current context they do nothing.
//
// Both install the colour first (splitting it into components only when it
// differs from the context's current front colour) and then call through
// the context's operations table.

#include "drawing/drawing_context.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace rook {

void DrawBox(DrawingContext* context, std::int32_t x, std::int32_t y, std::int32_t width,
             std::int32_t height);

namespace detail {

// Makes the colour the context's front colour, splitting it into components
// only when it differs from the current one. The pixel-buffer split is
// done here, without the call through the table, when it is the context's.
inline void InstallColour(DrawingContext* context, Colour colour) {
    if (colour == context->FrontColor) {
        return;
    }
    context->FrontColor = colour;
    if (context->Operations.SetFrontColor == SetFrontColor) {
        SplitFrontColour(context, colour);
        return;
    }
    context->Operations.SetFrontColor(context, colour);
}

// Whether Box may do the work of the context's SetFrontColor and DrawBox
// itself: both are the pixel-buffer ones and the buffer has 3-byte pixels.
inline bool DrawsIntoPixelBuffer(const DrawingContext* context) {
    return context->Operations.DrawBox == DrawBox &&
           context->Operations.SetFrontColor == SetFrontColor && context->BytesPerPixel == 3;
}

// Installing the colour and the pixel-buffer DrawBox, for a 2 x 2 box that
// lies wholly inside a 3-byte buffer, the renderer's box: two rows of two
// pixels, six bytes each. The colour is split on every call rather than on
// a change: the split leaves the same fields either way, and a test of the
// colour goes the wrong way at every other pixel of a busy picture, which
// costs more than the stores. False, with nothing changed, for any other box.
inline bool FillPixelPair(DrawingContext* context, std::int32_t x, std::int32_t y,
                          std::int32_t width, std::int32_t height, Colour colour) {
    if (width != 2 || height != 2 || x < 0 || y < 0 || x > context->Width - 2 ||
        y > context->Height - 2) {
        return false;
    }
    const std::ptrdiff_t pitch = context->Pitch;
    std::uint8_t* top =
        context->Buffer + (std::ptrdiff_t{context->Height} - 1 - y) * pitch + std::ptrdiff_t{x} * 3;
    context->FrontColor = colour;
    SplitFrontColour(context, colour);
    const PixelPairBytes pair = PackPixelPair(colour);
    std::memcpy(top, &pair.Low, 4);
    std::memcpy(top + 4, &pair.High, 2);
    std::memcpy(top - pitch, &pair.Low, 4);
    std::memcpy(top - pitch + 4, &pair.High, 2);
    return true;
}

} // namespace detail

// Fills width x height pixels from the top-left corner (x, y). A negative
// size extends to the other side: Box(5, 5, -2, 3) covers x = 3 and 4.
// Inline: the renderer makes nearly 100,000 calls a frame. When the
// context draws with the pixel-buffer operations, a 2 x 2 box inside the
// buffer is written here; every other box, and every box of a context
// whose table entries were replaced, installs its colour and goes through
// the table.
inline void Box(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                Colour colour) {
    DrawingContext* context = CurrentDrawingContext();
    if (context == nullptr) {
        return;
    }
    if (detail::DrawsIntoPixelBuffer(context) &&
        detail::FillPixelPair(context, x, y, width, height, colour)) {
        return;
    }
    detail::InstallColour(context, colour);
    context->Operations.DrawBox(context, x, y, width, height);
}

// The two colours of a group of eight boxes, paper for a clear bit and ink
// for a set one, packed once into the stored forms that BoxesOfBits writes:
// each alone, and every pair of them side by side (clear-clear, clear-set,
// set-clear, set-set), in the low bytes of a word.
struct BitPalette {
    Colour Colours[2];
    std::uint32_t Pixels[2];
    std::uint64_t Pairs[4];
};

constexpr BitPalette MakeBitPalette(Colour paper, Colour ink) {
    const auto pixel = [](Colour colour) {
        return (colour >> 16 & 0xFF) | (colour & 0xFF00) | (colour & 0xFF) << 16;
    };
    const std::uint32_t p = pixel(paper);
    const std::uint32_t i = pixel(ink);
    const auto pair = [](std::uint32_t left, std::uint32_t right) {
        return left | std::uint64_t{right} << 24;
    };
    return {{paper, ink}, {p, i}, {pair(p, p), pair(p, i), pair(i, p), pair(i, i)}};
}

// Groups of eight size x size boxes side by side from (x, y) to the right,
// one group for each of the count bytes of bits: the i-th box of group g in
// palettes[g].Colours[(bits[g] >> (7 - i)) & 1]. Exactly the count * 8 Box
// calls in that order. When Box would write every one of them itself (the
// context draws into a 3-byte pixel buffer and the row lies inside it) and
// the size is 1 to 4, the row is composed once and copied to its size rows,
// with the same pixels and the same front colour after.
void BoxesOfBits(std::int32_t x, std::int32_t y, const std::uint8_t* bits,
                 const BitPalette* palettes, std::int32_t count, std::int32_t size);

// The straight line from (x1, y1) to (x2, y2), both end points included
// (Bresenham after clipping); a line and its reverse give the same pixels.
void LineXY(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Colour colour);

// The pixel-buffer version of the context's DrawLine entry.
void DrawLine(DrawingContext* context, std::int32_t x1, std::int32_t y1, std::int32_t x2,
              std::int32_t y2);

} // namespace rook
