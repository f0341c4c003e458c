#include "window/event_state.h"

#include "runtime/object_registry.h"

namespace rook {

namespace {

LibraryState eventState = nullptr;

void ReleaseCurrentData(EventState& state) {
    CurrentEvent& current = state.Current;
    if (current.Data != nullptr && current.Release != nullptr) {
        current.Release(current.Data);
    }
    current.Data = nullptr;
    current.Release = nullptr;
}

} // namespace

void CreateEventState() {
    if (eventState == nullptr) {
        eventState = CreateLibraryState(sizeof(EventState), nullptr);
    }
}

EventState& GetEventState() {
    return *GetLibraryState<EventState>(eventState);
}

std::int32_t EventMenu() {
    return GetEventState().Current.Object;
}

std::int32_t EventGadget() {
    return GetEventState().Current.Object;
}

std::int32_t EventType() {
    return GetEventState().Current.Type;
}

std::int32_t EventDpi() {
    return GetEventState().Current.Object;
}

void RaiseImmediateEvent(std::int32_t code, std::int32_t object, std::int32_t type) {
    PendingEvent& pending = GetEventState().Pending;
    pending.Code = code;
    pending.Object = object;
    pending.Type = type;
}

void TakeDropRecord(DropRecord* record) {
    EventState& state = GetEventState();
    // A second drop before the next wait (dispatched by another message
    // loop) must not lose the first one's memory.
    if (state.Drop != record) {
        FreeDropRecord(state.Drop);
    }
    state.Drop = record;
}

void BeginWaitForEvent() {
    EventState& state = GetEventState();
    ReleaseCurrentData(state);
    FreeDropRecord(state.Drop);
    state.Drop = nullptr;
    state.Pending.Type = NoEventType;
    state.Pending.Code = 0;
    state.Pending.Data = nullptr;
    state.Pending.Release = nullptr;
}

std::int32_t TakeQueuedEvent() {
    const EventRecord event = PopEvent();
    if (event.Code == 0) {
        return 0;
    }
    PendingEvent& pending = GetEventState().Pending;
    pending = {event.Object, event.Window, event.Type, event.Code, event.Data, event.Release};
    return event.Code;
}

std::int32_t FinishWaitForEvent(std::int32_t result) {
    EventState& state = GetEventState();
    const PendingEvent& pending = state.Pending;
    state.Current = {pending.Object, pending.Window,  pending.Type,
                     pending.Data,   pending.Release, pending.Code};
    return result;
}

void ReleaseEventState() {
    EventState& state = GetEventState();
    FreeDropRecord(state.Drop);
    state.Drop = nullptr;
    FreeHandedOverDropRecords();
}

} // namespace rook
