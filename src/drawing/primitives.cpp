// Boxes and lines on a pixel buffer. All coordinate arithmetic is done in
// 64 bits, so that sizes and coordinates anywhere in the 32-bit range clip
// correctly and every write stays inside the buffer.

#include "drawing/primitives.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace rook {

namespace {

using Coordinate = std::int64_t;

// The buffer fields of a context and its front colour's pixel bytes (packed
// from the components that SetFrontColor made), taken into locals once per
// primitive. Stores through the pixel pointer may alias the context, so
// reading the fields from it for every pixel would force them to be loaded
// again after each byte written. The renderer's boxes do not come here, so
// the context keeps no packed copy of its own that every box would store.
class PixelWriter {
public:
    explicit PixelWriter(const DrawingContext* context)
        : buffer_(context->Buffer), pitch_(context->Pitch), height_(context->Height),
          bytesPerPixel_(context->BytesPerPixel),
          pair_(PackPixelPair(RGB(context->FrontRed, context->FrontGreen, context->FrontBlue))) {}

    // The first byte of pixel (x, y): rows are stored bottom-up.
    std::uint8_t* Address(Coordinate x, Coordinate y) const {
        return buffer_ + (height_ - 1 - y) * pitch_ + x * bytesPerPixel_;
    }

    std::ptrdiff_t Pitch() const { return pitch_; }
    std::ptrdiff_t BytesPerPixel() const { return bytesPerPixel_; }

    // Stores blue, green and red; a fourth byte is left as it was.
    void WritePixel(std::uint8_t* address) const {
        std::memcpy(address, &pair_.Low, 2);
        address[2] = static_cast<std::uint8_t>(pair_.Low >> 16);
    }

    // Two pixels side by side: six bytes in two stores.
    void WritePair(std::uint8_t* address) const {
        std::memcpy(address, &pair_.Low, 4);
        std::memcpy(address + 4, &pair_.High, 2);
    }

    // count pixels from (x, y) to the right; no clipping, count >= 1.
    void FillRow(Coordinate x, Coordinate y, Coordinate count) const {
        FillRowAt(Address(x, y), count);
    }

    // rows rows of count pixels each, from the top row's first byte down:
    // a row further down lies one pitch lower in memory.
    void FillRows(std::uint8_t* address, Coordinate rows, Coordinate count) const {
        // Rows of two packed pixels, the renderer's, need no loop of their own.
        if (count == 2 && bytesPerPixel_ == 3) {
            for (; rows > 0; --rows, address -= pitch_) {
                WritePair(address);
            }
            return;
        }
        for (; rows > 0; --rows, address -= pitch_) {
            FillRowAt(address, count);
        }
    }

    // count pixels to the right from a pixel's first byte.
    void FillRowAt(std::uint8_t* address, Coordinate count) const {
        if (bytesPerPixel_ != 3) {
            for (Coordinate i = 0; i < count; ++i, address += bytesPerPixel_) {
                WritePixel(address);
            }
            return;
        }
        // Packed pixels go two at a time.
        for (; count > 1; count -= 2, address += 6) {
            WritePair(address);
        }
        if (count == 1) {
            WritePixel(address);
        }
    }

