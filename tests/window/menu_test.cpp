// Menus and keyboard shortcuts with real windows: the menu's structure read
// back through the Win32 menu queries, items chosen and shortcuts pressed
// through the real TranslateAcceleratorA path of WaitWindowEvent.

#include "window/menu.h"

#include "gadget/check_box.h"
#include "support/toolkit_test.h"
#include "window/event_state.h"
#include "window/keyboard_shortcuts.h"

#include <climits>
#include <string>

namespace {

using namespace rook;
using testsupport::EventRow;
using testsupport::SameEvents;
using testsupport::TakeEvents;
using testsupport::ToolkitTest;
using testsupport::WithCodes;

std::string ItemText(HMENU menu, UINT position) {
    char text[64] = {};
    ::GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

EventRow MenuEvent(std::int32_t item) {
    return {EventMenuAction, item, 0, NoEventType};
}

// Presses a key with modifiers held, as the keyboard delivers it to the
// active window, and takes the menu events that follow.
std::vector<EventRow> PressKey(HWND window, WPARAM key, std::initializer_list<int> held = {}) {
    BYTE state[256] = {};
    for (int modifier : held) {
        state[modifier] = 0x80;
    }
    ::SetKeyboardState(state);
    ::PostMessageA(window, WM_KEYDOWN, key, 1);
    return WithCodes(TakeEvents(), {EventMenuAction});
}

class MenuTest : public ToolkitTest {
protected:
    void SetUp() override {
        window_ = OpenMainWindow();
        ::SetActiveWindow(window_);
        Settle();
    }

    void TearDown() override {
        BYTE released[256] = {};
        ::SetKeyboardState(released);
        ToolkitTest::TearDown();
    }

    // The application's menu.
    void BuildApplicationMenu() {
        ASSERT_NE(CreateMenu(0, WindowID(0)), 0);
        MenuTitle("File");
        MenuItem(0, "Open..\tCtrl+O");
        MenuItem(1, "Save\tCtrl+S");
        MenuBar();
        MenuItem(2, "Quit\tCtrl+Q");
        MenuTitle("Operations");
    }

    HWND window_ = nullptr;
};

TEST_F(MenuTest, TheApplicationsMenuHasTwoTitlesAndItsItems) {
    RECT before{};
    ::GetWindowRect(window_, &before);
    BuildApplicationMenu();
    HMENU bar = ::GetMenu(window_);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(::GetMenuItemCount(bar), 2);
    EXPECT_EQ(ItemText(bar, 0), "File");
    EXPECT_EQ(ItemText(bar, 1), "Operations");
    HMENU file = ::GetSubMenu(bar, 0);
    ASSERT_EQ(::GetMenuItemCount(file), 4);
    EXPECT_EQ(ItemText(file, 0), "Open..\tCtrl+O");
    EXPECT_EQ(::GetMenuItemID(file, 0), 0u);
    EXPECT_EQ(ItemText(file, 1), "Save\tCtrl+S");
    EXPECT_EQ(::GetMenuItemID(file, 1), 1u);
    EXPECT_NE(::GetMenuState(file, 2, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    EXPECT_EQ(ItemText(file, 3), "Quit\tCtrl+Q");
    EXPECT_EQ(::GetMenuItemID(file, 3), 2u);
    HMENU operations = ::GetSubMenu(bar, 1);
    ASSERT_NE(operations, nullptr);
    EXPECT_EQ(::GetMenuItemCount(operations), 0);

    RECT after{};
    ::GetWindowRect(window_, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left) << "the outer size stays";
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    RECT client{};
    ::GetClientRect(window_, &client);
    MENUBARINFO barInfo{};
    barInfo.cbSize = sizeof barInfo;
    ASSERT_TRUE(::GetMenuBarInfo(window_, OBJID_MENU, 0, &barInfo));
    EXPECT_EQ(client.bottom,
              inkswap::MainWindowPlacement.Height - (barInfo.rcBar.bottom - barInfo.rcBar.top))
        << "the client area loses the bar's height";
}

// Check marks and radio marks, read back through the Win32 menu queries.
TEST_F(MenuTest, ItemsTakeCheckMarksAndRadioMarks) {
    ASSERT_NE(CreateMenu(0, WindowID(0)), 0);
    MenuTitle("View");
    for (std::int32_t item = 12; item <= 15; ++item) {
        MenuItem(item, "Zoom");
    }
    MenuItem(18, "Flash\tF");
    HMENU view = ::GetSubMenu(::GetMenu(window_), 0);
    const auto checked = [view](UINT item) {
        return (::GetMenuState(view, item, MF_BYCOMMAND) & MF_CHECKED) != 0;
    };
    const auto radio = [view](UINT item) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        ::GetMenuItemInfoA(view, item, FALSE, &info);
        return (info.fType & MFT_RADIOCHECK) != 0;
    };
    SetMenuItemState(0, 18, 1);
    EXPECT_TRUE(checked(18));
    SetMenuItemState(0, 18, 0);
    EXPECT_FALSE(checked(18));
    for (std::int32_t chosen : {13, 15, 12}) {
        SetMenuRadioItem(0, 12, 15, chosen);
        for (UINT item = 12; item <= 15; ++item) {
            EXPECT_EQ(checked(item), item == static_cast<UINT>(chosen)) << chosen << ": " << item;
        }
        EXPECT_TRUE(radio(static_cast<UINT>(chosen))) << "a bullet, not a tick";
    }
    SetMenuItemState(7, 18, 1); // no such menu: nothing happens
    EXPECT_FALSE(checked(18));
}

TEST_F(MenuTest, ATitleAfterItemsStartsANewDropDownNeverANestedOne) {
    CreateMenu(0, window_);
    MenuItem(7, "On the bar");
    MenuTitle("First");
    MenuItem(8, "In first");
    MenuTitle("Second");
    MenuItem(9, "In second");
    HMENU bar = ::GetMenu(window_);
    ASSERT_EQ(::GetMenuItemCount(bar), 3);
    EXPECT_EQ(::GetMenuItemID(bar, 0), 7u);
    EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(bar, 1)), 1);
    EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(bar, 2)), 1);
    EXPECT_EQ(::GetMenuItemID(::GetSubMenu(bar, 2), 0), 9u);
}

