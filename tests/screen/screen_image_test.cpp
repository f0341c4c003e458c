#include "screen/screen_image.h"

#include "screen/screen_renderer.h"

#include "screen_expectation.h"
#include "screen_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <vector>

namespace {

using namespace inkswap;

TEST(ScreenLayout, CellOffsetsFollowTheInterleavedThirds) {
    struct Case {
        std::int32_t X, Y, Bitmap, Attribute;
    };
    const Case cases[] = {
        {0, 0, 0, 6144},    {31, 0, 31, 6175},   {0, 1, 32, 6176},    {0, 7, 224, 6368},
        {0, 8, 2048, 6400}, {5, 12, 2181, 6533}, {0, 16, 4096, 6656}, {31, 23, 4351, 6911},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CellBitmapOffset(c.X, c.Y), c.Bitmap) << c.X << "," << c.Y;
        EXPECT_EQ(CellAttributeOffset(c.X, c.Y), c.Attribute) << c.X << "," << c.Y;
    }
    EXPECT_EQ(CellBitmapOffset(31, 23) + 7 * 256, 6143) << "the last bitmap byte";
}

TEST(ScreenLayout, EveryBitmapByteBelongsToExactlyOneCellLine) {
    std::set<std::int32_t> offsets;
    for (std::int32_t y = 0; y < 24; ++y) {
        for (std::int32_t x = 0; x < 32; ++x) {
            for (std::int32_t line = 0; line < 8; ++line) {
                offsets.insert(CellBitmapOffset(x, y) + line * PixelLineStride);
            }
        }
    }
    EXPECT_EQ(offsets.size(), 6144u);
    EXPECT_EQ(*offsets.begin(), 0);
    EXPECT_EQ(*offsets.rbegin(), 6143);
}

TEST(AttributeColours, InkAndPaperFromTheColourTable) {
    struct Case {
        std::int32_t Attribute;
        rook::Colour Ink, Paper;
    };
    const Case cases[] = {
        {0x07, rook::RGB(127, 127, 127), rook::RGB(0, 0, 0)},
        {0x47, rook::RGB(255, 255, 255), rook::RGB(0, 0, 0)},
        {0x38, rook::RGB(0, 0, 0), rook::RGB(127, 127, 127)},
        {0x0A, rook::RGB(127, 0, 0), rook::RGB(0, 0, 127)},
        {0x63, rook::RGB(255, 0, 255), rook::RGB(0, 255, 0)},
        {0x35, rook::RGB(0, 127, 127), rook::RGB(127, 127, 0)},
        {0x4E, rook::RGB(255, 255, 0), rook::RGB(0, 0, 255)},
        {0xC0, rook::RGB(0, 0, 0), rook::RGB(0, 0, 0)},
        {0x80 | 0x0F, rook::RGB(127, 127, 127), rook::RGB(0, 0, 127)},
        {0xF8, rook::RGB(0, 0, 0), rook::RGB(255, 255, 255)},
    };
    for (const Case& c : cases) {
        const CellColours colours = AttributeColours(c.Attribute);
        EXPECT_EQ(colours.Ink, c.Ink) << std::hex << c.Attribute;
        EXPECT_EQ(colours.Paper, c.Paper) << std::hex << c.Attribute;
    }
}

std::vector<std::size_t> ChangedBytes(const fixtures::Screen& before,
                                      const fixtures::Screen& after) {
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) {
            changed.push_back(i);
        }
    }
    return changed;
}

