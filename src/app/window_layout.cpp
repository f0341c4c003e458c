#include "app/window_layout.h"

#include "platform/win32/dpi.h"
#include "screen/screen_image.h"

namespace inkswap {

WindowLayout LayoutFor(std::int32_t zoom, std::int32_t dpi, std::int32_t border) {
    const auto scaled = [dpi](std::int32_t value) {
        return rook::win32::ScaleForDpi(value, static_cast<UINT>(dpi));
    };
    const std::int32_t width = ScreenWidth * zoom;
    const std::int32_t height = ScreenHeight * zoom;
    const std::int32_t top = scaled(CorrectModeBoxPlacement.Height);
    const std::int32_t colourLeft = width + 2 * border + scaled(14);
    const std::int32_t statusTop = top + height + 2 * border + scaled(2);
    const std::int32_t picturesRight = colourLeft + width + 2 * border;
    WindowLayout layout{};
    layout.BitmapCanvas = {0, top, width, height};
    layout.ColourCanvas = {colourLeft, top, width, height};
    layout.CorrectModeBox = {scaled(10), 0, scaled(270), top};
    layout.GridBox = {scaled(280), 0, scaled(270), top};
    layout.StatusLine = {scaled(10), statusTop, picturesRight - scaled(14), scaled(20)};
    layout.ClientWidth = picturesRight + scaled(27);
    layout.ClientHeight = statusTop + scaled(20) + scaled(80);
    return layout;
}

} // namespace inkswap