    // count pixels from (x, y) downward; no clipping, count >= 1.
    void FillColumn(Coordinate x, Coordinate y, Coordinate count) const {
        std::uint8_t* address = Address(x, y);
        for (Coordinate i = 0; i < count; ++i, address -= pitch_) {
            WritePixel(address);
        }
    }

private:
    std::uint8_t* buffer_;
    std::ptrdiff_t pitch_;
    std::ptrdiff_t height_;
    std::ptrdiff_t bytesPerPixel_;
    PixelPairBytes pair_;
};

void HorizontalRun(const DrawingContext* context, Coordinate x, Coordinate y, Coordinate count) {
    if (y < 0 || y >= context->Height) {
        return;
    }
    if (x < 0) {
        count += x;
        x = 0;
    }
    if (x + count > context->Width) {
        count = context->Width - x;
    }
    if (count > 0) {
        PixelWriter(context).FillRow(x, y, count);
    }
}

void VerticalRun(const DrawingContext* context, Coordinate x, Coordinate y, Coordinate count) {
    if (x < 0 || x >= context->Width) {
        return;
    }
    if (y < 0) {
        count += y;
        y = 0;
    }
    if (y + count > context->Height) {
        count = context->Height - y;
    }
    if (count > 0) {
        PixelWriter(context).FillColumn(x, y, count);
    }
}

// The coordinate on the other axis at which the line through (c1, a1) and
// (c2, a2) crosses c = bound, truncated toward zero: a1 + (bound - c1) *
// (a2 - a1) / (c2 - c1), computed exactly. In double precision the quotient
// of coordinates near 2^30 can land just below a whole number and truncate
// to a point off the line. The caller guarantees c1 != c2 and that bound
// lies between them; coordinates come from 32-bit ones, so the product of
// the two differences fits in 64 unsigned bits.
Coordinate Intercept(Coordinate c1, Coordinate a1, Coordinate c2, Coordinate a2, Coordinate bound) {
    const Coordinate along = bound - c1;
    const Coordinate across = a2 - a1;
    const Coordinate span = c2 - c1;
    const bool negative = ((along < 0) != (across < 0)) != (span < 0);
    const auto magnitude = [](Coordinate value) {
        return value < 0 ? 0 - static_cast<std::uint64_t>(value)
                         : static_cast<std::uint64_t>(value);
    };
    const std::uint64_t product = magnitude(along) * magnitude(across);
    const auto quotient = static_cast<Coordinate>(product / magnitude(span));
    const bool exact = product % magnitude(span) == 0;
    const Coordinate base = negative ? a1 - quotient : a1 + quotient;
    // base + the remainder's fraction, which lies strictly between 0 and 1
    // in the direction of the sign, truncated toward zero.
    if (exact) {
        return base;
    }
    if (!negative) {
        return base < 0 ? base + 1 : base;
    }
    return base > 0 ? base - 1 : base;
}

// Clips a segment to [low, high] on one axis: c1 and c2 are the end points'
// coordinates on that axis, a1 and a2 on the other, changed in place. False
// when nothing is left. New coordinates lie on the line through the end
// points as given on entry; one is only needed when the end points lie on
// different sides of a bound, so c1 and c2 then differ.
bool ClipLineRange(Coordinate& c1, Coordinate& a1, Coordinate& c2, Coordinate& a2, Coordinate low,
                   Coordinate high) {
    const Coordinate c1In = c1;
    const Coordinate a1In = a1;
    const Coordinate c2In = c2;
    const Coordinate a2In = a2;
    const auto at = [&](Coordinate bound) { return Intercept(c1In, a1In, c2In, a2In, bound); };
    if (c1 < low) {
        if (c2 < low) {
            return false;
        }
        a1 = at(low);
        c1 = low;
    } else if (c1 > high) {
        if (c2 > high) {
            return false;
        }
        a1 = at(high);
        c1 = high;
    }
    if (c2 > high) {
        a2 = at(high);
        c2 = high;
    } else if (c2 < low) {
        a2 = at(low);
        c2 = low;
    }
    return true;
}

struct Point {
    Coordinate X;
    Coordinate Y;
};

// Bresenham along the major axis from the end point with the smaller major
// coordinate; at d = 0 the minor coordinate steps. The pixel address is
// carried along: majorStep and minorStep are the address changes of one
// step on each axis.
void StepLine(const PixelWriter& writer, std::uint8_t* address, Coordinate majorLength,
              Coordinate minorLength, std::ptrdiff_t majorStep, std::ptrdiff_t minorStep) {
    Coordinate d = 2 * minorLength - majorLength;
    writer.WritePixel(address);
    for (Coordinate i = 0; i < majorLength; ++i) {
        address += majorStep;
        if (d < 0) {
            d += 2 * minorLength;
        } else {
            address += minorStep;
            d += 2 * (minorLength - majorLength);
        }
        writer.WritePixel(address);
    }
}

bool InsideBuffer(const DrawingContext* context, Point p) {
    return p.X >= 0 && p.X < context->Width && p.Y >= 0 && p.Y < context->Height;
}

void DrawSlantedLine(const DrawingContext* context, Point from, Point to) {
    if (!ClipLineRange(from.X, from.Y, to.X, to.Y, 0, Coordinate{context->Width} - 1) ||
        !ClipLineRange(from.Y, from.X, to.Y, to.X, 0, Coordinate{context->Height} - 1)) {
        return;
    }
    // Clipped end points always lie inside; the check keeps a buffer of no
    // width or height untouched.
    if (!InsideBuffer(context, from) || !InsideBuffer(context, to)) {
        return;
    }
    const PixelWriter writer(context);
    const Coordinate adx = std::llabs(to.X - from.X);
    const Coordinate ady = std::llabs(to.Y - from.Y);
    const std::ptrdiff_t pixel = writer.BytesPerPixel();
    const std::ptrdiff_t down = -writer.Pitch();
    if (ady <= adx) {
        if (from.X > to.X) {
            std::swap(from, to);
        }
        const std::ptrdiff_t vertical = to.Y > from.Y ? down : -down;
        StepLine(writer, writer.Address(from.X, from.Y), adx, ady, pixel, vertical);
    } else {
        if (from.Y > to.Y) {
            std::swap(from, to);
        }
        const std::ptrdiff_t horizontal = to.X > from.X ? pixel : -pixel;
        StepLine(writer, writer.Address(from.X, from.Y), ady, adx, down, horizontal);
    }
}

} // namespace

void DrawBox(DrawingContext* context, std::int32_t x, std::int32_t y, std::int32_t width,
             std::int32_t height) {
    // The box as edges, the right and bottom ones exclusive. A negative size
    // puts the given corner on the other side; then both are clipped.
    Coordinate left = x;
    Coordinate top = y;
    Coordinate right = left + width;
    Coordinate bottom = top + height;
    if (width < 0) {
        std::swap(left, right);
    }
    if (height < 0) {
        std::swap(top, bottom);
    }
    left = std::max<Coordinate>(left, 0);
    top = std::max<Coordinate>(top, 0);
    right = std::min<Coordinate>(right, context->Width);
    bottom = std::min<Coordinate>(bottom, context->Height);
    if (left >= right || top >= bottom) {
        return;
    }
    const PixelWriter writer(context);
    writer.FillRows(writer.Address(left, top), bottom - top, right - left);
}

void DrawLine(DrawingContext* context, std::int32_t x1, std::int32_t y1, std::int32_t x2,
              std::int32_t y2) {
    if (y1 == y2) {
        HorizontalRun(context, std::min(x1, x2), y1, std::llabs(Coordinate{x2} - x1) + 1);
        return;
    }
    if (x1 == x2) {
        VerticalRun(context, x1, std::min(y1, y2), std::llabs(Coordinate{y2} - y1) + 1);
        return;
    }
    DrawSlantedLine(context, {x1, y1}, {x2, y2});
}

void LineXY(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Colour colour) {
    DrawingContext* context = CurrentDrawingContext();
    if (context == nullptr) {
        return;
    }
    detail::InstallColour(context, colour);
    context->Operations.DrawLine(context, x1, y1, x2, y2);
}

} // namespace rook
