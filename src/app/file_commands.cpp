#include "app/file_commands.h"

#include "app/correction_history.h"
#include "app/file_dialogs.h"
#include "app/screen_file.h"
#include "app/screen_image.h"
#include "app/screen_renderer.h"
#include "app/status_line.h"
#include "gadget/drop_data.h"
#include "gadget/drop_target.h"
#include "runtime/file.h"
#include "runtime/string_operations.h"
#include "window/event_state.h"
#include "window/keyboard_shortcuts.h"
#include "window/menu.h"
#include "window/requester.h"
#include "window/window.h"

#include <array>
#include <cstring>

namespace inkswap {

namespace {

constexpr std::uint32_t ControlO = rook::ShortcutControl | 'O';
constexpr std::uint32_t ControlS = rook::ShortcutControl | 'S';
constexpr std::uint32_t ControlQ = rook::ShortcutControl | 'Q';

// Keeps the text now built at p in a string variable.
void Keep(rook::StringVariable& variable, std::int32_t p) {
    rook::AssignString(variable, p);
}

// The new picture is now the one on disk.
void MarkSaved(ShellState& shell) {
    std::memcpy(shell.Saved, shell.Screen, static_cast<std::size_t>(ScreenFileSize));
}

// A save that cannot write the whole file says so; the picture stays in
// memory, so the save can be tried again, and the file on disk stays as it
// was.
bool Save(ShellState& shell) {
    if (!HasFile(shell)) {
        return false; // nothing loaded yet: nothing to save to
    }
    if (!SaveScreenFile(shell.Path, shell.Screen)) {
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
    const std::int32_t p = rook::TempTop();
    if (!IsScreenFileSize(rook::FileSize(shell.DropName))) {
        ShowError(NotAScreenMessage);
        return;
    }
    std::array<std::uint8_t, ScreenFileSize> bytes{};
    // Neither the picture nor the save path changes on a failed load: a
    // later Save must not write the old picture over a file that was not
    // read.
    switch (LoadScreenFile(shell.DropName, bytes.data())) {
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
    std::memcpy(shell.Screen, bytes.data(), bytes.size());
    MarkSaved(shell);
    ClearHistory(*shell.History); // the corrections were made to another picture
    RedrawScreen(shell.Screen, NoHighlight, NoHighlight);
    rook::AppendString(shell.DropName);
    Keep(shell.Path, p);
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
    rook::MenuBar();
    rook::MenuItem(QuitItem, "Quit\tCtrl+Q");
}

void EnableDropsAndShortcuts() {
    rook::EnableGadgetDrop(BitmapCanvas, rook::FormatFileList, rook::ActionCopy);
    rook::EnableGadgetDrop(ColourCanvas, rook::FormatFileList, rook::ActionCopy);
    rook::AddKeyboardShortcut(MainWindow, ControlO, OpenItem);
    rook::AddKeyboardShortcut(MainWindow, ControlS, SaveItem);
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
