#pragma once
// Reading what a drag brings: the data of a format offered by another
// program's data object, copied into a DropRecord, the private type of a
// toolkit drag, and the names of the files of the current event's drop.
// Everything read here comes from another program and is copied or checked
// before use.

#include "platform/win32/win32.h"
#include "window/drop_record.h"

#include <cstdint>

namespace rook {

// Whether the data object offers the format as global memory.
bool OffersFormat(IDataObject* data, std::uint32_t format);

// A new record (on the ToolkitHeap) for a drop at the point with the effect,
// carrying the private type or no data.
DropRecord* MakeDropRecord(std::uint32_t format, std::uint32_t privateType, std::uint32_t effect,
                           POINT at);

// A new record with a copy of the data of a standard format; null when the
// data cannot be had, locked or copied.
DropRecord* CopyDroppedData(IDataObject* data, std::uint32_t format, std::uint32_t effect,
                            POINT at);

// The private type a toolkit drag carries, if the data offer one.
bool DroppedPrivateType(IDataObject* data, std::uint32_t& type);

// The names of the files of the current event's drop, separated by line
// feeds, built at position p of the temporary string stack; the empty text
// when the current event has no well-formed file list.
void EventDropFiles(std::int32_t p);

} // namespace rook
