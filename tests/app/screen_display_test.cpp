// What a pointer movement puts on screen, in-process under Wine with the
// real window and event loop. Before each movement the canvases' windows
// are painted over with a marker colour straight on screen, leaving the
// back buffers alone; afterwards every pixel of both windows is read back.
// Marker pixels show where nothing was painted; the rest must show the
// back buffer, which must hold what a whole render gives.

#include "app/screen_display.h"
#include "app/shell.h"
#include "gadget/canvas.h"
#include "gadget/gadget.h"
#include "screen/screen_image.h"
#include "screen/screen_renderer.h"
#include "screen_fixtures.h"
#include "support/memory_output.h"
#include "support/window_pixels.h"
#include "window/event_queue.h"
#include "window/event_state.h"
#include "window/window_procedure.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

using namespace inkswap;

constexpr std::int32_t Width = 512; // a canvas's client area and back buffer at 2x
constexpr std::int32_t Height = 384;
constexpr std::int32_t CellPixels = 16;
constexpr COLORREF Marker = 0xFF00FF; // magenta: red and blue at 255

ShellState shell{};
constexpr std::int32_t NoCell = -99; // no pointer cell handled yet

HWND CanvasWindow(std::int32_t canvas) {
    return rook::FindGadget(canvas)->Handle;
}

void DispatchWaitingMessages() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageA(&message);
    }
}

// Lets the shell handle every event and message that is waiting.
void Settle() {
    MSG message;
    while (!rook::EventQueueEmpty() || ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        shell.EventCode = rook::WaitWindowEvent();
        HandleEvent(shell);
    }
}

// Moves the pointer to client pixel (x, y) of the colour canvas as the
// platform would, and lets the shell handle what follows, until the shell
// has taken a PointerMove there (a movement after the pointer was outside
// only enters the canvas; another at the same spot changes nothing).
void MovePointer(POINT to) {
    HWND window = CanvasWindow(ColourCanvas);
    POINT screen = to;
    ::ClientToScreen(window, &screen);
    ::SetCursorPos(screen.x, screen.y);
    shell.X = shell.Y = NoCell;
    // Until the shell has the target cell: a late echo of an earlier
    // movement may arrive first under load.
    const auto arrived = [&] {
        return shell.X == to.x / CellPixels && shell.Y == to.y / CellPixels;
    };
    for (int attempt = 0; attempt < 10 && !arrived(); ++attempt) {
        ::PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(to.x, to.y));
        Settle();
    }
    ASSERT_EQ(shell.X, to.x / CellPixels);
    ASSERT_EQ(shell.Y, to.y / CellPixels);
}

void PaintMarker(std::int32_t canvas) {
    HWND window = CanvasWindow(canvas);
    HDC target = ::GetDC(window);
    HBRUSH brush = ::CreateSolidBrush(Marker);
    const RECT all{0, 0, Width, Height};
    ::FillRect(target, &all, brush);
    ::DeleteObject(brush);
    ::ReleaseDC(window, target);
}

// The canvas window's pixels as 0x00RRGGBB, row by row from the top.
std::vector<std::uint32_t> WindowPixels(std::int32_t canvas) {
    return testsupport::WindowPixels(CanvasWindow(canvas), Width, Height);
}

// The back buffer's bytes, bottom row first, as the canvas holds them.
const std::uint8_t* BackBuffer(std::int32_t canvas) {
    const auto buffer = reinterpret_cast<HBITMAP>(
        static_cast<std::intptr_t>(rook::GetGadgetAttribute(canvas, rook::CanvasAttrImage)));
    DIBSECTION section{};
    ::GetObjectA(buffer, sizeof section, &section);
    return static_cast<const std::uint8_t*>(section.dsBm.bmBits);
}

std::uint32_t BufferPixel(const std::uint8_t* buffer, std::int32_t x, std::int32_t y) {
    const std::uint8_t* pixel = buffer + (Height - 1 - y) * rook::RowPitch(Width, 24) + x * 3;
    return pixel[0] | pixel[1] << 8 | pixel[2] << 16;
}

bool InCells(std::int32_t x, std::int32_t y, const std::vector<POINT>& cells) {
    for (const POINT& cell : cells) {
        if (x / CellPixels == cell.x && y / CellPixels == cell.y) {
            return true;
        }
    }
    return false;
}

