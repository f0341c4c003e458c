#include "app/view_menu.h"

#include "app/file_commands.h"
#include "app/gadget_font.h"
#include "app/screen_display.h"
#include "gadget/canvas.h"
#include "gadget/gadget.h"
#include "platform/win32/dpi.h"
#include "window/event_state.h"
#include "window/keyboard_shortcuts.h"
#include "window/menu.h"
#include "window/window.h"
#include "window/window_timer.h"

namespace inkswap {

namespace {

constexpr std::uint32_t Control = rook::ShortcutControl;

struct ViewShortcut {
    std::uint32_t Keys;
    std::int32_t Item;
};
constexpr ViewShortcut ViewShortcuts[] = {
    {Control | '1', ZoomItem1},
    {Control | '2', ZoomItem1 + 1},
    {Control | '3', ZoomItem1 + 2},
    {Control | '4', ZoomItem4},
    {Control | VK_OEM_PLUS, ZoomInItem},
    {Control | VK_ADD, ZoomInItem},
    {Control | VK_OEM_MINUS, ZoomOutItem},
    {Control | VK_SUBTRACT, ZoomOutItem},
    {'F', FlashItem},
};

constexpr const char* ZoomTexts[] = {"Zoom 1x\tCtrl+1", "Zoom 2x\tCtrl+2", "Zoom 3x\tCtrl+3",
                                     "Zoom 4x\tCtrl+4"};

std::int32_t CanvasBorder(std::int32_t dpi) {
    return rook::win32::SystemMetricForDpi(SM_CXEDGE, static_cast<UINT>(dpi));
}

WindowLayout LayoutAt(std::int32_t zoom, std::int32_t dpi) {
    return LayoutFor(zoom, dpi, CanvasBorder(dpi));
}

void FindFittingZooms(ShellState& shell) {
    shell.FittingZooms = 0;
    for (std::int32_t zoom = SmallestZoom; zoom <= LargestZoom; ++zoom) {
        const WindowLayout layout = LayoutAt(zoom, shell.Dpi);
        if (rook::WindowSizeFits(MainWindow, layout.ClientWidth, layout.ClientHeight)) {
            shell.FittingZooms |= 1 << zoom;
        }
    }
}

void Place(std::int32_t gadget, const Placement& at) {
    rook::ResizeGadget(gadget, at.X, at.Y, at.Width, at.Height);
}

// A new zoom: the window and the canvases take its sizes and the pictures
// are drawn again, the highlight where it was.
void SetZoom(ShellState& shell, std::int32_t zoom) {
    if (zoom == shell.Zoom || zoom < SmallestZoom || zoom > LargestZoom || !ZoomFits(shell, zoom)) {
        return;
    }
    shell.Zoom = zoom;
    ApplyLayout(shell, true);
    ForgetShownScreen();
    RedrawKeepingHighlight(shell);
    MarkViewItems(shell);
}

void ToggleFlash(ShellState& shell) {
    shell.Flash = !shell.Flash;
    MarkViewItems(shell);
    UpdateFlashTimer(shell);
}

// The other phase, drawn in the flashing cells only.
void Blink(ShellState& shell) {
    shell.Phase = shell.Phase == FlashPhase::Plain ? FlashPhase::Swapped : FlashPhase::Plain;
    ShowFlashPhase(shell);
}

// The window is on a monitor of another DPI and has taken the rectangle
// Windows suggests: the gadgets follow the new DPI, the pictures keep
// their zoom.
void FollowDpi(ShellState& shell, std::int32_t dpi) {
    shell.Dpi = dpi;
    ApplyLayout(shell, false);
    FindFittingZooms(shell);
    ForgetShownScreen();
    RedrawKeepingHighlight(shell);
}

void HandleViewItem(ShellState& shell, std::int32_t item) {
    if (item >= ZoomItem1 && item <= ZoomItem4) {
        SetZoom(shell, item - ZoomItem1 + SmallestZoom);
    } else if (item == ZoomInItem) {
        SetZoom(shell, shell.Zoom + 1);
    } else if (item == ZoomOutItem) {
        SetZoom(shell, shell.Zoom - 1);
    } else if (item == FlashItem) {
        ToggleFlash(shell);
    }
}

} // namespace

void BuildViewMenu() {
    rook::MenuTitle("View");
    for (std::int32_t zoom = SmallestZoom; zoom <= LargestZoom; ++zoom) {
        rook::MenuItem(ZoomItem1 + zoom - SmallestZoom, ZoomTexts[zoom - SmallestZoom]);
    }
    rook::MenuItem(ZoomInItem, "Zoom In\tCtrl+=");
    rook::MenuItem(ZoomOutItem, "Zoom Out\tCtrl+-");
    rook::MenuBar();
    rook::MenuItem(FlashItem, "Flash\tF");
}

void EnableViewShortcuts() {
    for (const ViewShortcut& shortcut : ViewShortcuts) {
        rook::AddKeyboardShortcut(MainWindow, shortcut.Keys, shortcut.Item);
    }
}

WindowLayout CurrentLayout(const ShellState& shell) {
    return LayoutAt(shell.Zoom, shell.Dpi);
}

void ChooseStartZoom(ShellState& shell) {
    shell.Dpi = static_cast<std::int32_t>(rook::win32::WindowDpi(rook::WindowID(MainWindow)));
    FindFittingZooms(shell);
    shell.Zoom = SmallestZoom;
    for (std::int32_t zoom = LargestZoom; zoom > SmallestZoom; --zoom) {
        if (zoom * static_cast<std::int32_t>(rook::win32::StandardDpi) <= 2 * shell.Dpi &&
            ZoomFits(shell, zoom)) {
            shell.Zoom = zoom;
            break;
        }
    }
}

void ApplyLayout(ShellState& shell, bool resize) {
    const WindowLayout layout = CurrentLayout(shell);
    // A growing window first, so that the gadgets never lie outside it.
    if (resize) {
        rook::ResizeWindow(MainWindow, layout.ClientWidth, layout.ClientHeight);
    }
    Place(BitmapCanvas, layout.BitmapCanvas);
    Place(ColourCanvas, layout.ColourCanvas);
    Place(CorrectModeBox, layout.CorrectModeBox);
    Place(GridBox, layout.GridBox);
    Place(StatusLine, layout.StatusLine);
    ApplyGadgetFont(shell.Dpi);
}

void HandleViewEvent(ShellState& shell) {
    switch (shell.EventCode) {
    case rook::EventMenuAction:
        HandleViewItem(shell, rook::EventMenu());
        break;
    case rook::EventWindowTimer:
        if (rook::EventTimer() == FlashTimer && shell.FlashTimerRuns) {
            Blink(shell);
        }
        break;
    case rook::EventWindowMoved:
        FindFittingZooms(shell);
        break;
    case rook::EventWindowDpiChanged:
        FollowDpi(shell, rook::EventDpi());
        break;
    default:
        break;
    }
}

bool ZoomFits(const ShellState& shell, std::int32_t zoom) {
    return (shell.FittingZooms & (1 << zoom)) != 0;
}

void MarkViewItems(const ShellState& shell) {
    rook::SetMenuRadioItem(FileMenu, ZoomItem1, ZoomItem4, ZoomItem1 + shell.Zoom - SmallestZoom);
    rook::SetMenuItemState(FileMenu, FlashItem, shell.Flash ? 1 : 0);
}

void UpdateFlashTimer(ShellState& shell) {
    const bool wanted = shell.Flash && HasFlashingCells(shell.Screen);
    if (wanted == shell.FlashTimerRuns) {
        return;
    }
    shell.FlashTimerRuns = wanted;
    if (wanted) {
        shell.FlashTimerRuns = rook::AddWindowTimer(MainWindow, FlashTimer, FlashInterval);
        return;
    }
    rook::RemoveWindowTimer(MainWindow, FlashTimer);
    if (shell.Phase != FlashPhase::Plain) {
        shell.Phase = FlashPhase::Plain;
        ShowFlashPhase(shell);
    }
}

} // namespace inkswap
