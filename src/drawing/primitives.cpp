// Boxes and lines on a pixel buffer. All coordinate arithmetic is done in
// 64 bits, so that sizes and coordinates anywhere in the 32-bit range clip
// correctly and every write stays inside the buffer.

#include "drawing/primitives.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <utility>

namespace rook {

namespace {

using Coordinate = std::int64_t;

std::uint8_t* PixelAddress(const DrawingContext* context, Coordinate x, Coordinate y) {
    return context->Buffer + (context->Height - 1 - y) * context->Pitch +
           x * context->BytesPerPixel;
}

// Stores blue, green and red; a fourth byte is left as it was.
inline void WritePixel(const DrawingContext* context, std::uint8_t* address) {
    address[0] = static_cast<std::uint8_t>(context->FrontBlue);
    address[1] = static_cast<std::uint8_t>(context->FrontGreen);
    address[2] = static_cast<std::uint8_t>(context->FrontRed);
}

// count pixels from (x, y) to the right; no clipping, count >= 1.
inline void FillRow(const DrawingContext* context, Coordinate x, Coordinate y, Coordinate count) {
    std::uint8_t* address = PixelAddress(context, x, y);
    const std::int32_t step = context->BytesPerPixel;
    for (Coordinate i = 0; i < count; ++i, address += step) {
        WritePixel(context, address);
    }
}

// count pixels from (x, y) downward; no clipping, count >= 1.
void FillColumn(const DrawingContext* context, Coordinate x, Coordinate y, Coordinate count) {
    std::uint8_t* address = PixelAddress(context, x, y);
    for (Coordinate i = 0; i < count; ++i, address -= context->Pitch) {
        WritePixel(context, address);
    }
}

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
        FillRow(context, x, y, count);
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
        FillColumn(context, x, y, count);
    }
}

Coordinate Truncated(double value) {
    return static_cast<Coordinate>(std::trunc(value));
}

// Clips a segment to [low, high] on one axis: c1 and c2 are the end points'
// coordinates on that axis, a1 and a2 on the other, changed in place. False
// when nothing is left. The slope comes from the values on entry; it is
// only needed when the end points lie on different sides of a bound, so
// its divisor is never 0.
bool ClipLineRange(Coordinate& c1, Coordinate& a1, Coordinate& c2, Coordinate& a2, Coordinate low,
                   Coordinate high) {
    const double slope =
        c1 != c2 ? static_cast<double>(a2 - a1) / static_cast<double>(c2 - c1) : 0.0;
    const auto clipSecondEnd = [&] {
        if (c2 > high) {
            a2 = Truncated(static_cast<double>(high - c2) * slope + static_cast<double>(a2));
            c2 = high;
        } else if (c2 < low) {
            a2 = Truncated(static_cast<double>(a2) - static_cast<double>(c2 - low) * slope);
            c2 = low;
        }
    };
    if (c1 < low) {
        if (c2 < low) {
            return false;
        }
        a1 = Truncated(static_cast<double>(a1) - static_cast<double>(c1 - low) * slope);
        c1 = low;
    } else if (c1 > high) {
        if (c2 > high) {
            return false;
        }
        a1 = Truncated(static_cast<double>(high - c1) * slope + static_cast<double>(a1));
        c1 = high;
    }
    clipSecondEnd();
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
void StepLine(const DrawingContext* context, std::uint8_t* address, Coordinate majorLength,
              Coordinate minorLength, std::ptrdiff_t majorStep, std::ptrdiff_t minorStep) {
    Coordinate d = 2 * minorLength - majorLength;
    WritePixel(context, address);
    for (Coordinate i = 0; i < majorLength; ++i) {
        address += majorStep;
        if (d < 0) {
            d += 2 * minorLength;
        } else {
            address += minorStep;
            d += 2 * (minorLength - majorLength);
        }
        WritePixel(context, address);
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
    const Coordinate adx = std::llabs(to.X - from.X);
    const Coordinate ady = std::llabs(to.Y - from.Y);
    const std::ptrdiff_t pixel = context->BytesPerPixel;
    const std::ptrdiff_t down = -std::ptrdiff_t{context->Pitch};
    if (ady <= adx) {
        if (from.X > to.X) {
            std::swap(from, to);
        }
        const std::ptrdiff_t vertical = to.Y > from.Y ? down : -down;
        StepLine(context, PixelAddress(context, from.X, from.Y), adx, ady, pixel, vertical);
    } else {
        if (from.Y > to.Y) {
            std::swap(from, to);
        }
        const std::ptrdiff_t horizontal = to.X > from.X ? pixel : -pixel;
        StepLine(context, PixelAddress(context, from.X, from.Y), ady, adx, down, horizontal);
    }
}

void InstallColour(DrawingContext* context, Colour colour) {
    if (colour != context->FrontColor) {
        context->FrontColor = colour;
        context->Operations.SetFrontColor(context, colour);
    }
}

} // namespace

void DrawBox(DrawingContext* context, std::int32_t x, std::int32_t y, std::int32_t width,
             std::int32_t height) {
    Coordinate left = x;
    Coordinate top = y;
    Coordinate w = width;
    Coordinate h = height;
    if (w < 0) {
        left += w;
        w = -w;
    }
    if (h < 0) {
        top += h;
        h = -h;
    }
    if (left < 0) {
        w += left;
        left = 0;
    }
    if (top < 0) {
        h += top;
        top = 0;
    }
    if (left + w > context->Width) {
        w = context->Width - left;
    }
    if (top + h > context->Height) {
        h = context->Height - top;
    }
    if (w <= 0 || h <= 0) {
        return;
    }
    for (Coordinate row = 0; row < h; ++row) {
        FillRow(context, left, top + row, w);
    }
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

void Box(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, Colour colour) {
    DrawingContext* context = CurrentDrawingContext();
    if (context == nullptr) {
        return;
    }
    InstallColour(context, colour);
    context->Operations.DrawBox(context, x, y, width, height);
}

void LineXY(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Colour colour) {
    DrawingContext* context = CurrentDrawingContext();
    if (context == nullptr) {
        return;
    }
    InstallColour(context, colour);
    context->Operations.DrawLine(context, x1, y1, x2, y2);
}

} // namespace rook
