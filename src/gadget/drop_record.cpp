#include "gadget/drop_record.h"

#include "runtime/toolkit_heap.h"

namespace rook {

void FreeDropRecord(DropRecord* record) {
    if (record == nullptr) {
        return;
    }
    if (record->Data != nullptr) {
        ToolkitRelease(record->Data);
    }
    ToolkitRelease(record);
}

} // namespace rook
