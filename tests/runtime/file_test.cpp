#include "runtime/file.h"

#include "runtime/object_registry.h"
#include "support/read_only_file.h"
#include "support/temp_directory.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using rook::CloseFile;
using rook::CreateFile;
using rook::FileSize;
using rook::ReadData;
using rook::ReadFile;
using rook::WriteData;
using testsupport::Bytes;
using testsupport::PatternBytes;
using testsupport::TempDirectory;

class FileTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (std::int32_t number = 0; number < 4; ++number) {
            CloseFile(number);
        }
    }

    std::int64_t SizeOnDisk(const std::string& name) const {
        return static_cast<std::int64_t>(std::filesystem::file_size(directory_.Root() / name));
    }

    TempDirectory directory_;
};

TEST_F(FileTest, SizeOfNamesThatAreNoFile) {
    std::filesystem::create_directory(directory_.Root() / "folder");
    EXPECT_EQ(FileSize(nullptr), rook::NoSuchFile);
    EXPECT_EQ(FileSize(""), rook::NoSuchFile);
    EXPECT_EQ(FileSize(directory_.PathOf("missing.scr").c_str()), rook::NoSuchFile);
    EXPECT_EQ(FileSize(directory_.PathOf("folder").c_str()), rook::DirectoryFile);
    EXPECT_EQ(FileSize(directory_.PathOf("folder\\\\").c_str()), rook::DirectoryFile);
    EXPECT_EQ(FileSize("\\\\\\"), rook::NoSuchFile) << "only backslashes";
}

TEST_F(FileTest, SizeOfFilesIncludingTrailingBackslashes) {
    directory_.Write("screen.scr", PatternBytes(6912));
    directory_.Write("empty.bin", {});
    EXPECT_EQ(FileSize(directory_.PathOf("screen.scr").c_str()), 6912);
    EXPECT_EQ(FileSize(directory_.PathOf("screen.scr\\").c_str()), 6912);
    EXPECT_EQ(FileSize(directory_.PathOf("screen.scr\\\\\\").c_str()), 6912);
    EXPECT_EQ(FileSize(directory_.PathOf("empty.bin").c_str()), 0);
}

TEST_F(FileTest, SizeOfAFileBeyondFourGibibytesIsTheWhole64BitSize) {
    // Sparse: no disk space is used. Its size modulo 2^32 is 6,912.
    const std::string name = directory_.PathOf("huge.scr");
    directory_.Write("huge.scr", {});
    std::error_code error;
    std::filesystem::resize_file(name, (std::uintmax_t{1} << 32) + 6912, error);
    if (error) {
        GTEST_SKIP() << "cannot make a sparse file here: " << error.message();
    }
    EXPECT_EQ(FileSize(name.c_str()), (std::int64_t{1} << 32) + 6912);
}

TEST_F(FileTest, NamesLongerThan260CharactersAreCutTo260) {
    // A name is looked at through its first 260 characters only.
    const std::string prefix = directory_.PathOf("p");
    ASSERT_LT(prefix.size(), 200u);
    const std::string stem = prefix + std::string(260 - prefix.size(), 'n');
    ASSERT_EQ(stem.size(), 260u);
    const std::string longName = stem + "-and-more.scr";
    EXPECT_EQ(FileSize(longName.c_str()), rook::NoSuchFile);
    std::filesystem::create_directory(std::filesystem::path(stem));
    EXPECT_EQ(FileSize(longName.c_str()), rook::DirectoryFile)
        << "the first 260 characters name a directory";
}

#ifndef _WIN32
// Natively names are UTF-8, as in the program on Windows (whose code page
// is UTF-8): 140 Cyrillic characters take 280 bytes.
TEST_F(FileTest, NamesAreCutByCharactersNotBytes) {
    std::string folder = directory_.PathOf("");
    for (int level = 0; level < 2; ++level) {
        for (int i = 0; i < 60; ++i) {
            folder += "ж";
        }
        folder += "/";
        std::filesystem::create_directory(folder);
    }
    std::string name = folder;
    for (int i = 0; i < 20; ++i) {
        name += "э";
    }
    name += ".scr";
    ASSERT_GT(name.size(), 260u);
    ASSERT_LT(name.size() - 140, 260u) << "fewer than 260 characters";
    std::ofstream(name, std::ios::binary) << std::string(6912, 'x');
    EXPECT_EQ(FileSize(name.c_str()), 6912);
}
#endif

