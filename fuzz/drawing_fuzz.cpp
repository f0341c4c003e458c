// Random Box and LineXY calls with coordinates and sizes anywhere in the
// 32-bit range, on small 3- and 4-byte-per-pixel buffers with guard bytes
// around them. Nothing may be written outside the pixels (guards, row
// padding and alpha bytes keep their markers); a box writes exactly its
// clipped rectangle; a line writes one pixel per step of its major axis,
// each close to the ideal line, inside the end points' bounds, exactly
// the reverse line's pixels, and exactly Bresenham's when nothing is
// clipped.

#include "drawing/drawing_context.h"
#include "drawing/primitives.h"
#include "fuzz_check.h"
#include "runtime/toolkit_heap.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace {

using Coordinate = std::int64_t;

constexpr std::size_t GuardSize = 32;
constexpr std::uint8_t Guard = 0xA5;
constexpr std::uint8_t Padding = 0x77; // row padding and alpha bytes

struct Pixel {
    Coordinate X;
    Coordinate Y;
    bool operator==(const Pixel&) const = default;
};

class Canvas {
public:
    Canvas(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel)
        : width_(width), height_(height), bytesPerPixel_(bitsPerPixel / 8),
          pitch_(rook::RowPitch(width, bitsPerPixel)),
          bytes_(2 * GuardSize +
                     static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height),
                 Guard) {
        context_ = rook::CreateDrawingContext(bitsPerPixel == 32 ? rook::PixelFormat32Bits : 16);
        FUZZ_CHECK(context_ != nullptr);
        context_->Width = width;
        context_->Height = height;
        context_->BitsPerPixel = bitsPerPixel;
        context_->Buffer = bytes_.data() + GuardSize;
        context_->Pitch = pitch_;
        FUZZ_CHECK(rook::StartDrawing(context_) != 0);
    }

    ~Canvas() { rook::StopDrawing(); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Every pixel in the complement of the colour, so that each written
    // pixel shows; padding and alpha bytes get their marker.
    void Clear(rook::Colour colour) {
        std::fill(Pixels(), Pixels() + Size(), Padding);
        for (Coordinate y = 0; y < height_; ++y) {
            for (Coordinate x = 0; x < width_; ++x) {
                std::uint8_t* pixel = Address(x, y);
                pixel[0] = static_cast<std::uint8_t>(~(colour >> 16));
                pixel[1] = static_cast<std::uint8_t>(~(colour >> 8));
                pixel[2] = static_cast<std::uint8_t>(~colour);
            }
        }
    }

    // The written pixels, each checked to hold exactly the colour, and
    // every byte that is not a pixel's colour byte checked untouched.
    std::vector<Pixel> Written(rook::Colour colour) const {
        FUZZ_CHECK(std::all_of(bytes_.begin(), bytes_.begin() + GuardSize, IsGuard));
        FUZZ_CHECK(std::all_of(bytes_.end() - GuardSize, bytes_.end(), IsGuard));
        std::vector<std::uint8_t> colourBytes(Size(), 0);
        std::vector<Pixel> written;
        for (Coordinate y = 0; y < height_; ++y) {
            for (Coordinate x = 0; x < width_; ++x) {
                const std::uint8_t* pixel = Address(x, y);
                std::fill_n(colourBytes.begin() + (pixel - Pixels()), 3, 1);
                const std::uint8_t blue = static_cast<std::uint8_t>(colour >> 16);
                const std::uint8_t green = static_cast<std::uint8_t>(colour >> 8);
                const std::uint8_t red = static_cast<std::uint8_t>(colour);
                const bool changed = pixel[0] == blue || pixel[1] == green || pixel[2] == red;
                if (changed) {
                    FUZZ_CHECK(pixel[0] == blue && pixel[1] == green && pixel[2] == red);
                    written.push_back({x, y});
                }
            }
        }
        for (std::size_t i = 0; i < Size(); ++i) {
            FUZZ_CHECK(colourBytes[i] == 1 || Pixels()[i] == Padding);
        }
        return written;
    }

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }

