#include "app/shell.h"

#include "app/cell_keys.h"
#include "app/command_line.h"
#include "app/file_commands.h"
#include "app/gadget_font.h"
#include "app/help_menu.h"
#include "app/menu_items.h"
#include "app/operations.h"
#include "app/screen_display.h"
#include "app/status_display.h"
#include "app/view_menu.h"
#include "app/window_layout.h"
#include "drawing/drawing_context.h"
#include "gadget/canvas.h"
#include "gadget/check_box.h"
#include "gadget/gadget.h"
#include "gadget/text_gadget.h"
#include "runtime/memory_block.h"
#include "runtime/string_operations.h"
#include "runtime/toolkit_heap.h"
#include "screen/screen_image.h"
#include "screen/screen_renderer.h"
#include "screen/status_line.h"
#include "toolkit/startup.h"
#include "window/event_state.h"
#include "window/window.h"
#include "window/window_procedure.h"

#include <initializer_list>

namespace inkswap {

namespace {

constexpr std::uint32_t MainWindowFlags = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
// The canvases' sizes are their pictures', the border outside.
constexpr std::uint32_t CanvasFlags =
    rook::CanvasFlagBorder | rook::CanvasFlagConfine | rook::CanvasFlagClientSize;

void MakeCanvas(std::int32_t number, const Placement& at) {
    rook::CanvasGadget(number, at.X, at.Y, at.Width, at.Height, CanvasFlags);
}

void MakeCheckBox(std::int32_t number, const Placement& at, const char* text) {
    rook::CheckBoxGadget(number, at.X, at.Y, at.Width, at.Height, text);
}

// The window as it opens at 2x and 96 DPI; then, at the zoom its DPI
// asks for, the gadgets where the layout puts them and the window the size
// it gives.
bool BuildWindow(ShellState& shell) {
    const Placement& window = MainWindowPlacement;
    if (rook::OpenWindow(MainWindow, window.X, window.Y, window.Width, window.Height, InitialTitle,
                         MainWindowFlags) == 0) {
        return false;
    }
    BuildMenu();
    BuildOperationsMenu();
    BuildViewMenu();
    BuildHelpMenu();
    ChooseStartZoom(shell);
    const WindowLayout layout = CurrentLayout(shell);
    MakeCanvas(BitmapCanvas, layout.BitmapCanvas);
    MakeCanvas(ColourCanvas, layout.ColourCanvas);
    MakeCheckBox(CorrectModeBox, layout.CorrectModeBox, "Correct Mode");
    MakeCheckBox(GridBox, layout.GridBox, "Grid");
    const Placement& status = layout.StatusLine;
    rook::TextGadget(StatusLine, status.X, status.Y, status.Width, status.Height, NoFileText);
    const bool opened = layout.ClientWidth == window.Width && layout.ClientHeight == window.Height;
    ApplyLayout(shell, !opened);
    MarkViewItems(shell);
    return true;
}

// The pointer's cell: canvas pixels divided by the cell's size at the zoom,
// rounding towards minus infinity.
std::int32_t CellOf(std::int32_t pixel, std::int32_t zoom) {
    const std::int32_t size = CellSize(zoom);
    return pixel >= 0 ? pixel / size : -((size - 1 - pixel) / size);
}

void ReadPointerCell(ShellState& shell, std::int32_t gadget) {
    shell.CellKnown = true;
    shell.X = CellOf(rook::GetGadgetAttribute(gadget, rook::CanvasAttrPointerX), shell.Zoom);
    shell.Y = CellOf(rook::GetGadgetAttribute(gadget, rook::CanvasAttrPointerY), shell.Zoom);
}

void HandleCanvasEvent(ShellState& shell, std::int32_t gadget) {
    if (rook::EventType() == rook::LeftPress) {
        ReadPointerCell(shell, gadget);
        CorrectClickedCell(shell, shell.X, shell.Y);
        RedrawScreen(shell, shell.X, shell.Y);
    }
    if (rook::EventType() == rook::PointerMove) {
        ReadPointerCell(shell, gadget);
        ShowCellInTitle(shell, shell.X, shell.Y);
        ShowPointerCell(shell, shell.X, shell.Y);
    }
}

void HandleGadgetEvent(ShellState& shell) {
    if (shell.EventCode != rook::EventGadgetAction) {
        return;
    }
    const std::int32_t gadget = rook::EventGadget();
    if (gadget == GridBox) {
        RedrawScreen(shell, NoHighlight, NoHighlight);
        return;
    }
    if (gadget == BitmapCanvas || gadget == ColourCanvas) {
        HandleCanvasEvent(shell, gadget);
    }
}

// The status line follows whatever the event changed: the file, its
// modified mark, the cell under the pointer or that cell's bytes.
void UpdateStatus(const ShellState& shell) {
    ScreenLabel label;
    FormatScreenLabel(shell.File, shell.ScreenIndex, label);
    ShowStatus(MakeStatusFacts(shell.Path, label.data(), IsModified(shell), shell.CellKnown,
                               CellFactsOf(shell.Screen, shell.X, shell.Y)));
}

// A file named on the command line is loaded as the window shows, by the
// path of a dropped one.
void OpenNamedFile(ShellState& shell) {
    Utf8Name name{};
    if (FirstNamedFile(name)) {
        OpenScreenFile(shell, name.data());
    }
}

} // namespace

// The title "x:<column> y:<row>", built on the temporary string stack. A
// title that would not change is not set again: setting it repaints the
// caption, which costs as much as a whole redraw.
void ShowCellInTitle(ShellState& shell, std::int32_t x, std::int32_t y) {
    if (shell.TitleShown && shell.TitleX == x && shell.TitleY == y) {
        return;
    }
    shell.TitleShown = true;
    shell.TitleX = x;
    shell.TitleY = y;
    const rook::TempExpression title;
    rook::AppendString("x:");
    rook::Str(x, rook::TempTop());
    rook::AppendString(" y:");
    rook::Str(y, rook::TempTop());
    // Keep the terminator out of reach of the call's own string work.
    rook::TempReserve(1, rook::TempTop());
    rook::SetWindowTitle(MainWindow, title.Text());
}

void HandleEvent(ShellState& shell) {
    IgnoreBareCloseMessage(shell);
    HandleMenuEvent(shell);
    HandleOperationEvent(shell);
    HandleViewEvent(shell);
    HandleHelpEvent(shell);
    HandleCellKeys(shell);
    HandleCloseRequest(shell);
    HandleDropEvent(shell);
    HandleGadgetEvent(shell);
    UpdateFlashTimer(shell);
    UpdateStatus(shell);
    UpdateMenuItems(shell);
}

StartResult StartShell(ShellState& shell) {
    if (!rook::ToolkitStart()) {
        return StartResult::NoToolkit;
    }
    shell.Screen = static_cast<std::uint8_t*>(rook::AllocateMemory(ScreenFileSize));
    shell.Saved = static_cast<std::uint8_t*>(rook::AllocateMemory(ScreenFileSize));
    shell.History =
        static_cast<CorrectionHistory*>(rook::AllocateMemory(sizeof(CorrectionHistory)));
    shell.GreyedItems = -1;
    if (shell.Screen == nullptr || shell.Saved == nullptr || shell.History == nullptr) {
        return StartResult::NoMemory;
    }
    ForgetShownScreen(); // new canvases show nothing drawn yet
    ForgetShownStatus();
    if (!BuildWindow(shell)) {
        return StartResult::NoWindow;
    }
    EnableDropsAndShortcuts();
    EnableOperationShortcuts();
    EnableViewShortcuts();
    EnableCellKeys();
    UpdateMenuItems(shell);
    return StartResult::Started;
}

void EndShell(ShellState& shell) {
    rook::FreeMemory(shell.Screen);
    rook::FreeMemory(shell.Saved);
    rook::FreeMemory(shell.History);
    shell.Screen = nullptr;
    shell.Saved = nullptr;
    shell.History = nullptr;
    for (rook::StringVariable* text : {&shell.Path, &shell.DropList, &shell.DropName}) {
        rook::FreeString(*text);
        *text = nullptr;
    }
    shell.File = ScreenFile{};
    rook::ToolkitEnd();
    ReleaseGadgetFont(); // after the gadgets that showed it
    rook::DestroyToolkitHeap();
}

void RedrawScreen(const ShellState& shell, std::int32_t x, std::int32_t y) {
    const ViewLook look = CurrentLook(shell);
    bool drawn = true;
    for (const Picture& picture : Pictures) {
        drawn = rook::StartDrawing(rook::CanvasOutput(picture.Canvas)) != 0 && drawn;
        RenderScreenView(shell.Screen, picture.View, x, y, look);
        rook::StopDrawing();
    }
    RecordShownScreen(shell.Screen, x, y, look, drawn);
}

int RunShell() {
    ShellState shell{};
    const StartResult result = StartShell(shell);
    if (result == StartResult::NoToolkit) {
        return 1;
    }
    if (result == StartResult::Started) {
        OpenNamedFile(shell);
        UpdateStatus(shell);
        do {
            shell.EventCode = rook::WaitWindowEvent();
            HandleEvent(shell);
        } while (shell.EventCode != rook::EventCloseWindow);
    }
    EndShell(shell);
    // A window that could not be opened leaves nothing to do: say so.
    return result == StartResult::Started ? 0 : 1;
}

} // namespace inkswap
