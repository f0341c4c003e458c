#include "gadget/check_box.h"

#include "gadget/gadget.h"

namespace rook {

namespace {

constexpr DWORD CheckBoxStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX;

std::int32_t CheckBoxState(GadgetRecord* gadget) {
    switch (::SendMessageA(gadget->Handle, BM_GETCHECK, 0, 0)) {
    case BST_CHECKED:
        return 1;
    case BST_INDETERMINATE:
        return -1;
    default:
        return 0;
    }
}

constexpr GadgetType CheckBoxType = {CheckBoxTypeNumber, nullptr, nullptr,
                                     CheckBoxState,      nullptr, nullptr};

} // namespace

std::intptr_t CheckBoxGadget(std::int32_t number, std::int32_t x, std::int32_t y,
                             std::int32_t width, std::int32_t height, const char* text) {
    return CreateControlGadget(number, "Button", text, CheckBoxStyle, x, y, width, height,
                               &CheckBoxType);
}

} // namespace rook