TEST_F(MenuTest, ChoosingAnItemAndPressingItsShortcutAreTheSameEvent) {
    BuildApplicationMenu();
    EXPECT_NE(AddKeyboardShortcut(0, 0x20053, 1), nullptr);
    EXPECT_NE(AddKeyboardShortcut(0, 0x20051, 2), nullptr);
    ::PostMessageA(window_, WM_COMMAND, MAKEWPARAM(1, 0), 0); // as Windows sends a menu choice
    EXPECT_TRUE(SameEvents(WithCodes(TakeEvents(), {EventMenuAction}), {MenuEvent(1)}));
    EXPECT_EQ(EventType(), NoEventType);
    EXPECT_TRUE(SameEvents(PressKey(window_, 'S', {VK_CONTROL}), {MenuEvent(1)}));
    EXPECT_EQ(EventType(), NoEventType);
    EXPECT_TRUE(SameEvents(PressKey(window_, 'Q', {VK_CONTROL}), {MenuEvent(2)}));
    EXPECT_TRUE(PressKey(window_, 'S').empty()) << "without Ctrl";
}

// The system menu's separators carry command 0 too: Windows finds them first
// and sends nothing for a shortcut whose command is 0.
TEST_F(MenuTest, AShortcutToItemZeroGivesTheMenuEventLikeAnyOther) {
    BuildApplicationMenu();
    AddKeyboardShortcut(0, 0x2004F, 0);
    AddKeyboardShortcut(0, 0x20053, 1);
    EXPECT_TRUE(SameEvents(PressKey(window_, 'O', {VK_CONTROL}), {MenuEvent(0)}));
    EXPECT_EQ(EventMenu(), 0);
    EXPECT_TRUE(SameEvents(PressKey(window_, 'S', {VK_CONTROL}), {MenuEvent(1)}));
    ::PostMessageA(window_, WM_COMMAND, MAKEWPARAM(0, 0), 0); // item 0 chosen in the menu
    EXPECT_TRUE(SameEvents(WithCodes(TakeEvents(), {EventMenuAction}), {MenuEvent(0)}));
}

