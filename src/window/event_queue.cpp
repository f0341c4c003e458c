#include "window/event_queue.h"

#include "runtime/object_registry.h"

namespace rook {

namespace {

constexpr std::int32_t MinimumPerBlock = 16;
constexpr std::int32_t MaximumPerBlock = 256;

struct EventQueue {
    EventRecord* Head;
    EventRecord* Tail;
    ElementPool* Pool;
    void* Kept; // held for good, so that the pool keeps its first block
};

LibraryState queueState = nullptr;

EventQueue& Queue() {
    return *GetLibraryState<EventQueue>(queueState);
}

void CreatePool(void* block) {
    auto* queue = static_cast<EventQueue*>(block);
    queue->Pool = PoolCreate(sizeof(EventRecord), MinimumPerBlock, MaximumPerBlock, 0);
    queue->Kept = PoolAlloc(queue->Pool);
}

void Release(const EventRecord& record) {
    if (record.Data != nullptr && record.Release != nullptr) {
        record.Release(record.Data);
    }
}

// Unlinks and frees every record the predicate accepts, releasing its data.
template <typename Matches>
void RemoveMatching(Matches matches) {
    EventQueue& queue = Queue();
    EventRecord* previous = nullptr;
    EventRecord* record = queue.Head;
    while (record != nullptr) {
        EventRecord* next = record->Next;
        if (!matches(*record)) {
            previous = record;
            record = next;
            continue;
        }
        if (previous != nullptr) {
            previous->Next = next;
        } else {
            queue.Head = next;
        }
        Release(*record);
        PoolFree(queue.Pool, record);
        record = next;
    }
    queue.Tail = previous;
}

bool Matches(std::int32_t wanted, std::int32_t value) {
    return wanted == AnyValue || wanted == value;
}

} // namespace

void EventQueueInit() {
    if (queueState == nullptr) {
        queueState = CreateLibraryState(sizeof(EventQueue), CreatePool);
    }
}

void PostEvent(std::int32_t code, std::int32_t object, std::int32_t window, std::int32_t type,
               void* data, ReleaseData release) {
    EventQueue& queue = Queue();
    const EventRecord* tail = queue.Tail;
    if (tail != nullptr && tail->Code == code && tail->Object == object && tail->Window == window &&
        tail->Type == type) {
        Release({code, object, window, type, data, release, nullptr});
        return;
    }
    auto* record = static_cast<EventRecord*>(PoolAlloc(queue.Pool));
    if (record == nullptr) {
        Release({code, object, window, type, data, release, nullptr});
        return;
    }
    *record = {code, object, window, type, data, release, nullptr};
    if (queue.Tail != nullptr) {
        queue.Tail->Next = record;
    } else {
        queue.Head = record;
    }
    queue.Tail = record;
}

EventRecord PopEvent() {
    EventQueue& queue = Queue();
    EventRecord* head = queue.Head;
    if (head == nullptr) {
        return {};
    }
    queue.Head = head->Next;
    if (queue.Head == nullptr) {
        queue.Tail = nullptr;
    }
    EventRecord event = *head;
    event.Next = nullptr;
    PoolFree(queue.Pool, head);
    return event;
}

void RemoveEvents(std::int32_t code, std::int32_t object, std::int32_t window, std::int32_t type) {
    RemoveMatching([&](const EventRecord& record) {
        return Matches(code, record.Code) && Matches(object, record.Object) &&
               Matches(window, record.Window) && Matches(type, record.Type);
    });
}

void RemoveWindowEvents(std::int32_t window) {
    RemoveMatching([&](const EventRecord& record) { return record.Window == window; });
}

bool EventQueueEmpty() {
    return Queue().Head == nullptr;
}

const ElementPool* EventRecordPool() {
    return Queue().Pool;
}

} // namespace rook
