#include "app/gadget_font.h"

#include "app/shell.h"
#include "gadget/gadget.h"
#include "platform/win32/dpi.h"

namespace inkswap {

namespace {

constexpr std::int32_t TextGadgets[] = {CorrectModeBox, GridBox, StatusLine};

struct GadgetFont {
    HFONT Made;       // made for Dpi, or null: the platform's own
    std::int32_t Dpi; // 0: none chosen yet
};

GadgetFont font = {};

HFONT ScaledGuiFont(std::int32_t dpi) {
    auto* gui = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA description{};
    if (::GetObjectA(gui, sizeof description, &description) != sizeof description) {
        return nullptr;
    }
    description.lfHeight =
        ::MulDiv(description.lfHeight, dpi, static_cast<int>(rook::win32::SystemDpi()));
    description.lfWidth = 0;
    return ::CreateFontIndirectA(&description);
}

} // namespace

void ApplyGadgetFont(std::int32_t dpi) {
    if (dpi == font.Dpi) {
        return;
    }
    HFONT old = font.Made;
    font.Made =
        dpi == static_cast<std::int32_t>(rook::win32::SystemDpi()) ? nullptr : ScaledGuiFont(dpi);
    font.Dpi = dpi;
    HFONT shown =
        font.Made != nullptr ? font.Made : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    for (std::int32_t gadget : TextGadgets) {
        rook::SetGadgetFont(gadget, shown);
    }
    if (old != nullptr) {
        ::DeleteObject(old);
    }
}

void ReleaseGadgetFont() {
    if (font.Made != nullptr) {
        ::DeleteObject(font.Made);
    }
    font = {};
}

} // namespace inkswap
