// The application's own handlers in-process under Wine: the real window,
// drops and menu commands posted as the platform posts them, the real
// event loop, and the error boxes read and closed from a timer inside
// their modal loop.

#include "app/file_commands.h"
#include "app/screen_image.h"
#include "app/shell.h"
#include "gadget/drop_record.h"
#include "runtime/toolkit_heap.h"
#include "screen_fixtures.h"
#include "support/temp_directory.h"
#include "support/test_data_object.h"
#include "window/event_state.h"
#include "window/window.h"
#include "window/window_procedure.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace inkswap;
using testsupport::Bytes;
using testsupport::TempDirectory;

ShellState shell{};

// The text of the error box a handler showed, read and the box closed
// from a timer running inside the box's own loop.
std::string boxText;
bool boxSeen = false;

void CALLBACK CloseErrorBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = ::FindWindowA("#32770", "Error");
    if (box == nullptr) {
        return;
    }
    char text[128] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    boxText = text;
    boxSeen = true;
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// Runs the event loop until the shell has handled an event with the code.
void HandleUntil(std::int32_t code) {
    boxSeen = false;
    boxText.clear();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, CloseErrorBox);
    for (int i = 0; i < 200; ++i) {
        shell.EventCode = rook::WaitWindowEvent();
        const std::int32_t handled = shell.EventCode;
        HandleEvent(shell);
        if (handled == code) {
            break;
        }
    }
    ::KillTimer(nullptr, timer);
}

void DropFiles(const std::vector<std::string>& names) {
    const Bytes block = testsupport::FileListBlock(names);
    auto* record = static_cast<rook::DropRecord*>(
        rook::ToolkitAllocate(sizeof(rook::DropRecord), rook::os::Fill::Zero));
    record->Format = CF_HDROP;
    record->Data = rook::ToolkitAllocate(block.size(), rook::os::Fill::Zero);
    std::memcpy(record->Data, block.data(), block.size());
    record->DataSize = static_cast<std::int32_t>(block.size());
    ::PostMessageA(rook::WindowID(MainWindow), rook::GadgetDropMessage, ColourCanvas,
                   reinterpret_cast<LPARAM>(record));
    HandleUntil(rook::EventGadgetDrop);
}

void ChooseMenuItem(std::int32_t item) {
    ::PostMessageA(rook::WindowID(MainWindow), WM_COMMAND, MAKEWPARAM(item, 0), 0);
    HandleUntil(rook::EventMenuAction);
}

Bytes Screen() {
    return Bytes(shell.Screen, shell.Screen + ScreenFileSize);
}

Bytes ScreenBytes(const fixtures::Screen& screen) {
    return Bytes(screen.begin(), screen.end());
}

std::string PathShown() {
    return shell.Path != nullptr ? shell.Path : "";
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Every test starts with the sweep picture loaded from its folder.
        directory_.Write("start.scr", ScreenBytes(fixtures::AttributeSweep()));
        DropFiles({directory_.PathOf("start.scr")});
        ASSERT_EQ(PathShown(), directory_.PathOf("start.scr"));
    }

    TempDirectory directory_;
};

TEST_F(ShellTest, AScreenFileIsLoadedShownAndBecomesTheSavePath) {
    const fixtures::Screen noise = fixtures::Noise(5);
    directory_.Write("noise.scr", ScreenBytes(noise));
    DropFiles({directory_.PathOf("noise.scr")});
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(Screen(), ScreenBytes(noise));
    EXPECT_EQ(PathShown(), directory_.PathOf("noise.scr"));
}

TEST_F(ShellTest, OnlyTheFirstOfSeveralFilesIsLoaded) {
    directory_.Write("one.scr", ScreenBytes(fixtures::Noise(1)));
    directory_.Write("two.scr", ScreenBytes(fixtures::Noise(2)));
    DropFiles({directory_.PathOf("one.scr"), directory_.PathOf("two.scr")});
    EXPECT_EQ(Screen(), ScreenBytes(fixtures::Noise(1)));
    EXPECT_EQ(PathShown(), directory_.PathOf("one.scr"));
}

TEST_F(ShellTest, AnythingButExactly6912BytesIsRefused) {
    const Bytes before = Screen();
    const std::string path = PathShown();
    directory_.Write("short.scr", testsupport::PatternBytes(6911));
    directory_.Write("long.scr", testsupport::PatternBytes(6913));
    std::filesystem::create_directory(directory_.Root() / "folder.scr");
    for (const char* name : {"short.scr", "long.scr", "folder.scr", "missing.scr"}) {
        DropFiles({directory_.PathOf(name)});
        EXPECT_TRUE(boxSeen) << name;
        EXPECT_EQ(boxText, NotAScreenMessage) << name;
        EXPECT_EQ(Screen(), before) << name;
        EXPECT_EQ(PathShown(), path) << name;
    }
}

