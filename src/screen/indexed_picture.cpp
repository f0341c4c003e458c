#include "screen/indexed_picture.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace inkswap {

namespace {

constexpr rook::Colour GridColour = rook::RGB(0, 0, 255);

// The palette as it is built: each colour gets an index the first time a
// pixel shows it, so that it holds only the colours used.
class PaletteBuilder {
public:
    explicit PaletteBuilder(std::vector<rook::Colour>& palette) : palette_(palette) {
        indices_.fill(Unset);
    }

    // The index of Spectrum colour `number` (0..7), bright or not.
    std::uint8_t Spectrum(std::int32_t number, bool bright) {
        std::int16_t& index = indices_[static_cast<std::size_t>(number + (bright ? 8 : 0))];
        if (index == Unset) {
            index = Of(SpectrumColour(number, bright));
        }
        return static_cast<std::uint8_t>(index);
    }

    std::uint8_t Of(rook::Colour colour) {
        const auto found = std::find(palette_.begin(), palette_.end(), colour);
        if (found != palette_.end()) {
            return static_cast<std::uint8_t>(found - palette_.begin());
        }
        palette_.push_back(colour);
        return static_cast<std::uint8_t>(palette_.size() - 1);
    }

private:
    static constexpr std::int16_t Unset = -1;
    std::vector<rook::Colour>& palette_;
    std::array<std::int16_t, 16> indices_;
};

// Row y of the view at the scale: each pixel the ink or paper of its cell
// (in the colour view as the flash phase shows it; in the bitmap view grey
// ink on black), Scale times over.
void ComposeRow(const std::uint8_t* screen, const PictureLook& look, FlashPhase phase,
                std::int32_t y, PaletteBuilder& palette, std::uint8_t* out) {
    const std::int32_t row = y / 8;
    const auto scale = static_cast<std::size_t>(look.Scale);
    for (std::int32_t x = 0; x < ScreenColumns; ++x) {
        const std::int32_t byte = screen[CellBitmapOffset(x, row) + (y % 8) * PixelLineStride];
        const std::int32_t attribute =
            look.View == ColourView ? FlashedAttribute(screen[CellAttributeOffset(x, row)], phase)
                                    : 7; // white ink, at half brightness: grey; black paper
        const bool bright = (attribute & 0x40) != 0;
        // Only the colours a pixel shows go into the palette.
        const std::uint8_t ink = byte != 0 ? palette.Spectrum(InkOf(attribute), bright) : 0;
        const std::uint8_t paper = byte != 0xFF ? palette.Spectrum(PaperOf(attribute), bright) : 0;
        for (std::int32_t bit = 0; bit < 8; ++bit) {
            std::memset(out, (byte & (0x80 >> bit)) != 0 ? ink : paper, scale);
            out += scale;
        }
    }
}

// One frame: each pixel row composed once, the grid's column lines on it,
// and copied to the scale's other rows; a cell's top row is the grid's row
// line.
std::vector<std::uint8_t> Frame(const std::uint8_t* screen, const PictureLook& look,
                                FlashPhase phase, PaletteBuilder& palette) {
    const auto scale = static_cast<std::size_t>(look.Scale);
    const std::size_t width = ScreenWidth * scale;
    const std::size_t cell = 8 * scale;
    std::vector<std::uint8_t> frame(width * ScreenHeight * scale);
    const std::uint8_t grid = look.Grid ? palette.Of(GridColour) : 0;
    for (std::int32_t y = 0; y < ScreenHeight; ++y) {
        std::uint8_t* row = frame.data() + static_cast<std::size_t>(y) * scale * width;
        ComposeRow(screen, look, phase, y, palette, row);
        if (look.Grid) {
            for (std::size_t x = 0; x < width; x += cell) {
                row[x] = grid;
            }
        }
        for (std::size_t copy = 1; copy < scale; ++copy) {
            std::memcpy(row + copy * width, row, width);
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
    const auto* bytes = static_cast<const std::uint8_t*>(screen);
    std::vector<FlashPhase> phases{FlashPhase::Plain};
    if (flashFrames && look.View == ColourView && HasFlashingCells(screen)) {
        phases.push_back(FlashPhase::Swapped);
    }
    PaletteBuilder palette(picture.Palette);
    for (const FlashPhase phase : phases) {
        picture.Frames.push_back(Frame(bytes, clamped, phase, palette));
    }
    return picture;
}

} // namespace inkswap