TEST_F(MenuTest, AGreyedItemCanBeNeitherChosenNorReachedByItsShortcut) {
    BuildApplicationMenu();
    MenuItem(4, "Undo\tCtrl+Z");
    AddKeyboardShortcut(0, 0x2005A, 4);
    HMENU operations = ::GetSubMenu(::GetMenu(window_), 1);
    DisableMenuItem(0, 4, 1);
    EXPECT_NE(::GetMenuState(operations, 4, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_TRUE(PressKey(window_, 'Z', {VK_CONTROL}).empty());
    DisableMenuItem(0, 4, 0);
    EXPECT_EQ(::GetMenuState(operations, 4, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), 0u);
    EXPECT_TRUE(SameEvents(PressKey(window_, 'Z', {VK_CONTROL}), {MenuEvent(4)}));
    DisableMenuItem(7, 4, 1); // no such menu: nothing happens
    EXPECT_EQ(::GetMenuState(operations, 4, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

TEST_F(MenuTest, ALabelAloneMakesNoShortcut) {
    BuildApplicationMenu();
    EXPECT_TRUE(PressKey(window_, 'S', {VK_CONTROL}).empty());
}

TEST_F(MenuTest, RebindingAShortcutKeepsOneEntry) {
    AddKeyboardShortcut(0, 0x2004F, 0);
    AddKeyboardShortcut(0, 0x2004F, 5);
    const WindowRecord* record = FindWindowRecord(0);
    ASSERT_EQ(record->ShortcutCount, 3) << "Tab, Shift+Tab and Ctrl+O";
    EXPECT_EQ(record->Shortcuts[2].fVirt, FVIRTKEY | FNOINVERT | FCONTROL);
    EXPECT_EQ(record->Shortcuts[2].key, 'O');
    EXPECT_EQ(record->Shortcuts[2].cmd, 5);
    EXPECT_TRUE(SameEvents(PressKey(window_, 'O', {VK_CONTROL}), {MenuEvent(5)}));
}

TEST_F(MenuTest, ShiftMakesADifferentShortcut) {
    AddKeyboardShortcut(0, 0x2004F, 6);
    AddKeyboardShortcut(0, 0x2004F | ShortcutShift, 3);
    AddKeyboardShortcut(0, 0x4004F, 4);
    ASSERT_EQ(FindWindowRecord(0)->ShortcutCount, 5);
    EXPECT_EQ(FindWindowRecord(0)->Shortcuts[3].fVirt, FVIRTKEY | FNOINVERT | FCONTROL | FSHIFT);
    EXPECT_EQ(FindWindowRecord(0)->Shortcuts[4].fVirt, FVIRTKEY | FNOINVERT | FALT);
    EXPECT_TRUE(SameEvents(PressKey(window_, 'O', {VK_CONTROL, VK_SHIFT}), {MenuEvent(3)}));
    EXPECT_TRUE(SameEvents(PressKey(window_, 'O', {VK_CONTROL}), {MenuEvent(6)}));
}

TEST_F(MenuTest, ShortcutsOfAWindowThatIsNotOpenAreRefused) {
    const std::int32_t count = FindWindowRecord(0)->ShortcutCount;
    for (std::int32_t number : {1, -2, INT_MAX}) {
        EXPECT_EQ(AddKeyboardShortcut(number, 0x2004F, 0), nullptr) << number;
    }
    EXPECT_EQ(FindWindowRecord(0)->ShortcutCount, count);
}

TEST_F(MenuTest, OnlyTheActiveToolkitWindowsShortcutsAreTranslated) {
    AddKeyboardShortcut(0, 0x20053, 1);
    HWND other = reinterpret_cast<HWND>(OpenWindow(1, 0, 0, 100, 100, "other", 0));
    AddKeyboardShortcut(1, 0x20053, 9);
    ::SetActiveWindow(other);
    EXPECT_TRUE(
        SameEvents(PressKey(other, 'S', {VK_CONTROL}), {{EventMenuAction, 9, 1, NoEventType}}));
    HWND plain = ::CreateWindowExA(0, "STATIC", "plain", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, ProgramInstance(), nullptr);
    ::SetActiveWindow(plain);
    EXPECT_TRUE(PressKey(plain, 'S', {VK_CONTROL}).empty()) << "not a toolkit window";
    ::DestroyWindow(plain);
}

TEST_F(MenuTest, TabMovesAroundTheBoxesAndWrapsFromNothingFocused) {
    HWND correct = reinterpret_cast<HWND>(CheckBoxGadget(2, 10, 0, 270, 20, "Correct Mode"));
    HWND grid = reinterpret_cast<HWND>(CheckBoxGadget(3, 280, 0, 270, 20, "Grid"));
    ::SetFocus(nullptr);
    EXPECT_TRUE(PressKey(window_, VK_TAB).empty()) << "a focus move, not a menu event";
    EXPECT_EQ(::GetFocus(), correct) << "Tab with nothing focused: the first";
    PressKey(window_, VK_TAB);
    EXPECT_EQ(::GetFocus(), grid);
    PressKey(window_, VK_TAB);
    EXPECT_EQ(::GetFocus(), correct) << "wraps around";
    ::SetFocus(nullptr);
    PressKey(window_, VK_TAB, {VK_SHIFT});
    EXPECT_EQ(::GetFocus(), grid) << "Shift+Tab with nothing focused: the last";
}

TEST_F(MenuTest, AWindowsMenusGoWithIt) {
    HWND other = reinterpret_cast<HWND>(OpenWindow(1, 0, 0, 100, 100, "other", 0));
    CreateMenu(3, other);
    MenuTitle("Only");
    EXPECT_NE(::GetPropA(other, MenuProcedureProperty), nullptr);
    ASSERT_NE(FindMenu(3), nullptr);
    CloseWindow(1);
    EXPECT_EQ(FindMenu(3), nullptr);
    MenuItem(4, "after"); // the current menu is gone: nothing happens
    MenuTitle("after");
    MenuBar();
}

TEST_F(MenuTest, FreeingAMenuDetachesIt) {
    CreateMenu(0, window_);
    MenuTitle("File");
    FreeMenu(0);
    EXPECT_EQ(::GetMenu(window_), nullptr);
    EXPECT_EQ(FindMenu(0), nullptr);
    FreeMenu(0);
    FreeMenu(-5);
    const std::intptr_t identifier = CreateMenu(AnyNumber, window_);
    EXPECT_LT(identifier, AnyNumber);
    MenuItem(1, "dynamic");
    EXPECT_NE(::GetMenu(window_), nullptr);
}

} // namespace
