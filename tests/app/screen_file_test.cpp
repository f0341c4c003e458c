// Loading and saving a screen file: a file loads only when it holds
// exactly 6,912 bytes as it is read, whatever its name said a moment
// earlier; a save replaces the file whole.

#include "app/screen_file.h"

#include "app/screen_image.h"
#include "runtime/file.h"
#include "support/temp_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using inkswap::LoadScreenFile;
using inkswap::ScreenLoad;
using testsupport::Bytes;
using testsupport::PatternBytes;

class ScreenFileTest : public ::testing::Test {
protected:
    Bytes Load(const std::string& name, ScreenLoad expected) {
        Bytes memory(inkswap::ScreenFileSize, 0xEE);
        EXPECT_EQ(LoadScreenFile(name.c_str(), memory.data()), expected) << name;
        return memory;
    }

    testsupport::TempDirectory directory_;
    const Bytes untouched_ = Bytes(inkswap::ScreenFileSize, 0xEE);
};

TEST_F(ScreenFileTest, AScreenFileLoadsWhole) {
    directory_.Write("screen.scr", PatternBytes(6912, 3));
    EXPECT_EQ(Load(directory_.PathOf("screen.scr"), ScreenLoad::Loaded), PatternBytes(6912, 3));
}

TEST_F(ScreenFileTest, FilesThatAreNotScreensWhenReadChangeNothing) {
    directory_.Write("short.scr", PatternBytes(6911));
    directory_.Write("long.scr", PatternBytes(6913));
    EXPECT_EQ(Load(directory_.PathOf("short.scr"), ScreenLoad::NotAScreen), untouched_);
    EXPECT_EQ(Load(directory_.PathOf("long.scr"), ScreenLoad::NotAScreen), untouched_);
    EXPECT_EQ(Load(directory_.PathOf("missing.scr"), ScreenLoad::Unreadable), untouched_);
}

TEST_F(ScreenFileTest, AFileThatGrewAfterItsSizeWasCheckedIsRefused) {
    directory_.Write("growing.scr", PatternBytes(6912));
    const std::string name = directory_.PathOf("growing.scr");
    ASSERT_EQ(rook::FileSize(name.c_str()), 6912);
    std::ofstream(name, std::ios::binary | std::ios::app) << 'x';
    EXPECT_EQ(Load(name, ScreenLoad::NotAScreen), untouched_);
}

TEST_F(ScreenFileTest, ALongNameWhoseFirst260CharactersNameAnotherFileNeverLoads) {
    const std::string prefix = directory_.PathOf("p");
    const std::string stem = prefix + std::string(260 - prefix.size(), 'n');
    std::ofstream(stem, std::ios::binary) << std::string(6912, 'x');
    const std::string longName = stem + "-and-more.scr";
    ASSERT_EQ(rook::FileSize(longName.c_str()), 6912) << "the size check alone is fooled";
    const Bytes memory = Load(longName, ScreenLoad::Unreadable);
    EXPECT_EQ(memory, untouched_);
}

TEST_F(ScreenFileTest, SaveReplacesTheWholeFile) {
    directory_.Write("screen.scr", PatternBytes(6912, 4));
    const Bytes picture = PatternBytes(6912, 5);
    EXPECT_TRUE(inkswap::SaveScreenFile(directory_.PathOf("screen.scr").c_str(), picture.data()));
    EXPECT_EQ(directory_.Read("screen.scr"), picture);
    EXPECT_FALSE(
        inkswap::SaveScreenFile(directory_.PathOf("gone/screen.scr").c_str(), picture.data()));
}

} // namespace
