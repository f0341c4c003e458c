// A screen's view as an image file holds it: every pixel the model's at
// every scale, view and flash phase, with and without the grid; the same
// pixels as the window's renderer at the zooms it draws; a palette of the
// colours used, each once; a second frame only where something flashes.

#include "screen/indexed_picture.h"

#include "screen_expectation.h"
#include "screen_fixtures.h"
#include "support/memory_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using namespace inkswap;

// The first pixel of a frame that is not the model's, or none.
::testing::AssertionResult FrameIsTheModels(const IndexedPicture& picture, std::size_t frame,
                                            const std::uint8_t* screen, const PictureLook& look,
                                            bool swapped) {
    for (std::int32_t y = 0; y < picture.Height; ++y) {
        for (std::int32_t x = 0; x < picture.Width; ++x) {
            const std::uint8_t index =
                picture.Frames[frame][static_cast<std::size_t>(y * picture.Width + x)];
            const rook::Colour expected = screentest::ExpectedPixel(
                screen, look.View, NoHighlight, look.Grid, x, y, look.Scale, swapped);
            if (index >= picture.Palette.size() || picture.Palette[index] != expected) {
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << " of frame " << frame << " differs";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(IndexedPicture, EveryPixelIsTheModelsAtEveryScale) {
    const fixtures::Screen screen = fixtures::Noise(61); // FLASH in about half the cells
    for (const std::int32_t scale : {1, 2, 3, 5, 8}) {
        for (const ScreenView view : {BitmapView, ColourView}) {
            for (const bool grid : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << "scale " << scale << ", view " << view << ", grid " << grid);
                const PictureLook look{view, scale, grid};
                const IndexedPicture picture = MakeIndexedPicture(screen.data(), look, true);
                EXPECT_EQ(picture.Width, 256 * scale);
                EXPECT_EQ(picture.Height, 192 * scale);
                ASSERT_EQ(picture.Frames.size(), view == ColourView ? 2u : 1u);
                EXPECT_TRUE(FrameIsTheModels(picture, 0, screen.data(), look, false));
                if (view == ColourView) {
                    EXPECT_TRUE(FrameIsTheModels(picture, 1, screen.data(), look, true));
                }
                const std::set<rook::Colour> distinct(picture.Palette.begin(),
                                                      picture.Palette.end());
                EXPECT_EQ(distinct.size(), picture.Palette.size()) << "each colour once";
                EXPECT_LE(picture.Palette.size(), view == ColourView ? 15u : 3u);
            }
        }
    }
}

// What the window shows at a zoom is what the image holds at that scale.
TEST(IndexedPicture, TheRenderersPixelsAtItsZooms) {
    const fixtures::Screen screen = fixtures::Noise(62);
    for (std::int32_t zoom = SmallestZoom; zoom <= LargestZoom; ++zoom) {
        for (const ScreenView view : {BitmapView, ColourView}) {
            for (const bool grid : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << "zoom " << zoom << ", view " << view << ", grid " << grid);
                testsupport::MemoryOutput output(256 * zoom, 192 * zoom);
                {
                    testsupport::ScopedDrawing drawing(output);
                    RenderScreenView(screen.data(), view, NoHighlight, NoHighlight,
                                     ViewLook{zoom, grid, FlashPhase::Plain});
                }
                const IndexedPicture picture =
                    MakeIndexedPicture(screen.data(), {view, zoom, grid}, false);
                std::int32_t differing = 0;
                for (std::int32_t y = 0; y < output.Height(); ++y) {
                    for (std::int32_t x = 0; x < output.Width(); ++x) {
                        const std::uint8_t index =
                            picture.Frames[0][static_cast<std::size_t>(y * picture.Width + x)];
                        differing += picture.Palette[index] != output.PixelAt(x, y) ? 1 : 0;
                    }
                }
                EXPECT_EQ(differing, 0);
            }
        }
    }
}

TEST(IndexedPicture, OneFrameWhereNothingFlashesOrNoneIsAsked) {
    fixtures::Screen still = fixtures::Noise(63);
    for (std::size_t at = 6144; at < still.size(); ++at) {
        still[at] &= 0x7F;
    }
    const fixtures::Screen flashing = fixtures::Noise(64);
    EXPECT_EQ(MakeIndexedPicture(still.data(), {}, true).Frames.size(), 1u);
    EXPECT_EQ(MakeIndexedPicture(flashing.data(), {}, false).Frames.size(), 1u);
    EXPECT_EQ(MakeIndexedPicture(flashing.data(), {BitmapView, 1, false}, true).Frames.size(), 1u);
    // A scale out of range is taken as the nearest.
    EXPECT_EQ(MakeIndexedPicture(still.data(), {ColourView, 0, false}, false).Width, 256);
    EXPECT_EQ(MakeIndexedPicture(still.data(), {ColourView, 9, false}, false).Width, 256 * 8);
}

} // namespace
