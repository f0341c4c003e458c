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

#include <cstdint>

namespace rook {

namespace detail {

// Makes the colour the context's front colour, splitting it into components
// only when it differs from the current one.
inline void InstallColour(DrawingContext* context, Colour colour) {
    if (colour != context->FrontColor) {
        context->FrontColor = colour;
        context->Operations.SetFrontColor(context, colour);
    }
}

} // namespace detail

// Fills width x height pixels from the top-left corner (x, y). A negative
// size extends to the other side: Box(5, 5, -2, 3) covers x = 3 and 4.
// Inline: the renderer makes nearly 100,000 calls a frame.
inline void Box(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                Colour colour) {
    DrawingContext* context = CurrentDrawingContext();
    if (context == nullptr) {
        return;
    }
    detail::InstallColour(context, colour);
    context->Operations.DrawBox(context, x, y, width, height);
}

// The straight line from (x1, y1) to (x2, y2), both end points included
// (Bresenham after clipping); a line and its reverse give the same pixels.
void LineXY(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Colour colour);

// The pixel-buffer versions of the context's DrawBox and DrawLine entries.
void DrawBox(DrawingContext* context, std::int32_t x, std::int32_t y, std::int32_t width,
             std::int32_t height);
void DrawLine(DrawingContext* context, std::int32_t x1, std::int32_t y1, std::int32_t x2,
              std::int32_t y2);

} // namespace rook
