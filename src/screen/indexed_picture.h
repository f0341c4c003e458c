#pragma once
// A view of a screen as an image file holds it: palette indices, every
// Spectrum pixel a Scale x Scale block (1 to 8), with the grid's blue line
// along every cell edge when asked, and for an animation of the colour
// view both phases of FLASH as frames. A Spectrum shows 15 colours (the
// grid's blue is one of them), so the palette always holds the picture
// exactly: nothing is approximated.

#include "drawing/drawing_context.h"
#include "screen/screen_renderer.h"

#include <cstdint>
#include <vector>

namespace inkswap {

inline constexpr std::int32_t SmallestScale = 1;
inline constexpr std::int32_t LargestScale = 8;

struct PictureLook {
    ScreenView View = ColourView;
    std::int32_t Scale = 1;
    bool Grid = false;
};

struct IndexedPicture {
    std::int32_t Width;
    std::int32_t Height;
    std::vector<rook::Colour> Palette;             // the colours used, in the order met
    std::vector<std::vector<std::uint8_t>> Frames; // an index a pixel, rows from the top
};

// The picture of the screen in the look (a scale outside 1..8 is taken as
// the nearest). One frame in the plain phase; with flashFrames, and when
// the colour view has flashing cells, a second in the swapped phase.
IndexedPicture MakeIndexedPicture(const void* screen, const PictureLook& look, bool flashFrames);

} // namespace inkswap
