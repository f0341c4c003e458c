// Drop targets: EnableGadgetDrop, the IDropTarget object and its effect
// rules, the posted DropRecord, and EventDropFiles.

#include "gadget/drop_target.h"

#include "gadget/drop_record.h"
#include "gadget/file_list.h"
#include "gadget/gadget.h"
#include "runtime/toolkit_heap.h"
#include "window/event_state.h"
#include "window/window.h"
#include "window/window_procedure.h"

#include <cstring>
#include <new>
#include <shellapi.h>
#include <vector>

namespace rook {

namespace {

enum DragState : std::int32_t { NothingAcceptable = 0, StandardMatch = 1, PrivateMatch = 2 };

// The gadget type that is never moved in front of others (none of this
// system's kinds).
constexpr std::int32_t UnstackedKind = 7;
constexpr DWORD KeyShift = MK_SHIFT;
constexpr DWORD KeyControl = MK_CONTROL;
constexpr DWORD KeyAlt = MK_ALT;

FORMATETC GlobalFormat(std::uint32_t format) {
    return {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// The action a drop would have, from the matched actions, the keys held and
// the effects the source offers.
DWORD ChooseEffect(std::uint32_t actions, DWORD keys, DWORD offered) {
    const DWORD possible = actions & offered;
    const DWORD modifiers = keys & (KeyShift | KeyControl | KeyAlt);
    if ((possible & ActionLink) != 0 &&
        (modifiers == (KeyControl | KeyShift) || modifiers == KeyAlt)) {
        return ActionLink;
    }
    if ((possible & ActionMove) != 0 && (modifiers == KeyShift || (possible & ActionCopy) == 0)) {
        return ActionMove;
    }
    if ((possible & (ActionCopy | ActionMove)) == 0) {
        return (possible & ActionLink) != 0 ? ActionLink : DROPEFFECT_NONE;
    }
    return ActionCopy;
}

DropFormatEntry* FindEntry(DropFormatEntry* list, std::uint32_t format) {
    for (DropFormatEntry* entry = list; entry != nullptr; entry = entry->Next) {
        if (entry->Format == format) {
            return entry;
        }
    }
    return nullptr;
}

void Unlink(DropFormatEntry*& list, DropFormatEntry* entry) {
    if (entry->Previous != nullptr) {
        entry->Previous->Next = entry->Next;
    } else {
        list = entry->Next;
    }
    if (entry->Next != nullptr) {
        entry->Next->Previous = entry->Previous;
    }
    ToolkitRelease(entry);
}

void PushFront(DropFormatEntry*& list, std::uint32_t format, std::uint32_t actions) {
    auto* entry =
        static_cast<DropFormatEntry*>(ToolkitAllocate(sizeof(DropFormatEntry), os::Fill::Zero));
    if (entry == nullptr) {
        return;
    }
    entry->Format = format;
    entry->Actions = actions;
    entry->Next = list;
    if (list != nullptr) {
        list->Previous = entry;
    }
    list = entry;
}

void FreeList(DropFormatEntry* list) {
    while (list != nullptr) {
        DropFormatEntry* next = list->Next;
        ToolkitRelease(list);
        list = next;
    }
}

DropRecord* MakeRecord(std::uint32_t format, std::uint32_t privateType, DWORD effect, POINT at) {
    auto* record = static_cast<DropRecord*>(ToolkitAllocate(sizeof(DropRecord), os::Fill::Zero));
    if (record != nullptr) {
        *record = {format, privateType, effect, at.x, at.y, nullptr, 0};
    }
    return record;
}

// A record with a copy of the data of a standard format; null when the
// data cannot be had, locked or copied.
DropRecord* RecordWithData(IDataObject* data, std::uint32_t format, DWORD effect, POINT at) {
    FORMATETC wanted = GlobalFormat(format);
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&wanted, &medium))) {
        return nullptr;
    }
    DropRecord* record = nullptr;
    if (const void* block = ::GlobalLock(medium.hGlobal); block != nullptr) {
        const SIZE_T size = ::GlobalSize(medium.hGlobal);
        record = MakeRecord(format, 0, effect, at);
        void* copy = record != nullptr && size <= INT32_MAX
                         ? ToolkitAllocate(size, os::Fill::Uninitialised)
                         : nullptr;
        if (copy != nullptr) {
            std::memcpy(copy, block, size);
            record->Data = copy;
            record->DataSize = static_cast<std::int32_t>(size);
        } else {
            FreeDropRecord(record);
            record = nullptr;
        }
        ::GlobalUnlock(medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);
    return record;
}

// The private type a toolkit drag carries, if the data offer one.
bool PrivateTypeOf(IDataObject* data, std::uint32_t& type) {
    FORMATETC wanted = GlobalFormat(FormatPrivate);
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&wanted, &medium))) {
        return false;
    }
    bool found = false;
    if (const void* block = ::GlobalLock(medium.hGlobal); block != nullptr) {
        if (::GlobalSize(medium.hGlobal) >= sizeof type) {
            std::memcpy(&type, block, sizeof type);
            found = true;
        }
        ::GlobalUnlock(medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);
    return found;
}

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
            (::GetWindowLongPtrA(child, GWL_STYLE) & 7) != 0 &&
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
    auto* target = new (memory) DropTarget(gadget->Type->TypeNumber, number, window);
    HRESULT result = ::RegisterDragDrop(window, target);
    if (result == DRAGDROP_E_ALREADYREGISTERED) {
        ::RevokeDragDrop(window);
        result = ::RegisterDragDrop(window, target);
    }
    if (FAILED(result)) {
        target->Release();
        return nullptr;
    }
    ::SetPropA(window, DropAcceptProperty, target);
    // The platform's registration now holds the only reference.
    target->Release();
    return target;
}

