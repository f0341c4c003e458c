#include "screen/indexed_picture.h"

#include <algorithm>
#include <cstring>

namespace inkswap {

namespace {

constexpr rook::Colour GridColour = rook::RGB(0, 0, 255);

// The view at one pixel per Spectrum pixel: the colour picture, or the
// bitmap as grey ink on black.
std::vector<rook::Colour> ViewPixels(const void* screen, ScreenView view, FlashPhase phase) {
    std::vector<rook::Colour> pixels(ScreenWidth * ScreenHeight);
    if (view == ColourView) {
        ColourPicture(screen, pixels.data(), phase);
        return pixels;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(screen);
    const rook::Colour ink = SpectrumColour(7, false);
    const rook::Colour paper = SpectrumColour(0, false);
    for (std::int32_t y = 0; y < ScreenHeight; ++y) {
        for (std::int32_t x = 0; x < ScreenColumns; ++x) {
            const std::int32_t byte = bytes[CellBitmapOffset(x, y / 8) + (y % 8) * PixelLineStride];
            for (std::int32_t bit = 0; bit < 8; ++bit) {
                pixels[y * ScreenWidth + x * 8 + bit] = (byte & (0x80 >> bit)) != 0 ? ink : paper;
            }
        }
    }
    return pixels;
}

std::uint8_t IndexOf(std::vector<rook::Colour>& palette, rook::Colour colour) {
    const auto found = std::find(palette.begin(), palette.end(), colour);
    if (found != palette.end()) {
        return static_cast<std::uint8_t>(found - palette.begin());
    }
    palette.push_back(colour);
    return static_cast<std::uint8_t>(palette.size() - 1);
}

// One frame: each pixel row composed once at the scale, the grid's column
// lines on it, and copied to the scale's other rows; a cell's top row is
// the grid's row line.
std::vector<std::uint8_t> Frame(const std::vector<rook::Colour>& pixels, const PictureLook& look,
                                std::vector<rook::Colour>& palette) {
    const std::int32_t scale = look.Scale;
    const auto width = static_cast<std::size_t>(ScreenWidth * scale);
    const std::size_t cell = 8 * static_cast<std::size_t>(scale);
    std::vector<std::uint8_t> frame(width * ScreenHeight * static_cast<std::size_t>(scale));
    const std::uint8_t grid = look.Grid ? IndexOf(palette, GridColour) : 0;
    rook::Colour last = pixels[0];
    std::uint8_t lastIndex = IndexOf(palette, last);
    for (std::int32_t y = 0; y < ScreenHeight; ++y) {
        std::uint8_t* row = frame.data() + static_cast<std::size_t>(y * scale) * width;
        for (std::int32_t x = 0; x < ScreenWidth; ++x) {
            const rook::Colour colour = pixels[static_cast<std::size_t>(y * ScreenWidth + x)];
            if (colour != last) {
                last = colour;
                lastIndex = IndexOf(palette, colour);
            }
            std::memset(row + x * scale, lastIndex, static_cast<std::size_t>(scale));
        }
        if (look.Grid) {
            for (std::size_t x = 0; x < width; x += cell) {
                row[x] = grid;
            }
        }
        for (std::int32_t copy = 1; copy < scale; ++copy) {
            std::memcpy(row + static_cast<std::size_t>(copy) * width, row, width);
        }
        if (look.Grid && y % 8 == 0) {
            std::memset(row, grid, width);
        }
    }
    return frame;
}

} // namespace

IndexedPicture MakeIndexedPicture(const void* screen, const PictureLook& look, bool flashFrames) {
    PictureLook clamped = look;
    clamped.Scale = std::clamp(look.Scale, SmallestScale, LargestScale);
    IndexedPicture picture{ScreenWidth * clamped.Scale, ScreenHeight * clamped.Scale, {}, {}};
    std::vector<FlashPhase> phases{FlashPhase::Plain};
    if (flashFrames && look.View == ColourView && HasFlashingCells(screen)) {
        phases.push_back(FlashPhase::Swapped);
    }
    for (const FlashPhase phase : phases) {
        picture.Frames.push_back(
            Frame(ViewPixels(screen, look.View, phase), clamped, picture.Palette));
    }
    return picture;
}

} // namespace inkswap
