#include "app/cell_keys.h"

#include "app/operations.h"
#include "app/screen_display.h"
#include "screen/screen_image.h"
#include "window/event_state.h"
#include "window/keyboard_shortcuts.h"

#include <algorithm>

namespace inkswap {

namespace {

struct CellKey {
    std::uint32_t Key;
    std::int32_t Item;
    std::int32_t Dx;
    std::int32_t Dy;
};
constexpr CellKey CellKeys[] = {
    {VK_LEFT, CellLeftItem, -1, 0}, {VK_RIGHT, CellRightItem, 1, 0},    {VK_UP, CellUpItem, 0, -1},
    {VK_DOWN, CellDownItem, 0, 1},  {VK_RETURN, CorrectCellItem, 0, 0},
};

bool IsOnScreen(std::int32_t x, std::int32_t y) {
    return x >= 0 && x < ScreenColumns && y >= 0 && y < ScreenRows;
}

// The highlight one cell further, kept on the screen.
void MoveCell(ShellState& shell, std::int32_t dx, std::int32_t dy) {
    const std::int32_t x = shell.CellKnown ? std::clamp(shell.X, 0, ScreenColumns - 1) : 0;
    const std::int32_t y = shell.CellKnown ? std::clamp(shell.Y, 0, ScreenRows - 1) : 0;
    shell.X = std::clamp(x + dx, 0, ScreenColumns - 1);
    shell.Y = std::clamp(y + dy, 0, ScreenRows - 1);
    shell.CellKnown = true;
    ShowCellInTitle(shell, shell.X, shell.Y);
    ShowPointerCell(shell, shell.X, shell.Y);
}

void CorrectHighlightedCell(ShellState& shell) {
    if (!shell.CellKnown || !IsOnScreen(shell.X, shell.Y)) {
        return;
    }
    CorrectClickedCell(shell, shell.X, shell.Y);
    RedrawScreen(shell, shell.X, shell.Y);
}

} // namespace

void EnableCellKeys() {
    for (const CellKey& key : CellKeys) {
        rook::AddKeyboardShortcut(MainWindow, key.Key, key.Item);
    }
}

void HandleCellKeys(ShellState& shell) {
    if (shell.EventCode != rook::EventMenuAction) {
        return;
    }
    const std::int32_t item = rook::EventMenu();
    for (const CellKey& key : CellKeys) {
        if (key.Item != item) {
            continue;
        }
        if (item == CorrectCellItem) {
            CorrectHighlightedCell(shell);
        } else {
            MoveCell(shell, key.Dx, key.Dy);
        }
        return;
    }
}

} // namespace inkswap
