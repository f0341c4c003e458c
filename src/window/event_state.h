#pragma once
// The event state: the event WaitWindowEvent is fetching (pending), the one
// it returned last (current), and the drop record of the last drop. The
// current event's data and the drop record stay valid until the next
// WaitWindowEvent, which frees them first.

#include "window/drop_record.h"
#include "window/event_queue.h"

#include <cstdint>

namespace rook {

// Event codes.
inline constexpr std::int32_t EventWindowMoved = 3;
inline constexpr std::int32_t EventWindowResized = 5;
inline constexpr std::int32_t EventWindowRepaint = 15;
inline constexpr std::int32_t EventCloseWindow = 16;
inline constexpr std::int32_t EventGadgetAction = 13100;
inline constexpr std::int32_t EventMenuAction = 13101;
inline constexpr std::int32_t EventWindowActivated = 13104;
inline constexpr std::int32_t EventWindowDrop = 13105;
inline constexpr std::int32_t EventGadgetDrop = 13106;
inline constexpr std::int32_t EventWindowMinimised = 13107;
inline constexpr std::int32_t EventWindowMaximised = 13108;
inline constexpr std::int32_t EventWindowRestored = 13109;
// 13110 is the timer event (window_timer.h).
inline constexpr std::int32_t EventWindowDpiChanged = 13111; // the object: the new DPI

// The type of immediate menu and drop events and of bare Windows messages.
inline constexpr std::int32_t NoEventType = -1;

struct PendingEvent {
    std::int32_t Object;
    std::int32_t Window;
    std::int32_t Type;
    std::int32_t Code;
    void* Data;
    ReleaseData Release;
};

struct CurrentEvent {
    std::int32_t Object;
    std::int32_t Window;
    std::int32_t Type;
    void* Data;
    ReleaseData Release;
    std::int32_t QueuedCode; // the code for a queued event, else 0
};

struct EventState {
    PendingEvent Pending;
    CurrentEvent Current;
    DropRecord* Drop;
};

// Created zeroed by the window library's start step.
void CreateEventState();
EventState& GetEventState();

// The object field of the current event: the menu item of 13101, the
// gadget of 13100 and 13106. The two always agree.
std::int32_t EventMenu();
std::int32_t EventGadget();
// The type field of the current event.
std::int32_t EventType();

// The new DPI of the current DPI event (13111).
std::int32_t EventDpi();

// Records an immediate event for the message being dispatched.
void RaiseImmediateEvent(std::int32_t code, std::int32_t object, std::int32_t type);

// The event state takes over a drop record; one still held is freed.
void TakeDropRecord(DropRecord* record);

// The first steps of WaitWindowEvent: release the current event's data and
// the drop record, and prepare the pending event.
void BeginWaitForEvent();

// Moves the oldest queued event into the pending event; its code, or 0
// when the queue is empty.
std::int32_t TakeQueuedEvent();

// The last step: the pending event becomes the current one. result is the
// code to return: the queued or immediate event's, or the message number.
std::int32_t FinishWaitForEvent(std::int32_t result);

// Frees what the event state still holds at shut-down.
void ReleaseEventState();

} // namespace rook
