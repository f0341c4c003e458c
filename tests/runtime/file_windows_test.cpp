// File behaviour that only Windows has: drive roots, network paths and
// sharing modes.

#include "runtime/file.h"

#include "platform/win32/win32.h"
#include "support/temp_directory.h"

#include <gtest/gtest.h>

namespace {

using rook::FileSize;

TEST(FileSizeOnWindows, DriveRootsWithOrWithoutBackslash) {
    EXPECT_EQ(FileSize("C:"), rook::DirectoryFile);
    EXPECT_EQ(FileSize("C:\\"), rook::DirectoryFile);
    EXPECT_EQ(FileSize("c:"), rook::DirectoryFile);
    // Drive letters that name no root.
    for (const char* root : {"Q:", "Q:\\", "1:"}) {
        EXPECT_EQ(FileSize(root), rook::NoSuchFile) << root;
    }
}

TEST(FileSizeOnWindows, UnknownNetworkPathIsNoFile) {
    EXPECT_EQ(FileSize("\\\\no-such-host.invalid\\share"), rook::NoSuchFile);
    EXPECT_EQ(FileSize("\\\\no-such-host.invalid\\share\\"), rook::NoSuchFile);
}

TEST(FileSharingOnWindows, OthersMayReadAnOpenFileButNotWriteIt) {
    testsupport::TempDirectory directory;
    const std::string name = directory.PathOf("shared.scr");
    ASSERT_NE(rook::CreateFile(0, name.c_str()), 0);

    HANDLE reader = ::CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    if (reader != INVALID_HANDLE_VALUE) {
        ::CloseHandle(reader);
    }
    HANDLE writer = ::CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) {
        ::CloseHandle(writer);
    }
    rook::CloseFile(0);
}

TEST(FileSharingOnWindows, AFileHeldExclusivelyCannotBeRead) {
    testsupport::TempDirectory directory;
    directory.Write("held.scr", testsupport::PatternBytes(6912));
    const std::string name = directory.PathOf("held.scr");
    HANDLE holder = ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(FileSize(name.c_str()), 6912) << "the size is read without opening the file";
    EXPECT_EQ(rook::ReadFile(0, name.c_str()), 0);
    ::CloseHandle(holder);
}

} // namespace
