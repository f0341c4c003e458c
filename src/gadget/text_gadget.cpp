#include "gadget/text_gadget.h"

#include "gadget/gadget.h"

namespace rook {

namespace {

constexpr DWORD TextStyle = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;

constexpr GadgetType TextType = {TextTypeNumber, nullptr, nullptr, nullptr, nullptr};

} // namespace

std::intptr_t TextGadget(std::int32_t number, std::int32_t x, std::int32_t y, std::int32_t width,
                         std::int32_t height, const char* text) {
    return CreateControlGadget(number, "Static", text, TextStyle, x, y, width, height, &TextType);
}

void SetGadgetText(std::int32_t number, const char* text) {
    GadgetRecord* gadget = FindGadget(number);
    if (gadget == nullptr) {
        return;
    }
    ::SetWindowTextA(gadget->Handle, text != nullptr ? text : "");
}

} // namespace rook
