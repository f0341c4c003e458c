#include "app/screen_display.h"

#include "drawing/drawing_context.h"
#include "gadget/canvas.h"
#include "gadget/gadget.h"
#include "screen/screen_image.h"

#include <array>
#include <cstring>
#include <initializer_list>

namespace inkswap {

namespace {

struct ShownScreen {
    bool Known;             // false until a whole redraw, and after any failed drawing
    std::int32_t Highlight; // linear cell index, or -1
    ViewLook Look;
    std::array<std::uint8_t, ScreenFileSize> Screen;
};

ShownScreen shown = {};

// The canvases show the screen as drawn in the look, but perhaps for the
// highlight and the flash phase.
bool ShowsAllBut(const std::uint8_t* screen, const ViewLook& look) {
    return shown.Known && shown.Look.Grid == look.Grid && shown.Look.Zoom == look.Zoom &&
           std::memcmp(shown.Screen.data(), screen, ScreenFileSize) == 0;
}

// Redraws the given cells of the picture's canvas, with cell (x, y)
// highlighted; its stop step then paints just those cells (or the whole
// canvas when they are many).
template <typename Cells>
void RedrawCells(const std::uint8_t* screen, const Picture& picture, const ViewLook& look,
                 const Cells& cells, std::int32_t x, std::int32_t y) {
    if (rook::StartDrawing(rook::CanvasOutput(picture.Canvas)) == 0) {
        shown.Known = false;
        return;
    }
    for (std::int32_t cell : cells) {
        if (cell >= 0) {
            RenderScreenCell(screen, picture.View, cell % ScreenColumns, cell / ScreenColumns, x, y,
                             look);
        }
    }
    rook::StopDrawing();
}

void MoveHighlight(const std::uint8_t* screen, std::int32_t x, std::int32_t y, const ViewLook& look,
                   std::int32_t highlight) {
    for (const Picture& picture : Pictures) {
        RedrawCells(screen, picture, look,
                    std::initializer_list<std::int32_t>{shown.Highlight, highlight}, x, y);
    }
    shown.Highlight = highlight;
}

// The cells whose flash bit is set, by linear index; -1 past the last.
struct FlashingCells {
    explicit FlashingCells(const std::uint8_t* screen) {
        Count = 0;
        for (std::int32_t cell = 0; cell < CellCount; ++cell) {
            if ((screen[AttributeStart + cell] & AttributeFlash) != 0) {
                Cells[Count++] = cell;
            }
        }
    }
    const std::int32_t* begin() const { return Cells.data(); }
    const std::int32_t* end() const { return Cells.data() + Count; }

    std::array<std::int32_t, CellCount> Cells;
    std::int32_t Count;
};

} // namespace

void ForgetShownScreen() {
    shown.Known = false;
}

ViewLook CurrentLook(const ShellState& shell) {
    return {shell.Zoom, rook::GetGadgetState(GridBox) != 0, shell.Phase};
}

void RecordShownScreen(const std::uint8_t* screen, std::int32_t x, std::int32_t y,
                       const ViewLook& look, bool drawn) {
    shown.Known = drawn;
    shown.Highlight = HighlightedCell(x, y);
    shown.Look = look;
    std::memcpy(shown.Screen.data(), screen, ScreenFileSize);
}

void ShowPointerCell(const ShellState& shell, std::int32_t x, std::int32_t y) {
    const ViewLook look = CurrentLook(shell);
    if (!ShowsAllBut(shell.Screen, look) || shown.Look.Flash != look.Flash) {
        RedrawScreen(shell, x, y);
        return;
    }
    const std::int32_t highlight = HighlightedCell(x, y);
    if (highlight != shown.Highlight) {
        MoveHighlight(shell.Screen, x, y, look, highlight);
    }
}

void RedrawKeepingHighlight(const ShellState& shell) {
    const std::int32_t cell = shown.Known ? shown.Highlight : -1;
    if (cell < 0) {
        RedrawScreen(shell, NoHighlight, NoHighlight);
        return;
    }
    RedrawScreen(shell, cell % ScreenColumns, cell / ScreenColumns);
}

void ShowFlashPhase(const ShellState& shell) {
    const ViewLook look = CurrentLook(shell);
    if (!ShowsAllBut(shell.Screen, look)) {
        RedrawKeepingHighlight(shell);
        return;
    }
    if (shown.Look.Flash == look.Flash) {
        return;
    }
    const std::int32_t cell = shown.Highlight;
    RedrawCells(shell.Screen, Pictures[ColourView], look, FlashingCells(shell.Screen),
                cell >= 0 ? cell % ScreenColumns : NoHighlight,
                cell >= 0 ? cell / ScreenColumns : NoHighlight);
    shown.Look.Flash = look.Flash;
}

} // namespace inkswap
