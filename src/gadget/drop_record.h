#pragma once
// What a drop delivers: made by a gadget's drop target on the ToolkitHeap,
// then owned by the event state, which frees its data and then the record
// at the next WaitWindowEvent or at shut-down.

#include <cstdint>

namespace rook {

struct DropRecord {
    std::uint32_t Format;      // the data format, or 512 for a private drag
    std::uint32_t PrivateType; // the private drag's type
    std::uint32_t Effect;      // the action chosen
    std::int32_t X;
    std::int32_t Y;
    void* Data; // a copy of the dropped data, or null
    std::int32_t DataSize;
};

// Frees the record's data, then the record. Null is allowed.
void FreeDropRecord(DropRecord* record);

} // namespace rook
