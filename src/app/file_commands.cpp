#include "app/file_commands.h"

#include "app/file_dialogs.h"
#include "app/screen_display.h"
#include "gadget/drop_data.h"
#include "gadget/drop_target.h"
#include "runtime/file.h"
#include "runtime/string_operations.h"
#include "screen/correction_history.h"
#include "screen/proposed_name.h"
#include "screen/screen_file.h"
#include "screen/screen_image.h"
#include "screen/screen_renderer.h"
#include "screen/status_line.h"
#include "window/event_state.h"
#include "window/keyboard_shortcuts.h"
#include "window/menu.h"
#include "window/requester.h"
#include "window/window.h"

#include <cstring>
#include <utility>

namespace inkswap {

namespace {

constexpr std::uint32_t ControlO = rook::ShortcutControl | 'O';
constexpr std::uint32_t ControlS = rook::ShortcutControl | 'S';
constexpr std::uint32_t ControlShiftS = rook::ShortcutControl | rook::ShortcutShift | 'S';
constexpr std::uint32_t ControlQ = rook::ShortcutControl | 'Q';
constexpr std::uint32_t PageDown = VK_NEXT;
constexpr std::uint32_t PageUp = VK_PRIOR;

// Keeps the text now built at p in a string variable.
void Keep(rook::StringVariable& variable, std::int32_t p) {
    rook::AssignString(variable, p);
}

void SetPath(ShellState& shell, const char* name) {
    const std::int32_t p = rook::TempTop();
    rook::AppendString(name);
    Keep(shell.Path, p);
}

// The new picture is now the one on disk.
void MarkSaved(ShellState& shell) {
    std::memcpy(shell.Saved, shell.Screen, static_cast<std::size_t>(ScreenFileSize));
}

// Screen `index` of the file becomes the picture, with a history of its
// own: the corrections were made to another picture.
void TakeScreen(ShellState& shell, std::size_t index) {
    shell.ScreenIndex = index;
    CopyScreen(shell.File, index, shell.Screen);
    MarkSaved(shell);
    ClearHistory(*shell.History);
}

// Writes the picture as a plain screen file of a name the user chooses;
// from then on the picture belongs to that file. Cancel saves nothing.
bool SaveAs(ShellState& shell) {
    Utf8Name proposed{};
    ProposeFileName(shell.Path, shell.File, shell.ScreenIndex, ScreenExtension, proposed.data(),
                    proposed.size());
    Utf8Name target{};
    if (!AskForSaveName(rook::WindowID(MainWindow), proposed.data(), SavedKind::Screen, target)) {
        return false;
    }
    if (!SaveScreenFileAs(target.data(), shell.File, shell.Screen)) {
        ShowError(UnsavedMessage);
        return false;
    }
    shell.ScreenIndex = 0;
    MarkSaved(shell);
    SetPath(shell, target.data());
    return true;
}

// Puts the picture back where it came from in its file. A save that cannot
// write the whole file says so; the picture stays in memory, so the save
// can be tried again, and the file on disk stays as it was. A picture that
// came from no file is saved as a new one.
bool Save(ShellState& shell) {
    if (!HasFile(shell)) {
        return SaveAs(shell);
    }
    if (!SaveScreenFile(shell.Path, shell.File, shell.ScreenIndex, shell.Screen)) {
        ShowError(UnsavedMessage);
        return false;
    }
    MarkSaved(shell);
    return true;
}

std::int32_t AskToSave(const char* path) {
    const rook::TempExpression text;
    rook::AppendString("Save changes to ");
    rook::AppendString(FileNameOf(path));
    rook::AppendString("?");
    // Keep the terminator out of reach of the call's own string work.
    rook::TempReserve(1, rook::TempTop());
    return rook::MessageRequester(QuestionTitle, text.Text(), MB_YESNOCANCEL);
}

// Loads the file named by shell.DropName: the one path of every file that
// comes in (a drop, Open.., the command line).
void LoadDropName(ShellState& shell) {
    if (rook::FileSize(shell.DropName) < 0) {
        ShowError(NotAScreenMessage); // no such file, or a folder
        return;
    }
    ScreenFile loaded{};
    // Neither the picture nor the save path changes on a failed load: a
    // later Save must not write the old picture over a file that was not
    // read.
    switch (LoadScreenFile(shell.DropName, loaded)) {
    case ScreenLoad::Unreadable:
        ShowError(UnreadableMessage);
        return;
    case ScreenLoad::NotAScreen:
        ShowError(NotAScreenMessage);
        return;
    case ScreenLoad::Loaded:
        break;
    }
    // Asked only now, when the new picture really would replace this one.
    if (!MayDiscardPicture(shell)) {
        return;
    }
    shell.File = std::move(loaded);
    TakeScreen(shell, 0);
    RedrawScreen(shell, NoHighlight, NoHighlight);
    SetPath(shell, shell.DropName);
}

// Another screen of the file becomes the picture, as a new file would.
void GoToScreen(ShellState& shell, std::size_t index) {
    if (!HasFile(shell) || index >= shell.File.Screens.size() || !MayDiscardPicture(shell)) {
        return;
    }
    TakeScreen(shell, index);
    RedrawKeepingHighlight(shell); // the pointer stays where it was
}

void OpenFromDialog(ShellState& shell) {
    Utf8Name chosen{};
    if (!AskForScreenFile(rook::WindowID(MainWindow), shell.Path, chosen)) {
        return; // Cancel changes nothing
    }
    OpenScreenFile(shell, chosen.data());
}

} // namespace

void ShowError(const char* text) {
    rook::MessageRequester("Error", text, MB_OK);
}

bool HasFile(const ShellState& shell) {
    return shell.Path != nullptr && shell.Path[0] != '\0';
}

bool HasNextScreen(const ShellState& shell) {
    return HasFile(shell) && shell.ScreenIndex + 1 < shell.File.Screens.size();
}

bool HasPreviousScreen(const ShellState& shell) {
    return HasFile(shell) && shell.ScreenIndex > 0;
}

bool IsModified(const ShellState& shell) {
    return HasFile(shell) &&
           std::memcmp(shell.Screen, shell.Saved, static_cast<std::size_t>(ScreenFileSize)) != 0;
}

bool MayDiscardPicture(ShellState& shell) {
    if (!IsModified(shell)) {
        return true;
    }
    switch (AskToSave(shell.Path)) {
    case IDYES:
        return Save(shell);
    case IDNO:
        return true;
    default: // Cancel, Escape, or no box at all
        return false;
    }
}

void BuildMenu() {
    if (rook::CreateMenu(FileMenu, rook::WindowID(MainWindow)) == 0) {
        return;
    }
    rook::MenuTitle("File");
    rook::MenuItem(OpenItem, "Open..\tCtrl+O");
    rook::MenuItem(SaveItem, "Save\tCtrl+S");
    rook::MenuItem(SaveAsItem, "Save As...\tCtrl+Shift+S");
    rook::MenuBar();
    rook::MenuItem(NextScreenItem, "Next Screen\tPage Down");
    rook::MenuItem(PreviousScreenItem, "Previous Screen\tPage Up");
    rook::MenuBar();
    rook::MenuItem(QuitItem, "Quit\tCtrl+Q");
}

void EnableDropsAndShortcuts() {
    rook::EnableGadgetDrop(BitmapCanvas, rook::FormatFileList, rook::ActionCopy);
    rook::EnableGadgetDrop(ColourCanvas, rook::FormatFileList, rook::ActionCopy);
    rook::AddKeyboardShortcut(MainWindow, ControlO, OpenItem);
    rook::AddKeyboardShortcut(MainWindow, ControlS, SaveItem);
    rook::AddKeyboardShortcut(MainWindow, ControlShiftS, SaveAsItem);
    rook::AddKeyboardShortcut(MainWindow, PageDown, NextScreenItem);
    rook::AddKeyboardShortcut(MainWindow, PageUp, PreviousScreenItem);
    rook::AddKeyboardShortcut(MainWindow, ControlQ, QuitItem);
}

void HandleMenuEvent(ShellState& shell) {
    if (shell.EventCode != rook::EventMenuAction) {
        return;
    }
    switch (rook::EventMenu()) {
    case SaveItem:
        Save(shell);
        break;
    case SaveAsItem:
        SaveAs(shell);
        break;
    case NextScreenItem:
        GoToScreen(shell, shell.ScreenIndex + 1);
        break;
    case PreviousScreenItem:
        if (shell.ScreenIndex > 0) {
            GoToScreen(shell, shell.ScreenIndex - 1);
        }
        break;
    case QuitItem:
        shell.EventCode = rook::EventCloseWindow;
        break;
    case OpenItem:
        OpenFromDialog(shell);
        break;
    default:
        break;
    }
}

void HandleCloseRequest(ShellState& shell) {
    if (shell.EventCode == rook::EventCloseWindow && !MayDiscardPicture(shell)) {
        shell.EventCode = 0; // stay
    }
}

void IgnoreBareCloseMessage(ShellState& shell) {
    if (shell.EventCode == rook::EventCloseWindow &&
        rook::GetEventState().Current.QueuedCode == 0) {
        shell.EventCode = 0;
    }
}

void HandleDropEvent(ShellState& shell) {
    if (shell.EventCode != rook::EventGadgetDrop) {
        return;
    }
    const std::int32_t p = rook::TempTop();
    rook::EventDropFiles(p);
    Keep(shell.DropList, p);
    rook::StringField(shell.DropList, 1, "\n", p);
    Keep(shell.DropName, p);
    LoadDropName(shell);
}

void OpenScreenFile(ShellState& shell, const char* name) {
    const std::int32_t p = rook::TempTop();
    rook::AppendString(name);
    Keep(shell.DropName, p);
    LoadDropName(shell);
}

} // namespace inkswap
