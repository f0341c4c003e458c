#include "app/operations.h"

#include "app/correction_history.h"
#include "app/file_commands.h"
#include "app/file_dialogs.h"
#include "app/png_export.h"
#include "app/screen_display.h"
#include "app/screen_image.h"
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

constexpr std::int32_t OperationItems[] = {UndoItem, RedoItem, CorrectAllItem, ExportPngItem};

void CorrectAll(ShellState& shell) {
    std::uint16_t cells[CellCount];
    const std::int32_t count = CorrectAllCells(shell.Screen, cells);
    if (count == 0) {
        return; // every cell has as much paper as ink already
    }
    RecordStep(*shell.History, cells, count);
    RedrawKeepingHighlight(shell.Screen);
}

void Undo(ShellState& shell) {
    if (UndoStep(*shell.History, shell.Screen)) {
        RedrawKeepingHighlight(shell.Screen);
    }
}

void Redo(ShellState& shell) {
    if (RedoStep(*shell.History, shell.Screen)) {
        RedrawKeepingHighlight(shell.Screen);
    }
}

void ExportPicture(const ShellState& shell) {
    Utf8Name target{};
    if (!AskForPngName(rook::WindowID(MainWindow), shell.Path, target)) {
        return; // Cancel changes nothing
    }
    if (!ExportPng(target.data(), shell.Screen)) {
        ShowError(UnexportedMessage);
    }
}

bool CanDo(const ShellState& shell, std::int32_t item) {
    switch (item) {
    case UndoItem:
        return CanUndo(*shell.History);
    case RedoItem:
        return CanRedo(*shell.History);
    default:
        return HasFile(shell);
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
}

void EnableOperationShortcuts() {
    rook::AddKeyboardShortcut(MainWindow, ControlZ, UndoItem);
    rook::AddKeyboardShortcut(MainWindow, ControlY, RedoItem);
    rook::AddKeyboardShortcut(MainWindow, ControlShiftZ, RedoItem);
    rook::AddKeyboardShortcut(MainWindow, ControlE, ExportPngItem);
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
    if (item < UndoItem || item > ExportPngItem || !CanDo(shell, item)) {
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
    default:
        ExportPicture(shell);
        break;
    }
}

void UpdateOperationItems(ShellState& shell) {
    std::int32_t greyed = 0;
    for (std::int32_t item : OperationItems) {
        greyed |= CanDo(shell, item) ? 0 : 1 << item;
    }
    // Only a change is passed on: this runs after every event.
    if (greyed == shell.GreyedItems) {
        return;
    }
    for (std::int32_t item : OperationItems) {
        rook::DisableMenuItem(FileMenu, item, greyed & (1 << item));
    }
    shell.GreyedItems = greyed;
}

} // namespace inkswap
