#include "gadget/drop_effect.h"

#include <gtest/gtest.h>

namespace {

using namespace rook;

TEST(ChooseDropEffect, FollowsTheActionsTheKeysAndWhatTheSourceOffers) {
    struct Case {
        std::uint32_t Actions, Offered, Keys, Effect;
    };
    const std::uint32_t all = ActionCopy | ActionMove | ActionLink;
    const Case cases[] = {
        {ActionCopy | ActionMove, all, 0, ActionCopy},
        {ActionCopy | ActionMove, all, DragKeyShift, ActionMove},
        {ActionCopy | ActionMove, all, DragKeyControl, ActionCopy},
        {ActionMove, all, 0, ActionMove},
        {ActionMove, all, DragKeyControl, ActionMove},
        {ActionCopy | ActionLink, all, DragKeyControl | DragKeyShift, ActionLink},
        {ActionCopy | ActionLink, all, DragKeyAlt, ActionLink},
        {ActionCopy | ActionLink, all, DragKeyAlt | DragKeyShift, ActionCopy},
        {ActionLink, all, 0, ActionLink},
        {ActionCopy, ActionLink, 0, ActionNone},
        {ActionCopy | ActionMove, ActionMove, 0, ActionMove},
        {ActionCopy, all, DragKeyShift | 0x01 /* a mouse button */, ActionCopy},
        {0, all, 0, ActionNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseDropEffect(c.Actions, c.Keys, c.Offered), c.Effect)
            << "actions " << c.Actions << " offered " << c.Offered << " keys " << c.Keys;
    }
}

} // namespace
