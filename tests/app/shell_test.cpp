// The application's own handlers in-process under Wine: the real window,
// drops and menu commands posted as the platform posts them, the real
// event loop, and the error boxes read and closed from a timer inside
// their modal loop.

#include "app/cell_keys.h"
#include "app/file_commands.h"
#include "app/operations.h"
#include "app/shell.h"
#include "app/view_menu.h"
#include "app/window_layout.h"
#include "gadget/canvas.h"
#include "gadget/gadget.h"
#include "runtime/toolkit_heap.h"
#include "screen/screen_image.h"
#include "screen_fixtures.h"
#include "support/temp_directory.h"
#include "support/test_data_object.h"
#include "tape_fixtures.h"
#include "window/drop_record.h"
#include "window/event_state.h"
#include "window/window.h"
#include "window/window_procedure.h"
#include "window/window_timer.h"

#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>
#include <psapi.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace inkswap;
using testsupport::Bytes;
using testsupport::TempDirectory;

ShellState shell{};

// The text of the error box a handler showed, read and the box closed
// from a timer running inside the box's own loop; likewise the question
// "Save changes to ...?", answered with questionAnswer.
std::string boxText;
bool boxSeen = false;
std::string questionText;
int questionsAsked = 0;
int questionAnswer = IDNO;

// What the open or the export dialog is answered with: a name typed into
// it and OK, or Cancel when empty; and what was seen of it.
std::wstring dialogChoice;
int dialogsSeen = 0;
HWND dialogOwner = nullptr;
std::wstring dialogFolder; // the folder the dialog started in
std::wstring dialogName;   // the name it proposed

