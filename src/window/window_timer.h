#pragma once
// Timers of a window: each, by a number of the application's choosing,
// gives the timer event 13110 again and again at its interval until it is
// removed, its window closes or the toolkit ends. The platform gives a
// timer's message only when nothing else waits, and an event equal to the
// last one queued is dropped, so a timer never piles up events behind a
// busy program.

#include <cstdint>

namespace rook {

inline constexpr std::int32_t EventWindowTimer = 13110;

// Starts (or restarts) timer `timer` (0 or more) of the open window to
// fire every `milliseconds` (1 or more); false when the window is not open,
// the arguments are out of range or the platform refuses.
bool AddWindowTimer(std::int32_t window, std::int32_t timer, std::int32_t milliseconds);

// Stops the timer; the events it queued and that were not yet fetched go
// with it. Nothing happens for a timer that does not run.
void RemoveWindowTimer(std::int32_t window, std::int32_t timer);

// The timer of the current timer event (13110).
std::int32_t EventTimer();

} // namespace rook
