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

// A drop record travels in a window message's lParam, which any program
// can post. The drop target notes each record it hands over; the window
// procedure takes only a noted one, so that no other value is ever used
// as a record.

// Notes a record that is about to be posted; false when it could not be
// noted (no memory), and then it must not be posted.
bool HandOverDropRecord(DropRecord* record);

// The noted record with this address, no longer noted; null for any value
// that is not a record handed over and not yet taken. Nothing is read at
// the address.
DropRecord* TakeHandedOverDropRecord(std::uintptr_t address);

// Frees every record handed over and never taken (its message was never
// dispatched).
void FreeHandedOverDropRecords();

} // namespace rook
