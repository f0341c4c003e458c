#include "gadget/check_box.h"

#include "gadget/gadget.h"
#include "support/toolkit_test.h"
#include "window/event_state.h"

#include <climits>

namespace {

using namespace rook;
using testsupport::SameEvents;
using testsupport::TakeEvents;
using testsupport::ToolkitTest;
using testsupport::WithCodes;

class CheckBoxTest : public ToolkitTest {
protected:
    void SetUp() override {
        window_ = OpenMainWindow();
        box_ = reinterpret_cast<HWND>(CheckBoxGadget(3, 280, 0, 270, 20, "Grid"));
        ASSERT_NE(box_, nullptr);
        Settle();
    }

    // A click on the box as its control sees one, dispatched by the loop.
    void Click() const { ::PostMessageA(box_, BM_CLICK, 0, 0); }

    HWND window_ = nullptr;
    HWND box_ = nullptr;
};

TEST_F(CheckBoxTest, EachClickTogglesAndRaisesOneGadgetEvent) {
    EXPECT_EQ(GetGadgetState(3), 0);
    for (std::int32_t expected : {1, 0, 1}) {
        Click();
        std::int32_t stateAtEvent = -5;
        const auto events = TakeEvents(testsupport::BareMessages::Skip, [&](const auto& row) {
            if (row.Code == EventGadgetAction) {
                stateAtEvent = GetGadgetState(3);
            }
        });
        EXPECT_TRUE(SameEvents(WithCodes(events, {EventGadgetAction}),
                               {{EventGadgetAction, 3, 0, BN_CLICKED}}));
        EXPECT_EQ(stateAtEvent, expected) << "already toggled when the event arrives";
    }
}

TEST_F(CheckBoxTest, IsAStandardAutoCheckBoxInTheGadgetList) {
    char className[16] = {};
    ::GetClassNameA(box_, className, sizeof className);
    EXPECT_STREQ(className, "Button");
    const LONG_PTR style = ::GetWindowLongPtrA(box_, GWL_STYLE);
    EXPECT_EQ(style & 0x0F, BS_AUTOCHECKBOX);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP),
              WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP);
    EXPECT_EQ(::GetParent(box_), window_);
    RECT area{};
    ::GetWindowRect(box_, &area);
    EXPECT_EQ(area.right - area.left, 270);
    EXPECT_EQ(area.bottom - area.top, 20);
    char text[16] = {};
    ::GetWindowTextA(box_, text, sizeof text);
    EXPECT_STREQ(text, "Grid");
}

TEST_F(CheckBoxTest, ANullTextGivesAnEmptyLabel) {
    HWND unlabelled = reinterpret_cast<HWND>(CheckBoxGadget(4, 0, 30, 100, 20, nullptr));
    ASSERT_NE(unlabelled, nullptr);
    EXPECT_EQ(::GetWindowTextLengthA(unlabelled), 0);
}

TEST_F(CheckBoxTest, HasNoAttributes) {
    for (std::int32_t attribute : {0, 1, 2, 3, 11, -1, INT_MAX}) {
        EXPECT_EQ(GetGadgetAttribute(3, attribute), 0) << attribute;
    }
}

TEST_F(CheckBoxTest, TheThirdStateReadsMinusOne) {
    // A box made by CheckBoxGadget never takes it; a three-state one can.
    ::SetWindowLongPtrA(box_, GWL_STYLE,
                        (::GetWindowLongPtrA(box_, GWL_STYLE) & ~0x0F) | BS_AUTO3STATE);
    ::SendMessageA(box_, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(GetGadgetState(3), -1);
}

TEST(CheckBoxWithoutList, FailsWithoutAParentWindow) {
    rook::WindowLibraryEnd();
    ASSERT_EQ(CurrentGadgetList(), nullptr);
    EXPECT_EQ(CheckBoxGadget(7, 0, 0, 10, 10, "orphan"), 0);
    EXPECT_EQ(GetGadgetState(7), 0);
}

} // namespace
