#pragma once
// The gadget core. A gadget is a child control of a toolkit window named by
// a number: its record lives in the gadget registry, its kind's operations
// in a GadgetType table, and its window is subclassed, carries the number
// as control identifier and as the property "RK_ID", and uses the default
// GUI font. When the window is destroyed the core takes the gadget down in
// a fixed order and frees its number.

#include "platform/win32/win32.h"
#include "runtime/object_registry.h"
#include "window/gadget_list.h"

#include <cstdint>

namespace rook {

struct GadgetType;

struct GadgetRecord {
    HWND Handle; // non-zero exactly while the gadget lives
    const GadgetType* Type;
    WNDPROC PreviousProcedure;
    std::intptr_t TypeFields[4]; // their meaning belongs to the gadget's type
};

// The operations of one kind of gadget; an empty entry means the kind does
// not support the operation.
struct GadgetType {
    std::int32_t TypeNumber;
    LRESULT(*ParentMessage)
    (GadgetRecord* gadget, HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
    void (*Free)(GadgetRecord* gadget);
    std::int32_t (*GetState)(GadgetRecord* gadget);
    std::int32_t (*GetAttribute)(GadgetRecord* gadget, std::int32_t attribute);
    // Moves and sizes the gadget as its kind reads the size; empty: the
    // size is the window's outer one.
    bool (*Resize)(GadgetRecord* gadget, std::int32_t x, std::int32_t y, std::int32_t width,
                   std::int32_t height);
};

inline constexpr char GadgetIdProperty[] = "RK_ID";

// Start step: default GUI font, gadget registry, library state (with the
// gadget-list state, handed to the gadget lists), common controls, and the
// window procedure's handler of messages controls send their parents.
void GadgetLibraryInit();

// End step: nothing to release; gadgets end with their windows.
void GadgetLibraryEnd();

// Creates a gadget kind's window as a child of the current gadget list,
// with control identifier -1 until it is registered; null on failure.
HWND CreateGadgetWindow(DWORD extendedStyle, const char* className, const char* text, DWORD style,
                        std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

// The record for a number, taken for a freshly created gadget window (a
// live gadget of that number is destroyed first). When the registry
// refuses the number, the window is destroyed and the storage is null.
RegistryObject TakeGadgetRecord(std::int32_t number, HWND window);

// Makes a freshly created control window the gadget of a registry object:
// subclassing, identifier, "RK_ID", font. Returns what the creation call
// returns: the identifier for AnyNumber, else the window handle.
std::intptr_t RegisterGadget(std::int32_t number, RegistryObject object, HWND window,
                             const GadgetType* type);

// Creates a gadget kind whose whole creation is a control window of a
// class with a text: the window, its record, its registration. What the
// creation call returns (see RegisterGadget), or 0 on failure. A null text
// is taken as empty.
std::intptr_t CreateControlGadget(std::int32_t number, const char* className, const char* text,
                                  DWORD style, std::int32_t x, std::int32_t y, std::int32_t width,
                                  std::int32_t height, const GadgetType* type);

// The live gadget of a number, or null.
GadgetRecord* FindGadget(std::int32_t number);

// 0 for a number without a live gadget or a kind without the operation.
std::int32_t GetGadgetAttribute(std::int32_t number, std::int32_t attribute);

// Moves the gadget to (x, y) in its window's client area and gives it the
// size, read as its kind reads a size at creation; false when there is no
// such gadget or the platform refuses.
bool ResizeGadget(std::int32_t number, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height);

// Gives the gadget the font (kept by the caller for as long as the gadget
// shows it) and repaints it.
void SetGadgetFont(std::int32_t number, HFONT font);
std::int32_t GetGadgetState(std::int32_t number);

// Offers a message that a control sent to its parent to the control's
// gadget kind; NotHandled when the control is no gadget or its kind does
// not take such messages.
LRESULT DispatchParentMessage(HWND control, HWND parent, UINT message, WPARAM wParam,
                              LPARAM lParam);

// The nearest of the window and its ancestors that is a toolkit window, or
// failing that the outermost ancestor.
HWND TopLevelWindow(HWND window);

} // namespace rook
