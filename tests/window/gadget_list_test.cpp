#include "window/gadget_list.h"

#include "gadget/gadget.h"
#include "support/toolkit_test.h"

#include <cstdio>

namespace {

using namespace rook;
using testsupport::ToolkitTest;

std::string RecordPropertyName() {
    char name[48];
    std::snprintf(name, sizeof name, "RK_GadgetStack_%lld",
                  static_cast<long long>(reinterpret_cast<std::intptr_t>(ProgramInstance())));
    return name;
}

using GadgetListTest = ToolkitTest;

TEST_F(GadgetListTest, AnOpenedWindowBecomesTheListAndCarriesItsRecord) {
    HWND window = OpenMainWindow();
    EXPECT_EQ(CurrentGadgetList(), window);
    const auto* record =
        static_cast<GadgetListRecord*>(::GetPropA(window, RecordPropertyName().c_str()));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->Window, window);
    EXPECT_NE(record->PreviousProcedure, nullptr);
    EXPECT_EQ(UseGadgetList(nullptr), window) << "a null handle only asks";
    EXPECT_EQ(CurrentGadgetList(), window);
}

TEST_F(GadgetListTest, SwitchingAwayAndBackRestoresTheContainerStack) {
    HWND a = reinterpret_cast<HWND>(OpenWindow(1, 0, 0, 100, 100, "a", 0));
    GadgetListState& state = *GadgetListStateInUse();
    HWND* stackOfA = state.ContainerStack;
    ASSERT_NE(stackOfA, nullptr);
    stackOfA[0] = a;
    state.ContainerDepth = 1;

    HWND b = reinterpret_cast<HWND>(OpenWindow(2, 0, 0, 100, 100, "b", 0));
    EXPECT_EQ(CurrentGadgetList(), b);
    EXPECT_EQ(state.ContainerDepth, 0);
    EXPECT_NE(state.ContainerStack, nullptr);
    EXPECT_NE(state.ContainerStack, stackOfA) << "A's stack stays with A";

    EXPECT_EQ(UseGadgetList(a), b);
    EXPECT_EQ(CurrentGadgetList(), a);
    EXPECT_EQ(state.ContainerStack, stackOfA);
    EXPECT_EQ(state.ContainerStack[0], a);
    EXPECT_EQ(state.ContainerDepth, 1);
    EXPECT_EQ(state.ContainerCapacity, ContainerStackCapacity);
    state.ContainerDepth = 0;
}

TEST_F(GadgetListTest, DestroyingTheCurrentListLeavesNoneCurrent) {
    HWND a = reinterpret_cast<HWND>(OpenWindow(1, 0, 0, 100, 100, "a", 0));
    HWND b = reinterpret_cast<HWND>(OpenWindow(2, 0, 0, 100, 100, "b", 0));
    CloseWindow(2);
    EXPECT_FALSE(::IsWindow(b));
    EXPECT_EQ(CurrentGadgetList(), nullptr);
    EXPECT_EQ(UseGadgetList(a), nullptr);
    EXPECT_EQ(CurrentGadgetList(), a);
    EXPECT_NE(GadgetListStateInUse()->ContainerStack, nullptr);
    CloseWindow(1);
    EXPECT_EQ(CurrentGadgetList(), nullptr);
    EXPECT_NE(GadgetListStateInUse()->ContainerStack, nullptr) << "the state keeps a stack to use";
}

TEST_F(GadgetListTest, DestroyingAWindowThatIsNotCurrentFreesItsRecordOnly) {
    HWND a = reinterpret_cast<HWND>(OpenWindow(1, 0, 0, 100, 100, "a", 0));
    HWND b = reinterpret_cast<HWND>(OpenWindow(2, 0, 0, 100, 100, "b", 0));
    CloseWindow(1);
    EXPECT_FALSE(::IsWindow(a));
    EXPECT_EQ(CurrentGadgetList(), b);
    EXPECT_EQ(GadgetListRecordOf(b)->Window, b);
}

} // namespace
