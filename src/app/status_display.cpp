#include "app/status_display.h"

#include "app/shell.h"
#include "gadget/text_gadget.h"

namespace inkswap {

namespace {

struct ShownStatus {
    bool Known; // false until the first ShowStatus
    StatusFacts Facts;
};

ShownStatus shown = {};

} // namespace

void ForgetShownStatus() {
    shown.Known = false;
}

void ShowStatus(const StatusFacts& facts) {
    if (shown.Known && shown.Facts == facts) {
        return;
    }
    StatusText text;
    FormatStatusLine(facts, text);
    rook::SetGadgetText(StatusLine, text.data());
    shown.Known = true;
    shown.Facts = facts;
}

} // namespace inkswap
