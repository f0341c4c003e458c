#include "screen/correction_history.h"

#include "screen/screen_image.h"
#include "screen_fixtures.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace inkswap;

struct HistoryTest : ::testing::Test {
    std::unique_ptr<CorrectionHistory> history = std::make_unique<CorrectionHistory>();
    fixtures::Screen screen = fixtures::Noise(11);

    // Corrects the cells on the screen and records them as one step, as a
    // click or Correct All Cells does.
    void Correct(const std::vector<std::uint16_t>& cells) {
        for (std::uint16_t cell : cells) {
            CorrectCell(screen.data(), cell % 32, cell / 32);
        }
        RecordStep(*history, cells.data(), static_cast<std::int32_t>(cells.size()));
    }
};

TEST_F(HistoryTest, UndoAndRedoWalkThroughTheStepsExactly) {
    const std::vector<std::vector<std::uint16_t>> steps = {{5}, {700, 701, 767}, {5}, {0}};
    std::vector<fixtures::Screen> states = {screen};
    for (const auto& step : steps) {
        Correct(step);
        states.push_back(screen);
    }
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(UndoStep(*history, screen.data()));
        EXPECT_EQ(screen, states[i - 1]) << "after undoing step " << i;
    }
    EXPECT_FALSE(CanUndo(*history));
    EXPECT_FALSE(UndoStep(*history, screen.data()));
    EXPECT_EQ(screen, states[0]);
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(RedoStep(*history, screen.data()));
        EXPECT_EQ(screen, states[i]) << "after redoing step " << i;
    }
    EXPECT_FALSE(CanRedo(*history));
    EXPECT_FALSE(RedoStep(*history, screen.data()));
}

TEST_F(HistoryTest, ANewStepForgetsWhatCouldBeRedoneAndClearingForgetsAll) {
    Correct({1});
    Correct({2, 3});
    ASSERT_TRUE(UndoStep(*history, screen.data()));
    EXPECT_TRUE(CanRedo(*history));
    Correct({4});
    EXPECT_FALSE(CanRedo(*history));
    ASSERT_TRUE(UndoStep(*history, screen.data()));
    ASSERT_TRUE(UndoStep(*history, screen.data()));
    EXPECT_EQ(screen, fixtures::Noise(11));

    Correct({9});
    ClearHistory(*history);
    EXPECT_FALSE(CanUndo(*history));
    EXPECT_FALSE(CanRedo(*history));
}

TEST_F(HistoryTest, StepsOfNoCellsOrMoreThanTheScreenRecordNothing) {
    const std::vector<std::uint16_t> tooMany(CellCount + 1, 1);
    RecordStep(*history, tooMany.data(), CellCount + 1);
    RecordStep(*history, tooMany.data(), 0);
    EXPECT_FALSE(CanUndo(*history));
}

TEST_F(HistoryTest, HoldsAHundredThousandClicksInUnderOneMebibyte) {
    EXPECT_LT(sizeof(CorrectionHistory), 1u << 20);
    const fixtures::Screen original = screen;
    constexpr int Clicks = 100000;
    for (int i = 0; i < Clicks; ++i) {
        Correct({static_cast<std::uint16_t>(i * 7 % CellCount)});
    }
    int undone = 0;
    while (UndoStep(*history, screen.data())) {
        ++undone;
    }
    EXPECT_EQ(undone, Clicks);
    EXPECT_EQ(screen, original);
}

// Once full, the oldest steps make room: the latest ones can still be taken
// back and done again exactly, and the screen then shows what it did after
// the forgotten step.
TEST_F(HistoryTest, WhenFullTheOldestStepsGo) {
    std::vector<std::uint16_t> all(CellCount);
    for (std::int32_t cell = 0; cell < CellCount; ++cell) {
        all[cell] = static_cast<std::uint16_t>(cell);
    }
    const fixtures::Screen original = screen;
    const int wholeSteps = HistoryCapacity / CellCount; // 341, with room for 256 more cells
    for (int i = 0; i < wholeSteps; ++i) {
        Correct(all);
    }
    for (int i = 0; i < 300; ++i) {
        Correct({static_cast<std::uint16_t>(i)}); // the 257th click pushes out the first step
    }
    const fixtures::Screen latest = screen;
    const int kept = wholeSteps - 1 + 300;
    for (int i = 0; i < kept; ++i) {
        ASSERT_TRUE(UndoStep(*history, screen.data())) << i;
    }
    EXPECT_FALSE(CanUndo(*history));
    fixtures::Screen afterFirst = original;
    for (std::uint16_t cell : all) {
        CorrectCell(afterFirst.data(), cell % 32, cell / 32);
    }
    EXPECT_EQ(screen, afterFirst);
    while (RedoStep(*history, screen.data())) {
    }
    EXPECT_EQ(screen, latest);
}

} // namespace
