// What a redraw, a FLASH phase and a pointer movement cost in the real
// program, under Wine or on Windows. In one run it measures
//  - RedrawScreen (two drawing contexts, two renders, two stop steps that
//    put the pictures on screen) against copying the same two back buffers
//    to the same two windows (BitBlt from a memory DC): the floor of showing
//    the pictures at all; at every zoom whose window fits the screen;
//  - a change of the FLASH phase with N flashing cells (a run of N cells,
//    as a line of text flashes, and N cells apart) against a whole redraw;
//  - a pointer movement handled end to end (posted to the canvas, through
//    the canvas window procedure and WaitWindowEvent to the shell's
//    handler) within one cell, and into another cell with the title set
//    aside (it already shows the new cell: setting it repaints the caption,
//    measured apart). Into another cell the status line changes too; its
//    repaint is counted;
//  - the platform's own floor for any movement: a message posted to a
//    window whose procedure does nothing, taken and dispatched.
// A movement into another cell needs the real cursor there. Placing it
// (SetCursorPos) makes the platform deliver movements of its own, late;
// so the cursor is placed and those movements are discarded before each
// timed movement, and only the movement itself is timed. The wait leaves
// the caches cold, so that movement is set against the two copies made
// after the same placing and wait (and, for comparison, back to back);
// a movement within a cell against the copies back to back, as both run,
// and once more after a placing and wait of its own; the floor is measured
// both ways too.
// Each figure is given for the fastest of several batches (other load on
// the machine only ever adds time) and for the median batch.

#include "app/screen_display.h"
#include "app/shell.h"
#include "app/status_display.h"
#include "app/view_menu.h"
#include "gadget/canvas.h"
#include "gadget/gadget.h"
#include "screen/screen_image.h"
#include "screen/status_line.h"
#include "screen_fixtures.h"
#include "window/event_state.h"
#include "window/window.h"
#include "window/window_procedure.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

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

struct Timing {
    double Fastest; // seconds per run, fastest batch
    double Median;  // seconds per run, median batch
};

// The time per run of the work, over several batches of runs.
Timing TimePerRun(int runsPerBatch, const std::function<void()>& work) {
    std::vector<double> batches;
    for (int batch = 0; batch < Batches; ++batch) {
        const double start = Seconds();
        for (int run = 0; run < runsPerBatch; ++run) {
            work();
        }
        batches.push_back((Seconds() - start) / runsPerBatch);
    }
    std::sort(batches.begin(), batches.end());
    return {batches.front(), batches[batches.size() / 2]};
}

// The same, for work that times its own part and returns the seconds it
// took.
Timing TimePartPerRun(int runsPerBatch, const std::function<double()>& timedWork) {
    std::vector<double> batches;
    for (int batch = 0; batch < Batches; ++batch) {
        double seconds = 0;
        for (int run = 0; run < runsPerBatch; ++run) {
            seconds += timedWork();
        }
        batches.push_back(seconds / runsPerBatch);
    }
    std::sort(batches.begin(), batches.end());
    return {batches.front(), batches[batches.size() / 2]};
}

void PrintTiming(const char* name, Timing timing) {
    std::printf("%s: %.3f ms fastest, %.3f ms median\n", name, timing.Fastest * 1000,
                timing.Median * 1000);
}

void PrintRatio(const char* name, Timing measured, Timing reference) {
    std::printf("%s = %.2f fastest, %.2f median\n", name, measured.Fastest / reference.Fastest,
                measured.Median / reference.Median);
}

void DispatchWaitingMessages() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageA(&message);
    }
}

