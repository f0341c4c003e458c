#pragma once
// The event queue: first in, first out, one per process. Window procedures
// and gadgets post events to it while Windows messages are dispatched;
// WaitWindowEvent hands them out in order. Records come from an element
// pool, so posting costs no heap call, and an event equal in code, object,
// window and type to the last one queued is dropped (the tail rule), so
// that a burst of identical notifications costs one record.

#include "runtime/element_pool.h"

#include <cstdint>

namespace rook {

// Frees the data block that belongs to an event.
using ReleaseData = void (*)(void* data);

struct EventRecord {
    std::int32_t Code;   // never 0 in the queue
    std::int32_t Object; // gadget, menu item or window number, by code
    std::int32_t Window; // the window the event belongs to, -1 for none
    std::int32_t Type;   // 0 when the source has none
    void* Data;          // may be null
    ReleaseData Release; // may be null
    EventRecord* Next;   // the queue's link
};

// Matches any value in RemoveEvents.
inline constexpr std::int32_t AnyValue = -1;

// Start step: the queue and its pool of records (16 to 256 a block). One
// record is taken and kept, so that the first block is never released.
void EventQueueInit();

// Appends an event, unless it equals the last queued one in code, object,
// window and type; a dropped event's data is released at once.
void PostEvent(std::int32_t code, std::int32_t object, std::int32_t window, std::int32_t type,
               void* data = nullptr, ReleaseData release = nullptr);

// Unlinks the oldest event and returns its fields; Code is 0 when the
// queue is empty. The data now belong to the caller.
EventRecord PopEvent();

// Discards every queued event whose four fields equal the given ones
// (AnyValue matches anything), releasing their data.
void RemoveEvents(std::int32_t code, std::int32_t object, std::int32_t window, std::int32_t type);

// Discards every queued event of a window, releasing their data.
void RemoveWindowEvents(std::int32_t window);

bool EventQueueEmpty();

// The pool the queue's records come from.
const ElementPool* EventRecordPool();

} // namespace rook
