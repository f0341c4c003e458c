// The tape readers and the writer held against an implementation nobody
// here wrote: libspectrum, the library an established Spectrum emulator
// reads and writes tapes with, reads every fixture and every tape saved
// here, and finds the same blocks, the same screens and every checksum
// right; the emulator's own tools (tzxlist, tapeconv) take the saved tapes.
// Natively only: the library and the tools come from Debian.

#include "screen/screen_file.h"

#include "screen/screen_image.h"
#include "support/command_output.h"
#include "support/temp_directory.h"
#include "tape_fixtures.h"

#include <gtest/gtest.h>
#include <libspectrum.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace inkswap;
using fixtures::Blocks;
using fixtures::Bytes;
using fixtures::Noise;
using fixtures::ScreenBlock;
using fixtures::ScreenHeader;

// A block as libspectrum sees it: its type, and for data blocks the data
// (flag, data, checksum); for custom information blocks the information.
struct SeenBlock {
    int Type;
    std::string Text;
    Bytes Data;

    bool operator==(const SeenBlock&) const = default;
};

bool CarriesTapeData(int type) {
    return type == LIBSPECTRUM_TAPE_BLOCK_ROM || type == LIBSPECTRUM_TAPE_BLOCK_TURBO ||
           type == LIBSPECTRUM_TAPE_BLOCK_PURE_DATA;
}

// Every block libspectrum reads from the file; false when it refuses it.
bool ReadWithLibspectrum(const Bytes& file, libspectrum_id_t kind, std::vector<SeenBlock>& seen) {
    libspectrum_tape* tape = libspectrum_tape_alloc();
    const bool read = libspectrum_tape_read(tape, file.data(), file.size(), kind, nullptr) ==
                      LIBSPECTRUM_ERROR_NONE;
    libspectrum_tape_iterator at = nullptr;
    for (libspectrum_tape_block* block = read ? libspectrum_tape_iterator_init(&at, tape) : nullptr;
         block != nullptr; block = libspectrum_tape_iterator_next(&at)) {
        SeenBlock one{libspectrum_tape_block_type(block), {}, {}};
        if (CarriesTapeData(one.Type) || one.Type == LIBSPECTRUM_TAPE_BLOCK_CUSTOM) {
            const libspectrum_byte* data = libspectrum_tape_block_data(block);
            one.Data.assign(data, data + libspectrum_tape_block_data_length(block));
        }
        if (one.Type == LIBSPECTRUM_TAPE_BLOCK_CUSTOM) {
            one.Text = libspectrum_tape_block_text(block);
        }
        seen.push_back(one);
    }
    libspectrum_tape_free(tape);
    return read;
}

// The screens in libspectrum's blocks: the data of every block the ROM
// loader takes as 6,912 bytes, and every attached loading screen.
std::vector<Bytes> ScreensIn(const std::vector<SeenBlock>& blocks) {
    std::vector<Bytes> screens;
    for (const SeenBlock& block : blocks) {
        if (CarriesTapeData(block.Type) && block.Data.size() == ScreenFileSize + 2 &&
            block.Data[0] == 0xFF) {
            screens.emplace_back(block.Data.begin() + 1, block.Data.end() - 1);
        }
        if (block.Type == LIBSPECTRUM_TAPE_BLOCK_CUSTOM && block.Text == "Spectrum Screen ") {
            screens.emplace_back(block.Data.end() - ScreenFileSize, block.Data.end());
        }
    }
    return screens;
}

bool ChecksumsRight(const std::vector<SeenBlock>& blocks) {
    for (const SeenBlock& block : blocks) {
        if (CarriesTapeData(block.Type) && BlockChecksum(block.Data) != 0) {
            return false; // the XOR of flag, data and checksum is 0 when it is right
        }
    }
    return true;
}

std::vector<Bytes> ScreensFoundHere(const ScreenFile& file) {
    std::vector<Bytes> screens;
    for (std::size_t i = 0; i < file.Screens.size(); ++i) {
        Bytes screen(ScreenFileSize);
        CopyScreen(file, i, screen.data());
        screens.push_back(screen);
    }
    return screens;
}

struct Tape {
    const char* What;
    const char* Name;
    libspectrum_id_t Kind;
    Bytes File;
    bool ChecksumWrong = false; // a screen block's, which a save mends
};