void RemoveFormat(HWND window, std::uint32_t format) {
    DropTarget* target = DropTargetOf(window);
    if (target == nullptr) {
        return;
    }
    DropFormatEntry*& list = format == FormatPrivate ? target->Private : target->Standard;
    if (DropFormatEntry* entry = FindEntry(list, format == FormatPrivate ? 0 : format);
        entry != nullptr) {
        Unlink(list, entry);
    }
    if (target->Standard == nullptr && target->Private == nullptr) {
        ::RemovePropA(window, DropAcceptProperty);
        ::RevokeDragDrop(window); // the platform's release frees the target
    }
}

void AddFormat(const GadgetRecord* gadget, std::int32_t number, std::uint32_t format,
               std::uint32_t actions) {
    DropTarget* target = RegisteredTarget(gadget, number);
    if (target == nullptr) {
        return;
    }
    const bool isPrivate = format == FormatPrivate;
    DropFormatEntry*& list = isPrivate ? target->Private : target->Standard;
    const std::uint32_t key = isPrivate ? 0 : format;
    if (DropFormatEntry* entry = FindEntry(list, key); entry != nullptr) {
        entry->Actions = actions;
    } else {
        PushFront(list, key, actions);
    }
}

// A movable global copy of a file list, for the platform's queries.
class GlobalCopy {
public:
    GlobalCopy(const void* data, std::size_t size) : block_(::GlobalAlloc(GMEM_MOVEABLE, size)) {
        void* locked = block_ != nullptr ? ::GlobalLock(block_) : nullptr;
        if (locked == nullptr) {
            Free();
            return;
        }
        std::memcpy(locked, data, size);
        ::GlobalUnlock(block_);
    }
    ~GlobalCopy() { Free(); }
    GlobalCopy(const GlobalCopy&) = delete;
    GlobalCopy& operator=(const GlobalCopy&) = delete;

    HDROP Drop() const { return static_cast<HDROP>(block_); }

private:
    void Free() {
        if (block_ != nullptr) {
            ::GlobalFree(block_);
        }
        block_ = nullptr;
    }

    HGLOBAL block_;
};

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
    FreeList(Standard);
    FreeList(Private);
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
        FORMATETC wanted = GlobalFormat(entry->Format);
        if ((entry->Actions & offered) != 0 && data->QueryGetData(&wanted) == S_OK) {
            DragState = StandardMatch;
            Matched = entry->Format;
            MatchedActions = entry->Actions;
            break;
        }
    }
    std::uint32_t type = 0;
    if (DragState == NothingAcceptable && Private != nullptr && data != nullptr &&
        PrivateTypeOf(data, type)) {
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
        *effects = DragState != NothingAcceptable ? ChooseEffect(MatchedActions, keys, offered)
                                                  : DROPEFFECT_NONE;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragOver(DWORD keys, POINTL, DWORD* effects) {
    if (effects != nullptr) {
        *effects = DragState != NothingAcceptable ? ChooseEffect(MatchedActions, keys, *effects)
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
        DragState != NothingAcceptable ? ChooseEffect(MatchedActions, keys, offered) : 0;
    POINT at{point.x, point.y};
    ::ScreenToClient(Window, &at);
    DropRecord* record = nullptr;
    if (effect != DROPEFFECT_NONE) {
        record = DragState == PrivateMatch ? MakeRecord(FormatPrivate, Matched, effect, at)
                 : data != nullptr         ? RecordWithData(data, Matched, effect, at)
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

BOOL CALLBACK RevokeDropTarget(HWND window, LPARAM) {
    if (::RemovePropA(window, DropAcceptProperty) != nullptr) {
        ::RevokeDragDrop(window); // the platform's release frees the target
    }
    return TRUE;
}

BOOL CALLBACK RevokeDropTargetsOf(HWND window, LPARAM) {
    RevokeDropTarget(window, 0);
    ::EnumChildWindows(window, RevokeDropTarget, 0);
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

void EventDropFiles(std::int32_t p) {
    const DropRecord* record = GetEventState().Drop;
    if (record == nullptr || record->Data == nullptr || record->Format != FormatFileList ||
        record->DataSize < 0 ||
        !IsWellFormedFileList(record->Data, static_cast<std::size_t>(record->DataSize))) {
        TempSetTop(p);
        return;
    }
    const GlobalCopy list(record->Data, static_cast<std::size_t>(record->DataSize));
    if (list.Drop() == nullptr) {
        TempSetTop(p);
        return;
    }
    const UINT count = ::DragQueryFileA(list.Drop(), 0xFFFFFFFF, nullptr, 0);
    std::int64_t total = count > 0 ? static_cast<std::int64_t>(count) - 1 : 0;
    for (UINT i = 0; i < count; ++i) {
        total += ::DragQueryFileA(list.Drop(), i, nullptr, 0);
    }
    char* result = count > 0 && total > 0 && total < INT32_MAX
                       ? TempReserve(static_cast<std::int32_t>(total), p)
                       : nullptr;
    if (result == nullptr) {
        TempSetTop(p);
        return;
    }
    std::int64_t at = 0;
    for (UINT i = 0; i < count; ++i) {
        at += ::DragQueryFileA(list.Drop(), i, result + at, static_cast<UINT>(total + 1 - at));
        result[at++] = '\n';
    }
    result[total] = '\0';
}

} // namespace rook
