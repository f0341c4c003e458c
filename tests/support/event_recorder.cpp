#include "support/event_recorder.h"

#include "platform/win32/win32.h"
#include "window/event_queue.h"
#include "window/event_state.h"
#include "window/window_procedure.h"

#include <algorithm>

namespace testsupport {

namespace {

constexpr int MostEvents = 500;

bool IsImmediateCode(std::int32_t code) {
    return code == rook::EventGadgetAction || code == rook::EventMenuAction ||
           code == rook::EventWindowDrop || code == rook::EventGadgetDrop;
}

bool SomethingWaiting() {
    MSG message;
    return !rook::EventQueueEmpty() || ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
}

} // namespace

std::ostream& operator<<(std::ostream& out, const EventRow& row) {
    return out << "{" << row.Code << ", " << row.Object << ", " << row.Window << ", " << row.Type
               << "}";
}

std::vector<EventRow> TakeEvents(BareMessages bare,
                                 const std::function<void(const EventRow&)>& observer) {
    std::vector<EventRow> rows;
    for (int taken = 0; taken < MostEvents && SomethingWaiting(); ++taken) {
        const std::int32_t code = rook::WaitWindowEvent();
        const rook::CurrentEvent& current = rook::GetEventState().Current;
        const bool isBare = current.QueuedCode == 0 && !IsImmediateCode(code);
        if (isBare && bare == BareMessages::Skip) {
            continue;
        }
        rows.push_back({code, current.Object, current.Window, current.Type});
        if (observer) {
            observer(rows.back());
        }
    }
    return rows;
}

std::vector<EventRow> TakeEventsUntilQuiet(int quietMilliseconds) {
    std::vector<EventRow> rows;
    do {
        const std::vector<EventRow> more = TakeEvents();
        rows.insert(rows.end(), more.begin(), more.end());
    } while (::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(quietMilliseconds),
                                         QS_ALLINPUT) == WAIT_OBJECT_0);
    return rows;
}

std::vector<EventRow> Collapsed(const std::vector<EventRow>& rows) {
    std::vector<EventRow> collapsed;
    for (const EventRow& row : rows) {
        if (collapsed.empty() || !(collapsed.back() == row)) {
            collapsed.push_back(row);
        }
    }
    return collapsed;
}

std::vector<EventRow> WithCodes(const std::vector<EventRow>& rows,
                                std::initializer_list<std::int32_t> codes) {
    std::vector<EventRow> kept;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(kept), [&](const EventRow& row) {
        return std::find(codes.begin(), codes.end(), row.Code) != codes.end();
    });
    return kept;
}

::testing::AssertionResult SameEvents(const std::vector<EventRow>& actual,
                                      const std::vector<EventRow>& expected) {
    const std::size_t common = std::min(actual.size(), expected.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (!(actual[i] == expected[i])) {
            return ::testing::AssertionFailure()
                   << "event " << i << " is " << actual[i] << ", expected " << expected[i];
        }
    }
    if (actual.size() != expected.size()) {
        auto failure = ::testing::AssertionFailure();
        failure << actual.size() << " events, expected " << expected.size() << "; all:";
        for (const EventRow& row : actual) {
            failure << ' ' << row;
        }
        return failure;
    }
    return ::testing::AssertionSuccess();
}

} // namespace testsupport