TEST(CorrectCell, TouchesTheCellsEightLinesAndItsAttribute) {
    const fixtures::Screen original = fixtures::Noise(42);
    struct Case {
        std::int32_t X, Y;
        std::vector<std::size_t> Bytes;
    };
    const Case cases[] = {
        {0, 0, {0, 256, 512, 768, 1024, 1280, 1536, 1792, 6144}},
        {31, 23, {4351, 4607, 4863, 5119, 5375, 5631, 5887, 6143, 6911}},
    };
    for (const Case& c : cases) {
        fixtures::Screen screen = original;
        CorrectCell(screen.data(), c.X, c.Y);
        std::vector<std::size_t> changed = ChangedBytes(original, screen);
        // An attribute whose ink equals its paper does not change.
        EXPECT_LE(changed.size(), c.Bytes.size());
        for (std::size_t offset : changed) {
            EXPECT_TRUE(std::count(c.Bytes.begin(), c.Bytes.end(), offset)) << offset;
        }
        for (std::size_t i = 0; i < 8; ++i) {
            EXPECT_EQ(screen[c.Bytes[i]], 255 - original[c.Bytes[i]]);
        }
    }
}

TEST(CorrectCell, SwapsInkAndPaperKeepingFlashAndBright) {
    struct Case {
        std::uint8_t Before, After;
    };
    const Case cases[] = {{0x47, 0x78}, {0x87, 0xB8}, {0x38, 0x07}, {0x00, 0x00},
                          {0xFF, 0xFF}, {0x4A, 0x51}, {0xC1, 0xC8}};
    for (const Case& c : cases) {
        fixtures::Screen screen{};
        screen[CellAttributeOffset(9, 9)] = c.Before;
        CorrectCell(screen.data(), 9, 9);
        EXPECT_EQ(screen[CellAttributeOffset(9, 9)], c.After) << std::hex << int{c.Before};
    }
}

TEST(CorrectCell, BlankCellWithWhitePaperBecomesSolidInkOnBlack) {
    fixtures::Screen screen{};
    screen[CellAttributeOffset(3, 17)] = 0x38;
    CorrectCell(screen.data(), 3, 17);
    for (std::int32_t line = 0; line < 8; ++line) {
        EXPECT_EQ(screen[CellBitmapOffset(3, 17) + line * 256], 0xFF);
    }
    EXPECT_EQ(screen[CellAttributeOffset(3, 17)], 0x07);
}

TEST(CorrectCell, TwiceGivesBackEveryCell) {
    const fixtures::Screen original = fixtures::AttributeSweep();
    fixtures::Screen screen = original;
    for (std::int32_t y = 0; y < 24; ++y) {
        for (std::int32_t x = 0; x < 32; ++x) {
            CorrectCell(screen.data(), x, y);
        }
    }
    // Every byte changes but the 3 x 32 attributes whose ink equals their paper.
    EXPECT_EQ(ChangedBytes(original, screen).size(), 6144u + 768u - 96u);
    for (std::int32_t y = 0; y < 24; ++y) {
        for (std::int32_t x = 0; x < 32; ++x) {
            CorrectCell(screen.data(), x, y);
        }
    }
    EXPECT_EQ(screen, original);
}

TEST(CorrectCell, CellsOutsideTheScreenAreLeftAlone) {
    const fixtures::Screen original = fixtures::Noise(7);
    fixtures::Screen screen = original;
    const std::int32_t outside[][2] = {{-1, 0}, {32, 0}, {0, 24}, {0, -1}, {INT_MIN, INT_MAX}};
    for (const auto& cell : outside) {
        CorrectCell(screen.data(), cell[0], cell[1]);
    }
    EXPECT_EQ(screen, original);
}

TEST(ScreenFileSize, OnlyExactly6912BytesIsAScreen) {
    EXPECT_TRUE(IsScreenFileSize(6912));
    for (std::int64_t size : {std::int64_t{6911}, std::int64_t{6913}, std::int64_t{0},
                              std::int64_t{-1}, std::int64_t{-2}, (std::int64_t{1} << 32) + 6912}) {
        EXPECT_FALSE(IsScreenFileSize(size)) << size;
    }
}

// A cell whose first `set` pixels (in bitmap order) are ink, on the given
// attribute.
void FillCell(fixtures::Screen& screen, std::int32_t x, std::int32_t y, std::int32_t set,
              std::uint8_t attribute) {
    for (std::int32_t line = 0; line < 8; ++line) {
        const std::int32_t bits = std::clamp(set - line * 8, 0, 8);
        screen[CellBitmapOffset(x, y) + line * 256] = static_cast<std::uint8_t>(0xFF00 >> bits);
    }
    screen[CellAttributeOffset(x, y)] = attribute;
}

