#include "screen/status_line.h"

#include "screen/screen_image.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

using namespace inkswap;

std::string Line(const StatusFacts& facts) {
    StatusText text;
    text.fill('#'); // what is not written stays visible
    FormatStatusLine(facts, text);
    return text.data();
}

std::array<std::uint8_t, ScreenFileSize> ScreenWithAttribute(std::int32_t x, std::int32_t y,
                                                             std::uint8_t attribute) {
    std::array<std::uint8_t, ScreenFileSize> screen{};
    screen[static_cast<std::size_t>(CellAttributeOffset(x, y))] = attribute;
    return screen;
}

TEST(StatusLine, FilePartNamesTheFileWithoutItsFolder) {
    struct Case {
        const char* Path;
        bool Modified;
        const char* Expected;
    };
    const Case cases[] = {
        {nullptr, false, "No file"},
        {"", false, "No file"},
        {"D:\\screens\\title.scr", false, "title.scr"},
        {"D:\\screens\\title.scr", true, "title.scr *"},
        {"Z:\\tmp\\my pictures/\xd0\x96 one.scr", true, "\xd0\x96 one.scr *"},
        {"plain.scr", false, "plain.scr"},
        {"C:\\a&b.scr", false, "a&b.scr"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Line(MakeStatusFacts(c.Path, nullptr, c.Modified, false, {})), c.Expected)
            << (c.Path != nullptr ? c.Path : "(null)");
    }
}

TEST(StatusLine, CellPartGivesColoursFlagsAndSpectrumAddresses) {
    struct Case {
        std::int32_t X, Y;
        std::uint8_t Attribute;
        const char* Expected;
    };
    const Case cases[] = {
        {13, 9, 0x3A,
         "title.scr | x:13 y:9 | ink 2 (red) | paper 7 (white) | bright 0 | flash 0 | "
         "pixels 18477 ($482D) | attribute 22829 ($592D)"},
        {0, 0, 0xC0,
         "title.scr | x:0 y:0 | ink 0 (black) | paper 0 (black) | bright 1 | flash 1 | "
         "pixels 16384 ($4000) | attribute 22528 ($5800)"},
        {31, 23, 0x4F,
         "title.scr | x:31 y:23 | ink 7 (white) | paper 1 (blue) | bright 1 | flash 0 | "
         "pixels 20735 ($50FF) | attribute 23295 ($5AFF)"},
        {5, 12, 0xA3,
         "title.scr | x:5 y:12 | ink 3 (magenta) | paper 4 (green) | bright 0 | flash 1 | "
         "pixels 18565 ($4885) | attribute 22917 ($5985)"},
        {8, 16, 0x35,
         "title.scr | x:8 y:16 | ink 5 (cyan) | paper 6 (yellow) | bright 0 | flash 0 | "
         "pixels 20488 ($5008) | attribute 23048 ($5A08)"},
    };
    for (const Case& c : cases) {
        const auto screen = ScreenWithAttribute(c.X, c.Y, c.Attribute);
        const CellFacts cell = CellFactsOf(screen.data(), c.X, c.Y);
        EXPECT_EQ(Line(MakeStatusFacts("C:\\title.scr", nullptr, false, true, cell)), c.Expected);
    }
}

TEST(StatusLine, ACellOffTheScreenShowsOnlyItsPlace) {
    const std::array<std::uint8_t, ScreenFileSize> screen{};
    for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {32, 5}, {4, 24}}) {
        const CellFacts cell = CellFactsOf(screen.data(), x, y);
        EXPECT_EQ(cell.Attribute, -1);
        EXPECT_EQ(Line(MakeStatusFacts(nullptr, nullptr, false, true, cell)),
                  "No file | x:" + std::to_string(x) + " y:" + std::to_string(y));
    }
}

