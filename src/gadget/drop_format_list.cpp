#include "gadget/drop_format_list.h"

#include "runtime/toolkit_heap.h"

namespace rook {

namespace {

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

bool PushFront(DropFormatEntry*& list, std::uint32_t format, std::uint32_t actions) {
    auto* entry =
        static_cast<DropFormatEntry*>(ToolkitAllocate(sizeof(DropFormatEntry), os::Fill::Zero));
    if (entry == nullptr) {
        return false;
    }
    entry->Format = format;
    entry->Actions = actions;
    entry->Next = list;
    if (list != nullptr) {
        list->Previous = entry;
    }
    list = entry;
    return true;
}

} // namespace

DropFormatEntry* FindDropFormat(DropFormatEntry* list, std::uint32_t format) {
    for (DropFormatEntry* entry = list; entry != nullptr; entry = entry->Next) {
        if (entry->Format == format) {
            return entry;
        }
    }
    return nullptr;
}

bool SetDropFormat(DropFormatEntry*& list, std::uint32_t format, std::uint32_t actions) {
    DropFormatEntry* entry = FindDropFormat(list, format);
    if (actions == 0) {
        if (entry != nullptr) {
            Unlink(list, entry);
        }
        return true;
    }
    if (entry != nullptr) {
        entry->Actions = actions;
        return true;
    }
    return PushFront(list, format, actions);
}

void FreeDropFormats(DropFormatEntry*& list) {
    while (list != nullptr) {
        DropFormatEntry* next = list->Next;
        ToolkitRelease(list);
        list = next;
    }
}

} // namespace rook