TEST_F(FileTest, TheSizeOfAnOpenFileIsAskedThroughItsHandle) {
    directory_.Write("growing.scr", PatternBytes(6912));
    const std::string name = directory_.PathOf("growing.scr");
    ASSERT_NE(ReadFile(0, name.c_str()), 0);
    EXPECT_EQ(rook::OpenFileLength(0), 6912);
#ifndef _WIN32
    // On Windows nobody may write the file while it is open for reading.
    std::ofstream(name, std::ios::binary | std::ios::app) << 'x';
    EXPECT_EQ(rook::OpenFileLength(0), 6913);
#endif
    CloseFile(0);
    EXPECT_EQ(rook::OpenFileLength(0), rook::NoSuchFile);
}

TEST_F(FileTest, ReadingAMissingFileLeavesTheNumberClosed) {
    EXPECT_EQ(ReadFile(0, directory_.PathOf("missing.scr").c_str()), 0);
    Bytes memory(16, 0xEE);
    EXPECT_EQ(ReadData(0, memory.data(), 16), 0);
    EXPECT_EQ(memory, Bytes(16, 0xEE));
    CloseFile(0);
    EXPECT_EQ(ReadFile(0, ""), 0);
    EXPECT_EQ(ReadFile(0, nullptr), 0);
    EXPECT_EQ(CreateFile(0, ""), 0);
}

TEST_F(FileTest, DirectoriesAreNeverOpenedAsFiles) {
    std::filesystem::create_directory(directory_.Root() / "folder");
    EXPECT_EQ(ReadFile(0, directory_.PathOf("folder").c_str()), 0);
    EXPECT_EQ(CreateFile(1, directory_.PathOf("folder").c_str()), 0);
    EXPECT_TRUE(std::filesystem::is_directory(directory_.Root() / "folder"));
}

TEST_F(FileTest, ScreenLoadIsOneDirectReadOfTheWholeFile) {
    const Bytes content = PatternBytes(6912, 7);
    directory_.Write("screen.scr", content);
    ASSERT_NE(ReadFile(0, directory_.PathOf("screen.scr").c_str()), 0);
    Bytes memory(6912);
    EXPECT_EQ(ReadData(0, memory.data(), 6912), 6912);
    EXPECT_EQ(memory, content);
    EXPECT_EQ(ReadData(0, memory.data(), 1), 0) << "end of file";
    CloseFile(0);
    EXPECT_EQ(ReadData(0, memory.data(), 1), 0) << "closed";
}

TEST_F(FileTest, SmallReadsComeFromTheBufferAndShortReadsReturnTheCount) {
    const Bytes content = PatternBytes(5000, 3);
    directory_.Write("data.bin", content);
    ASSERT_NE(ReadFile(1, directory_.PathOf("data.bin").c_str()), 0);
    Bytes memory(5000, 0);
    std::int32_t offset = 0;
    for (std::int32_t length : {1, 2, 4, 3, 100, 4000, 800}) {
        ASSERT_EQ(ReadData(1, memory.data() + offset, length), length) << "at " << offset;
        offset += length;
    }
    Bytes rest(200, 0xEE);
    EXPECT_EQ(ReadData(1, rest.data(), 200), 90);
    EXPECT_EQ(Bytes(rest.begin() + 90, rest.end()), Bytes(110, 0xEE))
        << "beyond the count: untouched";
    std::copy(rest.begin(), rest.begin() + 90, memory.begin() + offset);
    EXPECT_EQ(memory, content);

    directory_.Write("three.bin", {1, 2, 3});
    ASSERT_NE(ReadFile(2, directory_.PathOf("three.bin").c_str()), 0);
    Bytes five(5, 0);
    EXPECT_EQ(ReadData(2, five.data(), 5), 3);
    EXPECT_EQ(five, (Bytes{1, 2, 3, 0, 0}));
    EXPECT_EQ(ReadData(2, five.data(), -1), 0) << "negative length";
}

