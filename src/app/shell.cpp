#include "app/shell.h"

#include "app/command_line.h"
#include "app/file_commands.h"
#include "app/menu_items.h"
#include "app/operations.h"
#include "app/screen_display.h"
#include "app/status_display.h"
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
constexpr std::uint32_t CanvasFlags = rook::CanvasFlagBorder | rook::CanvasFlagConfine;
constexpr std::int32_t CellShift = 4; // 16 canvas pixels a cell

void MakeCanvas(std::int32_t number, const Placement& at) {
    rook::CanvasGadget(number, at.X, at.Y, at.Width, at.Height, CanvasFlags);
}

void MakeCheckBox(std::int32_t number, const Placement& at, const char* text) {
    rook::CheckBoxGadget(number, at.X, at.Y, at.Width, at.Height, text);
}

bool BuildWindow() {
    const Placement& window = MainWindowPlacement;
    if (rook::OpenWindow(MainWindow, window.X, window.Y, window.Width, window.Height, InitialTitle,
                         MainWindowFlags) == 0) {
        return false;
    }
    BuildMenu();
    BuildOperationsMenu();
    MakeCanvas(BitmapCanvas, BitmapCanvasPlacement);
    MakeCanvas(ColourCanvas, ColourCanvasPlacement);
    MakeCheckBox(CorrectModeBox, CorrectModeBoxPlacement, "Correct Mode");
    MakeCheckBox(GridBox, GridBoxPlacement, "Grid");
    const Placement& status = StatusLinePlacement;
    rook::TextGadget(StatusLine, status.X, status.Y, status.Width, status.Height, NoFileText);
    return true;
}

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

// The pointer's cell: canvas pixels divided by 16, rounding towards minus
// infinity.
void ReadPointerCell(ShellState& shell, std::int32_t gadget) {
    shell.CellKnown = true;
    shell.X = rook::GetGadgetAttribute(gadget, rook::CanvasAttrPointerX) >> CellShift;
    shell.Y = rook::GetGadgetAttribute(gadget, rook::CanvasAttrPointerY) >> CellShift;
}

void HandleCanvasEvent(ShellState& shell, std::int32_t gadget) {
    if (rook::EventType() == rook::LeftPress) {
        ReadPointerCell(shell, gadget);
        CorrectClickedCell(shell, shell.X, shell.Y);
        RedrawScreen(shell.Screen, shell.X, shell.Y);
    }
    if (rook::EventType() == rook::PointerMove) {
        ReadPointerCell(shell, gadget);
        ShowCellInTitle(shell, shell.X, shell.Y);
        ShowPointerCell(shell.Screen, shell.X, shell.Y);
    }
}

void HandleGadgetEvent(ShellState& shell) {
    if (shell.EventCode != rook::EventGadgetAction) {
        return;
    }
    const std::int32_t gadget = rook::EventGadget();
    if (gadget == GridBox) {
        RedrawScreen(shell.Screen, NoHighlight, NoHighlight);
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

void HandleEvent(ShellState& shell) {
    IgnoreBareCloseMessage(shell);
    HandleMenuEvent(shell);
    HandleOperationEvent(shell);
    HandleCloseRequest(shell);
    HandleDropEvent(shell);
    HandleGadgetEvent(shell);
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
    if (!BuildWindow()) {
        return StartResult::NoWindow;
    }
    EnableDropsAndShortcuts();
    EnableOperationShortcuts();
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
    rook::DestroyToolkitHeap();
}

void RedrawScreen(const std::uint8_t* screen, std::int32_t x, std::int32_t y) {
    const std::int32_t grid = rook::GetGadgetState(GridBox);
    bool drawn = true;
    for (const Picture& picture : Pictures) {
        drawn = rook::StartDrawing(rook::CanvasOutput(picture.Canvas)) != 0 && drawn;
        RenderScreenView(screen, picture.View, x, y, grid != 0);
        rook::StopDrawing();
    }
    RecordShownScreen(screen, x, y, grid, drawn);
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
