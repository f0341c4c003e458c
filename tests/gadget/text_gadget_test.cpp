#include "gadget/text_gadget.h"

#include "gadget/gadget.h"
#include "support/toolkit_test.h"
#include "support/window_pixels.h"
#include "window/event_state.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

using namespace rook;
using testsupport::ToolkitTest;

std::string WindowText(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

class TextGadgetTest : public ToolkitTest {
protected:
    void SetUp() override {
        window_ = OpenMainWindow();
        text_ = reinterpret_cast<HWND>(TextGadget(4, 10, 410, 1040, 20, "No file"));
        ASSERT_NE(text_, nullptr);
        Settle();
    }

    HWND window_ = nullptr;
    HWND text_ = nullptr;
};

TEST_F(TextGadgetTest, IsAStaticTextInTheGadgetListWithItsNumber) {
    WNDCLASSEXA staticClass{};
    staticClass.cbSize = sizeof staticClass;
    ASSERT_NE(::GetClassInfoExA(nullptr, "Static", &staticClass), 0);
    EXPECT_EQ(::GetClassLongPtrA(text_, GCLP_WNDPROC),
              reinterpret_cast<ULONG_PTR>(staticClass.lpfnWndProc))
        << "the static's own procedure";
    EXPECT_NE(::GetClassLongPtrA(text_, GCL_STYLE) & CS_OWNDC, 0U) << "a device context of its own";
    const LONG_PTR style = ::GetWindowLongPtrA(text_, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(style & SS_TYPEMASK, SS_LEFT);
    EXPECT_NE(style & SS_NOPREFIX, 0) << "an & in a file name is shown, not taken as a mnemonic";
    EXPECT_EQ(::GetParent(text_), window_);
    EXPECT_EQ(::GetDlgCtrlID(text_), 4);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(::GetPropA(text_, GadgetIdProperty)), 4);
    EXPECT_EQ(FindGadget(4)->Handle, text_);
    RECT area{};
    ::GetWindowRect(text_, &area);
    EXPECT_EQ(area.right - area.left, 1040);
    EXPECT_EQ(area.bottom - area.top, 20);
    EXPECT_EQ(WindowText(text_), "No file");
}

TEST_F(TextGadgetTest, SetGadgetTextReplacesTheTextAndANullTextEmptiesIt) {
    for (const char* text : {"picture.scr *", "экран.scr", "a & b.scr", ""}) {
        SetGadgetText(4, text);
        EXPECT_EQ(WindowText(text_), text);
    }
    SetGadgetText(4, "x");
    SetGadgetText(4, nullptr);
    EXPECT_EQ(WindowText(text_), "");
}

// The text gadget paints through a device context of its own, which keeps
// whatever the last paint left selected in it: every text, and every change
// to a shorter or longer one, must look exactly as a plain static shows it.
TEST_F(TextGadgetTest, ShowsEveryTextExactlyAsAPlainStaticDoes) {
    constexpr int Width = 1040;
    constexpr int Height = 20;
    HWND plain = ::CreateWindowExA(0, "Static", "No file",
                                   WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 10, 440, Width,
                                   Height, window_, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(plain, nullptr);
    ::SendMessageA(plain, WM_SETFONT, ::SendMessageA(text_, WM_GETFONT, 0, 0), TRUE);
    ::UpdateWindow(window_);
    for (const char* text : {"No file", "title.scr *   x:15 y:11   ink 7 paper 0 bright flash",
                             "a & b.scr", "", "W"}) {
        SetGadgetText(4, text);
        ::SetWindowTextA(plain, text);
        Settle();
        const std::vector<std::uint32_t> shown = testsupport::WindowPixels(text_, Width, Height);
        EXPECT_EQ(shown, testsupport::WindowPixels(plain, Width, Height)) << text;
        const bool blank = std::all_of(shown.begin(), shown.end(),
                                       [&](std::uint32_t pixel) { return pixel == shown.front(); });
        EXPECT_EQ(blank, text[0] == '\0') << "the text is drawn: " << text;
    }
}

TEST_F(TextGadgetTest, SetGadgetTextOnANumberWithoutAGadgetDoesNothing) {
    for (std::int32_t number : {5, -2, INT_MAX}) {
        SetGadgetText(number, "nothing");
    }
    EXPECT_EQ(WindowText(text_), "No file");
    EXPECT_EQ(WindowText(window_), "New window ( 0 )");
}

TEST_F(TextGadgetTest, HasNoStateAttributesOrEvents) {
    EXPECT_EQ(GetGadgetState(4), 0);
    for (std::int32_t attribute : {0, 1, 2, 3, -1}) {
        EXPECT_EQ(GetGadgetAttribute(4, attribute), 0) << attribute;
    }
    ::PostMessageA(text_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageA(text_, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    const auto events = testsupport::TakeEvents(testsupport::BareMessages::Skip);
    EXPECT_TRUE(testsupport::WithCodes(events, {EventGadgetAction}).empty());
}

TEST_F(TextGadgetTest, ANullTextAndAnyNumberWork) {
    const std::intptr_t identifier = TextGadget(AnyNumber, 0, 440, 100, 20, nullptr);
    ASSERT_NE(identifier, 0);
    const auto number = static_cast<std::int32_t>(identifier);
    GadgetRecord* gadget = FindGadget(number);
    ASSERT_NE(gadget, nullptr);
    EXPECT_EQ(WindowText(gadget->Handle), "");
    SetGadgetText(number, "dynamic");
    EXPECT_EQ(WindowText(gadget->Handle), "dynamic");
}

TEST_F(TextGadgetTest, GoesWithItsWindow) {
    CloseWindow(0);
    EXPECT_EQ(FindGadget(4), nullptr);
    EXPECT_FALSE(::IsWindow(text_));
}

TEST(TextGadgetWithoutList, FailsWithoutAParentWindow) {
    rook::WindowLibraryEnd();
    ASSERT_EQ(CurrentGadgetList(), nullptr);
    EXPECT_EQ(TextGadget(7, 0, 0, 10, 10, "orphan"), 0);
    EXPECT_EQ(FindGadget(7), nullptr);
}

} // namespace