TEST_F(FileTest, CreatingAnExistingFileEmptiesIt) {
    directory_.Write("old.scr", PatternBytes(6912));
    ASSERT_NE(CreateFile(0, directory_.PathOf("old.scr").c_str()), 0);
    CloseFile(0);
    EXPECT_EQ(SizeOnDisk("old.scr"), 0);
}

TEST_F(FileTest, ScreenSaveWritesTheWholeBufferAtOnce) {
    const Bytes content = PatternBytes(6912, 11);
    ASSERT_NE(CreateFile(0, directory_.PathOf("saved.scr").c_str()), 0);
    EXPECT_EQ(WriteData(0, content.data(), 6912), 6912);
    EXPECT_EQ(SizeOnDisk("saved.scr"), 6912) << "a direct write, nothing held back";
    CloseFile(0);
    EXPECT_EQ(directory_.Read("saved.scr"), content);
}

TEST_F(FileTest, WritesAreHeldUntilTheBufferWouldFill) {
    const Bytes content = PatternBytes(4096 + 10, 5);
    ASSERT_NE(CreateFile(0, directory_.PathOf("out.bin").c_str()), 0);
    EXPECT_EQ(WriteData(0, content.data(), 1), 1);
    EXPECT_EQ(SizeOnDisk("out.bin"), 0);
    EXPECT_EQ(WriteData(0, content.data() + 1, 4095), 4095);
    EXPECT_EQ(SizeOnDisk("out.bin"), 1) << "the pending byte went out first";
    EXPECT_EQ(WriteData(0, content.data() + 4096, 10), 10);
    EXPECT_EQ(SizeOnDisk("out.bin"), 4096);
    CloseFile(0);
    EXPECT_EQ(directory_.Read("out.bin"), content);
}

TEST_F(FileTest, ReadingAfterWritingWritesThePendingBytesFirst) {
    const Bytes content = PatternBytes(10, 9);
    ASSERT_NE(CreateFile(0, directory_.PathOf("rw.bin").c_str()), 0);
    WriteData(0, content.data(), 10);
    Bytes memory(4, 0xEE);
    EXPECT_EQ(ReadData(0, memory.data(), 4), 0) << "the position is at the end";
    EXPECT_EQ(SizeOnDisk("rw.bin"), 10);
    EXPECT_EQ(directory_.Read("rw.bin"), content);
}

TEST_F(FileTest, WritingAfterReadingWritesAtTheLogicalPosition) {
    // Put 100 bytes in a fresh read-write file through its own handle and go
    // back to its start, so that the file library reads ahead from there.
    const Bytes content = PatternBytes(100, 4);
    const std::int64_t handle = CreateFile(0, directory_.PathOf("mixed.bin").c_str());
    ASSERT_NE(handle, 0);
    const auto file = static_cast<rook::os::FileHandle>(handle);
    ASSERT_EQ(rook::os::WriteBytes(file, content.data(), 100), 100);
    rook::os::MovePosition(file, -100);

    Bytes memory(10);
    ASSERT_EQ(ReadData(0, memory.data(), 10), 10);
    EXPECT_EQ(memory, Bytes(content.begin(), content.begin() + 10));
    const Bytes patch = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
    ASSERT_EQ(WriteData(0, patch.data(), 5), 5);
    CloseFile(0);

    Bytes expected = content;
    std::copy(patch.begin(), patch.end(), expected.begin() + 10);
    EXPECT_EQ(directory_.Read("mixed.bin"), expected);
}

TEST_F(FileTest, ReopeningANumberClosesItsFileFirstEvenWhenTheOpenFails) {
    ASSERT_NE(CreateFile(0, directory_.PathOf("first.bin").c_str()), 0);
    WriteData(0, "xyz", 3);
    directory_.Write("second.bin", {7});
    ASSERT_NE(ReadFile(0, directory_.PathOf("second.bin").c_str()), 0);
    EXPECT_EQ(directory_.Read("first.bin"), (Bytes{'x', 'y', 'z'})) << "pending bytes written";
    std::uint8_t byte = 0;
    EXPECT_EQ(ReadData(0, &byte, 1), 1);
    EXPECT_EQ(byte, 7);

    EXPECT_EQ(ReadFile(0, directory_.PathOf("missing.bin").c_str()), 0);
    EXPECT_EQ(ReadData(0, &byte, 1), 0) << "the number names no open file now";
}

