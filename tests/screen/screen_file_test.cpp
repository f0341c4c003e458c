// The files screens live in: which screens each kind of file holds, found
// by content whatever the name; files that hold none, however they are
// broken; loading a file as it is read; and saving a screen back in place,
// where only the screen's bytes and its block's checksum may change.

#include "screen/screen_file.h"

#include "runtime/file.h"
#include "screen/screen_image.h"
#include "screen/tape_block.h"
#include "support/temp_directory.h"
#include "tape_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace inkswap;
using fixtures::Blocks;
using fixtures::Bytes;
using fixtures::Joined;
using fixtures::Noise;
using fixtures::ScreenBlock;
using fixtures::ScreenHeader;

// A screen as the tests expect to find it: its bytes (the tests give every
// screen different ones, so that its place in the file is found by them),
// its name and whether its checksum is wrong.
struct Expected {
    fixtures::Screen Screen;
    std::string Name;
    bool ChecksumWrong = false;
    bool Checksummed = true;
};

std::size_t PlaceOf(const Bytes& file, const fixtures::Screen& screen) {
    return static_cast<std::size_t>(
        std::search(file.begin(), file.end(), screen.begin(), screen.end()) - file.begin());
}

ScreenFile Found(const Bytes& bytes) {
    ScreenFile file{};
    file.Bytes = bytes;
    FindScreens(file);
    return file;
}

void ExpectScreens(const Bytes& bytes, ScreenFileKind kind, const std::vector<Expected>& expected) {
    const ScreenFile file = Found(bytes);
    EXPECT_EQ(file.Kind, kind);
    ASSERT_EQ(file.Screens.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "screen " << i);
        const ScreenEntry& entry = file.Screens[i];
        const std::size_t place = PlaceOf(bytes, expected[i].Screen);
        EXPECT_EQ(entry.Offset, place);
        EXPECT_EQ(entry.Name.data(), expected[i].Name);
        EXPECT_EQ(entry.ChecksumWrong, expected[i].ChecksumWrong);
        ASSERT_EQ(entry.Checksummed, expected[i].Checksummed);
        if (entry.Checksummed) {
            EXPECT_EQ(entry.ChecksumStart + 1, place) << "the block starts with its flag";
        }
        std::array<std::uint8_t, ScreenFileSize> copied{};
        CopyScreen(file, i, copied.data());
        EXPECT_TRUE(std::equal(copied.begin(), copied.end(), expected[i].Screen.begin()));
    }
}

