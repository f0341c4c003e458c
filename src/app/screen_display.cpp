#include "app/screen_display.h"

#include "app/shell.h"
#include "drawing/drawing_context.h"
#include "gadget/canvas.h"
#include "gadget/gadget.h"
#include "screen/screen_image.h"
#include "screen/screen_renderer.h"

#include <array>
#include <cstring>
#include <initializer_list>

namespace inkswap {

namespace {

struct ShownScreen {
    bool Known;             // false until a whole redraw, and after any failed drawing
    std::int32_t Highlight; // linear cell index, or -1
    std::int32_t Grid;
    std::array<std::uint8_t, ScreenFileSize> Screen;
};

ShownScreen shown = {};

bool ShowsAllBut(const std::uint8_t* screen, std::int32_t grid) {
    return shown.Known && shown.Grid == grid &&
           std::memcmp(shown.Screen.data(), screen, ScreenFileSize) == 0;
}

// Redraws the cells that had and that get the highlight in both canvases;
// each canvas's stop step then paints just those cells.
void MoveHighlight(const std::uint8_t* screen, std::int32_t x, std::int32_t y, std::int32_t grid,
                   std::int32_t highlight) {
    for (const Picture& picture : Pictures) {
        if (rook::StartDrawing(rook::CanvasOutput(picture.Canvas)) == 0) {
            shown.Known = false;
            continue;
        }
        for (std::int32_t cell : {shown.Highlight, highlight}) {
            if (cell >= 0) {
                RenderScreenCell(screen, picture.View, cell % ScreenColumns, cell / ScreenColumns,
                                 x, y, grid != 0);
            }
        }
        rook::StopDrawing();
    }
    shown.Highlight = highlight;
}

} // namespace

void ForgetShownScreen() {
    shown.Known = false;
}

void RecordShownScreen(const std::uint8_t* screen, std::int32_t x, std::int32_t y,
                       std::int32_t grid, bool drawn) {
    shown.Known = drawn;
    shown.Highlight = HighlightedCell(x, y);
    shown.Grid = grid;
    std::memcpy(shown.Screen.data(), screen, ScreenFileSize);
}

void ShowPointerCell(const std::uint8_t* screen, std::int32_t x, std::int32_t y) {
    const std::int32_t grid = rook::GetGadgetState(GridBox);
    if (!ShowsAllBut(screen, grid)) {
        RedrawScreen(screen, x, y);
        return;
    }
    const std::int32_t highlight = HighlightedCell(x, y);
    if (highlight != shown.Highlight) {
        MoveHighlight(screen, x, y, grid, highlight);
    }
}

void RedrawKeepingHighlight(const std::uint8_t* screen) {
    const std::int32_t cell = shown.Known ? shown.Highlight : -1;
    if (cell < 0) {
        RedrawScreen(screen, NoHighlight, NoHighlight);
        return;
    }
    RedrawScreen(screen, cell % ScreenColumns, cell / ScreenColumns);
}

} // namespace inkswap