TEST(CorrectAllCells, CorrectsOnlyCellsWithMoreInkThanPaper) {
    struct Case {
        std::int32_t X, Y, Set;
        bool Corrected;
    };
    const Case cases[] = {{0, 0, 64, true},    {1, 0, 33, true}, {2, 0, 32, false},
                          {3, 0, 31, false},   {4, 0, 0, false}, {31, 23, 40, true},
                          {30, 23, 32, false}, {0, 8, 63, true}};
    fixtures::Screen screen{};
    for (const Case& c : cases) {
        FillCell(screen, c.X, c.Y, c.Set, 0x4A);
    }
    const fixtures::Screen before = screen;
    std::uint16_t cells[CellCount] = {};
    const std::int32_t count = CorrectAllCells(screen.data(), cells);
    std::vector<std::uint16_t> expected;
    for (std::int32_t cell = 0; cell < CellCount; ++cell) {
        for (const Case& c : cases) {
            if (c.Corrected && c.Y * 32 + c.X == cell) {
                expected.push_back(static_cast<std::uint16_t>(cell));
            }
        }
    }
    ASSERT_EQ(count, static_cast<std::int32_t>(expected.size()));
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), cells));
    for (const Case& c : cases) {
        fixtures::Screen one = before;
        if (c.Corrected) {
            CorrectCell(one.data(), c.X, c.Y);
        }
        EXPECT_EQ(CellInkCount(screen.data(), c.X, c.Y), c.Corrected ? 64 - c.Set : c.Set);
        EXPECT_EQ(screen[CellAttributeOffset(c.X, c.Y)], one[CellAttributeOffset(c.X, c.Y)]);
    }
}

// After Correct All Cells every pixel has its colour as before and no cell
// has more than 32 ink pixels; a second run finds nothing to do.
TEST(CorrectAllCells, KeepsTheLookAndLeavesNoInkHeavyCell) {
    for (const fixtures::Screen& original :
         {fixtures::AttributeSweep(), fixtures::Noise(7), fixtures::Noise(99), fixtures::Scene()}) {
        fixtures::Screen screen = original;
        std::uint16_t cells[CellCount] = {};
        EXPECT_GT(CorrectAllCells(screen.data(), cells), 0);
        for (std::int32_t y = 0; y < ScreenHeight; ++y) {
            for (std::int32_t x = 0; x < ScreenWidth; ++x) {
                ASSERT_EQ(
                    screentest::ExpectedPixel(screen.data(), ColourView, -1, false, x * 2, y * 2),
                    screentest::ExpectedPixel(original.data(), ColourView, -1, false, x * 2, y * 2))
                    << x << "," << y;
            }
        }
        for (std::int32_t cell = 0; cell < CellCount; ++cell) {
            EXPECT_LE(CellInkCount(screen.data(), cell % 32, cell / 32), 32) << cell;
        }
        const fixtures::Screen corrected = screen;
        EXPECT_EQ(CorrectAllCells(screen.data(), cells), 0);
        EXPECT_EQ(screen, corrected);
    }
}

TEST(ColourPicture, EveryPixelIsItsCellsInkOrPaper) {
    for (const fixtures::Screen& screen : {fixtures::AttributeSweep(), fixtures::Noise(3)}) {
        std::vector<rook::Colour> pixels(ScreenWidth * ScreenHeight);
        ColourPicture(screen.data(), pixels.data());
        for (std::int32_t y = 0; y < ScreenHeight; ++y) {
            for (std::int32_t x = 0; x < ScreenWidth; ++x) {
                ASSERT_EQ(
                    pixels[y * ScreenWidth + x],
                    screentest::ExpectedPixel(screen.data(), ColourView, -1, false, x * 2, y * 2))
                    << x << "," << y;
            }
        }
    }
}

} // namespace