// Inside the cells the window shows its back buffer; everywhere else the
// marker is still there. The first difference is reported.
::testing::AssertionResult PaintedJust(std::int32_t canvas, const std::vector<POINT>& cells) {
    const std::vector<std::uint32_t> shown = WindowPixels(canvas);
    const std::uint8_t* buffer = BackBuffer(canvas);
    for (std::int32_t y = 0; y < Height; ++y) {
        for (std::int32_t x = 0; x < Width; ++x) {
            const std::uint32_t pixel = shown[static_cast<std::size_t>(y) * Width + x];
            const bool painted = InCells(x, y, cells);
            const std::uint32_t expected = painted ? BufferPixel(buffer, x, y) : 0xFF00FF;
            if (pixel != expected) {
                return ::testing::AssertionFailure()
                       << "canvas " << canvas << " pixel (" << x << ", " << y << ") is " << std::hex
                       << pixel << ", expected " << expected
                       << (painted ? " from the back buffer" : " (the marker)");
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// The back buffer holds exactly what a whole render of the view gives.
::testing::AssertionResult HoldsWholeRender(std::int32_t canvas, std::int32_t x, std::int32_t y,
                                            std::int32_t grid,
                                            FlashPhase phase = FlashPhase::Plain) {
    testsupport::MemoryOutput output(Width, Height);
    {
        testsupport::ScopedDrawing drawing(output);
        RenderScreenView(shell.Screen, Pictures[canvas].View, x, y, ViewLook{2, grid != 0, phase});
    }
    if (std::memcmp(output.Pixels(), BackBuffer(canvas), output.PixelBytes()) != 0) {
        return ::testing::AssertionFailure() << "canvas " << canvas << " differs from a render";
    }
    return ::testing::AssertionSuccess();
}

TEST(PointerMovement, PaintsJustTheCellsWhoseLookChanges) {
    struct Case {
        const char* Name;
        std::int32_t Grid;
        POINT From; // client pixels
        POINT To;
        std::vector<POINT> Painted; // cells
    };
    const Case cases[] = {
        {"within a cell", 0, {83, 195}, {94, 206}, {}},
        {"within a cell, grid on", 1, {83, 195}, {80, 192}, {}},
        {"into the next cell", 0, {83, 195}, {96, 195}, {{5, 12}, {6, 12}}},
        {"across the picture, grid on", 1, {0, 0}, {511, 383}, {{0, 0}, {31, 23}}},
    };
    const fixtures::Screen picture = fixtures::Noise(16);
    std::memcpy(shell.Screen, picture.data(), picture.size());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ::SendMessageA(CanvasWindow(GridBox), BM_SETCHECK, c.Grid != 0 ? BST_CHECKED : 0, 0);
        RedrawScreen(shell, NoHighlight, NoHighlight);
        MovePointer(c.From);
        for (std::int32_t canvas : {BitmapCanvas, ColourCanvas}) {
            PaintMarker(canvas);
        }
        MovePointer(c.To);
        for (std::int32_t canvas : {BitmapCanvas, ColourCanvas}) {
            RECT update;
            EXPECT_FALSE(::GetUpdateRect(CanvasWindow(canvas), &update, FALSE))
                << "canvas " << canvas << " waits for a paint message";
            EXPECT_TRUE(PaintedJust(canvas, c.Painted));
            EXPECT_TRUE(HoldsWholeRender(canvas, c.To.x / CellPixels, c.To.y / CellPixels, c.Grid));
        }
    }
}

// A change of the flash phase redraws the flashing cells of the colour view
// and paints only them; the bitmap view is left alone.
TEST(FlashPhase, PaintsJustTheFlashingCellsOfTheColourView) {
    fixtures::Screen picture = fixtures::Noise(17);
    for (std::size_t cell = 0; cell < 768; ++cell) {
        picture[6144 + cell] &= 0x7F;
    }
    const std::vector<POINT> flashing = {{3, 2}, {4, 2}, {5, 2}, {20, 9}, {0, 23}, {31, 23}};
    for (const POINT& cell : flashing) {
        picture[6144 + static_cast<std::size_t>(cell.y * 32 + cell.x)] |= 0x80;
    }
    std::memcpy(shell.Screen, picture.data(), picture.size());
    ::SendMessageA(CanvasWindow(GridBox), BM_SETCHECK, 0, 0);
    MovePointer({20 * CellPixels + 3, 9 * CellPixels + 3}); // the highlight on a flashing cell
    for (FlashPhase phase : {FlashPhase::Swapped, FlashPhase::Plain}) {
        for (std::int32_t canvas : {BitmapCanvas, ColourCanvas}) {
            PaintMarker(canvas);
        }
        shell.Phase = phase;
        ShowFlashPhase(shell);
        EXPECT_TRUE(PaintedJust(BitmapCanvas, {}));
        EXPECT_TRUE(PaintedJust(ColourCanvas, flashing));
        EXPECT_TRUE(HoldsWholeRender(ColourCanvas, 20, 9, 0, phase));
    }
}

class ShellEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_EQ(StartShell(shell), StartResult::Started);
        for (int i = 0; i < 20; ++i) {
            ::Sleep(10);
            DispatchWaitingMessages();
        }
    }
    void TearDown() override { EndShell(shell); }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new ShellEnvironment);
    return RUN_ALL_TESTS();
}
