#include "app/operations.h"

#include "app/file_commands.h"
#include "app/file_dialogs.h"
#include "app/gif_export.h"
#include "app/menu_items.h"
#include "app/picture_copy.h"
#include "app/png_export.h"
#include "app/screen_display.h"
#include "screen/correction_history.h"
#include "screen/proposed_name.h"
#include "screen/screen_image.h"
#include "window/event_state.h"
#include "window/keyboard_shortcuts.h"
#include "window/menu.h"
#include "window/window.h"

namespace inkswap {

namespace {

constexpr std::uint32_t ControlZ = rook::ShortcutControl | 'Z';
constexpr std::uint32_t ControlY = rook::ShortcutControl | 'Y';
constexpr std::uint32_t ControlShiftZ = rook::ShortcutControl | rook::ShortcutShift | 'Z';
constexpr std::uint32_t ControlE = rook::ShortcutControl | 'E';
constexpr std::uint32_t ControlShiftE = rook::ShortcutControl | rook::ShortcutShift | 'E';
constexpr std::uint32_t ControlC = rook::ShortcutControl | 'C';

void CorrectAll(ShellState& shell) {
    std::uint16_t cells[CellCount];
    const std::int32_t count = CorrectAllCells(shell.Screen, cells);
    if (count == 0) {
        return; // every cell has as much paper as ink already
    }
    RecordStep(*shell.History, cells, count);
    RedrawKeepingHighlight(shell);
}

void Undo(ShellState& shell) {
    if (UndoStep(*shell.History, shell.Screen)) {
        RedrawKeepingHighlight(shell);
    }
}

void Redo(ShellState& shell) {
    if (RedoStep(*shell.History, shell.Screen)) {
        RedrawKeepingHighlight(shell);
    }
}

// What an export writes: its dialog's kind, the extension it proposes and
// the writer.
struct Export {
    SavedKind Kind;
    const char* Extension;
    bool (*Write)(const char* name, const std::uint8_t* screen);
};
constexpr Export PngExport = {SavedKind::PngImage, PngExtension, ExportPng};
constexpr Export GifExport = {SavedKind::GifImage, GifExtension, ExportGif};

void ExportPicture(const ShellState& shell, const Export& export_) {
    Utf8Name proposed{};
    ProposeFileName(shell.Path, shell.File, shell.ScreenIndex, export_.Extension, proposed.data(),
                    proposed.size());
    Utf8Name target{};
    if (!AskForSaveName(rook::WindowID(MainWindow), proposed.data(), export_.Kind, target)) {
        return; // Cancel changes nothing
    }
    if (!export_.Write(target.data(), shell.Screen)) {
        ShowError(UnexportedMessage);
    }
}

void Copy(const ShellState& shell) {
    if (!CopyPicture(rook::WindowID(MainWindow), shell.Screen, shell.Zoom)) {
        ShowError(UncopiedMessage);
    }
}

} // namespace

void BuildOperationsMenu() {
    rook::MenuTitle("Operations");
    rook::MenuItem(UndoItem, "Undo\tCtrl+Z");
    rook::MenuItem(RedoItem, "Redo\tCtrl+Y");
    rook::MenuBar();
    rook::MenuItem(CorrectAllItem, "Correct All Cells");
    rook::MenuBar();
    rook::MenuItem(ExportPngItem, "Export PNG...\tCtrl+E");
    rook::MenuItem(ExportGifItem, "Export GIF...\tCtrl+Shift+E");
    rook::MenuItem(CopyPictureItem, "Copy Picture\tCtrl+C");
}

void EnableOperationShortcuts() {
    rook::AddKeyboardShortcut(MainWindow, ControlZ, UndoItem);
    rook::AddKeyboardShortcut(MainWindow, ControlY, RedoItem);
    rook::AddKeyboardShortcut(MainWindow, ControlShiftZ, RedoItem);
    rook::AddKeyboardShortcut(MainWindow, ControlE, ExportPngItem);
    rook::AddKeyboardShortcut(MainWindow, ControlShiftE, ExportGifItem);
    rook::AddKeyboardShortcut(MainWindow, ControlC, CopyPictureItem);
}

void CorrectClickedCell(ShellState& shell, std::int32_t x, std::int32_t y) {
    if (x < 0 || x >= ScreenColumns || y < 0 || y >= ScreenRows) {
        return;
    }
    CorrectCell(shell.Screen, x, y);
    const auto cell = static_cast<std::uint16_t>(y * ScreenColumns + x);
    RecordStep(*shell.History, &cell, 1);
}

void HandleOperationEvent(ShellState& shell) {
    if (shell.EventCode != rook::EventMenuAction) {
        return;
    }
    // A shortcut pressed while its item is greyed gives no event; this
    // guards against one that comes from elsewhere all the same.
    const std::int32_t item = rook::EventMenu();
    if (!CanChoose(shell, item)) {
        return;
    }
    switch (item) {
    case UndoItem:
        Undo(shell);
        break;
    case RedoItem:
        Redo(shell);
        break;
    case CorrectAllItem:
        CorrectAll(shell);
        break;
    case ExportPngItem:
        ExportPicture(shell, PngExport);
        break;
    case ExportGifItem:
        ExportPicture(shell, GifExport);
        break;
    case CopyPictureItem:
        Copy(shell);
        break;
    default:
        break;
    }
}

} // namespace inkswap