TEST_F(FileTest, InvalidArgumentsDoNothing) {
    ASSERT_NE(CreateFile(0, directory_.PathOf("args.bin").c_str()), 0);
    EXPECT_EQ(WriteData(0, nullptr, 5), 0);
    EXPECT_EQ(WriteData(0, "abc", 0), 0);
    EXPECT_EQ(WriteData(0, "abc", -3), 0);
    EXPECT_EQ(WriteData(3, "abc", 3), 0) << "never opened";
    EXPECT_EQ(WriteData(INT_MAX, "abc", 3), 0);
    EXPECT_EQ(WriteData(-7, "abc", 3), 0);
    EXPECT_EQ(ReadData(0, nullptr, 0), 0) << "no copy from or to a null address";
    EXPECT_EQ(ReadData(0, nullptr, 3), 0);
    EXPECT_EQ(CreateFile(-2, directory_.PathOf("never.bin").c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(directory_.Root() / "never.bin"));
    CloseFile(rook::AnyNumber);
    CloseFile(-2);
    CloseFile(0);
    EXPECT_EQ(SizeOnDisk("args.bin"), 0);
}

TEST_F(FileTest, DynamicFilesWorkByTheirIdentifier) {
    const Bytes content = PatternBytes(300, 2);
    const std::int64_t writer = CreateFile(rook::AnyNumber, directory_.PathOf("dyn.bin").c_str());
    ASSERT_LT(writer, rook::AnyNumber);
    const auto id = static_cast<std::int32_t>(writer);
    EXPECT_EQ(WriteData(id, content.data(), 300), 300);
    CloseFile(id);
    EXPECT_EQ(WriteData(id, content.data(), 1), 0) << "released";
    EXPECT_EQ(directory_.Read("dyn.bin"), content);

    EXPECT_EQ(ReadFile(rook::AnyNumber, directory_.PathOf("missing.bin").c_str()), 0);
}

TEST_F(FileTest, LibraryEndClosesEveryFileWithItsPendingBytes) {
    ASSERT_NE(CreateFile(2, directory_.PathOf("two.bin").c_str()), 0);
    const std::int64_t dynamic = CreateFile(rook::AnyNumber, directory_.PathOf("dyn.bin").c_str());
    ASSERT_NE(dynamic, 0);
    WriteData(2, "22", 2);
    WriteData(static_cast<std::int32_t>(dynamic), "ddd", 3);
    rook::FileLibraryEnd();
    EXPECT_EQ(directory_.Read("two.bin"), (Bytes{'2', '2'}));
    EXPECT_EQ(directory_.Read("dyn.bin"), (Bytes{'d', 'd', 'd'}));
    EXPECT_EQ(WriteData(2, "x", 1), 0);
}

TEST_F(FileTest, ReadOnlyTargetIsNotWritten) {
    const Bytes content = PatternBytes(6912, 8);
    directory_.Write("locked.scr", content);
    const std::filesystem::path path = directory_.Root() / "locked.scr";
    {
        const testsupport::ReadOnlyFile readOnly(path);
        if (!readOnly.Effective()) {
            GTEST_SKIP() << "this account may write read-only files here";
        }
        EXPECT_EQ(CreateFile(0, path.string().c_str()), 0);
        EXPECT_EQ(WriteData(0, content.data(), 6912), 0);
        CloseFile(0);
    }
    EXPECT_EQ(directory_.Read("locked.scr"), content);
}

TEST_F(FileTest, CreatingInAMissingFolderFails) {
    EXPECT_EQ(CreateFile(0, directory_.PathOf("gone/saved.scr").c_str()), 0);
    EXPECT_EQ(WriteData(0, "abc", 3), 0);
}

} // namespace
