// Replacing a file's content: the old file is afterwards exactly as it was
// or exactly the new content, also when the writing is cut short at any
// byte or the process dies on the way.

#include "runtime/file_replacement.h"

#include "support/temp_directory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using rook::ReplaceFileContent;
using testsupport::Bytes;
using testsupport::PatternBytes;
using testsupport::TempDirectory;

constexpr std::int32_t Size = 6912;

class FileReplacementTest : public ::testing::Test {
protected:
    void SetUp() override { directory_.Write("picture.scr", old_); }

    // Nothing but the target is left in the folder: no temporary file.
    std::vector<std::string> FolderContent() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(directory_.Root())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    std::string Target() const { return directory_.PathOf("picture.scr"); }

    TempDirectory directory_;
    const Bytes old_ = PatternBytes(Size, 1);
    const Bytes new_ = PatternBytes(Size, 2);
};

TEST_F(FileReplacementTest, TheNewContentReplacesTheOldAndNoTemporaryFileStays) {
    EXPECT_TRUE(ReplaceFileContent(Target().c_str(), new_.data(), Size));
    EXPECT_EQ(directory_.Read("picture.scr"), new_);
    EXPECT_EQ(FolderContent(), std::vector<std::string>{"picture.scr"});
}

TEST_F(FileReplacementTest, AMissingTargetIsCreated) {
    EXPECT_TRUE(ReplaceFileContent(directory_.PathOf("new.scr").c_str(), new_.data(), Size));
    EXPECT_EQ(directory_.Read("new.scr"), new_);
}

// Saves that were cut short leave their temporary files behind; however
// many there are (here every name of the two-digit numbering once used,
// and a thousand more of today's), a save still finds a name of its own
// and leaves them all as they were.
TEST_F(FileReplacementTest, FilesLeftByInterruptedSavesNeverStopASave) {
    const Bytes left = PatternBytes(16, 9);
    for (int i = 0; i < 100; ++i) {
        directory_.Write("~inkswap" + std::to_string(100 + i).substr(1) + ".tmp", left);
    }
    char name[32];
    for (unsigned i = 0; i < 1000; ++i) {
        std::snprintf(name, sizeof name, "~inkswap%08X.tmp", i * 0x10001U);
        directory_.Write(name, left);
    }
    for (int save = 0; save < 20; ++save) {
        const Bytes content = PatternBytes(Size, static_cast<std::uint32_t>(save));
        ASSERT_TRUE(ReplaceFileContent(Target().c_str(), content.data(), Size)) << save;
        EXPECT_EQ(directory_.Read("picture.scr"), content);
    }
    EXPECT_EQ(FolderContent().size(), 1101u);
    EXPECT_EQ(directory_.Read("~inkswap00.tmp"), left);
}

TEST_F(FileReplacementTest, FailuresLeaveTheFileAsItWasAndRemoveTheTemporaryFile) {
    using std::filesystem::perms;
    const std::filesystem::path target = directory_.Root() / "picture.scr";
    std::filesystem::permissions(target,
                                 perms::owner_write | perms::group_write | perms::others_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_FALSE(ReplaceFileContent(Target().c_str(), new_.data(), Size)) << "read-only";
    std::filesystem::permissions(target, perms::owner_write, std::filesystem::perm_options::add);
    EXPECT_EQ(directory_.Read("picture.scr"), old_);
    EXPECT_EQ(FolderContent(), std::vector<std::string>{"picture.scr"});

    std::filesystem::create_directory(directory_.Root() / "folder.scr");
    EXPECT_FALSE(ReplaceFileContent(directory_.PathOf("folder.scr").c_str(), new_.data(), Size));
    EXPECT_TRUE(std::filesystem::is_directory(directory_.Root() / "folder.scr"));
    EXPECT_FALSE(
        ReplaceFileContent(directory_.PathOf("gone/picture.scr").c_str(), new_.data(), Size));
    EXPECT_FALSE(ReplaceFileContent("", new_.data(), Size));
}

#ifndef _WIN32

TEST_F(FileReplacementTest, TheFilePermissionsStay) {
    const std::string target = Target();
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    ASSERT_TRUE(ReplaceFileContent(target.c_str(), new_.data(), Size));
    struct stat status {};
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

// A real write failure at a chosen byte: a child process saves under a
// file-size limit, as on a disk that fills up. With SIGXFSZ ignored the
// write fails and the save says so; by default the signal kills the
// process in the middle of the write.
struct CutShort {
    rlim_t Limit;
    bool Dies;
};

TEST_F(FileReplacementTest, AWriteCutShortAtAnyByteLeavesTheOldFileWhole) {
    const CutShort cases[] = {{0, false},    {1, false}, {4095, false}, {4096, false},
                              {6911, false}, {0, true},  {4096, true},  {6911, true}};
    const std::string target = Target();
    for (const CutShort& cut : cases) {
        SCOPED_TRACE(testing::Message() << "limit " << cut.Limit << (cut.Dies ? ", dies" : ""));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const rlimit limit{cut.Limit, cut.Limit};
            setrlimit(RLIMIT_FSIZE, &limit);
            std::signal(SIGXFSZ, cut.Dies ? SIG_DFL : SIG_IGN);
            _exit(ReplaceFileContent(target.c_str(), new_.data(), Size) ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (cut.Dies) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "the save failed";
            EXPECT_EQ(FolderContent(), std::vector<std::string>{"picture.scr"});
        }
        EXPECT_EQ(directory_.Read("picture.scr"), old_);
        // A dead process leaves its temporary file behind, never the target cut.
        for (const std::string& name : FolderContent()) {
            if (name != "picture.scr") {
                std::filesystem::remove(directory_.Root() / name);
            }
        }
    }
}

TEST_F(FileReplacementTest, AWriteThatJustFitsTheLimitSaves) {
    const std::string target = Target();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{Size, Size};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
        _exit(ReplaceFileContent(target.c_str(), new_.data(), Size) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(directory_.Read("picture.scr"), new_);
}

#endif

} // namespace
