#include "screen/screen_renderer.h"

#include "drawing/primitives.h"
#include "runtime/string_operations.h"
#include "screen/screen_image.h"
#include "screen_expectation.h"
#include "screen_fixtures.h"
#include "support/memory_output.h"
#include "support/pixel_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

namespace {

using namespace inkswap;
using screentest::ShowsScreen;
using testsupport::MemoryOutput;
using testsupport::ScopedDrawing;

// The canvases' back buffers: 512 x 384 less the sunken border.
constexpr std::int32_t CanvasWidth = 508;
constexpr std::int32_t CanvasHeight = 380;

void Render(MemoryOutput& output, const fixtures::Screen& screen, ScreenView view,
            std::int32_t x = NoHighlight, std::int32_t y = NoHighlight, std::int32_t grid = 0) {
    ScopedDrawing drawing(output);
    RenderScreenView(screen.data(), view, x, y, grid);
}

TEST(RenderScreenView, ZeroedScreenIsBlackInBothViews) {
    const fixtures::Screen screen{};
    for (ScreenView view : {BitmapView, ColourView}) {
        MemoryOutput output(CanvasWidth, CanvasHeight);
        Render(output, screen, view);
        EXPECT_TRUE(ShowsScreen(output, screen.data(), view, -1, false));
        EXPECT_TRUE(output.GuardsIntact());
    }
}

TEST(RenderScreenView, HighlightOnAZeroedScreenIsAWhiteCellInBothViews) {
    const fixtures::Screen screen{};
    for (ScreenView view : {BitmapView, ColourView}) {
        MemoryOutput output(CanvasWidth, CanvasHeight);
        Render(output, screen, view, 0, 0);
        for (std::int32_t y = 0; y < 20; ++y) {
            for (std::int32_t x = 0; x < 20; ++x) {
                const bool inCell = x < 16 && y < 16;
                ASSERT_EQ(output.PixelAt(x, y), inCell ? rook::RGB(255, 255, 255) : 0u)
                    << "view " << view << " at " << x << "," << y;
            }
        }
    }
}

TEST(RenderScreenView, OneInkPixelInEachView) {
    // Attribute 0x47 (bright white ink on black) and bitmap byte 0x80 in the
    // first line of cell (2, 1).
    fixtures::Screen screen{};
    screen[CellBitmapOffset(2, 1)] = 0x80;
    screen[CellAttributeOffset(2, 1)] = 0x47;
    const testsupport::Legend legend = {{'W', rook::RGB(255, 255, 255)},
                                        {'g', rook::RGB(127, 127, 127)},
                                        {'.', rook::RGB(0, 0, 0)}};
    MemoryOutput colour(CanvasWidth, CanvasHeight);
    Render(colour, screen, ColourView);
    const std::vector<std::string> brightWhite = {
        "WW..............",
        "WW..............",
        "................",
    };
    EXPECT_TRUE(testsupport::MatchesPicture(colour, 32, 16, brightWhite, legend));
    MemoryOutput bitmap(CanvasWidth, CanvasHeight);
    Render(bitmap, screen, BitmapView);
    const std::vector<std::string> grey = {
        "gg..............",
        "gg..............",
        "................",
    };
    EXPECT_TRUE(testsupport::MatchesPicture(bitmap, 32, 16, grey, legend));
}

TEST(RenderScreenView, NegativeSignedBytesShowTheirEightBits) {
    fixtures::Screen screen{};
    screen[CellBitmapOffset(0, 0)] = 0xFF;
    screen[CellBitmapOffset(0, 0) + 256] = 0x80;
    screen[CellBitmapOffset(0, 0) + 512] = 0x81;
    MemoryOutput output(CanvasWidth, CanvasHeight);
    Render(output, screen, BitmapView);
    const std::vector<std::string> picture = {
        "gggggggggggggggg..", // 0xFF
        "gggggggggggggggg..",
        "gg................", // 0x80
        "gg................",
        "gg............gg..", // 0x81
        "gg............gg..",
    };
    EXPECT_TRUE(testsupport::MatchesPicture(output, 0, 0, picture,
                                            {{'g', rook::RGB(127, 127, 127)}, {'.', 0}}));
}

TEST(RenderScreenView, HighlightSelectsTheCellOfItsLinearIndex) {
    const fixtures::Screen screen = fixtures::AttributeSweep();
    struct Case {
        std::int32_t X, Y, Index;
    };
    const Case cases[] = {
        {NoHighlight, NoHighlight, -1},
        {32, 0, 32}, // cell (0, 1)
        {-32, 1, 0}, // cell (0, 0)
        {31, 23, 767},
        {0, 24, -1}, // index 768: nothing
        {-1, 0, -1},
        {5, 1 << 27, -1}, // no 32-bit wrap-around into the screen
        {INT_MIN, INT_MIN, -1},
        {INT_MAX, INT_MAX, -1},
    };
    for (const Case& c : cases) {
        for (ScreenView view : {BitmapView, ColourView}) {
            MemoryOutput output(CanvasWidth, CanvasHeight);
            Render(output, screen, view, c.X, c.Y);
            EXPECT_TRUE(ShowsScreen(output, screen.data(), view, c.Index, false))
                << "highlight (" << c.X << ", " << c.Y << ")";
        }
    }
}

TEST(RenderScreenView, WholeScreenInBothViewsWithAndWithoutGrid) {
    const fixtures::Screen sweep = fixtures::AttributeSweep();
    const fixtures::Screen noise = fixtures::Noise(1234);
    for (const fixtures::Screen* screen : {&sweep, &noise}) {
        for (ScreenView view : {BitmapView, ColourView}) {
            for (std::int32_t grid : {0, 1}) {
                MemoryOutput output(CanvasWidth, CanvasHeight);
                Render(output, *screen, view, 7, 13, grid);
                EXPECT_TRUE(ShowsScreen(output, screen->data(), view, 13 * 32 + 7, grid != 0))
                    << "grid " << grid;
                EXPECT_TRUE(output.GuardsIntact());
            }
        }
    }
}

// At every zoom, in both phases of FLASH, with and without the grid, every
// pixel of an output exactly the picture's size: the highlight on a
// flashing cell inverts what the cell shows in the phase, and the bitmap
// view never flashes.
TEST(RenderScreenView, EveryZoomAndFlashPhaseAgainstTheModel) {
    const fixtures::Screen noise = fixtures::Noise(4321); // flash set in half the cells
    std::int32_t flashing = 0;
    while ((noise[6144 + flashing] & 0x80) == 0) {
        ++flashing;
    }
    for (std::int32_t zoom = 1; zoom <= 4; ++zoom) {
        for (ScreenView view : {BitmapView, ColourView}) {
            for (FlashPhase phase : {FlashPhase::Plain, FlashPhase::Swapped}) {
                for (bool grid : {false, true}) {
                    SCOPED_TRACE(testing::Message()
                                 << "zoom " << zoom << " view " << view << " swapped "
                                 << (phase == FlashPhase::Swapped) << " grid " << grid);
                    MemoryOutput output(256 * zoom, 192 * zoom);
                    {
                        ScopedDrawing drawing(output);
                        RenderScreenView(noise.data(), view, flashing % 32, flashing / 32,
                                         ViewLook{zoom, grid, phase});
                    }
                    EXPECT_TRUE(ShowsScreen(output, noise.data(), view, flashing, grid, zoom,
                                            phase == FlashPhase::Swapped));
                    EXPECT_TRUE(output.GuardsIntact());
                }
            }
        }
    }
}

TEST(RenderScreenView, AFlashingCellSwapsInkAndPaperInTheColourViewOnly) {
    // Cell (1, 0): flash, paper 1 (blue), ink 6 (yellow), the top line's
    // leftmost pixel set; at 1x.
    fixtures::Screen screen{};
    screen[CellBitmapOffset(1, 0)] = 0x80;
    screen[CellAttributeOffset(1, 0)] = 0x80 | (1 << 3) | 6;
    const testsupport::Legend legend = {{'Y', rook::RGB(127, 127, 0)},
                                        {'B', rook::RGB(0, 0, 127)},
                                        {'g', rook::RGB(127, 127, 127)},
                                        {'.', 0}};
    struct Case {
        ScreenView View;
        FlashPhase Phase;
        const char* TopLine;
    };
    const Case cases[] = {
        {ColourView, FlashPhase::Plain, "YBBBBBBB"},
        {ColourView, FlashPhase::Swapped, "BYYYYYYY"},
        {BitmapView, FlashPhase::Swapped, "g......."},
    };
    for (const Case& c : cases) {
        MemoryOutput output(256, 192);
        {
            ScopedDrawing drawing(output);
            RenderScreenView(screen.data(), c.View, NoHighlight, NoHighlight,
                             ViewLook{1, false, c.Phase});
        }
        EXPECT_TRUE(testsupport::MatchesPicture(output, 8, 0, {c.TopLine}, legend)) << c.TopLine;
    }
}

TEST(RenderScreenView, PictureIs512By384AndTheGridStopsThere) {
    // On an output larger than the picture, the picture ends at 512 x 384;
    // the grid's last lines are at 496 and 368, and the lines' far ends
    // reach one pixel beyond the picture.
    const fixtures::Screen screen = fixtures::Noise(5);
    MemoryOutput output(520, 392);
    Render(output, screen, ColourView, NoHighlight, NoHighlight, 1);
    EXPECT_TRUE(output.Untouched(513, 0));
    EXPECT_TRUE(output.Untouched(0, 385));
    for (std::int32_t x = 0; x < 512; ++x) {
        EXPECT_EQ(output.PixelAt(x, 0), screentest::GridBlue) << x;
        EXPECT_EQ(output.PixelAt(x, 368), screentest::GridBlue) << x;
        EXPECT_EQ(output.PixelAt(x, 384) == screentest::GridBlue, x % 16 == 0) << x;
    }
    for (std::int32_t y = 0; y < 384; ++y) {
        EXPECT_EQ(output.PixelAt(496, y), screentest::GridBlue) << y;
        EXPECT_EQ(output.PixelAt(512, y) == screentest::GridBlue, y % 16 == 0) << y;
    }
    EXPECT_TRUE(output.GuardsIntact());
}

// The primitive calls a render makes, recorded through the context's
// operations table with the colour installed at each call.
struct DrawCall {
    bool Line;
    std::int32_t A, B, C, D;
    rook::Colour Colour;
    bool operator==(const DrawCall&) const = default;
};
std::vector<DrawCall> recorded;

void RecordBox(rook::DrawingContext* context, std::int32_t x, std::int32_t y, std::int32_t w,
               std::int32_t h) {
    recorded.push_back({false, x, y, w, h, context->FrontColor});
}
void RecordLine(rook::DrawingContext* context, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                std::int32_t y2) {
    recorded.push_back({true, x1, y1, x2, y2, context->FrontColor});
}

// The calls the renderer is defined to make, derived through the binary
// texts: Bin, RSet to eight characters and Mid for each bit.
std::vector<DrawCall> DefinedCalls(const fixtures::Screen& screen, ScreenView view, std::int32_t x,
                                   std::int32_t y, std::int32_t grid) {
    std::vector<DrawCall> calls;
    for (std::int32_t t = 0; t < 3; ++t) {
        for (std::int32_t i = 0; i < 8; ++i) {
            for (std::int32_t c = 0; c < 256; ++c) {
                std::int32_t a = screen[6144 + t * 256 + c];
                const auto p = static_cast<std::int8_t>(screen[c + i * 256 + t * 2048]);
                const rook::TempExpression text;
                rook::Bin(p, 0, text.Start());
                rook::RSet(text.Text(), 8, "0", text.Start());
                if (view == 0) {
                    a = 7;
                }
                if (std::int64_t{y} * 32 + x == t * 256 + c) {
                    a = 255 - a;
                }
                for (std::int32_t b = 0; b < 8; ++b) {
                    const rook::TempExpression character;
                    rook::Mid(text.Text(), b + 1, 1, character.Start());
                    const std::int32_t n =
                        rook::StringEquals(character.Text(), "0") ? (a >> 3) & 7 : a & 7;
                    const std::int32_t intensity = (a & 0x40) != 0 ? 255 : 127;
                    const rook::Colour colour =
                        rook::RGB(((n >> 1) & 1) * intensity, ((n >> 2) & 1) * intensity,
                                  (n & 1) * intensity);
                    const std::int32_t px = (c % 32) * 8 + b;
                    const std::int32_t py = (c / 32) * 8 + i + t * 64;
                    calls.push_back({false, px * 2, py * 2, 2, 2, colour});
                }
            }
        }
    }
    if (grid != 0) {
        for (std::int32_t i = 0; i < 32; ++i) {
            calls.push_back({true, i * 16, 0, i * 16, 384, rook::RGB(0, 0, 255)});
        }
        for (std::int32_t j = 0; j < 24; ++j) {
            calls.push_back({true, 0, j * 16, 512, j * 16, rook::RGB(0, 0, 255)});
        }
    }
    return calls;
}

TEST(RenderScreenView, MakesExactlyTheDefinedBoxAndLineCallsInOrder) {
    const fixtures::Screen screen = fixtures::Noise(99);
    struct Case {
        ScreenView View;
        std::int32_t X, Y, Grid;
    };
    const Case cases[] = {{ColourView, 7, 13, 1}, {BitmapView, 32, 0, 0}, {ColourView, -1, -1, 0}};
    for (const Case& c : cases) {
        MemoryOutput output(CanvasWidth, CanvasHeight);
        ScopedDrawing drawing(output);
        drawing.Context()->Operations.DrawBox = RecordBox;
        drawing.Context()->Operations.DrawLine = RecordLine;
        recorded.clear();
        RenderScreenView(screen.data(), c.View, c.X, c.Y, c.Grid);
        const std::vector<DrawCall> expected = DefinedCalls(screen, c.View, c.X, c.Y, c.Grid);
        ASSERT_EQ(recorded.size(), expected.size());
        for (std::size_t k = 0; k < expected.size(); ++k) {
            ASSERT_EQ(recorded[k], expected[k]) << "call " << k << " of view " << c.View;
        }
    }
}

} // namespace