TEST(StatusLine, FactsDifferExactlyWhenTheLineWould) {
    const CellFacts cell{13, 9, 0x3A};
    const StatusFacts base = MakeStatusFacts("C:\\a\\title.scr", nullptr, false, true, cell);
    struct Case {
        const char* What;
        StatusFacts Other;
        bool Same;
    };
    const Case cases[] = {
        {"the same file in another folder",
         MakeStatusFacts("D:\\title.scr", nullptr, false, true, cell), true},
        {"another file", MakeStatusFacts("C:\\a\\titles.scr", nullptr, false, true, cell), false},
        {"modified", MakeStatusFacts("C:\\a\\title.scr", nullptr, true, true, cell), false},
        {"no cell yet", MakeStatusFacts("C:\\a\\title.scr", nullptr, false, false, cell), false},
        {"another cell", MakeStatusFacts("C:\\a\\title.scr", nullptr, false, true, {14, 9, 0x3A}),
         false},
        {"another attribute",
         MakeStatusFacts("C:\\a\\title.scr", nullptr, false, true, {13, 9, 0x3B}), false},
        {"a screen of the file",
         MakeStatusFacts("C:\\a\\title.scr", ": screen 1 of 2", false, true, cell), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(base == c.Other, c.Same) << c.What;
        EXPECT_EQ(Line(base) == Line(c.Other), c.Same) << c.What;
    }
}

// Which screen of its file the picture is, as the status line names it.
TEST(StatusLine, AScreenOfATapeIsNamedByItsNumberAndName) {
    ScreenFile tape{};
    tape.Kind = ScreenFileKind::Tap;
    tape.Screens.resize(3);
    std::snprintf(tape.Screens[1].Name.data(), ScreenNameCapacity, "loading");
    tape.Screens[2].ChecksumWrong = true;
    std::snprintf(tape.Screens[2].Name.data(), ScreenNameCapacity, "\u00A9 1984");
    ScreenFile raw{};
    raw.Screens.resize(1);
    ScreenFile plus3 = raw;
    plus3.Kind = ScreenFileKind::Plus3Dos;
    ScreenFile tzx = tape;
    tzx.Kind = ScreenFileKind::Tzx;
    struct Case {
        const ScreenFile* File;
        std::size_t Index;
        bool Modified;
        const char* Expected;
    };
    const Case cases[] = {
        {&tape, 0, false, "game.tap: screen 1 of 3"},
        {&tape, 1, true, "game.tap: screen 2 of 3 \"loading\" *"},
        {&tzx, 2, false, "game.tap: screen 3 of 3 \"\u00A9 1984\" (checksum wrong)"},
        {&raw, 0, true, "game.tap *"},
        {&plus3, 0, false, "game.tap"},
        {&tape, 3, false, "game.tap"}, // no such screen: nothing to name
    };
    for (const Case& c : cases) {
        ScreenLabel label;
        label.fill('#');
        FormatScreenLabel(*c.File, c.Index, label);
        EXPECT_EQ(Line(MakeStatusFacts("D:\\game.tap", label.data(), c.Modified, false, {})),
                  c.Expected);
    }
}

TEST(StatusLine, ASnapshotsScreenIsNamedByItsMachineAndBank) {
    ScreenFile z80{};
    z80.Kind = ScreenFileKind::Z80;
    z80.Screens.resize(2);
    z80.Screens[0].Bank = 7;
    z80.Screens[1].Bank = 5;
    ScreenFile sna{};
    sna.Kind = ScreenFileKind::Sna;
    sna.Screens.resize(1);
    const ScreenFile szx = [&] {
        ScreenFile file = z80;
        file.Kind = ScreenFileKind::Szx;
        return file;
    }();
    struct Case {
        const ScreenFile* File;
        std::size_t Index;
        const char* Expected;
    };
    const Case cases[] = {
        {&z80, 0, "game.z80 (128K): screen in bank 7"},
        {&szx, 1, "game.z80 (128K): screen in bank 5 *"},
        {&sna, 0, "game.z80 (48K)"},
    };
    for (const Case& c : cases) {
        ScreenLabel label;
        FormatScreenLabel(*c.File, c.Index, label);
        EXPECT_EQ(Line(MakeStatusFacts("D:\\game.z80", label.data(), c.Index == 1, false, {})),
                  c.Expected);
    }
}

TEST(StatusLine, ALongNameIsCutBeforeACharacterThatDoesNotFit) {
    // Two-byte characters from an odd offset: the cut would fall inside one.
    std::string path = "C:\\xy";
    while (path.size() < StatusFileNameCapacity + 10) {
        path += "\xd0\x96";
    }
    const StatusFacts facts = MakeStatusFacts(path.c_str(), nullptr, false, false, {});
    const std::string name = facts.FileName.data();
    EXPECT_LT(name.size(), StatusFileNameCapacity);
    EXPECT_EQ(name.size() % 2, 0u) << "\"xy\" and whole two-byte characters";
    EXPECT_EQ(path.compare(3, name.size(), name), 0);
    EXPECT_EQ(Line(facts), name);
}

} // namespace
