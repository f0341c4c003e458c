// What a pointer movement costs in the real program, under Wine or on
// Windows. In one run it measures
//  - RedrawScreen (two drawing contexts, two renders, two stop steps that
//    put the pictures on screen) against copying the same two 508 x 380
//    back buffers to the same two windows (BitBlt from a memory DC): the
//    floor of showing the pictures at all;
//  - a pointer movement handled end to end (posted to the canvas, through
//    the canvas window procedure and WaitWindowEvent to the shell's
//    handler, which sets the title and redraws) against RedrawScreen.
// Times are the fastest of several batches: other load on the machine only
// ever adds time.

#include "app/screen_image.h"
#include "app/shell.h"
#include "gadget/canvas.h"
#include "gadget/gadget.h"
#include "screen_fixtures.h"
#include "window/event_state.h"
#include "window/window.h"
#include "window/window_procedure.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

constexpr int Batches = 9;

double Seconds() {
    static const double frequency = [] {
        LARGE_INTEGER value;
        ::QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

// The fastest time per run of the work, over several batches of runs.
double FastestPerRun(int runsPerBatch, const std::function<void()>& work) {
    double fastest = 1e9;
    for (int batch = 0; batch < Batches; ++batch) {
        const double start = Seconds();
        for (int run = 0; run < runsPerBatch; ++run) {
            work();
        }
        fastest = std::min(fastest, (Seconds() - start) / runsPerBatch);
    }
    return fastest;
}

void DispatchWaitingMessages() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageA(&message);
    }
}

// Copies a canvas's back buffer to its window: what the stop step's paint
// does, without any drawing.
void CopyBackBuffer(std::int32_t canvas) {
    HWND window = rook::FindGadget(canvas)->Handle;
    const auto buffer = reinterpret_cast<HBITMAP>(
        static_cast<std::intptr_t>(rook::GetGadgetAttribute(canvas, rook::CanvasAttrImage)));
    HDC target = ::GetDC(window);
    HDC source = ::CreateCompatibleDC(target);
    HGDIOBJ previous = ::SelectObject(source, buffer);
    ::BitBlt(target, 0, 0, 508, 380, source, 0, 0, SRCCOPY);
    ::SelectObject(source, previous);
    ::DeleteDC(source);
    ::ReleaseDC(window, target);
}

// Posts a movement to the canvas and runs the event loop until the shell
// has handled the PointerMove it gives. The pointer stays in one cell, as
// it does for most movements; changing the title is measured apart.
void HandleOneMove(inkswap::ShellState& shell, HWND canvas) {
    ::PostMessageA(canvas, WM_MOUSEMOVE, 0, 0);
    do {
        shell.EventCode = rook::WaitWindowEvent();
        inkswap::HandleEvent(shell);
    } while (
        !(shell.EventCode == rook::EventGadgetAction && rook::EventType() == rook::PointerMove));
}

} // namespace

int main() {
    inkswap::ShellState shell{};
    if (inkswap::StartShell(shell) != inkswap::StartResult::Started) {
        std::puts("redraw_benchmark: the window could not be opened");
        return 1;
    }
    const fixtures::Screen picture = fixtures::AttributeSweep();
    std::memcpy(shell.Screen, picture.data(), picture.size());
    HWND canvas = rook::FindGadget(inkswap::BitmapCanvas)->Handle;
    POINT middle{254, 190};
    ::ClientToScreen(canvas, &middle);
    ::SetCursorPos(middle.x, middle.y);
    ::PostMessageA(canvas, WM_MOUSEMOVE, 0, 0); // the first movement enters
    for (int i = 0; i < 50; ++i) {
        ::Sleep(10);
        DispatchWaitingMessages();
    }

    const double redraw = FastestPerRun(40, [&] { inkswap::RedrawScreen(shell.Screen, 5, 12); });
    const double copies = FastestPerRun(40, [] {
        CopyBackBuffer(inkswap::BitmapCanvas);
        CopyBackBuffer(inkswap::ColourCanvas);
    });
    const double move = FastestPerRun(10000 / Batches, [&] { HandleOneMove(shell, canvas); });
    int flip = 0;
    const double title = FastestPerRun(100, [&] {
        rook::SetWindowTitle(inkswap::MainWindow, (++flip & 1) != 0 ? "x:1 y:2" : "x:3 y:4");
    });

    std::printf("RedrawScreen:            %.3f ms\n", redraw * 1000);
    std::printf("two back-buffer copies:  %.3f ms\n", copies * 1000);
    std::printf("pointer move handled:    %.3f ms (within a cell)\n", move * 1000);
    std::printf("title changed:           %.3f ms (when the pointer enters another cell)\n",
                title * 1000);
    std::printf("RedrawScreen / copies = %.2f\n", redraw / copies);
    std::printf("handled move / RedrawScreen = %.2f\n", move / redraw);
    inkswap::EndShell(shell);
    return 0;
}
