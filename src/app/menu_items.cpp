#include "app/menu_items.h"

#include "app/file_commands.h"
#include "app/operations.h"
#include "screen/correction_history.h"
#include "window/menu.h"

namespace inkswap {

namespace {

// The items that may be greyed.
constexpr std::int32_t GreyableItems[] = {UndoItem,      RedoItem,       CorrectAllItem,
                                          ExportPngItem, NextScreenItem, PreviousScreenItem};

} // namespace

bool CanChoose(const ShellState& shell, std::int32_t item) {
    switch (item) {
    case UndoItem:
        return CanUndo(*shell.History);
    case RedoItem:
        return CanRedo(*shell.History);
    case CorrectAllItem:
    case ExportPngItem:
        return HasFile(shell);
    case NextScreenItem:
        return HasNextScreen(shell);
    case PreviousScreenItem:
        return HasPreviousScreen(shell);
    default:
        return true;
    }
}

void UpdateMenuItems(ShellState& shell) {
    std::int32_t greyed = 0;
    for (std::int32_t item : GreyableItems) {
        greyed |= CanChoose(shell, item) ? 0 : 1 << item;
    }
    // Only a change is passed on: this runs after every event.
    if (greyed == shell.GreyedItems) {
        return;
    }
    for (std::int32_t item : GreyableItems) {
        rook::DisableMenuItem(FileMenu, item, greyed & (1 << item));
    }
    shell.GreyedItems = greyed;
}

} // namespace inkswap
