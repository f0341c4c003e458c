#include "drawing/primitives.h"

#include "support/memory_output.h"
#include "support/pixel_picture.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <utility>
#include <vector>

namespace {

using namespace rook;
using testsupport::Legend;
using testsupport::MatchesPicture;
using testsupport::MemoryOutput;
using testsupport::ScopedDrawing;

using Pixel = std::pair<std::int32_t, std::int32_t>;
using Pixels = std::set<Pixel>;

constexpr Colour Ink = RGB(10, 200, 30);

Pixels Touched(const MemoryOutput& output) {
    Pixels touched;
    for (std::int32_t y = 0; y < output.Height(); ++y) {
        for (std::int32_t x = 0; x < output.Width(); ++x) {
            if (!output.Untouched(x, y)) {
                touched.insert({x, y});
            }
        }
    }
    return touched;
}

// Draws on a fresh 512 x 384 output and returns the pixels written, having
// checked that nothing outside the buffer was touched and that every pixel
// written holds the colour.
template <typename Draw>
Pixels DrawnPixels(Draw draw) {
    MemoryOutput output(512, 384);
    {
        ScopedDrawing drawing(output);
        draw();
    }
    EXPECT_TRUE(output.GuardsIntact());
    const Pixels touched = Touched(output);
    for (const Pixel& p : touched) {
        EXPECT_EQ(output.PixelAt(p.first, p.second), Ink) << p.first << "," << p.second;
    }
    return touched;
}

Pixels Rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    Pixels pixels;
    for (std::int32_t y = top; y <= bottom; ++y) {
        for (std::int32_t x = left; x <= right; ++x) {
            pixels.insert({x, y});
        }
    }
    return pixels;
}

TEST(Box, FillsAndClipsToTheBuffer) {
    struct Case {
        std::int32_t X, Y, Width, Height;
        Pixels Expected;
    };
    const Case cases[] = {
        {10, 20, 2, 2, {{10, 20}, {11, 20}, {10, 21}, {11, 21}}},
        {5, 5, -2, 3, Rectangle(3, 5, 4, 7)},
        {5, 5, 2, -3, Rectangle(5, 2, 6, 4)},
        {7, 7, 0, 5, {}},
        {7, 7, 5, 0, {}},
        {-1, -1, 2, 2, {{0, 0}}},
        {511, 383, 5, 5, {{511, 383}}},
        {512, 0, 2, 2, {}},
        {0, 384, 2, 2, {}},
        {-5, 0, 5, 1, {}},
        {INT_MAX, 0, INT_MAX, 1, {}},
        {0, INT_MAX, 1, INT_MAX, {}},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, {}},
        {-10, 380, INT_MAX, INT_MAX, Rectangle(0, 380, 511, 383)},
        {3, 2, INT_MIN, INT_MIN, Rectangle(0, 0, 2, 1)},
        {INT_MAX, INT_MAX, INT_MIN, INT_MIN, Rectangle(0, 0, 511, 383)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DrawnPixels([&] { Box(c.X, c.Y, c.Width, c.Height, Ink); }), c.Expected)
            << "Box(" << c.X << ", " << c.Y << ", " << c.Width << ", " << c.Height << ")";
    }
}

TEST(Box, RowsLeftToRightInASmallPicture) {
    MemoryOutput output(6, 4);
    {
        ScopedDrawing drawing(output);
        Box(1, 1, 3, 2, RGB(255, 0, 0));
        Box(3, 0, 9, 1, RGB(0, 0, 255));
    }
    const std::vector<std::string> picture = {
        "---bbb",
        "-rrr--",
        "-rrr--",
        "------",
    };
    EXPECT_TRUE(
        MatchesPicture(output, 0, 0, picture, {{'r', RGB(255, 0, 0)}, {'b', RGB(0, 0, 255)}}));
    EXPECT_TRUE(output.GuardsIntact());
}