private:
    static bool IsGuard(std::uint8_t byte) { return byte == Guard; }
    std::size_t Size() const {
        return static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height_);
    }
    std::uint8_t* Pixels() { return bytes_.data() + GuardSize; }
    const std::uint8_t* Pixels() const { return bytes_.data() + GuardSize; }

    // Rows are stored bottom-up.
    std::uint8_t* Address(Coordinate x, Coordinate y) {
        return Pixels() + (height_ - 1 - y) * pitch_ + x * bytesPerPixel_;
    }
    const std::uint8_t* Address(Coordinate x, Coordinate y) const {
        return Pixels() + (height_ - 1 - y) * pitch_ + x * bytesPerPixel_;
    }

    std::int32_t width_;
    std::int32_t height_;
    std::int32_t bytesPerPixel_;
    std::int32_t pitch_;
    std::vector<std::uint8_t> bytes_;
    rook::DrawingContext* context_;
};

std::int32_t CoordinateFrom(FuzzedDataProvider& input) {
    static constexpr std::int32_t extremes[] = {INT_MIN, INT_MIN + 1, -(1 << 30),  -1,
                                                0,       1 << 30,     INT_MAX - 1, INT_MAX};
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return input.PickValueInArray(extremes);
    case 1:
        return input.ConsumeIntegral<std::int32_t>();
    default:
        return input.ConsumeIntegralInRange<std::int32_t>(-24, 40);
    }
}

void CheckBox(Canvas& canvas, std::int32_t x, std::int32_t y, std::int32_t width,
              std::int32_t height, rook::Colour colour) {
    canvas.Clear(colour);
    rook::Box(x, y, width, height, colour);
    const std::vector<Pixel> written = canvas.Written(colour);
    // The rectangle between the two corners, clipped to the buffer.
    const Coordinate left = std::max<Coordinate>(std::min<Coordinate>(x, Coordinate{x} + width), 0);
    const Coordinate right =
        std::min<Coordinate>(std::max<Coordinate>(x, Coordinate{x} + width), canvas.Width());
    const Coordinate top = std::max<Coordinate>(std::min<Coordinate>(y, Coordinate{y} + height), 0);
    const Coordinate bottom =
        std::min<Coordinate>(std::max<Coordinate>(y, Coordinate{y} + height), canvas.Height());
    std::vector<Pixel> expected;
    for (Coordinate row = top; row < bottom; ++row) {
        for (Coordinate column = left; column < right; ++column) {
            expected.push_back({column, row});
        }
    }
    FUZZ_CHECK(written == expected);
}

// Bresenham's pixels of a line, stepping along the longer axis from the end
// with the smaller coordinate on it; at a decision of 0 the minor axis steps.
std::vector<Pixel> Bresenham(Pixel a, Pixel b) {
    const bool alongX = std::llabs(b.X - a.X) >= std::llabs(b.Y - a.Y);
    if ((alongX && a.X > b.X) || (!alongX && a.Y > b.Y)) {
        std::swap(a, b);
    }
    const Coordinate major = alongX ? b.X - a.X : b.Y - a.Y;
    const Coordinate minor = std::llabs(alongX ? b.Y - a.Y : b.X - a.X);
    const Coordinate direction = (alongX ? b.Y > a.Y : b.X > a.X) ? 1 : -1;
    std::vector<Pixel> pixels{a};
    Coordinate d = 2 * minor - major;
    Pixel p = a;
    for (Coordinate i = 0; i < major; ++i) {
        (alongX ? p.X : p.Y) += 1;
        if (d >= 0) {
            (alongX ? p.Y : p.X) += direction;
            d += 2 * (minor - major);
        } else {
            d += 2 * minor;
        }
        pixels.push_back(p);
    }
    return pixels;
}

bool Inside(const Canvas& canvas, Pixel p) {
    return p.X >= 0 && p.X < canvas.Width() && p.Y >= 0 && p.Y < canvas.Height();
}

std::vector<Pixel> Sorted(std::vector<Pixel> pixels) {
    std::sort(pixels.begin(), pixels.end(),
              [](Pixel a, Pixel b) { return a.Y != b.Y ? a.Y < b.Y : a.X < b.X; });
    return pixels;
}

