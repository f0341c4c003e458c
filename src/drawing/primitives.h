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

// Eight 2 x 2 boxes side by side, wholly inside a 3-byte buffer, written
// as FillPixelPair writes each: the two colours packed once, the addresses
// kept in locals (a store through the buffer may alias the context, which
// would make every box load its fields again).
inline void FillPixelPairsOfBits(DrawingContext* context, std::int32_t x, std::int32_t y,
                                 std::int32_t bits, const Colour colours[2]) {
    const std::ptrdiff_t pitch = context->Pitch;
    std::uint8_t* top =
        context->Buffer + (std::ptrdiff_t{context->Height} - 1 - y) * pitch + std::ptrdiff_t{x} * 3;
    const PixelPairBytes pairs[2] = {PackPixelPair(colours[0]), PackPixelPair(colours[1])};
    const auto box = [&](std::int32_t i) {
        const PixelPairBytes& pair = pairs[(bits >> (7 - i)) & 1];
        std::uint8_t* at = top + std::ptrdiff_t{i} * 6;
        std::memcpy(at, &pair.Low, 4);
        std::memcpy(at + 4, &pair.High, 2);
        std::memcpy(at - pitch, &pair.Low, 4);
        std::memcpy(at - pitch + 4, &pair.High, 2);
    };
    box(0);
    box(1);
    box(2);
    box(3);
    box(4);
    box(5);
    box(6);
    box(7);
    // The front colour the last of the eight boxes leaves.
    const Colour last = colours[bits & 1];
    context->FrontColor = last;
    SplitFrontColour(context, last);
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

// Eight 2 x 2 boxes side by side from (x, y) to the right, the i-th from
// the left in colours[(bits >> (7 - i)) & 1]: exactly the eight Box calls
// in that order. When Box would write every one of them itself (the
// context draws into a 3-byte pixel buffer and the row lies inside it),
// they are written at once, with the same pixels and front colour after.
inline void BoxesOfBits(std::int32_t x, std::int32_t y, std::int32_t bits,
                        const Colour colours[2]) {
    DrawingContext* context = CurrentDrawingContext();
    if (context != nullptr && detail::DrawsIntoPixelBuffer(context) && x >= 0 && y >= 0 &&
        std::int64_t{x} + 16 <= context->Width && std::int64_t{y} + 2 <= context->Height) {
        detail::FillPixelPairsOfBits(context, x, y, bits, colours);
        return;
    }
    // A box whose left edge would lie beyond the 32-bit range is past any
    // buffer: it and those right of it are left out.
    for (std::int32_t i = 0; i < 8 && x <= INT32_MAX - i * 2; ++i) {
        Box(x + i * 2, y, 2, 2, colours[(bits >> (7 - i)) & 1]);
    }
}

// The straight line from (x1, y1) to (x2, y2), both end points included
// (Bresenham after clipping); a line and its reverse give the same pixels.
void LineXY(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Colour colour);

// The pixel-buffer version of the context's DrawLine entry.
void DrawLine(DrawingContext* context, std::int32_t x1, std::int32_t y1, std::int32_t x2,
              std::int32_t y2);

} // namespace rook
