#include "gadget/gadget.h"

#include "gadget/check_box.h"
#include "support/toolkit_test.h"
#include "window/event_state.h"
#include "window/window_procedure.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

using namespace rook;
using testsupport::SameEvents;
using testsupport::TakeEvents;
using testsupport::ToolkitTest;
using testsupport::WithCodes;

// A kind of gadget made for the test out of a push button: it takes the
// messages the button sends its parent and records when it is freed.
struct FreeSighting {
    bool RecordLive;
    bool WindowAlive;
    bool PropertyThere;
};
std::vector<FreeSighting> freed;
std::vector<UINT> parentMessages;

LRESULT TakeParentMessage(GadgetRecord*, HWND, UINT message, WPARAM, LPARAM) {
    parentMessages.push_back(message);
    return 0;
}

void RecordFree(GadgetRecord* gadget) {
    const auto id = static_cast<std::int32_t>(::GetWindowLongPtrA(gadget->Handle, GWLP_ID));
    freed.push_back({FindGadget(id) == gadget, ::IsWindow(gadget->Handle) != FALSE,
                     ::GetPropA(gadget->Handle, GadgetIdProperty) != nullptr});
}

std::int32_t SevenAttribute(GadgetRecord*, std::int32_t attribute) {
    return attribute * 7;
}

constexpr GadgetType TestType = {99,      TakeParentMessage, RecordFree,
                                 nullptr, SevenAttribute,    nullptr};

std::intptr_t TestGadget(std::int32_t number) {
    HWND button = CreateGadgetWindow(0, "Button", "test", WS_CHILD | WS_VISIBLE, 0, 40, 80, 20);
    return RegisterGadget(number, TakeGadgetRecord(number, button), button, &TestType);
}

class GadgetTest : public ToolkitTest {
protected:
    void SetUp() override {
        window_ = OpenMainWindow();
        freed.clear();
        parentMessages.clear();
        Settle();
    }

    HWND window_ = nullptr;
};

TEST_F(GadgetTest, RegisteringGivesNumberPropertyFontAndSubclass) {
    HWND box = reinterpret_cast<HWND>(CheckBoxGadget(2, 10, 0, 270, 20, "Correct Mode"));
    EXPECT_EQ(::GetWindowLongPtrA(box, GWLP_ID), 2);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(::GetPropA(box, GadgetIdProperty)), 2);
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(box, WM_GETFONT, 0, 0)),
              static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    const GadgetRecord* gadget = FindGadget(2);
    ASSERT_NE(gadget, nullptr);
    EXPECT_EQ(gadget->Handle, box);
    EXPECT_NE(reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(box, GWLP_WNDPROC)),
              gadget->PreviousProcedure);
}

TEST_F(GadgetTest, AnyNumberGadgetsAreNamedByTheirIdentifier) {
    const std::intptr_t identifier = CheckBoxGadget(AnyNumber, 10, 0, 100, 20, "dynamic");
    ASSERT_LT(identifier, AnyNumber);
    const auto number = static_cast<std::int32_t>(identifier);
    const GadgetRecord* gadget = FindGadget(number);
    ASSERT_NE(gadget, nullptr);
    EXPECT_EQ(::GetWindowLongPtrA(gadget->Handle, GWLP_ID), number);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(::GetPropA(gadget->Handle, GadgetIdProperty)),
              number);
    ::PostMessageA(gadget->Handle, BM_CLICK, 0, 0);
    EXPECT_TRUE(SameEvents(WithCodes(TakeEvents(), {EventGadgetAction}),
                           {{EventGadgetAction, number, 0, BN_CLICKED}}));
    EXPECT_EQ(GetGadgetState(number), 1);
}

TEST_F(GadgetTest, AGadgetRecreatedUnderALiveNumberReplacesTheOld) {
    HWND old = reinterpret_cast<HWND>(CheckBoxGadget(2, 10, 0, 270, 20, "old"));
    ::SendMessageA(old, BM_SETCHECK, BST_CHECKED, 0);
    PostEvent(EventGadgetAction, 2, 0, 0);
    PostEvent(EventWindowMoved, 0, 0, 0);
    PostEvent(EventGadgetAction, 2, 0, 5);
    HWND replacement = reinterpret_cast<HWND>(TestGadget(2));
    EXPECT_FALSE(::IsWindow(old));
    ASSERT_NE(FindGadget(2), nullptr);
    EXPECT_EQ(FindGadget(2)->Handle, replacement);
    EXPECT_EQ(GetGadgetState(2), 0) << "the number names the new gadget";
    EXPECT_EQ(GetGadgetAttribute(2, 3), 21);
    EXPECT_TRUE(SameEvents(WithCodes(TakeEvents(), {EventGadgetAction, EventWindowMoved}),
                           {{EventWindowMoved, 0, 0, 0}}))
        << "the old gadget's queued events are gone";
}

