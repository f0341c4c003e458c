#include "app/file_commands.h"

#include "app/screen_image.h"
#include "app/screen_renderer.h"
#include "gadget/drop_target.h"
#include "runtime/file.h"
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

void ShowError(const char* text) { rook::MessageRequester("Error", text, MB_OK); }

bool HasText(const rook::StringVariable text) { return text != nullptr && text[0] != '\0'; }

// Keeps the text now built at p in a string variable.
void Keep(rook::StringVariable& variable, std::int32_t p) { rook::AssignString(variable, p); }

// Reads a whole screen file into a scratch buffer: the picture changes
// only when every byte of it came.
bool ReadScreenFile(const char* name, std::array<std::uint8_t, ScreenFileSize>& bytes) {
    const bool read = rook::ReadFile(ScreenFile, name) != 0 &&
                      rook::ReadData(ScreenFile, bytes.data(), ScreenFileSize) == ScreenFileSize;
    rook::CloseFile(ScreenFile);
    return read;
}

void Save(const ShellState& shell) {
    if (!HasText(shell.Path)) {
        return; // nothing loaded yet: nothing to save to
    }
    // A save that cannot create or completely write the file says so; the
    // picture stays in memory, so the save can be tried again.
    const bool saved = rook::CreateFile(ScreenFile, shell.Path) != 0 &&
                       rook::WriteData(ScreenFile, shell.Screen, ScreenFileSize) == ScreenFileSize;
    rook::CloseFile(ScreenFile);
    if (!saved) {
        ShowError(UnsavedMessage);
    }
}

} // namespace

void BuildMenu() {
    if (rook::CreateMenu(FileMenu, rook::WindowID(MainWindow)) == 0) {
        return;
    }
    rook::MenuTitle("File");
    rook::MenuItem(OpenItem, "Open..\tCtrl+O");
    rook::MenuItem(SaveItem, "Save\tCtrl+S");
    rook::MenuBar();
    rook::MenuItem(QuitItem, "Quit\tCtrl+Q");
    rook::MenuTitle("Operations");
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
    default: // "Open.." has no action
        break;
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
    if (!IsScreenFileSize(rook::FileSize(shell.DropName))) {
        ShowError(NotAScreenMessage);
        return;
    }
    std::array<std::uint8_t, ScreenFileSize> bytes{};
    if (!ReadScreenFile(shell.DropName, bytes)) {
        // Neither the picture nor the save path changes: a later Save must
        // not write the old picture over a file that could not be read.
        ShowError(UnreadableMessage);
        return;
    }
    std::memcpy(shell.Screen, bytes.data(), bytes.size());
    RedrawScreen(shell.Screen, NoHighlight, NoHighlight);
    rook::AppendString(shell.DropName);
    Keep(shell.Path, p);
}

} // namespace inkswap
