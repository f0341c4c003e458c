#include "window/gadget_list.h"

#include "platform/win32/remembered_property.h"
#include "runtime/toolkit_heap.h"
#include "window/procedure_chain.h"
#include "window/window.h"

#include <cstdio>

namespace rook {

namespace {

GadgetListState* listState = nullptr;

// The gadget-list procedure asks for its window's record on every message.
win32::RememberedProperty records;

// "RK_GadgetStack_%i" with the module instance as a signed decimal, so that
// two modules in one process keep their records apart.
const char* RecordProperty() {
    static char name[48] = {};
    if (name[0] == '\0') {
        std::snprintf(name, sizeof name, "RK_GadgetStack_%lld",
                      static_cast<long long>(reinterpret_cast<std::intptr_t>(ProgramInstance())));
    }
    return name;
}

HWND* NewContainerStack() {
    return static_cast<HWND*>(
        ToolkitAllocate(sizeof(HWND) * ContainerStackCapacity, os::Fill::Zero));
}

LRESULT CALLBACK GadgetListProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GadgetListRecord* record = GadgetListRecordOf(window);
    const WNDPROC previous = record != nullptr ? record->PreviousProcedure : nullptr;
    if (message == WM_NCDESTROY && record != nullptr) {
        if (listState != nullptr && listState->Current == window) {
            listState->Current = nullptr;
            listState->ContainerDepth = 0;
        }
        ToolkitRelease(record->Saved.ContainerStack);
        ToolkitRelease(record);
        ::RemovePropA(window, RecordProperty());
        records.Forget();
    }
    return CallProcedureBehind(previous, window, message, wParam, lParam);
}

GadgetListRecord* MakeRecord(HWND window) {
    auto* record =
        static_cast<GadgetListRecord*>(ToolkitAllocate(sizeof(GadgetListRecord), os::Fill::Zero));
    if (record == nullptr) {
        return nullptr;
    }
    record->Window = window;
    ::SetPropA(window, RecordProperty(), record);
    record->PreviousProcedure = PutProcedureInFront(window, GadgetListProcedure);
    return record;
}

} // namespace

void InitGadgetListState(GadgetListState& state) {
    state.Current = nullptr;
    state.ContainerStack = NewContainerStack();
    state.ContainerDepth = 0;
    state.ContainerCapacity = ContainerStackCapacity;
}

void UseGadgetListState(GadgetListState* state) {
    listState = state;
}

GadgetListState* GadgetListStateInUse() {
    return listState;
}

HWND UseGadgetList(HWND window) {
    if (listState == nullptr) {
        return nullptr;
    }
    GadgetListState& state = *listState;
    HWND previous = state.Current;
    if (window == nullptr) {
        return previous;
    }
    // The window being left keeps its state, stack included, in its record.
    if (GadgetListRecord* leaving = GadgetListRecordOf(state.Current); leaving != nullptr) {
        leaving->Saved = state;
        state.ContainerStack = nullptr;
    }
    if (GadgetListRecord* record = GadgetListRecordOf(window); record != nullptr) {
        ToolkitRelease(state.ContainerStack);
        state = record->Saved;
        record->Saved.ContainerStack = nullptr;
        return previous;
    }
    if (state.ContainerStack == nullptr) {
        state.ContainerStack = NewContainerStack();
        state.ContainerCapacity = ContainerStackCapacity;
    }
    state.ContainerDepth = 0;
    state.Current = window;
    MakeRecord(window);
    return previous;
}

HWND CurrentGadgetList() {
    return listState != nullptr ? listState->Current : nullptr;
}

GadgetListRecord* GadgetListRecordOf(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    return static_cast<GadgetListRecord*>(records.Read(window, RecordProperty()));
}

} // namespace rook
