#pragma once
// The check box gadget: the platform's two-state check box with a label.
// The control keeps the check mark and toggles it on every click; each
// click also raises the gadget event 13100 with type 0, after the toggle.

#include <cstdint>

namespace rook {

inline constexpr std::int32_t CheckBoxTypeNumber = 4;

// Creates an unchecked check box in the current gadget list at (x, y) of
// its client area. The window handle, or the identifier for AnyNumber; 0
// when the control cannot be created. A null text gives an empty label.
std::intptr_t CheckBoxGadget(std::int32_t number, std::int32_t x, std::int32_t y,
                             std::int32_t width, std::int32_t height, const char* text);

} // namespace rook
