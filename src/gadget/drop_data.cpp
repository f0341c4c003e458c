#include "gadget/drop_data.h"

#include "gadget/drop_effect.h"
#include "gadget/file_list.h"
#include "platform/win32/owners.h"
#include "runtime/string_operations.h"
#include "runtime/toolkit_heap.h"
#include "window/event_state.h"

#include <cstring>
#include <shellapi.h>

namespace rook {

namespace {

FORMATETC GlobalFormat(std::uint32_t format) {
    return {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// A movable global copy of a file list, for the platform's queries.
class GlobalCopy {
public:
    GlobalCopy(const void* data, std::size_t size) : block_(::GlobalAlloc(GMEM_MOVEABLE, size)) {
        const win32::GlobalMemoryLock locked(block_);
        if (!locked) {
            Free();
            return;
        }
        std::memcpy(locked.data(), data, size);
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

bool OffersFormat(IDataObject* data, std::uint32_t format) {
    FORMATETC wanted = GlobalFormat(format);
    return data->QueryGetData(&wanted) == S_OK;
}

DropRecord* MakeDropRecord(std::uint32_t format, std::uint32_t privateType, std::uint32_t effect,
                           POINT at) {
    auto* record = static_cast<DropRecord*>(ToolkitAllocate(sizeof(DropRecord), os::Fill::Zero));
    if (record != nullptr) {
        *record = {format, privateType, effect, at.x, at.y, nullptr, 0};
    }
    return record;
}

DropRecord* CopyDroppedData(IDataObject* data, std::uint32_t format, std::uint32_t effect,
                            POINT at) {
    FORMATETC wanted = GlobalFormat(format);
    win32::StorageMedium medium;
    if (!medium.Fetch(data, wanted)) {
        return nullptr;
    }
    const win32::GlobalMemoryLock block(medium.get().hGlobal);
    if (!block || block.size() > INT32_MAX) {
        return nullptr;
    }
    void* copy = ToolkitAllocate(block.size(), os::Fill::Uninitialised);
    DropRecord* record = copy != nullptr ? MakeDropRecord(format, 0, effect, at) : nullptr;
    if (record == nullptr) {
        ToolkitRelease(copy);
        return nullptr;
    }
    std::memcpy(copy, block.data(), block.size());
    record->Data = copy;
    record->DataSize = static_cast<std::int32_t>(block.size());
    return record;
}

bool DroppedPrivateType(IDataObject* data, std::uint32_t& type) {
    FORMATETC wanted = GlobalFormat(FormatPrivate);
    win32::StorageMedium medium;
    if (!medium.Fetch(data, wanted)) {
        return false;
    }
    const win32::GlobalMemoryLock block(medium.get().hGlobal);
    if (!block || block.size() < sizeof type) {
        return false;
    }
    std::memcpy(&type, block.data(), sizeof type);
    return true;
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