namespace {

// Moving the highlight by redrawing only the cell that had it and the cell
// that gets it gives the picture of a whole render with the new highlight,
// and notes the two cells' areas, clipped to the buffer.
TEST(RenderScreenCell, RedrawingTheOldAndTheNewCellMovesTheHighlight) {
    const fixtures::Screen screen = fixtures::Noise(77);
    struct Case {
        ScreenView View;
        std::int32_t Grid, FromX, FromY, ToX, ToY;
        std::vector<rook::DrawnArea> Areas;
    };
    const Case cases[] = {
        {ColourView, 1, 5, 12, 6, 12, {{80, 192, 32, 16}}}, // side by side: one area
        {ColourView, 1, 5, 12, 5, 14, {{80, 192, 16, 16}, {80, 224, 16, 16}}},
        {BitmapView, 1, 0, 0, 31, 23, {{0, 0, 16, 16}, {496, 368, 12, 12}}},
        {ColourView, 0, NoHighlight, NoHighlight, 32, 0, {{0, 16, 16, 16}}},
        {BitmapView, 0, 31, 23, NoHighlight, NoHighlight, {{496, 368, 12, 12}}},
    };
    for (const Case& c : cases) {
        MemoryOutput output(CanvasWidth, CanvasHeight);
        Render(output, screen, c.View, c.FromX, c.FromY, c.Grid);
        std::vector<rook::DrawnArea> noted;
        {
            ScopedDrawing drawing(output);
            for (const std::int32_t cell :
                 {HighlightedCell(c.FromX, c.FromY), HighlightedCell(c.ToX, c.ToY)}) {
                if (cell >= 0) {
                    RenderScreenCell(screen.data(), c.View, cell % 32, cell / 32, c.ToX, c.ToY,
                                     ViewLook{2, c.Grid != 0});
                }
            }
            const rook::DrawingContext* context = drawing.Context();
            noted.assign(context->DrawnAreas, context->DrawnAreas + context->DrawnAreaCount);
        }
        const std::int32_t highlight = HighlightedCell(c.ToX, c.ToY);
        EXPECT_TRUE(ShowsScreen(output, screen.data(), c.View, highlight, c.Grid != 0))
            << "view " << c.View << " to (" << c.ToX << ", " << c.ToY << ")";
        ASSERT_EQ(noted.size(), c.Areas.size());
        for (std::size_t k = 0; k < noted.size(); ++k) {
            EXPECT_EQ(noted[k].X, c.Areas[k].X);
            EXPECT_EQ(noted[k].Y, c.Areas[k].Y);
            EXPECT_EQ(noted[k].Width, c.Areas[k].Width);
            EXPECT_EQ(noted[k].Height, c.Areas[k].Height);
        }
        EXPECT_TRUE(output.GuardsIntact());
    }
}

TEST(RenderScreenCell, AFlashingCellRedrawnInTheOtherPhaseAtEveryZoom) {
    const fixtures::Screen screen = fixtures::Noise(31);
    for (std::int32_t zoom = 1; zoom <= 4; ++zoom) {
        MemoryOutput output(256 * zoom, 192 * zoom);
        const ViewLook swapped{zoom, true, FlashPhase::Swapped};
        Render(output, screen, ColourView);
        {
            ScopedDrawing drawing(output);
            RenderScreenView(screen.data(), ColourView, 3, 3, ViewLook{zoom, true});
        }
        {
            ScopedDrawing drawing(output);
            for (std::int32_t cell = 0; cell < CellCount; ++cell) {
                if ((screen[6144 + static_cast<std::size_t>(cell)] & 0x80) != 0) {
                    RenderScreenCell(screen.data(), ColourView, cell % 32, cell / 32, 3, 3,
                                     swapped);
                }
            }
        }
        EXPECT_TRUE(ShowsScreen(output, screen.data(), ColourView, 3 * 32 + 3, true, zoom, true))
            << "zoom " << zoom;
    }
}

TEST(RenderScreenCell, ACellOutsideTheScreenDrawsAndNotesNothing) {
    const fixtures::Screen screen = fixtures::Noise(5);
    for (const auto& [column, row] : {std::pair{32, 0}, {0, 24}, {-1, 3}, {3, -1}}) {
        MemoryOutput output(CanvasWidth, CanvasHeight);
        ScopedDrawing drawing(output);
        RenderScreenCell(screen.data(), ColourView, column, row, column, row, ViewLook{2, true});
        EXPECT_EQ(drawing.Context()->DrawnAreaCount, 0);
        EXPECT_TRUE(std::all_of(output.Pixels(), output.Pixels() + output.PixelBytes(),
                                [](std::uint8_t byte) { return byte == MemoryOutput::Background; }))
            << "cell (" << column << ", " << row << ")";
    }
}

} // namespace
