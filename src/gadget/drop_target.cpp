// Drop targets: EnableGadgetDrop, the IDropTarget object, and OLE's start
// and end.

#include "gadget/drop_target.h"

#include "gadget/gadget.h"
#include "platform/win32/owners.h"
#include "runtime/toolkit_heap.h"
#include "window/event_state.h"
#include "window/window.h"
#include "window/window_procedure.h"

#include <cstring>
#include <new>
#include <vector>

namespace rook {

namespace {

enum DragState : std::int32_t { NothingAcceptable = 0, StandardMatch = 1, PrivateMatch = 2 };

// The low bits of a button's kind (BS_TYPEMASK): all clear only for a plain
// push button, which does not count as check-box-like.
constexpr LONG_PTR ButtonKindBits = BS_TYPEMASK >> 1;

// The gadget type that is never moved in front of others (none of Rook's
// kinds here).
constexpr std::int32_t UnstackedKind = 7;

static_assert(FormatText == CF_TEXT && FormatFileList == CF_HDROP &&
              FormatPrivate == CF_PRIVATEFIRST);
static_assert(ActionNone == DROPEFFECT_NONE && ActionCopy == DROPEFFECT_COPY &&
              ActionMove == DROPEFFECT_MOVE && ActionLink == DROPEFFECT_LINK);
static_assert(DragKeyShift == MK_SHIFT && DragKeyControl == MK_CONTROL && DragKeyAlt == MK_ALT);

// Moves check-box-like buttons that overlap the gadget and lie above it in
// the stacking order behind it.
void MoveOverlappingButtonsBehind(HWND gadget) {
    HWND parent = ::GetParent(gadget);
    if (parent == nullptr) {
        return;
    }
    std::vector<HWND> before;
    struct Walk {
        HWND Gadget;
        std::vector<HWND>* Before;
    } walk{gadget, &before};
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM state) -> BOOL {
            auto* w = reinterpret_cast<Walk*>(state);
            if (child == w->Gadget) {
                return FALSE;
            }
            // No exception may leave a Win32 callback: without memory the
            // walk just ends early.
            try {
                w->Before->push_back(child);
            } catch (...) {
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    RECT gadgetArea;
    ::GetWindowRect(gadget, &gadgetArea);
    for (HWND child : before) {
        char className[50] = {};
        ::GetClassNameA(child, className, sizeof className);
        RECT childArea, overlap;
        ::GetWindowRect(child, &childArea);
        if (::GetParent(child) == parent && std::strcmp(className, "Button") == 0 &&
            (::GetWindowLongPtrA(child, GWL_STYLE) & ButtonKindBits) != 0 &&
            ::IntersectRect(&overlap, &childArea, &gadgetArea)) {
            ::SetWindowPos(child, gadget, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

// The window's target, made and registered when it has none yet; null when
// the platform refuses the registration.
DropTarget* RegisteredTarget(const GadgetRecord* gadget, std::int32_t number) {
    HWND window = gadget->Handle;
    if (DropTarget* target = DropTargetOf(window); target != nullptr) {
        return target;
    }
    void* memory = ToolkitAllocate(sizeof(DropTarget), os::Fill::Zero);
    if (memory == nullptr) {
        return nullptr;
    }
    // Our reference goes at the end: on success the platform's registration
    // then holds the only one, on failure the target is freed.
    const win32::ComPointer<DropTarget> target(
        new (memory) DropTarget(gadget->Type->TypeNumber, number, window));
    HRESULT result = ::RegisterDragDrop(window, target.get());
    if (result == DRAGDROP_E_ALREADYREGISTERED) {
        ::RevokeDragDrop(window);
        result = ::RegisterDragDrop(window, target.get());
    }
    if (FAILED(result)) {
        return nullptr;
    }
    ::SetPropA(window, DropAcceptProperty, target.get());
    return target.get();
}

// The list a format belongs to, and its key there: private types are
// kept under 0 in their own list.
DropFormatEntry*& ListOf(DropTarget* target, std::uint32_t format) {
    return format == FormatPrivate ? target->Private : target->Standard;
}

std::uint32_t KeyOf(std::uint32_t format) {
    return format == FormatPrivate ? 0 : format;
}

void RemoveFormat(HWND window, std::uint32_t format) {
    DropTarget* target = DropTargetOf(window);
    if (target == nullptr) {
        return;
    }
    SetDropFormat(ListOf(target, format), KeyOf(format), 0);
    if (target->Standard == nullptr && target->Private == nullptr) {
        RevokeDropTarget(window);
    }
}

void AddFormat(const GadgetRecord* gadget, std::int32_t number, std::uint32_t format,
               std::uint32_t actions) {
    DropTarget* target = RegisteredTarget(gadget, number);
    if (target == nullptr) {
        return;
    }
    SetDropFormat(ListOf(target, format), KeyOf(format), actions);
}

} // namespace

DropTarget::DropTarget(std::int32_t kind, std::int32_t number, HWND window)
    : ReferenceCount(1), Kind(kind), Number(number), Window(window), Standard(nullptr),
      Private(nullptr), DragState(NothingAcceptable), Matched(0), MatchedActions(0) {}

HRESULT STDMETHODCALLTYPE DropTarget::QueryInterface(REFIID requested, void** object) {
    if (object == nullptr) {
        return E_INVALIDARG;
    }
    if (IsEqualIID(requested, IID_IUnknown) || IsEqualIID(requested, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DropTarget::AddRef() {
    return static_cast<ULONG>(++ReferenceCount);
}

ULONG STDMETHODCALLTYPE DropTarget::Release() {
    if (--ReferenceCount > 0) {
        return static_cast<ULONG>(ReferenceCount);
    }
    FreeDropFormats(Standard);
    FreeDropFormats(Private);
    this->~DropTarget();
    ToolkitRelease(this);
    return 0;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL,
                                                DWORD* effects) {
    DragState = NothingAcceptable;
    const DWORD offered = effects != nullptr ? *effects : DROPEFFECT_NONE;
    for (const DropFormatEntry* entry = Standard; entry != nullptr && data != nullptr;
         entry = entry->Next) {
        if ((entry->Actions & offered) != 0 && OffersFormat(data, entry->Format)) {
            DragState = StandardMatch;
            Matched = entry->Format;
            MatchedActions = entry->Actions;
            break;
        }
    }
    std::uint32_t type = 0;
    if (DragState == NothingAcceptable && Private != nullptr && data != nullptr &&
        DroppedPrivateType(data, type)) {
        for (const DropFormatEntry* entry = Private; entry != nullptr; entry = entry->Next) {
            if (entry->Format == type && (entry->Actions & offered) != 0) {
                DragState = PrivateMatch;
                Matched = type;
                MatchedActions = entry->Actions;
                break;
            }
        }
    }
    if (effects != nullptr) {
        *effects = DragState != NothingAcceptable ? ChooseDropEffect(MatchedActions, keys, offered)
                                                  : DROPEFFECT_NONE;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragOver(DWORD keys, POINTL, DWORD* effects) {
    if (effects != nullptr) {
        *effects = DragState != NothingAcceptable ? ChooseDropEffect(MatchedActions, keys, *effects)
                                                  : DROPEFFECT_NONE;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragLeave() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::Drop(IDataObject* data, DWORD keys, POINTL point,
                                           DWORD* effects) {
    const DWORD offered = effects != nullptr ? *effects : DROPEFFECT_NONE;
    const DWORD effect =
        DragState != NothingAcceptable ? ChooseDropEffect(MatchedActions, keys, offered) : 0;
    POINT at{point.x, point.y};
    ::ScreenToClient(Window, &at);
    DropRecord* record = nullptr;
    if (effect != DROPEFFECT_NONE) {
        record = DragState == PrivateMatch ? MakeDropRecord(FormatPrivate, Matched, effect, at)
                 : data != nullptr         ? CopyDroppedData(data, Matched, effect, at)
                                           : nullptr;
    }
    if (record != nullptr && !HandOverDropRecord(record)) {
        FreeDropRecord(record);
        record = nullptr;
    }
    if (record != nullptr &&
        !::PostMessageA(TopLevelWindow(Window), GadgetDropMessage, static_cast<WPARAM>(Number),
                        reinterpret_cast<LPARAM>(record))) {
        // Nobody would take or free it.
        FreeDropRecord(TakeHandedOverDropRecord(reinterpret_cast<std::uintptr_t>(record)));
        record = nullptr;
    }
    if (effects != nullptr) {
        *effects = record != nullptr ? effect : DROPEFFECT_NONE;
    }
    return S_OK;
}

void DragDropInit() {
    ::OleInitialize(nullptr);
}

namespace {

BOOL CALLBACK RevokeChildDropTarget(HWND window, LPARAM) {
    RevokeDropTarget(window);
    return TRUE;
}

BOOL CALLBACK RevokeDropTargetsOf(HWND window, LPARAM) {
    RevokeDropTarget(window);
    ::EnumChildWindows(window, RevokeChildDropTarget, 0);
    return TRUE;
}

} // namespace

// Windows close after OLE has shut down: their drop targets are revoked
// now, while OLE can still release them.
void DragDropEnd() {
    ::EnumThreadWindows(::GetCurrentThreadId(), RevokeDropTargetsOf, 0);
    ::OleUninitialize();
}

DropTarget* DropTargetOf(HWND window) {
    return static_cast<DropTarget*>(::GetPropA(window, DropAcceptProperty));
}

void EnableGadgetDrop(std::int32_t number, std::int32_t format, std::int32_t actions) {
    const GadgetRecord* gadget = FindGadget(number);
    if (gadget == nullptr) {
        return;
    }
    if (format != 0) {
        if (actions == 0) {
            RemoveFormat(gadget->Handle, static_cast<std::uint32_t>(format));
        } else {
            AddFormat(gadget, number, static_cast<std::uint32_t>(format),
                      static_cast<std::uint32_t>(actions));
        }
    }
    if (gadget->Type->TypeNumber != UnstackedKind) {
        MoveOverlappingButtonsBehind(gadget->Handle);
    }
}

} // namespace rook
