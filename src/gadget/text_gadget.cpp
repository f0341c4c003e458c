#include "gadget/text_gadget.h"

#include "gadget/gadget.h"

namespace rook {

namespace {

constexpr DWORD TextStyle = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
constexpr char TextClassName[] = "RookText";

constexpr GadgetType TextType = {TextTypeNumber, nullptr, nullptr, nullptr, nullptr, nullptr};

// The platform's static text with a device context of its own: a static
// paints itself at once whenever its text changes, and a shared device
// context is set up afresh for each of those paints (under Wine that set-up
// costs more than the text). The procedure, and so every pixel, is the
// static's. Falls back to the plain static if the class cannot be made.
const char* TextClass() {
    static const char* const name = [] {
        WNDCLASSEXA text{};
        text.cbSize = sizeof text;
        if (::GetClassInfoExA(nullptr, "Static", &text) == 0) {
            return "Static";
        }
        text.style |= CS_OWNDC;
        text.hInstance = ::GetModuleHandleA(nullptr);
        text.lpszClassName = TextClassName;
        return ::RegisterClassExA(&text) != 0 ? TextClassName : "Static";
    }();
    return name;
}

} // namespace

std::intptr_t TextGadget(std::int32_t number, std::int32_t x, std::int32_t y, std::int32_t width,
                         std::int32_t height, const char* text) {
    return CreateControlGadget(number, TextClass(), text, TextStyle, x, y, width, height,
                               &TextType);
}

void SetGadgetText(std::int32_t number, const char* text) {
    GadgetRecord* gadget = FindGadget(number);
    if (gadget == nullptr) {
        return;
    }
    ::SetWindowTextA(gadget->Handle, text != nullptr ? text : "");
}

} // namespace rook
