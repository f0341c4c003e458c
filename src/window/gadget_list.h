#pragma once
// Gadget lists. Gadgets are created as children of the current gadget-list
// window: the window opened last, or the one UseGadgetList chose. A window
// that has been a gadget list carries a GadgetListRecord (the property
// "RK_GadgetStack_<module instance>") that keeps its list state while
// another window is current, and a window procedure in front of its own
// that frees the record when the window goes away.

#include "platform/win32/win32.h"

#include <cstdint>

namespace rook {

inline constexpr std::int32_t ContainerStackCapacity = 10;

// The process-wide gadget-list state. The container stack (for gadgets that
// contain gadgets, which Rook has none of) is owned by whoever holds
// it: the state while its window is current, else that window's record.
struct GadgetListState {
    HWND Current;
    HWND* ContainerStack;
    std::int32_t ContainerDepth;
    std::int32_t ContainerCapacity;
};

struct GadgetListRecord {
    HWND Window;
    GadgetListState Saved;
    WNDPROC PreviousProcedure;
};

// Sets up the state: no current window, an empty stack of 10.
void InitGadgetListState(GadgetListState& state);

// The state the gadget lists work on. It lives in the gadget library's
// state, whose start step hands it over here; until then there is no
// current gadget list.
void UseGadgetListState(GadgetListState* state);

// The state handed over, or null.
GadgetListState* GadgetListStateInUse();

// Makes the window the current gadget list; returns the previous one. A
// null handle only returns the current one.
HWND UseGadgetList(HWND window);

// The window new gadgets become children of, or null.
HWND CurrentGadgetList();

// The record a window got when it became a gadget list, or null.
GadgetListRecord* GadgetListRecordOf(HWND window);

} // namespace rook