// Whether the values, sorted, run without a gap or a repeat.
bool Unbroken(std::vector<Coordinate> values) {
    std::sort(values.begin(), values.end());
    for (std::size_t i = 1; i < values.size(); ++i) {
        if (values[i] != values[i - 1] + 1) {
            return false;
        }
    }
    return true;
}

// Each written pixel lies within the end points' bounds and near the ideal
// line: within three pixels along the minor axis (Bresenham's half pixel,
// and the truncation of both clipping steps). The pixels form one unbroken
// run with one pixel per step on one of the axes (the clipped line's major
// axis, which for a line close to a diagonal may be the other one).
void CheckAgainstIdealLine(const std::vector<Pixel>& written, Pixel a, Pixel b) {
    const Coordinate dx = b.X - a.X;
    const Coordinate dy = b.Y - a.Y;
    const bool alongX = std::llabs(dx) >= std::llabs(dy);
    const __int128 major = std::llabs(alongX ? dx : dy);
    std::vector<Coordinate> xs;
    std::vector<Coordinate> ys;
    for (const Pixel& p : written) {
        FUZZ_CHECK(p.X >= std::min(a.X, b.X) && p.X <= std::max(a.X, b.X));
        FUZZ_CHECK(p.Y >= std::min(a.Y, b.Y) && p.Y <= std::max(a.Y, b.Y));
        // The minor-axis distance times the major length, exactly.
        const __int128 offset = __int128{p.Y - a.Y} * dx - __int128{p.X - a.X} * dy;
        FUZZ_CHECK((offset < 0 ? -offset : offset) <= 3 * major);
        xs.push_back(p.X);
        ys.push_back(p.Y);
    }
    FUZZ_CHECK(Unbroken(xs) || Unbroken(ys));
}

void CheckLine(Canvas& canvas, Pixel a, Pixel b, rook::Colour colour) {
    const auto ax = static_cast<std::int32_t>(a.X);
    const auto ay = static_cast<std::int32_t>(a.Y);
    const auto bx = static_cast<std::int32_t>(b.X);
    const auto by = static_cast<std::int32_t>(b.Y);
    canvas.Clear(colour);
    rook::LineXY(ax, ay, bx, by, colour);
    const std::vector<Pixel> written = canvas.Written(colour);

    canvas.Clear(colour);
    rook::LineXY(bx, by, ax, ay, colour);
    FUZZ_CHECK(canvas.Written(colour) == written);

    if (a.Y == b.Y || a.X == b.X) {
        // Straight runs: exactly the part of the run inside the buffer.
        std::vector<Pixel> expected;
        const Coordinate top = std::max<Coordinate>(std::min(a.Y, b.Y), 0);
        const Coordinate bottom = std::min<Coordinate>(std::max(a.Y, b.Y), canvas.Height() - 1);
        const Coordinate left = std::max<Coordinate>(std::min(a.X, b.X), 0);
        const Coordinate right = std::min<Coordinate>(std::max(a.X, b.X), canvas.Width() - 1);
        for (Coordinate y = top; y <= bottom; ++y) {
            for (Coordinate x = left; x <= right; ++x) {
                expected.push_back({x, y});
            }
        }
        FUZZ_CHECK(written == expected);
        return;
    }
    if (Inside(canvas, a) && Inside(canvas, b)) {
        FUZZ_CHECK(written == Sorted(Bresenham(a, b)));
        return;
    }
    CheckAgainstIdealLine(written, a, b);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    rook::CreateToolkitHeap();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto width = input.ConsumeIntegralInRange<std::int32_t>(0, 19);
    const auto height = input.ConsumeIntegralInRange<std::int32_t>(0, 19);
    Canvas canvas(width, height, input.ConsumeBool() ? 32 : 24);
    for (int step = 0; step < 32 && input.remaining_bytes() > 0; ++step) {
        const rook::Colour colour = input.ConsumeIntegral<rook::Colour>();
        const std::int32_t x = CoordinateFrom(input);
        const std::int32_t y = CoordinateFrom(input);
        const std::int32_t u = CoordinateFrom(input);
        const std::int32_t v = CoordinateFrom(input);
        if (input.ConsumeBool()) {
            CheckBox(canvas, x, y, u, v, colour);
        } else {
            CheckLine(canvas, {x, y}, {u, v}, colour);
        }
    }
    return 0;
}