// A picture as large as a canvas's back buffer, in a memory device context
// of its own, to be copied to the canvas's window: what the stop step's
// paint does, without any drawing. (The back buffer itself stays selected
// in the canvas's own device context, where no other may take it.)
class BufferCopy {
public:
    explicit BufferCopy(std::int32_t canvas) : window_(rook::FindGadget(canvas)->Handle) {
        const auto buffer = reinterpret_cast<HBITMAP>(
            static_cast<std::intptr_t>(rook::GetGadgetAttribute(canvas, rook::CanvasAttrImage)));
        BITMAP size{};
        ::GetObjectA(buffer, sizeof size, &size);
        width_ = size.bmWidth;
        height_ = size.bmHeight;
        BITMAPINFO format{};
        format.bmiHeader = {
            sizeof(BITMAPINFOHEADER), width_, height_, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        memory_ = ::CreateCompatibleDC(nullptr);
        picture_ = ::CreateDIBSection(memory_, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous_ = ::SelectObject(memory_, picture_);
    }
    ~BufferCopy() {
        ::SelectObject(memory_, previous_);
        ::DeleteObject(picture_);
        ::DeleteDC(memory_);
    }
    BufferCopy(const BufferCopy&) = delete;
    BufferCopy& operator=(const BufferCopy&) = delete;

    void ToWindow() const {
        HDC target = ::GetDC(window_);
        ::BitBlt(target, 0, 0, width_, height_, memory_, 0, 0, SRCCOPY);
        ::ReleaseDC(window_, target);
    }

private:
    HWND window_;
    LONG width_ = 0;
    LONG height_ = 0;
    HDC memory_ = nullptr;
    HBITMAP picture_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// The two canvases' pictures copied to their windows.
struct TwoCopies {
    BufferCopy Bitmap{inkswap::BitmapCanvas};
    BufferCopy Colour{inkswap::ColourCanvas};

    void Run() const {
        Bitmap.ToWindow();
        Colour.ToWindow();
    }
};

POINT ScreenPoint(HWND canvas, POINT point) {
    ::ClientToScreen(canvas, &point);
    return point;
}

// Discards, unhandled, the movements the platform delivers for a placing
// of the cursor, until the cursor has stayed at the spot for a while: the
// shell still shows what it showed before.
void DiscardPlacementMoves(HWND canvas, POINT spot) {
    MSG message;
    int quietChecks = 0;
    while (quietChecks < 3) {
        ::Sleep(1);
        POINT cursor{};
        ::GetCursorPos(&cursor);
        bool quiet = cursor.x == spot.x && cursor.y == spot.y;
        while (::PeekMessageA(&message, canvas, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
            quiet = false;
        }
        quietChecks = quiet ? quietChecks + 1 : 0;
        if (cursor.x != spot.x || cursor.y != spot.y) {
            ::SetCursorPos(spot.x, spot.y);
        }
    }
}

void PlaceCursor(HWND canvas, POINT point) {
    const POINT spot = ScreenPoint(canvas, point);
    ::SetCursorPos(spot.x, spot.y);
    DiscardPlacementMoves(canvas, spot);
}

// The time per run of the work alone, each run after placing the cursor at
// one of two spots in turn and waiting.
Timing TimeAfterPlacing(HWND canvas, POINT first, POINT second, const std::function<void()>& work) {
    int run = 0;
    return TimePartPerRun(400 / Batches, [&] {
        PlaceCursor(canvas, (++run & 1) != 0 ? first : second);
        const double start = Seconds();
        work();
        return Seconds() - start;
    });
}

// Posts a movement (at the cursor's place) and runs the event loop until
// the shell has handled the PointerMove it gives.
void HandleOneMove(inkswap::ShellState& shell, HWND canvas) {
    ::PostMessageA(canvas, WM_MOUSEMOVE, 0, 0);
    do {
        shell.EventCode = rook::WaitWindowEvent();
        inkswap::HandleEvent(shell);
    } while (
        !(shell.EventCode == rook::EventGadgetAction && rook::EventType() == rook::PointerMove));
}

LRESULT CALLBACK DoNothing(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE) {
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// A message-only window whose procedure does nothing with a movement.
HWND MakeFloorWindow() {
    WNDCLASSEXA floorClass{};
    floorClass.cbSize = sizeof floorClass;
    floorClass.lpfnWndProc = DoNothing;
    floorClass.hInstance = ::GetModuleHandleA(nullptr);
    floorClass.lpszClassName = "RedrawBenchmarkFloor";
    ::RegisterClassExA(&floorClass);
    return ::CreateWindowExA(0, floorClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             floorClass.hInstance, nullptr);
}

// What any program pays for a movement message: posted, taken from the
// queue, translated and dispatched to a procedure that does nothing.
void DeliverOneMove(HWND window) {
    ::PostMessageA(window, WM_MOUSEMOVE, 0, 0);
    MSG message;
    ::GetMessageA(&message, nullptr, 0, 0);
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
}

// RedrawScreen against the two copies at every zoom whose window fits,
// printed as it goes; the shell is left at 2x.
void MeasureZooms(inkswap::ShellState& shell) {
    for (std::int32_t zoom = inkswap::SmallestZoom; zoom <= inkswap::LargestZoom; ++zoom) {
        if (!inkswap::ZoomFits(shell, zoom)) {
            std::printf("zoom %d: its window does not fit this screen\n", static_cast<int>(zoom));
            continue;
        }
        shell.Zoom = zoom;
        inkswap::ApplyLayout(shell, true);
        DispatchWaitingMessages();
        const TwoCopies twoCopies;
        const Timing redraw = TimePerRun(40, [&] { inkswap::RedrawScreen(shell, 5, 12); });
        const Timing copies = TimePerRun(40, [&] { twoCopies.Run(); });
        std::printf("zoom %d: ", static_cast<int>(zoom));
        PrintTiming("RedrawScreen", redraw);
        std::printf("zoom %d: ", static_cast<int>(zoom));
        PrintTiming("two back-buffer copies", copies);
        std::printf("zoom %d: ", static_cast<int>(zoom));
        PrintRatio("RedrawScreen / two copies", redraw, copies);
    }
    shell.Zoom = inkswap::DefaultZoom;
    inkswap::ApplyLayout(shell, true);
    DispatchWaitingMessages();
}

// The picture with FLASH set in `count` cells only: a run from cell 128 on
// (rows 4 and after), or one cell in every `apart`.
fixtures::Screen WithFlashingCells(const fixtures::Screen& picture, int count, int apart) {
    fixtures::Screen flashing = picture;
    for (std::size_t cell = 0; cell < inkswap::CellCount; ++cell) {
        flashing[inkswap::AttributeStart + cell] &= 0x7F;
    }
    for (int i = 0; i < count; ++i) {
        const auto cell = static_cast<std::size_t>(apart == 1 ? (128 + i) % 768 : i * apart % 768);
        flashing[inkswap::AttributeStart + cell] |= 0x80;
    }
    return flashing;
}

// A change of the flash phase against a whole redraw, with count cells
// flashing.
void MeasureFlash(inkswap::ShellState& shell, const fixtures::Screen& picture) {
    for (const int apart : {1, 24}) {
        for (const int count : {1, 8, 32, 96, 768}) {
            const fixtures::Screen flashing = WithFlashingCells(picture, count, apart);
            std::memcpy(shell.Screen, flashing.data(), flashing.size());
            const Timing redraw = TimePerRun(40, [&] { inkswap::RedrawScreen(shell, 5, 12); });
            const Timing phase = TimePerRun(40, [&] {
                shell.Phase = shell.Phase == inkswap::FlashPhase::Plain
                                  ? inkswap::FlashPhase::Swapped
                                  : inkswap::FlashPhase::Plain;
                inkswap::ShowFlashPhase(shell);
            });
            std::printf("flash phase, %3d cells %s / RedrawScreen = %.3f fastest, %.3f median "
                        "(goal %.3f)\n",
                        count, apart == 1 ? "in a run" : "apart   ", phase.Fastest / redraw.Fastest,
                        phase.Median / redraw.Median, count / 768.0 + 0.05);
        }
    }
    shell.Phase = inkswap::FlashPhase::Plain;
    std::memcpy(shell.Screen, picture.data(), picture.size());
    inkswap::RedrawScreen(shell, 5, 12);
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

    MeasureZooms(shell);
    MeasureFlash(shell, picture);
    const TwoCopies twoCopies;
    const Timing redraw = TimePerRun(40, [&] { inkswap::RedrawScreen(shell, 5, 12); });
    const Timing copies = TimePerRun(40, [&] { twoCopies.Run(); });
    // Within cell (15, 11): the highlight, grid and picture stay.
    PlaceCursor(canvas, {254, 190});
    HandleOneMove(shell, canvas);
    const Timing withinCell = TimePerRun(10000 / Batches, [&] { HandleOneMove(shell, canvas); });
    // The same after placing the cursor within the cell and waiting, as a
    // real movement comes after the program has waited for it.
    const Timing placedWithinCell =
        TimeAfterPlacing(canvas, {253, 190}, {255, 190}, [&] { HandleOneMove(shell, canvas); });
    HWND floorWindow = MakeFloorWindow();
    const Timing floor = TimePerRun(10000 / Batches, [&] { DeliverOneMove(floorWindow); });
    // The same floor after the same placing of the cursor and wait as the
    // movements into another cell below.
    const Timing placedFloor =
        TimeAfterPlacing(canvas, {254, 190}, {254, 190}, [&] { DeliverOneMove(floorWindow); });
    ::DestroyWindow(floorWindow);
    // Between cells (15, 11) and (16, 11), the title made to show the cell
    // already; what the movement leaves to be painted is painted within the
    // timed part.
    HWND mainWindow = ::GetAncestor(canvas, GA_ROOT);
    int step = 0;
    int missed = 0;
    int repaints = 0;
    const Timing intoCell = TimePartPerRun(400 / Batches, [&] {
        const bool right = (++step & 1) != 0;
        const std::int32_t column = right ? 16 : 15;
        PlaceCursor(canvas, {right ? 258 : 250, 190});
        shell.TitleShown = true;
        shell.TitleX = column;
        shell.TitleY = 11;
        const double start = Seconds();
        HandleOneMove(shell, canvas);
        double seconds = Seconds() - start;
        // A repaint the movement left pending is counted; asking whether
        // there is one is the benchmark's own work and is not.
        if (HIWORD(::GetQueueStatus(QS_PAINT)) != 0) {
            const double paintStart = Seconds();
            ::RedrawWindow(mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            seconds += Seconds() - paintStart;
            ++repaints;
        }
        missed += shell.X == column ? 0 : 1;
        return seconds;
    });
    // Of which: the two cells of each view drawn and painted.
    const Timing cells = TimePerRun(
        400 / Batches, [&] { inkswap::ShowPointerCell(shell, (++step & 1) != 0 ? 16 : 15, 11); });
    // The reference under the same conditions: the two copies, each after
    // the same placing of the cursor and wait (which leaves the caches to
    // other work on the machine).
    const Timing placedCopies =
        TimeAfterPlacing(canvas, {258, 190}, {250, 190}, [&] { twoCopies.Run(); });
    DispatchWaitingMessages();
    int flip = 0;
    const Timing title = TimePerRun(100, [&] {
        rook::SetWindowTitle(inkswap::MainWindow, (++flip & 1) != 0 ? "x:1 y:2" : "x:3 y:4");
    });

    int column = 0;
    const Timing status = TimePerRun(100, [&] {
        const std::int32_t x = (++column & 1) != 0 ? 16 : 15;
        inkswap::ShowStatus(inkswap::MakeStatusFacts("C:\\screens\\title.scr", nullptr, false, true,
                                                     inkswap::CellFactsOf(shell.Screen, x, 11)));
        DispatchWaitingMessages(); // its repaint
    });

    PrintTiming("RedrawScreen", redraw);
    PrintTiming("two back-buffer copies", copies);
    PrintTiming("pointer move within a cell", withinCell);
    PrintTiming("a bare movement message (the platform's floor)", floor);
    PrintTiming("the same after a cursor placement", placedFloor);
    PrintTiming("pointer move within a cell after a cursor placement", placedWithinCell);
    PrintTiming("pointer move into another cell, title set aside", intoCell);
    PrintTiming("  of which the two cells drawn and painted in each view", cells);
    PrintTiming("two back-buffer copies after a cursor placement", placedCopies);
    std::printf("  movements that left a repaint pending (painted within the timed part): %d\n",
                repaints);
    if (missed != 0) {
        std::printf("warning: %d timed movements did not reach the new cell\n", missed);
    }
    PrintTiming("title changed", title);
    PrintTiming("status line changed", status);
    PrintRatio("RedrawScreen / two copies", redraw, copies);
    PrintRatio("pointer move within a cell / two copies", withinCell, copies);
    PrintRatio("bare movement message (floor) / two copies", floor, copies);
    std::printf("pointer move within a cell, less the floor / two copies = %.2f fastest, %.2f "
                "median\n",
                (withinCell.Fastest - floor.Fastest) / copies.Fastest,
                (withinCell.Median - floor.Median) / copies.Median);
    PrintRatio("bare movement message (floor) / two copies, both after a cursor placement",
               placedFloor, placedCopies);
    PrintRatio("bare movement message (floor) after a cursor placement / two copies back to back",
               placedFloor, copies);
    PrintRatio("pointer move within a cell / two copies, both after a cursor placement",
               placedWithinCell, placedCopies);
    PrintRatio("pointer move within a cell after a cursor placement / two copies back to back",
               placedWithinCell, copies);
    PrintRatio("pointer move into another cell, title set aside / two copies, both after a "
               "cursor placement",
               intoCell, placedCopies);
    PrintRatio("pointer move into another cell, title set aside / two copies back to back",
               intoCell, copies);
    PrintRatio("status line changed / two copies", status, copies);
    inkswap::EndShell(shell);
    return 0;
}
