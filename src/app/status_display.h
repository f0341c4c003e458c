#pragma once
// What the status line shows. It is set again only when its text would
// change: setting a window text repaints the control, and most pointer
// movements change nothing on it.

#include "screen/status_line.h"

namespace inkswap {

// Forgets what the status line shows: the next ShowStatus sets it.
void ForgetShownStatus();

// Makes the status line (gadget StatusLine) show the facts.
void ShowStatus(const StatusFacts& facts);

} // namespace inkswap
