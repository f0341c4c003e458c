// The name a new file of a screen is offered under.

#include "screen/proposed_name.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using namespace inkswap;

ScreenFile Tape(ScreenFileKind kind, const char* secondName) {
    ScreenFile tape{};
    tape.Kind = kind;
    tape.Screens.resize(2);
    std::snprintf(tape.Screens[1].Name.data(), ScreenNameCapacity, "%s", secondName);
    return tape;
}

TEST(ProposedName, TheFilesNameWithTheScreensAndTheExtension) {
    ScreenFile raw{};
    raw.Screens.resize(1);
    ScreenFile plus3 = raw;
    plus3.Kind = ScreenFileKind::Plus3Dos;
    const ScreenFile tap = Tape(ScreenFileKind::Tap, "loading");
    const ScreenFile tzx = Tape(ScreenFileKind::Tzx, "a/b:c*?.");
    ScreenFile snapshot128 = Tape(ScreenFileKind::Z80, "");
    snapshot128.Screens[0].Bank = 7;
    snapshot128.Screens[1].Bank = 5;
    ScreenFile snapshot48 = raw;
    snapshot48.Kind = ScreenFileKind::Szx;
    struct Case {
        const char* Path;
        const ScreenFile* File;
        std::size_t Index;
        const char* Extension;
        const char* Expected;
    };
    const Case cases[] = {
        {"D:\\games\\title.scr", &raw, 0, ".png", "D:\\games\\title.png"},
        {"D:\\games\\title", &raw, 0, ".png", "D:\\games\\title.png"},
        {"D:\\games.old\\title", &plus3, 0, ".scr", "D:\\games.old\\title.scr"},
        {"D:\\games\\game.tap", &tap, 1, ".scr", "D:\\games\\game loading.scr"},
        {"D:\\games\\game.tap", &tap, 0, ".scr", "D:\\games\\game screen 1.scr"},
        {"/home/me/game.v2.tzx", &tzx, 1, ".scr", "/home/me/game.v2 a_b_c__.scr"},
        {"D:\\games\\game.z80", &snapshot128, 0, ".scr", "D:\\games\\game bank 7.scr"},
        {"D:\\games\\game.z80", &snapshot128, 1, ".png", "D:\\games\\game bank 5.png"},
        {"D:\\games\\game.szx", &snapshot48, 0, ".scr", "D:\\games\\game.scr"},
        {"C:\\dots...tap", &raw, 0, ".scr", "C:\\dots.scr"},
        {nullptr, &raw, 0, ".scr", "screen.scr"},
        {"", &raw, 0, ".png", "screen.png"},
    };
    for (const Case& c : cases) {
        char name[64];
        ASSERT_TRUE(ProposeFileName(c.Path, *c.File, c.Index, c.Extension, name, sizeof name));
        EXPECT_EQ(std::string(name), c.Expected);
    }
}

TEST(ProposedName, ANameThatDoesNotFitIsNotProposed) {
    ScreenFile raw{};
    raw.Screens.resize(1);
    char name[16] = "unchanged";
    EXPECT_FALSE(ProposeFileName("C:\\a\\title.scr", raw, 0, ".png", name, 14));
    EXPECT_EQ(name[0], '\0');
    EXPECT_TRUE(ProposeFileName("C:\\a\\title.scr", raw, 0, ".png", name, 15));
}

} // namespace
