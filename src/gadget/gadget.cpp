#include "gadget/gadget.h"

#include "window/event_queue.h"
#include "window/event_state.h"
#include "window/procedure_chain.h"
#include "window/window.h"
#include "window/window_procedure.h"

namespace rook {

namespace {

constexpr std::int32_t GadgetGrowthStep = 50;
constexpr LONG_PTR NoIdentifier = -1;

struct GadgetLibraryState {
    GadgetListState List;
    HFONT Font;
};

ObjectRegistry* gadgetRegistry = nullptr;
LibraryState gadgetState = nullptr;

GadgetLibraryState& State() {
    return *GetLibraryState<GadgetLibraryState>(gadgetState);
}

// The registry's free callback: destroying the window runs the gadget's
// destruction in its subclass procedure.
void DestroyGadget(std::int32_t number) {
    if (const GadgetRecord* gadget = FindGadget(number); gadget != nullptr) {
        ::DestroyWindow(gadget->Handle);
    }
}

void TakeDown(GadgetRecord* gadget, HWND window, std::int32_t identifier) {
    if (gadget != nullptr && gadget->Type != nullptr && gadget->Type->Free != nullptr) {
        gadget->Type->Free(gadget);
    }
    ::RemovePropA(window, GadgetIdProperty);
    RevokeDropTarget(window);
    ::SetWindowLongPtrA(window, GWLP_ID, NoIdentifier);
    RemoveEvents(EventGadgetAction, identifier, AnyValue, AnyValue);
    RegistryFree(gadgetRegistry, identifier);
}

LRESULT CALLBACK GadgetProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LONG_PTR id = ::GetWindowLongPtrA(window, GWLP_ID);
    if (id == NoIdentifier) {
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    const auto identifier = static_cast<std::int32_t>(id);
    GadgetRecord* gadget = FindGadget(identifier);
    if (gadget == nullptr) {
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    const LRESULT result =
        CallProcedureBehind(gadget->PreviousProcedure, window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        TakeDown(gadget, window, identifier);
    }
    return result;
}

void CreateGadgetState(void* block) {
    auto* state = static_cast<GadgetLibraryState*>(block);
    InitGadgetListState(state->List);
}

} // namespace

void GadgetLibraryInit() {
    const auto font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (gadgetRegistry == nullptr) {
        gadgetRegistry = RegistryCreate(sizeof(GadgetRecord), GadgetGrowthStep, DestroyGadget);
    }
    if (gadgetState == nullptr) {
        gadgetState = CreateLibraryState(sizeof(GadgetLibraryState), CreateGadgetState);
    }
    State().Font = font;
    UseGadgetListState(&State().List);
    SetParentMessageHandler(DispatchParentMessage);
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), CommonControlClasses};
    ::InitCommonControlsEx(&controls);
}

void GadgetLibraryEnd() {}

HWND CreateGadgetWindow(DWORD extendedStyle, const char* className, const char* text, DWORD style,
                        std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    return ::CreateWindowExA(extendedStyle, className, text, style, x, y, width, height,
                             CurrentGadgetList(), reinterpret_cast<HMENU>(NoIdentifier),
                             ProgramInstance(), nullptr);
}

RegistryObject TakeGadgetRecord(std::int32_t number, HWND window) {
    const RegistryObject object = RegistryGetOrCreate(gadgetRegistry, number);
    if (object.Storage == nullptr) {
        ::DestroyWindow(window);
    }
    return object;
}

std::intptr_t RegisterGadget(std::int32_t number, RegistryObject object, HWND window,
                             const GadgetType* type) {
    const std::int32_t identifier = object.Number;
    auto* gadget = static_cast<GadgetRecord*>(object.Storage);
    gadget->Handle = window;
    gadget->Type = type;
    gadget->PreviousProcedure = PutProcedureInFront(window, GadgetProcedure);
    ::SetWindowLongPtrA(window, GWLP_ID, identifier);
    ::SetPropA(window, GadgetIdProperty,
               reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(identifier)));
    ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(State().Font), 1);
    if (number == AnyNumber) {
        return identifier;
    }
    return reinterpret_cast<std::intptr_t>(window);
}

std::intptr_t CreateControlGadget(std::int32_t number, const char* className, const char* text,
                                  DWORD style, std::int32_t x, std::int32_t y, std::int32_t width,
                                  std::int32_t height, const GadgetType* type) {
    HWND window =
        CreateGadgetWindow(0, className, text != nullptr ? text : "", style, x, y, width, height);
    if (window == nullptr) {
        return 0;
    }
    const RegistryObject object = TakeGadgetRecord(number, window);
    if (object.Storage == nullptr) {
        return 0;
    }
    return RegisterGadget(number, object, window, type);
}

GadgetRecord* FindGadget(std::int32_t number) {
    return static_cast<GadgetRecord*>(RegistryLookup(gadgetRegistry, number));
}

bool ResizeGadget(std::int32_t number, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height) {
    GadgetRecord* gadget = FindGadget(number);
    if (gadget == nullptr) {
        return false;
    }
    if (gadget->Type->Resize != nullptr) {
        return gadget->Type->Resize(gadget, x, y, width, height);
    }
    return ::SetWindowPos(gadget->Handle, nullptr, x, y, width, height,
                          SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

void SetGadgetFont(std::int32_t number, HFONT font) {
    if (const GadgetRecord* gadget = FindGadget(number); gadget != nullptr) {
        ::SendMessageA(gadget->Handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

std::int32_t GetGadgetAttribute(std::int32_t number, std::int32_t attribute) {
    GadgetRecord* gadget = FindGadget(number);
    if (gadget == nullptr || gadget->Type->GetAttribute == nullptr) {
        return 0;
    }
    return gadget->Type->GetAttribute(gadget, attribute);
}

std::int32_t GetGadgetState(std::int32_t number) {
    GadgetRecord* gadget = FindGadget(number);
    if (gadget == nullptr || gadget->Type->GetState == nullptr) {
        return 0;
    }
    return gadget->Type->GetState(gadget);
}

LRESULT DispatchParentMessage(HWND control, HWND parent, UINT message, WPARAM wParam,
                              LPARAM lParam) {
    if (control == nullptr) {
        return NotHandled;
    }
    const LONG_PTR identifier = ::GetWindowLongPtrA(control, GWLP_ID);
    GadgetRecord* gadget = FindGadget(static_cast<std::int32_t>(identifier));
    if (gadget == nullptr || gadget->Type->ParentMessage == nullptr) {
        return NotHandled;
    }
    // Checked last: reading the property asks the platform's server, and a
    // kind without parent messages (a text) needs no check.
    const auto property = reinterpret_cast<std::intptr_t>(::GetPropA(control, GadgetIdProperty));
    if (property != identifier) {
        return NotHandled;
    }
    return gadget->Type->ParentMessage(gadget, parent, message, wParam, lParam);
}

HWND TopLevelWindow(HWND window) {
    HWND current = window;
    while (true) {
        HWND parent = ::GetParent(current);
        if (parent == nullptr || ToolkitWindowNumber(current) != -1) {
            return current;
        }
        current = parent;
    }
}

} // namespace rook
