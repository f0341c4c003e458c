#include "app/shell.h"

#include "app/screen_image.h"
#include "app/screen_renderer.h"
#include "drawing/drawing_context.h"
#include "gadget/canvas.h"
#include "gadget/check_box.h"
#include "gadget/gadget.h"
#include "runtime/memory_block.h"
#include "runtime/startup.h"
#include "runtime/string_operations.h"
#include "runtime/toolkit_heap.h"
#include "window/event_state.h"
#include "window/window.h"
#include "window/window_procedure.h"

#include <initializer_list>

namespace inkswap {

namespace {

constexpr char InitialTitle[] = "New window ( 0 )";
constexpr std::uint32_t MainWindowFlags = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr std::uint32_t CanvasFlags = rook::CanvasFlagBorder | rook::CanvasFlagConfine;
constexpr std::int32_t CellShift = 4; // 16 canvas pixels a cell

enum class StartFailure { None, Toolkit, Memory, Window };

// The shell's process-wide state.
struct Shell {
    std::uint8_t* Screen;
    std::int32_t EventCode;
    std::int32_t X;
    std::int32_t Y;
};

bool BuildWindow() {
    if (rook::OpenWindow(MainWindow, 381, 118, 1073, 510, InitialTitle, MainWindowFlags) == 0) {
        return false;
    }
    rook::CanvasGadget(BitmapCanvas, 0, 20, 512, 384, CanvasFlags);
    rook::CanvasGadget(ColourCanvas, 530, 20, 512, 384, CanvasFlags);
    rook::CheckBoxGadget(CorrectModeBox, 10, 0, 270, 20, "Correct Mode");
    rook::CheckBoxGadget(GridBox, 280, 0, 270, 20, "Grid");
    return true;
}

// The title "x:<column> y:<row>", built on the temporary string stack.
void ShowCellInTitle(std::int32_t x, std::int32_t y) {
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
void ReadPointerCell(Shell& shell, std::int32_t gadget) {
    shell.X = rook::GetGadgetAttribute(gadget, rook::CanvasAttrPointerX) >> CellShift;
    shell.Y = rook::GetGadgetAttribute(gadget, rook::CanvasAttrPointerY) >> CellShift;
}

void HandleCanvasEvent(Shell& shell, std::int32_t gadget) {
    if (rook::EventType() == rook::LeftPress) {
        ReadPointerCell(shell, gadget);
        CorrectCell(shell.Screen, shell.X, shell.Y);
        RedrawScreen(shell.Screen, shell.X, shell.Y);
    }
    if (rook::EventType() == rook::PointerMove) {
        ReadPointerCell(shell, gadget);
        ShowCellInTitle(shell.X, shell.Y);
        RedrawScreen(shell.Screen, shell.X, shell.Y);
    }
}

void HandleEvent(Shell& shell) {
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

void RunEventLoop(Shell& shell) {
    do {
        shell.EventCode = rook::WaitWindowEvent();
        HandleEvent(shell);
    } while (shell.EventCode != rook::EventCloseWindow);
}

StartFailure Start(Shell& shell) {
    if (!rook::ToolkitStart()) {
        return StartFailure::Toolkit;
    }
    shell.Screen = static_cast<std::uint8_t*>(rook::AllocateMemory(ScreenFileSize));
    if (shell.Screen == nullptr) {
        return StartFailure::Memory;
    }
    return BuildWindow() ? StartFailure::None : StartFailure::Window;
}

} // namespace

void RedrawScreen(const std::uint8_t* screen, std::int32_t x, std::int32_t y) {
    const std::int32_t grid = rook::GetGadgetState(GridBox);
    for (std::int32_t view : {BitmapCanvas, ColourCanvas}) {
        rook::StartDrawing(rook::CanvasOutput(view));
        RenderScreenView(screen, view, x, y, grid);
        rook::StopDrawing();
    }
}

int RunShell() {
    Shell shell{};
    const StartFailure failure = Start(shell);
    if (failure == StartFailure::Toolkit) {
        return 1;
    }
    if (failure == StartFailure::None) {
        RunEventLoop(shell);
    }
    rook::FreeMemory(shell.Screen);
    rook::ToolkitEnd();
    rook::DestroyToolkitHeap();
    return failure == StartFailure::None ? 0 : 1;
}

} // namespace inkswap