TEST(ScreenFileKinds, EveryKindIsFoundByWhatItHolds) {
    const fixtures::Screen a = Noise(1), b = Noise(2), c = Noise(3), d = Noise(4);
    const Bytes other = fixtures::DataBlock(0xFF, fixtures::NoiseBytes(100, 5));
    fixtures::Screen tapeLike = Noise(6);
    const char signature[] = "ZXTape!\x1A\x01\x14";
    std::copy(signature, signature + 10, tapeLike.begin());
    struct Case {
        const char* What;
        Bytes File;
        ScreenFileKind Kind;
        std::vector<Expected> Screens;
    };
    const Case cases[] = {
        {"a raw screen", fixtures::BytesOf(a), ScreenFileKind::Raw, {{a, "", false, false}}},
        {"6,912 bytes that begin like a tape are a raw screen",
         fixtures::BytesOf(tapeLike),
         ScreenFileKind::Raw,
         {{tapeLike, "", false, false}}},
        {"+3DOS", fixtures::Plus3DosFile(a), ScreenFileKind::Plus3Dos, {{a, "", false, false}}},
        {"a game's tape",
         fixtures::TapFile(fixtures::GameTapeBlocks(a, "loading")),
         ScreenFileKind::Tap,
         {{a, "loading"}}},
        {"a headerless screen block",
         fixtures::TapFile({ScreenBlock(a)}),
         ScreenFileKind::Tap,
         {{a, ""}}},
        {"several screens, between other blocks, one of them headerless",
         fixtures::TapFile({other, ScreenHeader("first"), ScreenBlock(a), other, ScreenBlock(b),
                            ScreenHeader("third one"), ScreenBlock(c), other}),
         ScreenFileKind::Tap,
         {{a, "first"}, {b, ""}, {c, "third one"}}},
        {"a header of another file names nothing",
         fixtures::TapFile({fixtures::HeaderBlock(3, "short", 6911), ScreenBlock(a),
                            fixtures::HeaderBlock(0, "program", 6912), ScreenBlock(b)}),
         ScreenFileKind::Tap,
         {{a, ""}, {b, ""}}},
        {"a header names only the block right after it",
         fixtures::TapFile({ScreenHeader("lost"), other, ScreenBlock(a)}),
         ScreenFileKind::Tap,
         {{a, ""}}},
        {"a screen block whose checksum is wrong",
         fixtures::TapFile({ScreenHeader("bad"), ScreenBlock(a, true), ScreenBlock(b)}),
         ScreenFileKind::Tap,
         {{a, "bad", true}, {b, ""}}},
        {"blocks of custom loaders are no screens",
         fixtures::TapFile({fixtures::DataBlock(0xAA, fixtures::BytesOf(a)),
                            fixtures::DataBlock(0xFF, fixtures::NoiseBytes(6913, 7)),
                            ScreenBlock(b)}),
         ScreenFileKind::Tap,
         {{b, ""}}},
        {"TZX: every kind of block, screens in each data block and one attached",
         fixtures::TzxFile(Blocks(
             {{fixtures::TzxStandard(ScreenHeader("standard")),
               fixtures::TzxStandard(ScreenBlock(a))},
              fixtures::TzxOtherBlocks(),
              {fixtures::TzxTurbo(ScreenBlock(b)), fixtures::TzxPureData(ScreenBlock(c, true)),
               fixtures::TzxAttachedScreen(d, "Loading screen", 2)}})),
         ScreenFileKind::Tzx,
         {{a, "standard"}, {b, ""}, {c, "", true}, {d, "Loading screen", false, false}}},
        {"TZX: the rarer and the deprecated blocks are passed over",
         fixtures::TzxFile(
             Blocks({fixtures::TzxRarerBlocks(), {fixtures::TzxStandard(ScreenBlock(a))}})),
         ScreenFileKind::Tzx,
         {{a, ""}}},
        {"TZX: a header before non-data blocks still names the screen",
         fixtures::TzxFile({fixtures::TzxStandard(ScreenHeader("named")),
                            fixtures::TzxOtherBlocks()[5], fixtures::TzxPureData(ScreenBlock(a))}),
         ScreenFileKind::Tzx,
         {{a, "named"}}},
        {"TZX: an unknown block ends the search, what came before counts",
         fixtures::TzxFile({fixtures::TzxStandard(ScreenBlock(a)),
                            {0x4B, 0, 0, 0, 0},
                            fixtures::TzxStandard(ScreenBlock(b))}),
         ScreenFileKind::Tzx,
         {{a, ""}}},
        {"TZX: an older version",
         fixtures::TzxFile({fixtures::TzxStandard(ScreenBlock(a))}, 1, 10),
         ScreenFileKind::Tzx,
         {{a, ""}}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.What);
        ExpectScreens(test.File, test.Kind, test.Screens);
    }
}

