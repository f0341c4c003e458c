// The command line of inkswap-cli: what each form asks for, and the usage
// errors, each with a message.

#include "cli/arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace inkswap::cli;
using Outcome = Arguments::Outcome;

Arguments Read(const std::vector<const char*>& words) {
    return ReadArguments(words);
}

TEST(CliArguments, WhatEachFormAsksFor) {
    Arguments a = Read({"export", "--scale", "3", "game.tap", "--grid", "--format=gif", "-o",
                        "out.gif", "--screen", "2", "--view", "bitmap"});
    ASSERT_EQ(a.Result, Outcome::Run) << a.Message;
    EXPECT_EQ(a.Run.What, Command::Export);
    EXPECT_EQ(a.Run.Files, std::vector<std::string>{"game.tap"});
    EXPECT_EQ(a.Run.Look.Scale, 3);
    EXPECT_TRUE(a.Run.Look.Grid);
    EXPECT_EQ(a.Run.Look.View, inkswap::BitmapView);
    EXPECT_EQ(a.Run.Format, ImageFormat::Gif);
    EXPECT_EQ(a.Run.Output, "out.gif");
    EXPECT_EQ(a.Run.Screen, 2);

    a = Read({"correct", "3,4", "31,23", "0,0", "a.scr", "--", "-b.scr", "-"});
    ASSERT_EQ(a.Result, Outcome::Run) << a.Message;
    ASSERT_EQ(a.Run.Cells.size(), 3u);
    EXPECT_EQ(a.Run.Cells[1].X, 31);
    EXPECT_EQ(a.Run.Cells[1].Y, 23);
    EXPECT_EQ(a.Run.Files, (std::vector<std::string>{"a.scr", "-b.scr", "-"}));

    a = Read({"insert", "new.scr", "game.tap", "game.z80", "--all-screens", "--dry-run"});
    ASSERT_EQ(a.Result, Outcome::Run) << a.Message;
    EXPECT_EQ(a.Run.Source, "new.scr");
    EXPECT_EQ(a.Run.Files.size(), 2u);
    EXPECT_TRUE(a.Run.AllScreens && a.Run.DryRun);

    EXPECT_EQ(Read({"--version"}).Result, Outcome::Version);
    EXPECT_EQ(Read({"--help"}).Result, Outcome::Help);
    a = Read({"correct-all", "x.tap", "--help"});
    EXPECT_EQ(a.Result, Outcome::Help);
    EXPECT_EQ(a.HelpFor, Command::CorrectAll);
    EXPECT_EQ(Read({"help", "export"}).HelpFor, Command::Export);
}

TEST(CliArguments, UsageErrorsSayWhy) {
    const std::vector<std::vector<const char*>> lines = {
        {},
        {"frobnicate", "a.scr"},
        {"info"},
        {"info", "--scale", "2", "a.scr"},
        {"export", "--scale", "9", "a.scr"},
        {"export", "--scale", "two", "a.scr"},
        {"export", "--format", "bmp", "a.scr"},
        {"export", "--view", "sepia", "a.scr"},
        {"export", "--screen", "0", "a.scr"},
        {"export", "--screen"},
        {"export", "--grid=yes", "a.scr"},
        {"export", "-o", "x.png", "a.scr", "b.scr"},
        {"export", "-o", "x.png", "--all-screens", "a.tap"},
        {"export", "-"},
        {"export", "--screen", "2", "--all-screens", "a.tap"},
        {"extract", "-o", "x.scr", "--output-dir", "d", "a.tap"},
        {"correct", "a.scr"},
        {"correct", "32,0", "a.scr"},
        {"correct", "0,24", "a.scr"},
        {"correct-all", "-", "-"},
        {"correct-all", "--output-dir", "d", "-"},
        {"insert", "new.scr"},
        {"insert", "-", "-"},
    };
    for (const auto& line : lines) {
        std::string shown;
        for (const char* word : line) {
            shown += std::string(word) + " ";
        }
        const Arguments a = Read(line);
        EXPECT_EQ(a.Result, Outcome::UsageError) << shown;
        EXPECT_EQ(a.Message.empty(), line.empty()) << shown << ": " << a.Message;
    }
}

} // namespace