TEST_F(GadgetTest, DestructionFreesInOrderAndReleasesTheNumber) {
    HWND button = reinterpret_cast<HWND>(TestGadget(5));
    PostEvent(EventGadgetAction, 5, 0, 1);
    ::DestroyWindow(button);
    ASSERT_EQ(freed.size(), 1u);
    EXPECT_TRUE(freed[0].RecordLive) << "the kind's free sees its record";
    EXPECT_TRUE(freed[0].WindowAlive);
    EXPECT_TRUE(freed[0].PropertyThere) << "freed before the properties go";
    EXPECT_EQ(FindGadget(5), nullptr);
    EXPECT_EQ(GetGadgetState(5), 0);
    EXPECT_EQ(GetGadgetAttribute(5, 3), 0);
    for (const testsupport::EventRow& row : TakeEvents()) {
        EXPECT_FALSE(row.Code == EventGadgetAction && row.Object == 5) << "its events are gone";
    }
}

TEST_F(GadgetTest, ParentMessagesGoToTheGadgetsKind) {
    HWND button = reinterpret_cast<HWND>(TestGadget(6));
    ::PostMessageA(button, BM_CLICK, 0, 0);
    EXPECT_TRUE(WithCodes(TakeEvents(), {EventGadgetAction}).empty())
        << "a handled WM_COMMAND raises no event";
    EXPECT_EQ(std::count(parentMessages.begin(), parentMessages.end(), WM_COMMAND), 1);
    EXPECT_EQ(DispatchParentMessage(button, window_, WM_CTLCOLORBTN, 0, 0), 0);

    HWND box = reinterpret_cast<HWND>(CheckBoxGadget(2, 10, 0, 270, 20, "box"));
    EXPECT_EQ(DispatchParentMessage(box, window_, WM_COMMAND, 0, 0), NotHandled);
    EXPECT_EQ(DispatchParentMessage(nullptr, window_, WM_COMMAND, 0, 0), NotHandled);
    ::SetPropA(box, GadgetIdProperty, reinterpret_cast<HANDLE>(6));
    EXPECT_EQ(DispatchParentMessage(box, window_, WM_COMMAND, 0, 0), NotHandled)
        << "the property must match the control identifier";
    ::SetPropA(box, GadgetIdProperty, reinterpret_cast<HANDLE>(2));
}

TEST_F(GadgetTest, NumbersWithoutAGadgetAnswerZero) {
    for (std::int32_t number : {0, 1, -1, -2, 49, 1000000, INT_MAX, INT_MIN}) {
        EXPECT_EQ(GetGadgetState(number), 0) << number;
        EXPECT_EQ(GetGadgetAttribute(number, 2), 0) << number;
    }
}

TEST_F(GadgetTest, TopLevelWalkStopsAtTheToolkitWindow) {
    HWND box = reinterpret_cast<HWND>(CheckBoxGadget(2, 10, 0, 270, 20, "box"));
    EXPECT_EQ(TopLevelWindow(box), window_);
    EXPECT_EQ(TopLevelWindow(window_), window_);
    HWND plain = ::CreateWindowExA(0, "STATIC", "plain", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                   nullptr, ProgramInstance(), nullptr);
    HWND inner = ::CreateWindowExA(0, "STATIC", "inner", WS_CHILD, 0, 0, 10, 10, plain, nullptr,
                                   ProgramInstance(), nullptr);
    EXPECT_EQ(TopLevelWindow(inner), plain) << "without a toolkit window: the outermost";
    ::DestroyWindow(plain);
}

TEST_F(GadgetTest, GadgetsEndWithTheirWindow) {
    CheckBoxGadget(2, 10, 0, 270, 20, "box");
    TestGadget(3);
    CloseWindow(0);
    EXPECT_EQ(FindGadget(2), nullptr);
    EXPECT_EQ(FindGadget(3), nullptr);
    EXPECT_EQ(freed.size(), 1u);
}

} // namespace
