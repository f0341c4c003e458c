#include "window/drop_record.h"

#include "runtime/toolkit_heap.h"

#include <cstdint>

namespace rook {

namespace {

struct HandedOver {
    DropRecord* Record;
    HandedOver* Next;
};

// Records posted and not yet taken, newest first. Rarely more than one.
HandedOver* handedOver = nullptr;

} // namespace

void FreeDropRecord(DropRecord* record) {
    if (record == nullptr) {
        return;
    }
    if (record->Data != nullptr) {
        ToolkitRelease(record->Data);
    }
    ToolkitRelease(record);
}

bool HandOverDropRecord(DropRecord* record) {
    auto* node = static_cast<HandedOver*>(ToolkitAllocate(sizeof(HandedOver), os::Fill::Zero));
    if (node == nullptr) {
        return false;
    }
    node->Record = record;
    node->Next = handedOver;
    handedOver = node;
    return true;
}

DropRecord* TakeHandedOverDropRecord(std::uintptr_t address) {
    for (HandedOver** link = &handedOver; *link != nullptr; link = &(*link)->Next) {
        HandedOver* node = *link;
        if (reinterpret_cast<std::uintptr_t>(node->Record) == address) {
            DropRecord* record = node->Record;
            *link = node->Next;
            ToolkitRelease(node);
            return record;
        }
    }
    return nullptr;
}

void FreeHandedOverDropRecords() {
    while (handedOver != nullptr) {
        HandedOver* node = handedOver;
        handedOver = node->Next;
        FreeDropRecord(node->Record);
        ToolkitRelease(node);
    }
}

} // namespace rook