TEST_F(ShellTest, AFileThatCannotBeReadChangesNothing) {
    const Bytes before = Screen();
    const std::string path = PathShown();
    directory_.Write("held.scr", ScreenBytes(fixtures::Noise(9)));
    const std::string held = directory_.PathOf("held.scr");
    HANDLE holder = ::CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    DropFiles({held});
    ::CloseHandle(holder);
    EXPECT_TRUE(boxSeen);
    EXPECT_EQ(boxText, UnreadableMessage);
    EXPECT_EQ(Screen(), before);
    EXPECT_EQ(PathShown(), path) << "a later Save must not write over the unread file";
}

TEST_F(ShellTest, SaveWritesCorrectionsAndCorrectingBackGivesTheOriginal) {
    const std::string path = PathShown();
    CorrectCell(shell.Screen, 0, 0);
    CorrectCell(shell.Screen, 31, 23);
    ChooseMenuItem(SaveItem);
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(directory_.Read("start.scr"), Screen());
    EXPECT_NE(directory_.Read("start.scr"), ScreenBytes(fixtures::AttributeSweep()));
    CorrectCell(shell.Screen, 0, 0);
    CorrectCell(shell.Screen, 31, 23);
    ChooseMenuItem(SaveItem);
    EXPECT_EQ(directory_.Read("start.scr"), ScreenBytes(fixtures::AttributeSweep()));
}

TEST_F(ShellTest, SaveBeforeAnyLoadDoesNothing) {
    rook::StringVariable loaded = shell.Path;
    shell.Path = nullptr;
    ChooseMenuItem(SaveItem);
    EXPECT_FALSE(boxSeen);
    shell.Path = loaded;
}

TEST_F(ShellTest, ASaveThatFailsSaysSoAndKeepsThePicture) {
    TempDirectory elsewhere;
    elsewhere.Write("gone.scr", ScreenBytes(fixtures::Noise(3)));
    DropFiles({elsewhere.PathOf("gone.scr")});
    const Bytes loaded = Screen();
    std::filesystem::remove_all(elsewhere.Root());
    ChooseMenuItem(SaveItem);
    EXPECT_TRUE(boxSeen);
    EXPECT_EQ(boxText, UnsavedMessage);
    EXPECT_EQ(Screen(), loaded) << "still there to save again";
}

TEST_F(ShellTest, OpenDoesNothingAndQuitEndsTheLoop) {
    const Bytes before = Screen();
    ChooseMenuItem(OpenItem);
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(shell.EventCode, rook::EventMenuAction);
    EXPECT_EQ(Screen(), before);
    ChooseMenuItem(QuitItem);
    EXPECT_EQ(shell.EventCode, rook::EventCloseWindow) << "the loop ends after this event";
}

TEST_F(ShellTest, AMalformedFileListIsRefusedLikeAnyOtherBadDrop) {
    auto* record = static_cast<rook::DropRecord*>(
        rook::ToolkitAllocate(sizeof(rook::DropRecord), rook::os::Fill::Zero));
    record->Format = CF_HDROP;
    record->Data = rook::ToolkitAllocate(8, rook::os::Fill::Zero);
    record->DataSize = 8;
    ::PostMessageA(rook::WindowID(MainWindow), rook::GadgetDropMessage, 0,
                   reinterpret_cast<LPARAM>(record));
    HandleUntil(rook::EventGadgetDrop);
    EXPECT_EQ(boxText, NotAScreenMessage);
}

std::size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage;
}

TEST_F(ShellTest, AThousandDropsAndSavesTakeNoMoreMemory) {
    directory_.Write("a.scr", ScreenBytes(fixtures::Noise(11)));
    directory_.Write("b.scr", ScreenBytes(fixtures::Noise(12)));
    const auto round = [&](int i) {
        DropFiles(
            {directory_.PathOf((i & 1) != 0 ? "a.scr" : "b.scr"), directory_.PathOf("b.scr")});
        ChooseMenuItem(SaveItem);
    };
    for (int i = 0; i < 100; ++i) {
        round(i);
    }
    const std::size_t before = PrivateBytes();
    for (int i = 0; i < 1000; ++i) {
        round(i);
    }
    const std::size_t after = PrivateBytes();
    EXPECT_LT(after, before + 64 * 1024) << "grew by " << (after - before) << " bytes";
}

class ShellEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(StartShell(shell), StartResult::Started); }
    void TearDown() override { EndShell(shell); }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new ShellEnvironment);
    return RUN_ALL_TESTS();
}
