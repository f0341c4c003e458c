#pragma once
// The canvas gadget: a child window that shows a private 24-bit bottom-up
// back buffer and turns mouse, keyboard and focus activity over it into
// queued gadget events, each with a snapshot of pointer, buttons and keys.
// The application draws into the buffer through CanvasOutput; the stop step
// of that drawing puts the picture on screen at once.

#include "drawing/drawing_context.h"
#include "platform/win32/win32.h"
#include "runtime/element_pool.h"

#include <cstdint>

namespace rook {

inline constexpr std::int32_t CanvasTypeNumber = 33;

// Creation flags.
inline constexpr std::uint32_t CanvasFlagBorder = 1;   // sunken edge; buffer 4 smaller
inline constexpr std::uint32_t CanvasFlagConfine = 2;  // cursor kept inside while a button is held
inline constexpr std::uint32_t CanvasFlagKeyboard = 4; // tab stop; a click gives it the focus
inline constexpr std::uint32_t CanvasFlagFocusFrame = 8; // dotted frame while focused
// The size given is the client area's and the back buffer's: the border
// lies outside it, however wide the platform draws it.
inline constexpr std::uint32_t CanvasFlagClientSize = 16;

// Event types.
inline constexpr std::int32_t ClickLeft = 0;
inline constexpr std::int32_t ClickRight = 1;
inline constexpr std::int32_t DoubleClickLeft = 2;
inline constexpr std::int32_t DoubleClickRight = 3;
inline constexpr std::int32_t PointerEnter = 0x10001;
inline constexpr std::int32_t PointerLeave = 0x10002;
inline constexpr std::int32_t PointerMove = 0x10003;
inline constexpr std::int32_t LeftPress = 0x10004;
inline constexpr std::int32_t LeftRelease = 0x10005;
inline constexpr std::int32_t RightPress = 0x10006;
inline constexpr std::int32_t RightRelease = 0x10007;
inline constexpr std::int32_t MiddlePress = 0x10008;
inline constexpr std::int32_t MiddleRelease = 0x10009;
inline constexpr std::int32_t WheelTurn = 0x1000A;
inline constexpr std::int32_t KeyPress = 0x1000B;
inline constexpr std::int32_t KeyRelease = 0x1000C;
inline constexpr std::int32_t CharInput = 0x1000D;
inline constexpr std::int32_t FocusGain = 14000;
inline constexpr std::int32_t FocusLoss = 14001;

// Attributes for GetGadgetAttribute.
inline constexpr std::int32_t CanvasAttrImage = 1;
inline constexpr std::int32_t CanvasAttrPointerX = 2;
inline constexpr std::int32_t CanvasAttrPointerY = 3;
inline constexpr std::int32_t CanvasAttrButtons = 4;
inline constexpr std::int32_t CanvasAttrKey = 5;
inline constexpr std::int32_t CanvasAttrModifiers = 6;
inline constexpr std::int32_t CanvasAttrCursor = 7;
inline constexpr std::int32_t CanvasAttrWheel = 8;
inline constexpr std::int32_t CanvasAttrInput = 9;
inline constexpr std::int32_t CanvasAttrConfine = 10;
inline constexpr std::int32_t CanvasAttrCustomCursor = 11;

// Buttons and modifiers in a snapshot.
inline constexpr std::int32_t ButtonLeft = 1;
inline constexpr std::int32_t ButtonRight = 2;
inline constexpr std::int32_t ButtonMiddle = 4;
inline constexpr std::int32_t ModifierShift = 1;
inline constexpr std::int32_t ModifierAlt = 2;
inline constexpr std::int32_t ModifierControl = 4;

// The snapshot attached to every event a canvas queues.
struct CanvasEventData {
    std::int32_t PointerX; // client coordinates, not clamped
    std::int32_t PointerY;
    std::int32_t Buttons;
    std::int32_t Key; // virtual-key code of a key event
    std::int32_t Modifiers;
    std::int32_t Wheel; // notches
    std::int32_t Input; // character of a character event
};

// Creates a canvas in the current gadget list at (x, y), outer size
// width x height (with CanvasFlagClientSize: client size). The window
// handle, or the identifier for AnyNumber; 0 when the window cannot be
// created. ResizeGadget moves and sizes it by the same rule and gives it a
// new white back buffer of the new size.
std::intptr_t CanvasGadget(std::int32_t number, std::int32_t x, std::int32_t y, std::int32_t width,
                           std::int32_t height, std::uint32_t flags);

// A drawing context on the canvas's back buffer, made current; 0 for a
// number that is no canvas or has no usable buffer. StopDrawing then puts
// the picture on screen.
DrawingContext* CanvasOutput(std::int32_t number);

// The pool the event snapshots come from; null before the first canvas.
const ElementPool* CanvasEventPool();

} // namespace rook
