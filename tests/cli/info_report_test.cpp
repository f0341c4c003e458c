// What info says of a file, and JSON strings that stay valid whatever a
// file name holds.

#include "cli/info_report.h"

#include "screen/screen_image.h"
#include "screen_fixtures.h"
#include "tape_fixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace inkswap;

TEST(InfoReport, KindsScreensAndCounts) {
    fixtures::Screen screen{};
    screen[6144] = 0x80; // cell 0,0 flashes
    for (std::int32_t line = 0; line < 8; ++line) {
        screen[CellBitmapOffset(1, 0) + line * PixelLineStride] = 0xFF; // cell 1,0 all ink
    }
    screen[CellBitmapOffset(2, 0)] = 0xFF; // 8 of 64: nothing to correct
    ScreenFile file{};
    file.Bytes =
        fixtures::TapFile({fixtures::ScreenHeader("loading"), fixtures::ScreenBlock(screen, true)});
    ASSERT_TRUE(FindScreens(file));
    EXPECT_EQ(cli::InfoText("d/game.tap", file),
              "d/game.tap: TAP tape, 1 screen\n"
              "  screen 1 \"loading\": 1 flashing cell, 1 cell to correct (checksum wrong)\n");
    EXPECT_EQ(cli::InfoJson("d/game.tap", file),
              "{\"file\": \"d/game.tap\", \"kind\": \"tap\", \"machine\": null, \"screens\": "
              "[{\"number\": 1, \"name\": \"loading\", \"bank\": null, \"checksumWrong\": true, "
              "\"flashingCells\": 1, \"cellsToCorrect\": 1}]}");
}

TEST(InfoReport, JsonStringsAreEscapedAndValidUtf8) {
    struct Case {
        std::string Text;
        std::string Json;
    };
    const Case cases[] = {
        {"plain.scr", "\"plain.scr\""},
        {"a \"b\" \\c", "\"a \\\"b\\\" \\\\c\""},
        {"tab\there\n", "\"tab\\u0009here\\u000a\""},
        {"\xc2\xa9 1984", "\"\xc2\xa9 1984\""},
        {"bad\xff\xc3", "\"bad\\ufffd\\ufffd\""},
        {"\xe2\x82", "\"\\ufffd\\ufffd\""},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(cli::JsonString(test.Text), test.Json);
    }
}

} // namespace