TEST(ScreenFileKinds, FilesThatHoldNoScreenAreRefused) {
    const fixtures::Screen a = Noise(8);
    const Bytes tape = fixtures::TapFile(fixtures::GameTapeBlocks(a, "loading"));
    const Bytes plus3 = fixtures::Plus3DosFile(a);
    // +3DOS files with one header byte changed: the checksum, the file
    // length, the type, the data length, the issue, the signature.
    auto changed = [&plus3](std::size_t at, std::uint8_t value, bool mendChecksum) {
        Bytes file = plus3;
        file[127] = static_cast<std::uint8_t>(file[127] + (mendChecksum ? value - file[at] : 0));
        file[at] = value;
        return file;
    };
    struct Case {
        const char* What;
        Bytes File;
    };
    const Case cases[] = {
        {"empty", {}},
        {"one byte short of a screen", fixtures::NoiseBytes(ScreenFileSize - 1, 9)},
        {"one byte over", fixtures::NoiseBytes(ScreenFileSize + 1, 9)},
        {"a tape with no screen", fixtures::TapFile({fixtures::HeaderBlock(0, "x", 3),
                                                     fixtures::DataBlock(0xFF, {1, 2, 3})})},
        {"a tape whose last block runs past its end", Bytes(tape.begin(), tape.end() - 1)},
        {"a tape with a stray byte at its end", Joined({tape, {0x13}})},
        {"a block length past the end", Joined({fixtures::TapFile({ScreenBlock(a)}), {0xFF, 0xFF}})},
        {"+3DOS with a wrong checksum", changed(127, static_cast<std::uint8_t>(plus3[127] + 1), false)},
        {"+3DOS whose length is not the file's", changed(11, 0x7F, true)},
        {"+3DOS of a program", changed(15, 0, true)},
        {"+3DOS of 6,911 bytes", changed(16, 0xFF, true)},
        {"+3DOS of another issue", changed(9, 2, true)},
        {"+3DOS with a broken signature", changed(3, 'x', true)},
        {"+3DOS with a byte more", Joined({plus3, {0}})},
        {"TZX of a later version", fixtures::TzxFile({fixtures::TzxStandard(ScreenBlock(a))}, 1, 21)},
        {"TZX 2.0", fixtures::TzxFile({fixtures::TzxStandard(ScreenBlock(a))}, 2, 0)},
        {"TZX whose screen block is cut short",
         [&a] {
             Bytes file = fixtures::TzxFile({fixtures::TzxStandard(ScreenBlock(a))});
             file.pop_back();
             return file;
         }()},
        {"TZX whose only screen comes after an unknown block",
         fixtures::TzxFile({{0x4B, 0, 0, 0, 0}, fixtures::TzxStandard(ScreenBlock(a))})},
        {"an attached screen one byte short",
         [&a] {
             Bytes file = fixtures::TzxFile({fixtures::TzxAttachedScreen(a, "x", 0)});
             file[10 + 1 + 16] -= 1; // its length: the screen ends one byte early
             file.pop_back();
             return file;
         }()},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.What);
        ScreenFile file{};
        file.Bytes = test.File;
        EXPECT_FALSE(FindScreens(file));
        EXPECT_TRUE(file.Screens.empty());
    }
}

// A tape cut at any byte: a TAP file is one only when the cut falls between
// blocks, and then holds the screens of the blocks before the cut; a TZX
// file keeps the screens of the blocks wholly before the cut.
TEST(ScreenFileKinds, TapesCutAtEveryByte) {
    const fixtures::Screen a = Noise(10), b = Noise(11);
    const std::vector<Bytes> blocks = {ScreenHeader("one"), ScreenBlock(a), ScreenBlock(b)};
    const Bytes tap = fixtures::TapFile(blocks);
    std::vector<std::size_t> boundaries = {0};
    for (const Bytes& block : blocks) {
        boundaries.push_back(boundaries.back() + 2 + block.size());
    }
    for (std::size_t cut = 0; cut < tap.size(); ++cut) {
        if (cut == ScreenFileSize) {
            continue; // any 6,912 bytes are a raw screen
        }
        const Bytes bytes(tap.begin(), tap.begin() + static_cast<std::ptrdiff_t>(cut));
        const bool boundary =
            std::find(boundaries.begin(), boundaries.end(), cut) != boundaries.end();
        const std::size_t expected = !boundary              ? 0
                                     : cut >= boundaries[3] ? 2
                                     : cut >= boundaries[2] ? 1
                                                            : 0;
        ASSERT_EQ(Found(bytes).Screens.size(), expected) << "TAP cut at " << cut;
    }
    const Bytes tzx = fixtures::TzxFile(
        {fixtures::TzxStandard(ScreenBlock(a)), fixtures::TzxAttachedScreen(b, "b", 1)});
    const std::size_t firstEnd = 10 + 5 + ScreenFileSize + 2;
    for (std::size_t cut = 0; cut < tzx.size(); ++cut) {
        if (cut == ScreenFileSize) {
            continue;
        }
        const Bytes bytes(tzx.begin(), tzx.begin() + static_cast<std::ptrdiff_t>(cut));
        ASSERT_EQ(Found(bytes).Screens.size(), cut >= firstEnd ? 1u : 0u) << "TZX cut at " << cut;
    }
}

TEST(ScreenFileKinds, SpectrumTextBecomesReadableUtf8) {
    struct Case {
        Bytes Text;
        const char* Expected;
    };
    const Case cases[] = {
        {{'l', 'o', 'a', 'd', 'i', 'n', 'g', ' ', ' ', ' '}, "loading"},
        {{' ', 'a', ' ', 'b', ' '}, " a b"},
        {{0x60, '1', 0x7F, 0x5E}, "\u00A31\u00A9\u2191"},
        {{0x06, 'x', 0x90, 0xFF, 0x7E}, "?x??~"},
        {{' ', ' '}, ""},
    };
    for (const Case& c : cases) {
        ScreenName name{};
        SpectrumTextToName(c.Text, name);
        EXPECT_EQ(std::string(name.data()), c.Expected);
    }
    // A description longer than a name holds is cut at a whole character.
    ScreenName name{};
    SpectrumTextToName(Bytes(40, 0x60), name);
    EXPECT_EQ(std::string(name.data()), [] {
        std::string pounds;
        for (int i = 0; i < 31; ++i) {
            pounds += "\u00A3";
        }
        return pounds;
    }());
}

