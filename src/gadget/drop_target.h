#pragma once
// Drop targets: gadgets that accept data dragged onto them from another
// program, above all file lists dragged from the desktop shell. A gadget's
// target is the COM object registered with the platform's drag-and-drop
// service (OLE); it keeps the formats it accepts with their actions
// (drop_format_list.h), picks the effect (drop_effect.h), copies a drop
// into a DropRecord (drop_data.h) and posts it to the gadget's top-level
// window, where it becomes the drop event 13106.

#include "gadget/drop_data.h"
#include "gadget/drop_effect.h"
#include "gadget/drop_format_list.h"
#include "platform/win32/win32.h"

#include <cstdint>

namespace rook {

// Start step: initialises OLE for this thread.
void DragDropInit();

// End step: revokes every drop target of this thread's windows, then shuts
// OLE down.
void DragDropEnd();

// Accepts the format with the actions on the gadget; actions 0 stop
// accepting it. Overlapping check-box-like buttons are moved behind the
// gadget, so that they do not hide it from drops.
void EnableGadgetDrop(std::int32_t number, std::int32_t format, std::int32_t actions);

// COM interfaces have no virtual destructor; the target is only ever freed
// by its own Release.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

// The target of a gadget window.
class DropTarget final : public IDropTarget {
public:
    DropTarget(std::int32_t kind, std::int32_t number, HWND window);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID requested, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                        DWORD* effects) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effects) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                   DWORD* effects) override;

    std::int32_t ReferenceCount;
    std::int32_t Kind;
    std::int32_t Number;
    HWND Window;
    DropFormatEntry* Standard;
    DropFormatEntry* Private;
    std::int32_t DragState; // 0 nothing acceptable, 1 a standard format, 2 a private type
    std::uint32_t Matched;  // the matched format or private type
    std::uint32_t MatchedActions;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// The target attached to a window, or null.
DropTarget* DropTargetOf(HWND window);

} // namespace rook