// BoxesOfBits against the Box calls it stands for: the same bytes (guards
// included) and the same front colour left on the context, for every box
// size the renderer uses and one it does not, one group and several, inside
// the buffer, at its edges and beyond them, in 3- and 4-byte pixels.
TEST(BoxesOfBits, SameAsTheBoxesItStandsFor) {
    const std::uint8_t bits[3] = {0xA5, 0x01, 0xFE};
    const BitPalette palettes[3] = {MakeBitPalette(RGB(1, 2, 3), RGB(200, 100, 50)),
                                    MakeBitPalette(RGB(9, 9, 9), RGB(0, 255, 0)),
                                    MakeBitPalette(RGB(40, 30, 20), RGB(1, 1, 250))};
    struct Case {
        std::int32_t X, Y, Count, Size, BitsPerPixel;
    };
    const Case cases[] = {
        {0, 0, 1, 2, 24},
        {16, 6, 1, 2, 24},
        {24, 8, 1, 2, 24},
        {25, 9, 1, 2, 24},
        {30, 3, 1, 2, 24},
        {-4, 0, 1, 2, 24},
        {2, 9, 1, 2, 24},
        {INT_MAX - 14, 0, 1, 2, 24},
        {INT_MIN, INT_MIN, 1, 2, 24},
        {0, 0, 3, 1, 24},
        {1, 9, 3, 1, 24},
        {0, 0, 2, 3, 24},
        {5, 7, 2, 3, 24},
        {0, 0, 1, 4, 24},
        {8, 6, 1, 4, 24},
        {0, 2, 3, 2, 24},
        {0, 0, 1, 5, 24},
        {0, 0, 1, 0, 24},
        {0, 0, 1, 2, 32},
        {30, 9, 1, 2, 32},
        {3, 3, 3, 1, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.X << "," << c.Y << " count " << c.Count << " size "
                                        << c.Size << " at " << c.BitsPerPixel);
        MemoryOutput boxes(60, 12, c.BitsPerPixel);
        MemoryOutput row(60, 12, c.BitsPerPixel);
        Colour boxesFront = 0;
        Colour rowFront = 0;
        {
            ScopedDrawing drawing(boxes);
            for (std::int32_t group = 0; group < c.Count; ++group) {
                for (std::int32_t i = 0; i < 8; ++i) {
                    const std::int64_t left = std::int64_t{c.X} + (group * 8 + i) * c.Size;
                    if (left <= INT_MAX) {
                        Box(static_cast<std::int32_t>(left), c.Y, c.Size, c.Size,
                            palettes[group].Colours[(bits[group] >> (7 - i)) & 1]);
                    }
                }
            }
            boxesFront = drawing.Context()->FrontColor;
        }
        {
            ScopedDrawing drawing(row);
            BoxesOfBits(c.X, c.Y, bits, palettes, c.Count, c.Size);
            rowFront = drawing.Context()->FrontColor;
        }
        EXPECT_TRUE(row.GuardsIntact());
        EXPECT_EQ(std::vector<std::uint8_t>(row.Pixels(), row.Pixels() + row.PixelBytes()),
                  std::vector<std::uint8_t>(boxes.Pixels(), boxes.Pixels() + boxes.PixelBytes()));
        EXPECT_EQ(rowFront, boxesFront);
    }
}