class ScreenFileTest : public ::testing::Test {
protected:
    ScreenLoad Load(const std::string& name, ScreenFile& file) {
        return LoadScreenFile(directory_.PathOf(name).c_str(), file);
    }

    // The file saved with screen `index` corrected (its first and last
    // cells), and the bytes that then differ from the original.
    std::vector<std::size_t> SaveCorrected(const Bytes& original, std::size_t index,
                                           fixtures::Screen& corrected) {
        directory_.Write("file", original);
        ScreenFile file{};
        EXPECT_EQ(Load("file", file), ScreenLoad::Loaded);
        CopyScreen(file, index, corrected.data());
        CorrectCell(corrected.data(), 0, 0);
        CorrectCell(corrected.data(), 31, 23);
        EXPECT_TRUE(
            SaveScreenFile(directory_.PathOf("file").c_str(), file, index, corrected.data()));
        const Bytes saved = directory_.Read("file");
        EXPECT_EQ(saved, file.Bytes) << "what is kept is what is on disk";
        EXPECT_EQ(saved.size(), original.size());
        std::vector<std::size_t> changed;
        for (std::size_t i = 0; i < std::min(saved.size(), original.size()); ++i) {
            if (saved[i] != original[i]) {
                changed.push_back(i);
            }
        }
        return changed;
    }

    testsupport::TempDirectory directory_;
};

TEST_F(ScreenFileTest, AFileLoadsWholeWithItsScreens) {
    const Bytes tape = fixtures::TapFile(fixtures::GameTapeBlocks(Noise(12), "loading"));
    directory_.Write("game.scr", tape); // the name says nothing
    ScreenFile file{};
    ASSERT_EQ(Load("game.scr", file), ScreenLoad::Loaded);
    EXPECT_EQ(file.Kind, ScreenFileKind::Tap);
    EXPECT_EQ(file.Bytes, tape);
    EXPECT_EQ(file.Screens.size(), 1u);
}

TEST_F(ScreenFileTest, FilesThatHoldNoScreenWhenReadChangeNothing) {
    const Bytes raw = fixtures::BytesOf(Noise(13));
    directory_.Write("picture.scr", raw);
    ScreenFile file{};
    ASSERT_EQ(Load("picture.scr", file), ScreenLoad::Loaded);
    directory_.Write("short.scr", fixtures::NoiseBytes(6911, 1));
    EXPECT_EQ(Load("short.scr", file), ScreenLoad::NotAScreen);
    EXPECT_EQ(Load("missing.scr", file), ScreenLoad::Unreadable);
    // Too large to be held: refused without being read.
    std::ofstream(directory_.PathOf("huge.tap"), std::ios::binary).put(0);
    std::filesystem::resize_file(directory_.PathOf("huge.tap"), LargestScreenFile + 1);
    EXPECT_EQ(Load("huge.tap", file), ScreenLoad::NotAScreen);
    EXPECT_EQ(file.Bytes, raw);
    EXPECT_EQ(file.Kind, ScreenFileKind::Raw);
}

TEST_F(ScreenFileTest, AFileThatGrewAfterItsSizeWasCheckedIsRefused) {
    directory_.Write("growing.scr", fixtures::BytesOf(Noise(14)));
    const std::string name = directory_.PathOf("growing.scr");
    ASSERT_EQ(rook::FileSize(name.c_str()), 6912);
    std::ofstream(name, std::ios::binary | std::ios::app) << 'x';
    ScreenFile file{};
    EXPECT_EQ(LoadScreenFile(name.c_str(), file), ScreenLoad::NotAScreen);
    EXPECT_TRUE(file.Screens.empty());
}

