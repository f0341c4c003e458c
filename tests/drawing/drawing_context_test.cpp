#include "drawing/drawing_context.h"

#include "drawing/primitives.h"
#include "support/memory_output.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace rook;
using testsupport::MemoryOutput;

TEST(Colour, ComponentsAddWithoutMaskingOrClamping) {
    EXPECT_EQ(RGB(0, 0, 255), 16711680u);
    EXPECT_EQ(RGB(255, 0, 0), 255u);
    EXPECT_EQ(RGB(0, 255, 0), 65280u);
    EXPECT_EQ(RGB(300, 0, 0), 300u);
    EXPECT_EQ(RGB(300, 0, 0), RGB(44, 1, 0));
    EXPECT_EQ(RGB(127, 127, 127), 0x7F7F7Fu);
}

TEST(RowPitch, RowsArePaddedToWholeWords) {
    struct Case {
        std::int32_t Width;
        std::int32_t Bits;
        std::int32_t Pitch;
    };
    const Case cases[] = {{1, 24, 4},  {5, 24, 16},     {2, 24, 8},      {10, 1, 4},
                          {3, 16, 8},  {512, 32, 2048}, {512, 24, 1536}, {508, 24, 1524},
                          {33, 1, 8},  {9, 4, 8},       {5, 8, 8},       {3, 15, 8},
                          {7, 32, 28}, {0, 24, 0},      {INT_MAX, 32, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(RowPitch(c.Width, c.Bits), c.Pitch) << c.Width << " x " << c.Bits << " bits";
    }
}

TEST(DrawingContext, NewContextIsCurrentWithBlackInstalled) {
    DrawingContext* context = CreateDrawingContext(PixelFormat24Bits);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(CurrentDrawingContext(), context);
    EXPECT_EQ(context->PixelFormat, 16u);
    EXPECT_EQ(context->BytesPerPixel, 3);
    EXPECT_EQ(context->FrontColor, 0u);
    EXPECT_EQ(context->FrontRed, 0);
    EXPECT_EQ(context->FrontGreen, 0);
    EXPECT_EQ(context->FrontBlue, 0);
    EXPECT_EQ(context->DrawingMode, 0u);
    EXPECT_NE(context->Operations.DrawBox, nullptr);
    EXPECT_NE(context->Operations.DrawLine, nullptr);
    EXPECT_EQ(context->Operations.ReleaseOutput, nullptr) << "the output constructor sets it";
    StopDrawing();
    EXPECT_EQ(CurrentDrawingContext(), nullptr) << "a context never started is ended too";

    for (std::uint32_t format : {32u, 64u, 32u | 16u}) {
        context = CreateDrawingContext(format);
        EXPECT_EQ(context->BytesPerPixel, 4) << format;
        StopDrawing();
    }
}

TEST(DrawingContext, PixelAddressesRunBottomUp) {
    // In 512 x 384 at 24 bits: pixel (0, 0) at byte 588,288, (511, 383) at 1,533.
    MemoryOutput output(512, 384);
    {
        testsupport::ScopedDrawing drawing(output);
        Box(0, 0, 1, 1, RGB(1, 2, 3));
        Box(511, 383, 1, 1, RGB(0, 0, 255));
    }
    const std::uint8_t* bytes = output.Pixels();
    EXPECT_EQ(bytes[588288], 3);
    EXPECT_EQ(bytes[588289], 2);
    EXPECT_EQ(bytes[588290], 1);
    EXPECT_EQ(bytes[1533], 255) << "blue first";
    EXPECT_EQ(bytes[1534], 0);
    EXPECT_EQ(bytes[1535], 0);
    EXPECT_TRUE(output.GuardsIntact());
}

// Records what the output operations were called with.
std::vector<std::int32_t> releases;
int stops = 0;

void RecordRelease(DrawingContext*, std::int32_t finished) {
    releases.push_back(finished);
}
void RecordStop(DrawingContext*) {
    ++stops;
}

TEST(DrawingContext, StartAndStopCallTheOutputOperations) {
    releases.clear();
    stops = 0;
    MemoryOutput output(4, 4);
    DrawingContext* context = output.Open();
    context->OutputDeviceContext = 0x1234;
    context->Operations.ReleaseOutput = RecordRelease;
    context->Operations.StopOutput = RecordStop;
    EXPECT_EQ(StartDrawing(context), 0x1234) << "the output device context";
    EXPECT_EQ(CurrentDrawingContext(), context);
    StopDrawing();
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(releases, std::vector<std::int32_t>{1});
    EXPECT_EQ(CurrentDrawingContext(), nullptr);
    StopDrawing();
    EXPECT_EQ(stops, 1) << "a second StopDrawing does nothing";
}

TEST(DrawingContext, StartingWithoutABufferReleasesTheOutputUnfinished) {
    releases.clear();
    DrawingContext* context = CreateDrawingContext(PixelFormat24Bits);
    context->Operations.ReleaseOutput = RecordRelease;
    EXPECT_EQ(StartDrawing(context), 0);
    EXPECT_EQ(releases, std::vector<std::int32_t>{0});
    EXPECT_EQ(CurrentDrawingContext(), nullptr);

    EXPECT_EQ(StartDrawing(nullptr), 0);
    EXPECT_EQ(CurrentDrawingContext(), nullptr);
}

TEST(DrawingContext, AStartedBufferWithoutDeviceContextStillGivesAHandle) {
    MemoryOutput output(4, 4);
    EXPECT_NE(StartDrawing(output.Open()), 0);
    StopDrawing();
}

TEST(DrawingContext, EveryNewContextStartsFromBlack) {
    MemoryOutput output(2, 1);
    {
        testsupport::ScopedDrawing drawing(output);
        Box(0, 0, 1, 1, RGB(9, 9, 9));
    }
    testsupport::ScopedDrawing drawing(output);
    EXPECT_EQ(drawing.Context()->FrontColor, 0u);
    Box(1, 0, 1, 1, 0);
    EXPECT_EQ(output.PixelAt(1, 0), 0u);
}

// The areas a drawing notes: clipped to the buffer, empty ones ignored, a
// run along a row or down a column joined into one, and the whole buffer
// once there are too many.
TEST(DrawnAreas, NotedClippedJoinedAndCappedAtTheLimit) {
    struct Case {
        const char* What;
        std::vector<DrawnArea> Marked;
        std::vector<DrawnArea> Noted; // empty with All: drawn all over
        bool All = false;
    };
    const std::vector<DrawnArea> scattered = [] {
        std::vector<DrawnArea> areas;
        for (std::int32_t i = 0; i <= MaxDrawnAreas; ++i) {
            areas.push_back({(i % 6) * 10, (i / 6) * 10, 5, 5});
        }
        return areas;
    }();
    const Case cases[] = {
        {"clipped", {{-5, -5, 10, 10}, {90, 50, 20, 20}}, {{0, 0, 5, 5}, {90, 50, 10, 10}}},
        {"empty ones ignored", {{10, 10, 0, 5}, {200, 10, 5, 5}}, {}},
        {"a run along a row", {{0, 8, 8, 8}, {8, 8, 8, 8}, {16, 8, 8, 8}}, {{0, 8, 24, 8}}},
        {"down a column", {{0, 0, 24, 8}, {0, 8, 24, 8}}, {{0, 0, 24, 16}}},
        {"apart", {{0, 0, 8, 8}, {16, 0, 8, 8}}, {{0, 0, 8, 8}, {16, 0, 8, 8}}},
        {"too many", scattered, {}, true},
    };
    for (const Case& c : cases) {
        MemoryOutput output(100, 60);
        testsupport::ScopedDrawing drawing(output);
        for (const DrawnArea& area : c.Marked) {
            MarkDrawnArea(area.X, area.Y, area.Width, area.Height);
        }
        const DrawingContext* context = drawing.Context();
        if (c.All) {
            EXPECT_EQ(context->DrawnAreaCount, DrawnAllOver) << c.What;
            continue;
        }
        ASSERT_EQ(context->DrawnAreaCount, static_cast<std::int32_t>(c.Noted.size())) << c.What;
        for (std::size_t k = 0; k < c.Noted.size(); ++k) {
            const DrawnArea& noted = context->DrawnAreas[k];
            EXPECT_EQ(std::vector<std::int32_t>({noted.X, noted.Y, noted.Width, noted.Height}),
                      std::vector<std::int32_t>(
                          {c.Noted[k].X, c.Noted[k].Y, c.Noted[k].Width, c.Noted[k].Height}))
                << c.What << ", area " << k;
        }
    }
}

} // namespace