TEST(LineXY, BresenhamPixels) {
    struct Case {
        std::int32_t X1, Y1, X2, Y2;
        Pixels Expected;
    };
    const Case cases[] = {
        {7, 9, 7, 9, {{7, 9}}},
        {3, -1, 9, -1, {}},
        {0, 0, 3, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {3, 1, 0, 0, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {0, 0, 2, 1, {{0, 0}, {1, 1}, {2, 1}}},
        {0, 0, 1, 3, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        {3, 0, 0, 3, {{0, 3}, {1, 2}, {2, 1}, {3, 0}}},
        {0, 3, 3, 0, {{0, 3}, {1, 2}, {2, 1}, {3, 0}}},
        {2, 5, 6, 5, Rectangle(2, 5, 6, 5)},
        {6, 5, 2, 5, Rectangle(2, 5, 6, 5)},
        {4, 8, 4, 2, Rectangle(4, 2, 4, 8)},
        {-3, 2, 2, 2, Rectangle(0, 2, 2, 2)},
        {510, 0, 600, 0, {{510, 0}, {511, 0}}},
        {0, 380, 0, 999, Rectangle(0, 380, 0, 383)},
        {-1, 5, -1, 9, {}},
        {600, 0, 700, 50, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DrawnPixels([&] { LineXY(c.X1, c.Y1, c.X2, c.Y2, Ink); }), c.Expected)
            << "LineXY(" << c.X1 << ", " << c.Y1 << ", " << c.X2 << ", " << c.Y2 << ")";
    }
}

TEST(LineXY, GridLinesEndingOnePixelBeyondTheBufferAreClipped) {
    EXPECT_EQ(DrawnPixels([] { LineXY(16, 0, 16, 384, Ink); }), Rectangle(16, 0, 16, 383));
    EXPECT_EQ(DrawnPixels([] { LineXY(0, 16, 512, 16, Ink); }), Rectangle(0, 16, 511, 16));
}

TEST(LineXY, ClippedSlantedLinesStartAndEndOnTheEdge) {
    struct Case {
        std::int32_t X1, Y1, X2, Y2;
        Pixel First, Last;
        std::size_t Count;
    };
    const Case cases[] = {
        {-10, 0, 10, 10, {0, 5}, {10, 10}, 11},
        {500, 0, 520, 10, {500, 0}, {511, 5}, 12},
        {-5, -5, 600, 500, {0, 0}, {460, 383}, 461},
    };
    for (const Case& c : cases) {
        const Pixels pixels = DrawnPixels([&] { LineXY(c.X1, c.Y1, c.X2, c.Y2, Ink); });
        ASSERT_EQ(pixels.size(), c.Count);
        EXPECT_TRUE(pixels.count(c.First)) << c.First.first << "," << c.First.second;
        EXPECT_TRUE(pixels.count(c.Last)) << c.Last.first << "," << c.Last.second;
        EXPECT_EQ(*pixels.begin(), c.First) << "nothing left of the first pixel";
        EXPECT_EQ(*pixels.rbegin(), c.Last) << "nothing right of the last pixel";
    }
}

TEST(LineXY, ClippingFarEndPointsKeepsThePixelsOnTheLine) {
    // The line runs down and right from (511, 2) with a slope just above 1;
    // cut at x = 511 it is the single pixel (511, 2). Reckoned in double
    // precision the cut lands at y = 1.99999... and truncates to 1, a pixel
    // above the line's start.
    EXPECT_EQ(DrawnPixels([] { LineXY(511, 2, (1 << 30) + 497, 1 << 30, Ink); }),
              Rectangle(511, 2, 511, 2));
    EXPECT_EQ(DrawnPixels([] { LineXY((1 << 30) + 497, 1 << 30, 511, 2, Ink); }),
              Rectangle(511, 2, 511, 2));
}

TEST(LineXY, ExtremeCoordinatesStayInsideTheBuffer) {
    const std::int32_t extremes[] = {INT_MIN, INT_MIN + 1, -1000000, -1, 0, 200, 511, 600, INT_MAX};
    for (std::int32_t x1 : extremes) {
        for (std::int32_t y2 : extremes) {
            DrawnPixels([&] {
                LineXY(x1, INT_MIN, INT_MAX, y2, Ink);
                LineXY(x1, y2, x1, INT_MAX, Ink);
                LineXY(INT_MAX, y2, x1, y2, Ink);
            });
        }
    }
    EXPECT_EQ(DrawnPixels([] { LineXY(INT_MIN, 7, INT_MAX, 7, Ink); }), Rectangle(0, 7, 511, 7));
    EXPECT_EQ(DrawnPixels([] { LineXY(3, INT_MAX, 3, INT_MIN, Ink); }), Rectangle(3, 0, 3, 383));
}

// Counts the calls that split a colour into components.
int colourSplits = 0;
void CountingSetFrontColor(DrawingContext* context, Colour colour) {
    ++colourSplits;
    SetFrontColor(context, colour);
}

TEST(InstallingColours, ComponentsAreSplitOnlyWhenTheColourChanges) {
    MemoryOutput output(4, 1);
    ScopedDrawing drawing(output);
    drawing.Context()->Operations.SetFrontColor = CountingSetFrontColor;
    colourSplits = 0;
    Box(0, 0, 1, 1, 0);
    EXPECT_EQ(colourSplits, 0) << "black is installed already";
    Box(1, 0, 1, 1, RGB(0, 0, 255));
    LineXY(2, 0, 2, 0, RGB(0, 0, 255));
    EXPECT_EQ(colourSplits, 1);
    Box(3, 0, 1, 1, RGB(255, 0, 0));
    Box(0, 0, 1, 1, RGB(0, 0, 255));
    EXPECT_EQ(colourSplits, 3);
    EXPECT_TRUE(
        MatchesPicture(output, 0, 0, {"bbbr"}, {{'r', RGB(255, 0, 0)}, {'b', RGB(0, 0, 255)}}));
    const std::uint8_t* blue = output.Pixels() + 3;
    EXPECT_EQ(blue[0], 255);
    EXPECT_EQ(blue[1], 0);
    EXPECT_EQ(blue[2], 0);
}

TEST(InstallingColours, AlphaByteOfThirtyTwoBitPixelsIsLeftAlone) {
    MemoryOutput output(3, 2, 32);
    {
        ScopedDrawing drawing(output);
        Box(0, 0, 3, 2, RGB(1, 2, 3) | 0xFF000000u);
        LineXY(0, 0, 2, 1, RGB(4, 5, 6));
    }
    for (std::size_t pixel = 0; pixel < 6; ++pixel) {
        EXPECT_EQ(output.Pixels()[pixel * 4 + 3], MemoryOutput::Background) << pixel;
    }
    EXPECT_EQ(output.PixelAt(2, 1), RGB(4, 5, 6));
    EXPECT_EQ(output.PixelAt(2, 0), RGB(1, 2, 3));
}

TEST(Primitives, DoNothingWithoutACurrentContext) {
    ASSERT_EQ(CurrentDrawingContext(), nullptr);
    Box(0, 0, 10, 10, Ink);
    LineXY(0, 0, 10, 10, Ink);
}

} // namespace