TEST_F(ScreenFileTest, ALongNameWhoseFirst260CharactersNameAnotherFileNeverLoads) {
    const std::string prefix = directory_.PathOf("p");
    const std::string stem = prefix + std::string(260 - prefix.size(), 'n');
    std::ofstream(stem, std::ios::binary) << std::string(6912, 'x');
    const std::string longName = stem + "-and-more.scr";
    ASSERT_EQ(rook::FileSize(longName.c_str()), 6912) << "the size check alone is fooled";
    ScreenFile file{};
    EXPECT_EQ(LoadScreenFile(longName.c_str(), file), ScreenLoad::Unreadable);
}

// Only the screen's bytes and its block's checksum change; the checksum is
// right afterwards, and the file reads back with the corrected screen.
TEST_F(ScreenFileTest, ASaveChangesOnlyTheScreenAndItsChecksum) {
    const fixtures::Screen a = Noise(15), b = Noise(16), c = Noise(17);
    struct Case {
        const char* What;
        Bytes File;
        std::size_t Index;
        bool Checksummed;
    };
    const Case cases[] = {
        {"raw", fixtures::BytesOf(a), 0, false},
        {"+3DOS", fixtures::Plus3DosFile(a), 0, false},
        {"the second screen of a tape",
         fixtures::TapFile(Blocks({fixtures::GameTapeBlocks(a, "one"), {ScreenBlock(b)}})), 1,
         true},
        {"a screen whose checksum was wrong",
         fixtures::TapFile({ScreenHeader("bad"), ScreenBlock(a, true)}), 0, true},
        {"a turbo block of a TZX",
         fixtures::TzxFile(
             Blocks({fixtures::TzxOtherBlocks(),
                     {fixtures::TzxTurbo(ScreenBlock(a)), fixtures::TzxPureData(ScreenBlock(b))}})),
         0, true},
        {"a TZX's attached screen",
         fixtures::TzxFile(
             {fixtures::TzxStandard(ScreenBlock(a)), fixtures::TzxAttachedScreen(c, "title", 1)}),
         1, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.What);
        fixtures::Screen corrected{};
        const std::vector<std::size_t> changed = SaveCorrected(test.File, test.Index, corrected);
        ScreenFile saved = Found(directory_.Read("file"));
        ASSERT_GT(saved.Screens.size(), test.Index);
        const ScreenEntry& entry = saved.Screens[test.Index];
        const std::size_t checksum = entry.Offset + ScreenFileSize;
        for (std::size_t at : changed) {
            EXPECT_TRUE((at >= entry.Offset && at < checksum) ||
                        (test.Checksummed && at == checksum))
                << "byte " << at << " changed";
        }
        EXPECT_FALSE(entry.ChecksumWrong);
        fixtures::Screen reread{};
        CopyScreen(saved, test.Index, reread.data());
        EXPECT_EQ(reread, corrected);
        EXPECT_EQ(saved.Screens.size(), Found(test.File).Screens.size());
    }
}

TEST_F(ScreenFileTest, ASaveThatFailsLeavesTheFileAndWhatIsHeldAsTheyWere) {
    const Bytes tape = fixtures::TapFile({ScreenHeader("bad"), ScreenBlock(Noise(18), true)});
    ScreenFile file = Found(tape);
    const fixtures::Screen other = Noise(19);
    EXPECT_FALSE(SaveScreenFile(directory_.PathOf("gone/game.tap").c_str(), file, 0, other.data()));
    EXPECT_EQ(file.Bytes, tape);
    EXPECT_TRUE(file.Screens[0].ChecksumWrong);
    EXPECT_FALSE(std::filesystem::exists(directory_.Root() / "gone"));
}

TEST_F(ScreenFileTest, SaveAsWritesAPlainScreenThatTheFileThenIs) {
    ScreenFile file = Found(fixtures::TapFile(fixtures::GameTapeBlocks(Noise(20), "loading")));
    const fixtures::Screen picture = Noise(21);
    ASSERT_TRUE(SaveScreenFileAs(directory_.PathOf("out.scr").c_str(), file, picture.data()));
    EXPECT_EQ(directory_.Read("out.scr"), fixtures::BytesOf(picture));
    EXPECT_EQ(file.Kind, ScreenFileKind::Raw);
    EXPECT_EQ(file.Bytes, fixtures::BytesOf(picture));
    ASSERT_EQ(file.Screens.size(), 1u);
    const ScreenFile before = file;
    EXPECT_FALSE(
        SaveScreenFileAs(directory_.PathOf("gone/out.scr").c_str(), file, Noise(22).data()));
    EXPECT_EQ(file.Bytes, before.Bytes);
}

} // namespace