std::vector<Tape> Tapes() {
    const fixtures::Screen a = Noise(41), b = Noise(42), c = Noise(43), d = Noise(44);
    const Bytes other = fixtures::DataBlock(0xFF, fixtures::NoiseBytes(200, 45));
    return {
        {"a game's tape", "game.tap", LIBSPECTRUM_ID_TAPE_TAP,
         fixtures::TapFile(fixtures::GameTapeBlocks(a, "loading"))},
        {"several screens between other blocks", "several.tap", LIBSPECTRUM_ID_TAPE_TAP,
         fixtures::TapFile({other, ScreenHeader("first"), ScreenBlock(a), ScreenBlock(b), other,
                            ScreenHeader("third"), ScreenBlock(c)})},
        {"every kind of block", "every.tzx", LIBSPECTRUM_ID_TAPE_TZX,
         fixtures::TzxFile(
             Blocks({{fixtures::TzxStandard(ScreenHeader("standard")),
                      fixtures::TzxStandard(ScreenBlock(a))},
                     fixtures::TzxOtherBlocks(),
                     {fixtures::TzxTurbo(ScreenBlock(b)), fixtures::TzxPureData(ScreenBlock(c)),
                      fixtures::TzxAttachedScreen(d, "Loading", 1)}}))},
    };
}

class TapeConformance : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(libspectrum_init(), LIBSPECTRUM_ERROR_NONE); }

    testsupport::TempDirectory directory_;
};

TEST_F(TapeConformance, LibspectrumFindsTheSameScreensInEveryFixture) {
    for (const Tape& tape : Tapes()) {
        SCOPED_TRACE(tape.What);
        std::vector<SeenBlock> blocks;
        ASSERT_TRUE(ReadWithLibspectrum(tape.File, tape.Kind, blocks));
        EXPECT_EQ(ChecksumsRight(blocks), !tape.ChecksumWrong);
        ScreenFile file{};
        file.Bytes = tape.File;
        ASSERT_TRUE(FindScreens(file));
        EXPECT_EQ(ScreensFoundHere(file), ScreensIn(blocks));
    }
}

// Every screen corrected and saved, one after the other: libspectrum finds
// the same blocks, with the corrected screens in them and every checksum
// right, and the emulator's tools take the tape.
TEST_F(TapeConformance, SavedTapesReadAsTheOriginalsWithTheCorrectedScreens) {
    for (const Tape& tape : Tapes()) {
        SCOPED_TRACE(tape.What);
        directory_.Write(tape.Name, tape.File);
        const std::string path = directory_.PathOf(tape.Name);
        ScreenFile file{};
        ASSERT_EQ(LoadScreenFile(path.c_str(), file), ScreenLoad::Loaded);
        for (std::size_t i = 0; i < file.Screens.size(); ++i) {
            std::array<std::uint8_t, ScreenFileSize> screen{};
            CopyScreen(file, i, screen.data());
            CorrectCell(screen.data(), static_cast<std::int32_t>(i), 3);
            ASSERT_TRUE(SaveScreenFile(path.c_str(), file, i, screen.data()));
        }
        std::vector<SeenBlock> before;
        std::vector<SeenBlock> after;
        ASSERT_TRUE(ReadWithLibspectrum(tape.File, tape.Kind, before));
        ASSERT_TRUE(ReadWithLibspectrum(directory_.Read(tape.Name), tape.Kind, after));
        EXPECT_TRUE(ChecksumsRight(after));
        ASSERT_EQ(after.size(), before.size());
        const std::vector<Bytes> screens = ScreensIn(after);
        ASSERT_EQ(screens.size(), file.Screens.size());
        std::size_t screen = 0;
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(after[i].Type, before[i].Type) << "block " << i;
            EXPECT_EQ(after[i].Data.size(), before[i].Data.size()) << "block " << i;
            const bool holdsScreen = !ScreensIn({before[i]}).empty();
            if (!holdsScreen) {
                EXPECT_EQ(after[i], before[i]) << "block " << i << " holds no screen";
                continue;
            }
            Bytes expected = ScreensIn({before[i]})[0];
            CorrectCell(expected.data(), static_cast<std::int32_t>(screen), 3);
            EXPECT_EQ(screens[screen], expected) << "screen " << screen;
            ++screen;
        }

        std::string listing;
        EXPECT_TRUE(testsupport::RunCommand("tzxlist '" + path + "'", listing)) << listing;
        EXPECT_NE(listing.find("(PASS)"), std::string::npos) << listing;
        EXPECT_EQ(listing.find("(FAIL)"), std::string::npos) << listing;
        std::string converted;
        EXPECT_TRUE(testsupport::RunCommand(
            "tapeconv '" + path + "' '" + directory_.PathOf("converted.tzx") + "'", converted))
            << converted;
    }
}

} // namespace
