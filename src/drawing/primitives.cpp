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

constexpr std::int32_t WidestBox = 4;
// What a composed row's last store may write past its end.
constexpr std::size_t ComposeSpare = 8;

// The groups' pixels side by side in one stored row of a 3-byte buffer,
// each bit's colour Size pixels wide (1 to 4), in stores of two pixels (a
// third in one of its own at Size 3) whose spare bytes the next store
// overwrites. At Size 1 two bits make one store. Up to ComposeSpare bytes
// past the row are written too: row must have room for them.
template <int Size>
void ComposeBitRow(std::uint8_t* row, const std::uint8_t* bits, const BitPalette* palettes,
                   std::int32_t count) {
    for (std::int32_t group = 0; group < count; ++group) {
        const BitPalette& palette = palettes[group];
        const std::int32_t byte = bits[group];
        // Picked by index rather than by a test, which a busy picture would
        // send the wrong way at every other pixel; written out rather than
        // looped, which the compiler keeps as a loop.
        if constexpr (Size == 1) {
            std::memcpy(row, &palette.Pairs[(byte >> 6) & 3], 8);
            std::memcpy(row + 6, &palette.Pairs[(byte >> 4) & 3], 8);
            std::memcpy(row + 12, &palette.Pairs[(byte >> 2) & 3], 8);
            std::memcpy(row + 18, &palette.Pairs[byte & 3], 8);
            row += 24;
        } else {
            const auto pixel = [&](int bit) {
                const std::uint64_t& twice = palette.Pairs[bit * 3];
                std::memcpy(row, &twice, 8);
                if constexpr (Size == 3) {
                    std::memcpy(row + 6, &palette.Pixels[bit], 4);
                }
                if constexpr (Size == 4) {
                    std::memcpy(row + 6, &twice, 8);
                }
                row += 3 * Size;
            };
            pixel((byte >> 7) & 1);
            pixel((byte >> 6) & 1);
            pixel((byte >> 5) & 1);
            pixel((byte >> 4) & 1);
            pixel((byte >> 3) & 1);
            pixel((byte >> 2) & 1);
            pixel((byte >> 1) & 1);
            pixel(byte & 1);
        }
    }
}

// The groups' pixels in one stored row of the buffer, nothing written past
// their last byte: all but the last group straight into it, the last one
// composed apart and copied.
template <int Size>
void ComposeBitRowExactly(std::uint8_t* row, const std::uint8_t* bits, const BitPalette* palettes,
                          std::int32_t count) {
    constexpr std::size_t GroupBytes = 8 * Size * 3;
    ComposeBitRow<Size>(row, bits, palettes, count - 1);
    std::uint8_t last[GroupBytes + ComposeSpare];
    ComposeBitRow<Size>(last, bits + count - 1, palettes + count - 1, 1);
    std::memcpy(row + (count - 1) * GroupBytes, last, GroupBytes);
}

using RowComposer = void (*)(std::uint8_t*, const std::uint8_t*, const BitPalette*, std::int32_t);
constexpr RowComposer RowComposers[WidestBox] = {ComposeBitRowExactly<1>, ComposeBitRowExactly<2>,
                                                 ComposeBitRowExactly<3>, ComposeBitRowExactly<4>};

// The groups written into the buffer, which holds all of them: composed
// into their top row, then copied to each of the size - 1 rows below.
void FillBitRows(const DrawingContext* context, std::int32_t x, std::int32_t y,
                 const std::uint8_t* bits, const BitPalette* palettes, std::int32_t count,
                 std::int32_t size) {
    const std::ptrdiff_t pitch = context->Pitch;
    std::uint8_t* top =
        context->Buffer + (std::ptrdiff_t{context->Height} - 1 - y) * pitch + std::ptrdiff_t{x} * 3;
    RowComposers[size - 1](top, bits, palettes, count);
    const std::size_t length =
        static_cast<std::size_t>(count) * 8 * static_cast<std::size_t>(size) * 3;
    std::uint8_t* below = top - pitch;
    for (std::int32_t row = 1; row < size; ++row, below -= pitch) {
        std::memcpy(below, top, length);
    }
}

} // namespace

void BoxesOfBits(std::int32_t x, std::int32_t y, const std::uint8_t* bits,
                 const BitPalette* palettes, std::int32_t count, std::int32_t size) {
    DrawingContext* context = CurrentDrawingContext();
    if (context == nullptr || count <= 0) {
        return;
    }
    const Coordinate right = Coordinate{x} + Coordinate{count} * 8 * size;
    if (detail::DrawsIntoPixelBuffer(context) && size >= 1 && size <= WidestBox && x >= 0 &&
        y >= 0 && right <= context->Width && Coordinate{y} + size <= context->Height) {
        FillBitRows(context, x, y, bits, palettes, count, size);
        // The front colour the last box leaves.
        const Colour last = palettes[count - 1].Colours[bits[count - 1] & 1];
        context->FrontColor = last;
        SplitFrontColour(context, last);
        return;
    }
    // A box whose left edge would lie beyond the 32-bit range is past any
    // buffer: it and those right of it are left out.
    for (std::int32_t group = 0; group < count; ++group) {
        for (std::int32_t i = 0; i < 8; ++i) {
            const Coordinate left = Coordinate{x} + (Coordinate{group} * 8 + i) * size;
            if (left > INT32_MAX) {
                return;
            }
            Box(static_cast<std::int32_t>(left), y, size, size,
                palettes[group].Colours[(bits[group] >> (7 - i)) & 1]);
        }
    }
}

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
