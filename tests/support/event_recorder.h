#pragma once
// Takes events through the real WaitWindowEvent loop for toolkit tests and
// compares them with tables of expected {code, object, window, type} rows.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

namespace testsupport {

struct EventRow {
    std::int32_t Code;
    std::int32_t Object;
    std::int32_t Window;
    std::int32_t Type;
    bool operator==(const EventRow&) const = default;
};

std::ostream& operator<<(std::ostream& out, const EventRow& row);

enum class BareMessages { Skip, Keep };

// Calls WaitWindowEvent for as long as a queued event or a Windows message
// is waiting (never blocking), and returns what it delivered. Bare Windows
// messages (neither queued nor immediate events) are left out unless asked
// for. Each event kept is also shown to the observer the moment it is
// delivered. Gives up after a few hundred events.
std::vector<EventRow> TakeEvents(BareMessages bare = BareMessages::Skip,
                                 const std::function<void(const EventRow&)>& observer = {});

// Like TakeEvents, but also waits for messages that the system delivers a
// little later (input echoed by the X server, leave notifications), until
// nothing has come for the quiet time.
std::vector<EventRow> TakeEventsUntilQuiet(int quietMilliseconds = 250);

// Rows with runs of equal neighbours collapsed into one: what an
// application that fetches late sees, since the queue keeps only the first
// of equal neighbours.
std::vector<EventRow> Collapsed(const std::vector<EventRow>& rows);

// The rows of the given codes only, in order.
std::vector<EventRow> WithCodes(const std::vector<EventRow>& rows,
                                std::initializer_list<std::int32_t> codes);

// Compares rows with a table, reporting the first difference.
::testing::AssertionResult SameEvents(const std::vector<EventRow>& actual,
                                      const std::vector<EventRow>& expected);

} // namespace testsupport
