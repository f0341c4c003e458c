#include "app/menu_items.h"

#include "app/file_commands.h"
#include "app/operations.h"
#include "app/view_menu.h"
#include "screen/correction_history.h"
#include "window/menu.h"

namespace inkswap {

namespace {

// The items that may be greyed.
constexpr std::int32_t GreyableItems[] = {
    UndoItem,        RedoItem,       CorrectAllItem,     ExportPngItem, ExportGifItem,
    CopyPictureItem, NextScreenItem, PreviousScreenItem, ZoomItem1,     ZoomItem1 + 1,
    ZoomItem1 + 2,   ZoomItem4,      ZoomInItem,         ZoomOutItem};

} // namespace

bool CanChoose(const ShellState& shell, std::int32_t item) {
    switch (item) {
    case UndoItem:
        return CanUndo(*shell.History);
    case RedoItem:
        return CanRedo(*shell.History);
    case CorrectAllItem:
    case ExportPngItem:
    case ExportGifItem:
    case CopyPictureItem:
        return HasFile(shell);
    case NextScreenItem:
        return HasNextScreen(shell);
    case PreviousScreenItem:
        return HasPreviousScreen(shell);
    case ZoomInItem:
        return shell.Zoom < LargestZoom && ZoomFits(shell, shell.Zoom + 1);
    case ZoomOutItem:
        return shell.Zoom > SmallestZoom;
    default:
        break;
    }
    if (item >= ZoomItem1 && item <= ZoomItem4) {
        return ZoomFits(shell, item - ZoomItem1 + SmallestZoom);
    }
    return true;
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
