#pragma once
// The text gadget: the platform's static text control (with a device
// context of its own), a line of text the program shows and changes and the
// user only reads. Ampersands are shown as they are (no mnemonics), so any
// file name reads right. It raises no events and has no state or attributes.

#include <cstdint>

namespace rook {

inline constexpr std::int32_t TextTypeNumber = 1;

// Creates a left-aligned text in the current gadget list at (x, y) of its
// client area. The window handle, or the identifier for AnyNumber; 0 when
// the control cannot be created. A null text gives an empty line.
std::intptr_t TextGadget(std::int32_t number, std::int32_t x, std::int32_t y, std::int32_t width,
                         std::int32_t height, const char* text);

// Replaces the text of a text gadget (of any gadget with a window text);
// a null text empties it. Does nothing for a number without a gadget.
void SetGadgetText(std::int32_t number, const char* text);

} // namespace rook