std::string BoxText(HWND box) {
    char text[256] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

void AnswerFileDialog(HWND dialog) {
    ++dialogsSeen;
    dialogOwner = ::GetWindow(dialog, GW_OWNER);
    wchar_t folder[MAX_PATH] = {};
    ::SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    dialogFolder = folder;
    wchar_t name[MAX_PATH] = {};
    ::SendMessageW(dialog, CDM_GETSPEC, MAX_PATH, reinterpret_cast<LPARAM>(name));
    dialogName = name;
    if (dialogChoice.empty()) {
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    // The name box is a combo box or an edit, by the dialog's version.
    for (int box : {cmb13, edt1}) {
        ::SetDlgItemTextW(dialog, box, dialogChoice.c_str());
    }
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

void CALLBACK CloseErrorBox(HWND, UINT, UINT_PTR, DWORD) {
    for (const char* title : {"Open", "Save As"}) {
        if (HWND dialog = ::FindWindowA("#32770", title); dialog != nullptr) {
            if (dialogsSeen == 0) {
                AnswerFileDialog(dialog);
            }
            return;
        }
    }
    if (HWND question = ::FindWindowA("#32770", QuestionTitle); question != nullptr) {
        // The question comes before any error box of a failed save.
        questionText = BoxText(question);
        ++questionsAsked;
        ::PostMessageA(question, WM_COMMAND, questionAnswer, 0);
        return;
    }
    HWND box = ::FindWindowA("#32770", "Error");
    if (box == nullptr) {
        return;
    }
    boxText = BoxText(box);
    boxSeen = true;
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// Runs the event loop until the shell has handled an event with the code.
void HandleUntil(std::int32_t code) {
    boxSeen = false;
    boxText.clear();
    questionText.clear();
    questionsAsked = 0;
    dialogsSeen = 0;
    dialogOwner = nullptr;
    dialogFolder.clear();
    dialogName.clear();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, CloseErrorBox);
    for (int i = 0; i < 200; ++i) {
        shell.EventCode = rook::WaitWindowEvent();
        const std::int32_t handled = shell.EventCode;
        // A posted WM_CLOSE comes as the bare message first, then as the
        // queued close event, the one that counts.
        const bool bare =
            rook::GetEventState().Current.QueuedCode == 0 && handled == rook::EventCloseWindow;
        HandleEvent(shell);
        if (handled == code && !bare) {
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
    ASSERT_TRUE(rook::HandOverDropRecord(record));
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

std::string StatusShown() {
    char text[256] = {};
    ::GetWindowTextA(::GetDlgItem(rook::WindowID(MainWindow), StatusLine), text, sizeof text);
    return text;
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end()); // the test's names are ASCII
}

std::string PathShown() {
    return shell.Path != nullptr ? shell.Path : "";
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        questionAnswer = IDNO;   // a picture left modified by a test is dropped
        shell.CellKnown = false; // no pointer cell in the status line
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

TEST_F(ShellTest, FilesThatHoldNoScreenAreRefused) {
    const Bytes before = Screen();
    const std::string path = PathShown();
    directory_.Write("short.scr", testsupport::PatternBytes(6911));
    directory_.Write("long.scr", testsupport::PatternBytes(6913));
    Bytes broken = fixtures::TapFile({fixtures::ScreenBlock(fixtures::Noise(1))});
    broken.pop_back(); // its block runs past the end
    directory_.Write("broken.tap", broken);
    std::filesystem::create_directory(directory_.Root() / "folder.scr");
    for (const char* name : {"short.scr", "long.scr", "broken.tap", "folder.scr", "missing.scr"}) {
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

TEST_F(ShellTest, SaveOfAPictureFromNoFileAsksForAName) {
    rook::StringVariable loaded = shell.Path;
    shell.Path = nullptr;
    ChooseMenuItem(SaveItem); // Cancel
    EXPECT_EQ(dialogsSeen, 1);
    EXPECT_EQ(dialogName, L"screen.scr");
    EXPECT_EQ(PathShown(), "");
    dialogChoice = Wide(directory_.PathOf("new"));
    ChooseMenuItem(SaveItem);
    dialogChoice.clear();
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(directory_.Read("new.scr"), Screen());
    EXPECT_EQ(PathShown(), directory_.PathOf("new.scr"));
    rook::FreeString(loaded);
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

TEST_F(ShellTest, OpenLoadsTheChosenFileAsADropDoes) {
    directory_.Write("noise.scr", ScreenBytes(fixtures::Noise(6)));
    directory_.Write("short.scr", testsupport::PatternBytes(6911));
    struct Case {
        const char* Chosen; // nullptr: Cancel
        const char* Box;    // the error box's text, or nullptr for none
        const char* Path;   // the save path afterwards
        const char* Status;
    };
    const Case cases[] = {
        {nullptr, nullptr, "start.scr", "start.scr"},
        {"short.scr", NotAScreenMessage, "start.scr", "start.scr"},
        {"noise.scr", nullptr, "noise.scr", "noise.scr"},
    };
    for (const Case& c : cases) {
        const Bytes before = Screen();
        dialogChoice = c.Chosen != nullptr ? Wide(directory_.PathOf(c.Chosen)) : L"";
        ChooseMenuItem(OpenItem);
        EXPECT_EQ(dialogsSeen, 1) << "the dialog came: " << (c.Chosen ? c.Chosen : "Cancel");
        EXPECT_EQ(dialogOwner, rook::WindowID(MainWindow)) << "owned by the main window";
        EXPECT_TRUE(std::filesystem::equivalent(dialogFolder, directory_.Root()))
            << "it starts in the current file's folder";
        EXPECT_EQ(boxSeen ? boxText : "", c.Box != nullptr ? c.Box : "");
        EXPECT_EQ(PathShown(), directory_.PathOf(c.Path));
        const bool loads = std::string(c.Path) != "start.scr";
        EXPECT_EQ(Screen(), loads ? ScreenBytes(fixtures::Noise(6)) : before);
        EXPECT_EQ(StatusShown(), c.Status);
    }
    dialogChoice.clear();
}

TEST_F(ShellTest, TheStatusLineMarksAModifiedPictureUntilItIsSaved) {
    EXPECT_EQ(StatusShown(), "start.scr");
    CorrectCell(shell.Screen, 4, 5);
    ChooseMenuItem(99); // an event that changes nothing else
    EXPECT_EQ(StatusShown(), "start.scr *");
    ChooseMenuItem(SaveItem);
    EXPECT_EQ(StatusShown(), "start.scr");
}

TEST_F(ShellTest, QuitEndsTheLoop) {
    ChooseMenuItem(QuitItem);
    EXPECT_EQ(shell.EventCode, rook::EventCloseWindow) << "the loop ends after this event";
}

TEST_F(ShellTest, AMalformedFileListIsRefusedLikeAnyOtherBadDrop) {
    auto* record = static_cast<rook::DropRecord*>(
        rook::ToolkitAllocate(sizeof(rook::DropRecord), rook::os::Fill::Zero));
    record->Format = CF_HDROP;
    record->Data = rook::ToolkitAllocate(8, rook::os::Fill::Zero);
    record->DataSize = 8;
    ASSERT_TRUE(rook::HandOverDropRecord(record));
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

// What a modified picture comes to when it would be thrown away, by what
// would throw it away and the answer to "Save changes to start.scr?".
enum class Trigger { QuitItem, CloseRequest, Drop };

struct Discard {
    Trigger By;
    int Answer;
    bool Saved; // start.scr holds the corrected picture
    bool Stays; // the program goes on with the corrected picture
};

void Throw(Trigger by, const TempDirectory& directory) {
    switch (by) {
    case Trigger::QuitItem:
        ChooseMenuItem(QuitItem);
        break;
    case Trigger::CloseRequest: // the close box, Alt+F4, a task list
        ::PostMessageA(rook::WindowID(MainWindow), WM_CLOSE, 0, 0);
        HandleUntil(rook::EventCloseWindow);
        break;
    case Trigger::Drop:
        DropFiles({directory.PathOf("other.scr")});
        break;
    }
}

TEST_F(ShellTest, AModifiedPictureIsNeverThrownAwayWithoutAsking) {
    const Discard cases[] = {
        {Trigger::QuitItem, IDYES, true, false},     {Trigger::QuitItem, IDNO, false, false},
        {Trigger::QuitItem, IDCANCEL, false, true},  {Trigger::CloseRequest, IDYES, true, false},
        {Trigger::CloseRequest, IDNO, false, false}, {Trigger::CloseRequest, IDCANCEL, false, true},
        {Trigger::Drop, IDYES, true, false},         {Trigger::Drop, IDNO, false, false},
        {Trigger::Drop, IDCANCEL, false, true},
    };
    const Bytes start = ScreenBytes(fixtures::AttributeSweep());
    const Bytes other = ScreenBytes(fixtures::Noise(21));
    directory_.Write("other.scr", other);
    for (const Discard& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "trigger " << static_cast<int>(c.By) << ", answer " << c.Answer);
        directory_.Write("start.scr", start);
        questionAnswer = IDNO;
        DropFiles({directory_.PathOf("start.scr")});
        CorrectCell(shell.Screen, 4, 5);
        const Bytes corrected = Screen();
        questionAnswer = c.Answer;
        Throw(c.By, directory_);
        EXPECT_EQ(questionText, "Save changes to start.scr?");
        EXPECT_EQ(questionsAsked, 1);
        EXPECT_FALSE(boxSeen);
        EXPECT_EQ(directory_.Read("start.scr"), c.Saved ? corrected : start);
        if (c.By == Trigger::Drop) {
            EXPECT_EQ(Screen(), c.Stays ? corrected : other);
            EXPECT_EQ(PathShown(), directory_.PathOf(c.Stays ? "start.scr" : "other.scr"));
        } else {
            EXPECT_EQ(shell.EventCode, c.Stays ? 0 : rook::EventCloseWindow)
                << "the loop ends unless the answer was Cancel";
            EXPECT_EQ(Screen(), corrected);
        }
    }
}

TEST_F(ShellTest, UnchangedOrNeverLoadedPicturesAreNotAskedAbout) {
    CorrectCell(shell.Screen, 7, 7);
    CorrectCell(shell.Screen, 7, 7); // corrected back: no change
    ChooseMenuItem(QuitItem);
    EXPECT_EQ(questionText, "");
    EXPECT_EQ(shell.EventCode, rook::EventCloseWindow);

    CorrectCell(shell.Screen, 7, 7);
    ChooseMenuItem(SaveItem);
    ChooseMenuItem(QuitItem);
    EXPECT_EQ(questionText, "") << "saved: no change";

    CorrectCell(shell.Screen, 8, 8);
    rook::StringVariable loaded = shell.Path;
    shell.Path = nullptr;
    ChooseMenuItem(QuitItem);
    EXPECT_EQ(questionText, "") << "never loaded from a file";
    shell.Path = loaded;
}

TEST_F(ShellTest, AFailedSaveAfterYesShowsTheErrorAndNothingElseHappens) {
    TempDirectory elsewhere;
    elsewhere.Write("gone.scr", ScreenBytes(fixtures::Noise(3)));
    DropFiles({elsewhere.PathOf("gone.scr")});
    CorrectCell(shell.Screen, 1, 1);
    const Bytes corrected = Screen();
    std::filesystem::remove_all(elsewhere.Root());
    questionAnswer = IDYES;
    ChooseMenuItem(QuitItem);
    EXPECT_EQ(questionText, "Save changes to gone.scr?");
    EXPECT_TRUE(boxSeen);
    EXPECT_EQ(boxText, UnsavedMessage);
    EXPECT_EQ(shell.EventCode, 0) << "the program stays";

    directory_.Write("next.scr", ScreenBytes(fixtures::Noise(4)));
    DropFiles({directory_.PathOf("next.scr")});
    EXPECT_EQ(boxText, UnsavedMessage);
    EXPECT_EQ(Screen(), corrected) << "the dropped file is not loaded";
    EXPECT_EQ(PathShown(), elsewhere.PathOf("gone.scr"));
}

// Whether the Operations item is greyed in the main window's menu.
bool Greyed(std::int32_t item) {
    return (::GetMenuState(::GetMenu(rook::WindowID(MainWindow)), static_cast<UINT>(item),
                           MF_BYCOMMAND) &
            MF_GRAYED) != 0;
}

// A click on cell (x, y) as the canvas handler makes it, then an event for
// the status line and the menu to follow.
void Click(std::int32_t x, std::int32_t y) {
    CorrectClickedCell(shell, x, y);
    ChooseMenuItem(99);
}

TEST_F(ShellTest, UndoAndRedoTakeClicksBackAndDoThemAgain) {
    const Bytes loaded = Screen();
    EXPECT_TRUE(Greyed(UndoItem));
    EXPECT_TRUE(Greyed(RedoItem));
    Click(3, 4);
    const Bytes once = Screen();
    Click(31, 23);
    const Bytes twice = Screen();
    EXPECT_FALSE(Greyed(UndoItem));
    EXPECT_TRUE(Greyed(RedoItem));
    ChooseMenuItem(UndoItem);
    EXPECT_EQ(Screen(), once);
    ChooseMenuItem(UndoItem);
    EXPECT_EQ(Screen(), loaded);
    EXPECT_EQ(StatusShown(), "start.scr") << "back to the saved bytes: not modified";
    EXPECT_TRUE(Greyed(UndoItem));
    EXPECT_FALSE(Greyed(RedoItem));
    ChooseMenuItem(UndoItem); // nothing left to take back
    EXPECT_EQ(Screen(), loaded);
    ChooseMenuItem(RedoItem);
    ChooseMenuItem(RedoItem);
    EXPECT_EQ(Screen(), twice);
    EXPECT_EQ(StatusShown(), "start.scr *");
    ChooseMenuItem(UndoItem);
    Click(0, 0); // a new step: what could be redone is gone
    EXPECT_TRUE(Greyed(RedoItem));
    ChooseMenuItem(RedoItem);
    Bytes expected = once;
    CorrectCell(expected.data(), 0, 0);
    EXPECT_EQ(Screen(), expected);
}

TEST_F(ShellTest, LoadingAPictureForgetsTheCorrectionsOfTheOldOne) {
    Click(5, 5);
    ChooseMenuItem(SaveItem);
    directory_.Write("next.scr", ScreenBytes(fixtures::Noise(8)));
    DropFiles({directory_.PathOf("next.scr")});
    EXPECT_TRUE(Greyed(UndoItem));
    ChooseMenuItem(UndoItem);
    EXPECT_EQ(Screen(), ScreenBytes(fixtures::Noise(8)));
}

// Correct All Cells worked out apart: a cell with more than 32 set pixels
// has its bytes inverted and its ink and paper swapped.
Bytes CorrectedAll(Bytes screen) {
    for (std::int32_t y = 0; y < ScreenRows; ++y) {
        for (std::int32_t x = 0; x < ScreenColumns; ++x) {
            int set = 0;
            for (std::int32_t line = 0; line < 8; ++line) {
                set += std::popcount(screen[(y / 8) * 2048 + line * 256 + (y % 8) * 32 + x]);
            }
            if (set > 32) {
                CorrectCell(screen.data(), x, y);
            }
        }
    }
    return screen;
}

TEST_F(ShellTest, CorrectAllCellsIsOneStepAndDoesNothingTheSecondTime) {
    directory_.Write("noise.scr", ScreenBytes(fixtures::Noise(5)));
    DropFiles({directory_.PathOf("noise.scr")});
    const Bytes loaded = Screen();
    ChooseMenuItem(CorrectAllItem);
    const Bytes corrected = Screen();
    EXPECT_EQ(corrected, CorrectedAll(loaded));
    EXPECT_NE(corrected, loaded);
    EXPECT_EQ(StatusShown(), "noise.scr *");
    ChooseMenuItem(CorrectAllItem); // nothing qualifies: no step
    EXPECT_EQ(Screen(), corrected);
    ChooseMenuItem(UndoItem);
    EXPECT_EQ(Screen(), loaded) << "one undo takes the whole step back";
    EXPECT_TRUE(Greyed(UndoItem));
}

TEST_F(ShellTest, CorrectAllAndExportAreGreyedBeforeAnythingIsLoaded) {
    EXPECT_FALSE(Greyed(CorrectAllItem));
    EXPECT_FALSE(Greyed(ExportPngItem));
    rook::StringVariable loaded = shell.Path;
    shell.Path = nullptr;
    ChooseMenuItem(99);
    EXPECT_TRUE(Greyed(CorrectAllItem));
    EXPECT_TRUE(Greyed(ExportPngItem));
    const Bytes before = Screen();
    ChooseMenuItem(CorrectAllItem); // as from another program: refused all the same
    EXPECT_EQ(Screen(), before);
    shell.Path = loaded;
    ChooseMenuItem(99);
    EXPECT_FALSE(Greyed(ExportPngItem));
}

TEST_F(ShellTest, ExportWritesAPngWhereTheDialogSaysAndChangesNothingElse) {
    Click(2, 2);
    dialogChoice = Wide(directory_.PathOf("out"));
    ChooseMenuItem(ExportPngItem);
    EXPECT_EQ(dialogsSeen, 1);
    EXPECT_EQ(dialogOwner, rook::WindowID(MainWindow));
    EXPECT_TRUE(std::filesystem::equivalent(dialogFolder, directory_.Root()));
    EXPECT_EQ(dialogName, L"start.png") << "the screen's name with .png";
    EXPECT_FALSE(boxSeen) << boxText;
    const Bytes png = directory_.Read("out.png");
    const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GE(png.size(), signature.size());
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
    EXPECT_EQ(StatusShown(), "start.scr *") << "still modified";

    TempDirectory gone;
    dialogChoice = Wide(gone.PathOf("lost.png"));
    std::filesystem::remove_all(gone.Root());
    ChooseMenuItem(ExportPngItem);
    EXPECT_TRUE(boxSeen);
    EXPECT_EQ(boxText, UnexportedMessage);

    dialogChoice.clear(); // Cancel
    ChooseMenuItem(ExportPngItem);
    EXPECT_EQ(dialogsSeen, 1);
    EXPECT_FALSE(boxSeen);
}

// Two screens between the other blocks of a game's tape: the first named
// by its header, the second not.
const fixtures::Screen TapeScreens[] = {fixtures::Noise(31), fixtures::Noise(32)};

std::vector<Bytes> TapeBlocksWith(const fixtures::Screen& first, const fixtures::Screen& second,
                                  bool firstChecksumWrong = false) {
    std::vector<Bytes> blocks = fixtures::GameTapeBlocks(first, "loading");
    blocks[3] = fixtures::ScreenBlock(first, firstChecksumWrong);
    blocks.push_back(fixtures::ScreenBlock(second));
    return blocks;
}

Bytes Tape(const fixtures::Screen& first, const fixtures::Screen& second) {
    return fixtures::TapFile(TapeBlocksWith(first, second));
}

fixtures::Screen Corrected(fixtures::Screen screen, std::int32_t x, std::int32_t y) {
    CorrectCell(screen.data(), x, y);
    return screen;
}

class TapeTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        directory_.Write("game.tap", Tape(TapeScreens[0], TapeScreens[1]));
        DropFiles({directory_.PathOf("game.tap")});
        ASSERT_EQ(PathShown(), directory_.PathOf("game.tap"));
    }
};

TEST_F(TapeTest, ATapesScreensAreShownOneAfterTheOther) {
    EXPECT_EQ(Screen(), ScreenBytes(TapeScreens[0]));
    EXPECT_EQ(StatusShown(), "game.tap: screen 1 of 2 \"loading\"");
    EXPECT_TRUE(Greyed(PreviousScreenItem));
    EXPECT_FALSE(Greyed(NextScreenItem));
    ChooseMenuItem(NextScreenItem);
    EXPECT_EQ(Screen(), ScreenBytes(TapeScreens[1]));
    EXPECT_EQ(StatusShown(), "game.tap: screen 2 of 2");
    EXPECT_FALSE(Greyed(PreviousScreenItem));
    EXPECT_TRUE(Greyed(NextScreenItem));
    ChooseMenuItem(NextScreenItem); // as from another program: there is none
    EXPECT_EQ(Screen(), ScreenBytes(TapeScreens[1]));
    ChooseMenuItem(PreviousScreenItem);
    EXPECT_EQ(Screen(), ScreenBytes(TapeScreens[0]));
    EXPECT_EQ(questionsAsked, 0);
}

TEST_F(TapeTest, SaveWritesTheScreenBackIntoItsTapeAndNothingElse) {
    ChooseMenuItem(NextScreenItem);
    Click(0, 0);
    EXPECT_EQ(StatusShown(), "game.tap: screen 2 of 2 *");
    ChooseMenuItem(SaveItem);
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(directory_.Read("game.tap"), Tape(TapeScreens[0], Corrected(TapeScreens[1], 0, 0)));
    EXPECT_EQ(StatusShown(), "game.tap: screen 2 of 2");
    ChooseMenuItem(PreviousScreenItem);
    EXPECT_EQ(questionsAsked, 0) << "saved: nothing to ask";
}

TEST_F(TapeTest, ChangingScreenAsksAboutAModifiedOneAsANewFileWould) {
    struct Case {
        int Answer;
        std::size_t Shown; // the screen shown afterwards
        bool Saved;
    };
    const Case cases[] = {{IDCANCEL, 0, false}, {IDNO, 1, false}, {IDYES, 1, true}};
    const Bytes original = Tape(TapeScreens[0], TapeScreens[1]);
    const fixtures::Screen corrected = Corrected(TapeScreens[0], 9, 9);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << c.Answer);
        directory_.Write("game.tap", original);
        questionAnswer = IDNO;
        DropFiles({directory_.PathOf("game.tap")});
        Click(9, 9);
        questionAnswer = c.Answer;
        ChooseMenuItem(NextScreenItem);
        EXPECT_EQ(questionText, "Save changes to game.tap?");
        EXPECT_EQ(shell.ScreenIndex, c.Shown);
        EXPECT_EQ(Screen(), ScreenBytes(c.Shown == 0 ? corrected : TapeScreens[1]));
        EXPECT_EQ(directory_.Read("game.tap"),
                  c.Saved ? Tape(corrected, TapeScreens[1]) : original);
    }
    questionAnswer = IDNO;
    ChooseMenuItem(PreviousScreenItem);
    EXPECT_EQ(Screen(), ScreenBytes(corrected)) << "what was saved is what comes back";
}

TEST_F(TapeTest, AScreenWhoseChecksumWasWrongIsShownAndSaveMendsIt) {
    directory_.Write("bad.tap",
                     fixtures::TapFile(TapeBlocksWith(TapeScreens[0], TapeScreens[1], true)));
    DropFiles({directory_.PathOf("bad.tap")});
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(Screen(), ScreenBytes(TapeScreens[0]));
    EXPECT_EQ(StatusShown(), "bad.tap: screen 1 of 2 \"loading\" (checksum wrong)");
    ChooseMenuItem(SaveItem);
    EXPECT_EQ(directory_.Read("bad.tap"), Tape(TapeScreens[0], TapeScreens[1]));
    EXPECT_EQ(StatusShown(), "bad.tap: screen 1 of 2 \"loading\"");
}

TEST_F(TapeTest, SaveAsWritesAPlainScreenThatSaveThenGoesTo) {
    Click(4, 4);
    dialogChoice = Wide(directory_.PathOf("copy"));
    ChooseMenuItem(SaveAsItem);
    dialogChoice.clear();
    EXPECT_EQ(dialogOwner, rook::WindowID(MainWindow));
    EXPECT_TRUE(std::filesystem::equivalent(dialogFolder, directory_.Root()));
    EXPECT_EQ(dialogName, L"game loading.scr");
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(directory_.Read("copy.scr"), ScreenBytes(Corrected(TapeScreens[0], 4, 4)));
    EXPECT_EQ(PathShown(), directory_.PathOf("copy.scr"));
    EXPECT_EQ(StatusShown(), "copy.scr");
    EXPECT_TRUE(Greyed(NextScreenItem)) << "a plain screen has no other";
    Click(5, 5);
    ChooseMenuItem(SaveItem);
    EXPECT_EQ(directory_.Read("copy.scr"),
              ScreenBytes(Corrected(Corrected(TapeScreens[0], 4, 4), 5, 5)));
    EXPECT_EQ(directory_.Read("game.tap"), Tape(TapeScreens[0], TapeScreens[1]));

    TempDirectory gone;
    dialogChoice = Wide(gone.PathOf("lost.scr"));
    std::filesystem::remove_all(gone.Root());
    ChooseMenuItem(SaveAsItem);
    dialogChoice.clear();
    EXPECT_TRUE(boxSeen);
    EXPECT_EQ(boxText, UnsavedMessage);
    EXPECT_EQ(PathShown(), directory_.PathOf("copy.scr"));
}

// The canvas's client size, its buffer's size and the window's client size.
struct Sizes {
    SIZE Canvas;
    SIZE Buffer;
    SIZE Client;
    bool operator==(const Sizes& other) const {
        return Canvas.cx == other.Canvas.cx && Canvas.cy == other.Canvas.cy &&
               Buffer.cx == other.Buffer.cx && Buffer.cy == other.Buffer.cy &&
               Client.cx == other.Client.cx && Client.cy == other.Client.cy;
    }
};

std::ostream& operator<<(std::ostream& out, const Sizes& sizes) {
    return out << "canvas " << sizes.Canvas.cx << "x" << sizes.Canvas.cy << ", buffer "
               << sizes.Buffer.cx << "x" << sizes.Buffer.cy << ", client " << sizes.Client.cx << "x"
               << sizes.Client.cy;
}

SIZE ClientOf(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right, client.bottom};
}

Sizes SizesShown(std::int32_t canvas) {
    const auto buffer = reinterpret_cast<HBITMAP>(
        static_cast<std::intptr_t>(rook::GetGadgetAttribute(canvas, rook::CanvasAttrImage)));
    BITMAP bitmap{};
    ::GetObjectA(buffer, sizeof bitmap, &bitmap);
    return {ClientOf(rook::FindGadget(canvas)->Handle),
            {bitmap.bmWidth, bitmap.bmHeight},
            ClientOf(rook::WindowID(MainWindow))};
}

LONG MenuBarHeight() {
    MENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    ::GetMenuBarInfo(rook::WindowID(MainWindow), OBJID_MENU, 0, &bar);
    return bar.rcBar.bottom - bar.rcBar.top;
}

bool RadioChecked(std::int32_t item) {
    return (::GetMenuState(::GetMenu(rook::WindowID(MainWindow)), static_cast<UINT>(item),
                           MF_BYCOMMAND) &
            MF_CHECKED) != 0;
}

// The pointer's cell once it rests on canvas pixel (x, y) of the colour
// view, the cell it is expected in; movements of the real cursor that come
// late under load may arrive before the one of the spot, and are let pass.
POINT CellAtPixel(std::int32_t x, std::int32_t y, POINT expected) {
    HWND canvas = rook::FindGadget(ColourCanvas)->Handle;
    POINT at{x, y};
    ::ClientToScreen(canvas, &at);
    // The platform may take a moment over the placing: until it shows.
    POINT now{};
    for (int i = 0; i < 100 && !(now.x == at.x && now.y == at.y); ++i) {
        ::SetCursorPos(at.x, at.y);
        ::Sleep(5);
        ::GetCursorPos(&now);
    }
    for (int i = 0; i < 10 && !(shell.X == expected.x && shell.Y == expected.y); ++i) {
        ::PostMessageA(canvas, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        HandleUntil(rook::EventGadgetAction);
    }
    return {shell.X, shell.Y};
}

class ZoomTest : public ShellTest {
protected:
    void TearDown() override {
        ChooseMenuItem(ZoomItem1 + 1); // back to 2x for the other tests
        ShellTest::TearDown();
    }
};

// Every zoom that fits gives the sizes of the layout: canvases and buffers
// exactly the picture's, the window's client area fitting both; the
// pointer's cell is the canvas pixel divided by 8 zoom.
TEST_F(ZoomTest, EachZoomGivesTheSizesOfTheLayoutAndItsPointerCells) {
    const std::int32_t dpi = shell.Dpi;
    ASSERT_EQ(dpi, 96) << "the test prefix's DPI";
    for (std::int32_t zoom : {1, 3, 2}) {
        SCOPED_TRACE(testing::Message() << "zoom " << zoom);
        ASSERT_TRUE(ZoomFits(shell, zoom));
        ChooseMenuItem(ZoomItem1 + zoom - 1);
        EXPECT_EQ(shell.Zoom, zoom);
        const WindowLayout layout = LayoutFor(zoom, dpi, 2);
        const SIZE picture{256 * zoom, 192 * zoom};
        const Sizes expected{
            picture, picture, {layout.ClientWidth, layout.ClientHeight - MenuBarHeight()}};
        for (std::int32_t canvas : {BitmapCanvas, ColourCanvas}) {
            EXPECT_EQ(SizesShown(canvas), expected) << "canvas " << canvas;
        }
        for (std::int32_t item = ZoomItem1; item <= ZoomItem4; ++item) {
            EXPECT_EQ(RadioChecked(item), item == ZoomItem1 + zoom - 1) << item;
        }
        shell.X = shell.Y = -99;
        const POINT cell = CellAtPixel(8 * zoom * 5 + zoom, 8 * zoom * 3 + 8 * zoom - 1, {5, 3});
        EXPECT_EQ(cell.x, 5);
        EXPECT_EQ(cell.y, 3);
    }
    EXPECT_EQ(SizesShown(BitmapCanvas).Client.cx, MainWindowPlacement.Width)
        << "at 2x the window has the size it opened with";
}

TEST_F(ZoomTest, ZoomInAndOutStepAndStopAtTheEnds) {
    ChooseMenuItem(ZoomItem1);
    EXPECT_TRUE(Greyed(ZoomOutItem));
    ChooseMenuItem(ZoomOutItem);
    EXPECT_EQ(shell.Zoom, 1);
    ChooseMenuItem(ZoomInItem);
    EXPECT_EQ(shell.Zoom, 2);
    ChooseMenuItem(ZoomInItem);
    EXPECT_EQ(shell.Zoom, 3);
    // 4x does not fit the test's 1600 x 1200 desktop.
    EXPECT_TRUE(Greyed(ZoomItem4));
    EXPECT_TRUE(Greyed(ZoomInItem));
    ChooseMenuItem(ZoomInItem);
    ChooseMenuItem(ZoomItem4); // as from another program: refused all the same
    EXPECT_EQ(shell.Zoom, 3);
}

TEST_F(ZoomTest, ZoomsWhoseWindowWouldNotFitTheWorkAreaAreGreyed) {
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    RECT small{0, 0, 900, 700};
    ASSERT_TRUE(::SystemParametersInfoA(SPI_SETWORKAREA, 0, &small, 0));
    ChooseMenuItem(ZoomItem1);
    HWND window = rook::WindowID(MainWindow);
    ::SetWindowPos(window, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER); // it moved
    HandleUntil(rook::EventWindowMoved);
    ChooseMenuItem(99);
    const bool narrowed = Greyed(ZoomItem1 + 1);
    ::SystemParametersInfoA(SPI_SETWORKAREA, 0, &work, 0);
    ::SetWindowPos(window, nullptr, MainWindowPlacement.X, MainWindowPlacement.Y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER);
    HandleUntil(rook::EventWindowMoved);
    ChooseMenuItem(99);
    EXPECT_TRUE(narrowed) << "2x is 1073 pixels wide";
    EXPECT_FALSE(Greyed(ZoomItem1 + 1)) << "and fits again";
}

// On a monitor of another DPI the window takes the rectangle Windows
// suggests; the check boxes and the status line follow the DPI, the
// pictures keep their zoom.
TEST_F(ZoomTest, AnotherDpiMovesTheGadgetsAndKeepsTheZoom) {
    HWND window = rook::WindowID(MainWindow);
    RECT before{};
    ::GetWindowRect(window, &before);
    for (const UINT dpi : {144u, 96u}) {
        RECT suggested = before;
        ::SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
        HandleUntil(rook::EventWindowDpiChanged);
        EXPECT_EQ(shell.Dpi, static_cast<std::int32_t>(dpi));
        EXPECT_EQ(shell.Zoom, 2);
        const WindowLayout layout = LayoutFor(2, static_cast<std::int32_t>(dpi), 2);
        RECT box{};
        ::GetWindowRect(rook::FindGadget(GridBox)->Handle, &box);
        EXPECT_EQ(box.bottom - box.top, layout.GridBox.Height) << dpi;
        EXPECT_EQ(box.right - box.left, layout.GridBox.Width) << dpi;
        EXPECT_EQ(SizesShown(ColourCanvas).Canvas.cx, 512) << "the zoom stays";
    }
}

// Flash runs a timer only while it is on and the picture has FLASH cells;
// each tick swaps the phase; off, the picture is back in the plain phase.
TEST_F(ShellTest, FlashBlinksOnlyPicturesWithFlashingCells) {
    fixtures::Screen still = fixtures::Noise(40);
    for (std::size_t cell = 0; cell < 768; ++cell) {
        still[6144 + cell] &= 0x7F;
    }
    directory_.Write("still.scr", ScreenBytes(still));
    DropFiles({directory_.PathOf("still.scr")});
    ChooseMenuItem(FlashItem);
    EXPECT_TRUE(shell.Flash);
    EXPECT_TRUE(RadioChecked(FlashItem)) << "checked in the menu";
    EXPECT_FALSE(shell.FlashTimerRuns);
    MSG tick;
    ::Sleep(2 * FlashInterval);
    EXPECT_FALSE(::PeekMessageA(&tick, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE))
        << "no timer wakes the program";

    directory_.Write("flash.scr", ScreenBytes(fixtures::Noise(41)));
    DropFiles({directory_.PathOf("flash.scr")});
    EXPECT_TRUE(shell.FlashTimerRuns);
    std::vector<FlashPhase> phases;
    for (int i = 0; i < 3; ++i) {
        HandleUntil(rook::EventWindowTimer);
        phases.push_back(shell.Phase);
    }
    EXPECT_EQ(phases, (std::vector<FlashPhase>{FlashPhase::Swapped, FlashPhase::Plain,
                                               FlashPhase::Swapped}));
    ChooseMenuItem(FlashItem);
    EXPECT_FALSE(shell.FlashTimerRuns);
    EXPECT_EQ(shell.Phase, FlashPhase::Plain);
    EXPECT_FALSE(RadioChecked(FlashItem));
}

TEST_F(ShellTest, ArrowKeysMoveTheHighlightAndEnterCorrectsItAsAClick) {
    shell.CellKnown = false;
    ChooseMenuItem(CellRightItem);
    EXPECT_EQ(shell.X, 1);
    EXPECT_EQ(shell.Y, 0);
    ChooseMenuItem(CellDownItem);
    ChooseMenuItem(CellDownItem);
    ChooseMenuItem(CellLeftItem);
    ChooseMenuItem(CellLeftItem); // stops at the edge
    EXPECT_EQ(shell.X, 0);
    EXPECT_EQ(shell.Y, 2);
    char title[64] = {};
    ::GetWindowTextA(rook::WindowID(MainWindow), title, sizeof title);
    EXPECT_STREQ(title, "x:0 y:2");
    EXPECT_EQ(StatusShown().substr(0, 17), "start.scr | x:0 y");
    const Bytes before = Screen();
    ChooseMenuItem(CorrectCellItem);
    Bytes expected = before;
    CorrectCell(expected.data(), 0, 2);
    EXPECT_EQ(Screen(), expected);
    ChooseMenuItem(UndoItem);
    EXPECT_EQ(Screen(), before) << "one step, like a click";
    shell.X = 40; // a pointer cell off the screen, from a captured drag
    ChooseMenuItem(CellUpItem);
    EXPECT_EQ(shell.X, 31);
    EXPECT_EQ(shell.Y, 1);
}

// Copy Picture puts the colour picture on the clipboard as a DIB at the
// zoom, without highlight or grid; another process would read it alike.
TEST_F(ShellTest, CopyPutsTheColourPictureOnTheClipboard) {
    Click(4, 4);
    ::SendMessageA(rook::FindGadget(GridBox)->Handle, BM_SETCHECK, BST_CHECKED, 0);
    ChooseMenuItem(CopyPictureItem);
    ::SendMessageA(rook::FindGadget(GridBox)->Handle, BM_SETCHECK, 0, 0);
    EXPECT_FALSE(boxSeen) << boxText;
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HANDLE data = ::GetClipboardData(CF_DIB);
    ASSERT_NE(data, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(data));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, 512);
    EXPECT_EQ(header->biHeight, 384);
    EXPECT_EQ(header->biBitCount, 24);
    std::vector<rook::Colour> picture(256 * 192);
    ColourPicture(shell.Screen, picture.data());
    const auto* rows = reinterpret_cast<const std::uint8_t*>(header + 1);
    std::int32_t wrong = 0;
    for (std::int32_t y = 0; y < 384; ++y) {
        const std::uint8_t* row = rows + (383 - y) * 1536;
        for (std::int32_t x = 0; x < 512; ++x) {
            const rook::Colour colour = picture[(y / 2) * 256 + x / 2];
            const rook::Colour shown = row[x * 3 + 2] | row[x * 3 + 1] << 8 | row[x * 3] << 16;
            wrong += shown != colour ? 1 : 0;
        }
    }
    ::GlobalUnlock(data);
    ::CloseClipboard();
    EXPECT_EQ(wrong, 0) << "pixels unlike the colour picture";
}

TEST_F(ShellTest, ExportGifWritesWhereTheDialogSays) {
    dialogChoice = Wide(directory_.PathOf("out"));
    ChooseMenuItem(ExportGifItem);
    dialogChoice.clear();
    EXPECT_EQ(dialogName, L"start.gif");
    EXPECT_FALSE(boxSeen) << boxText;
    const Bytes gif = directory_.Read("out.gif");
    ASSERT_GE(gif.size(), 6u);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
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
