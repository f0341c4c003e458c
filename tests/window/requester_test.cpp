// The message requester with real windows: the box is closed from a timer
// that runs inside its own modal loop, after noting what the program's
// windows looked like meanwhile.

#include "window/requester.h"

#include "runtime/toolkit_heap.h"
#include "support/toolkit_test.h"
#include "window/event_state.h"
#include "window/window_procedure.h"

#include <functional>

namespace {

using namespace rook;
using testsupport::TakeEvents;
using testsupport::ToolkitTest;
using testsupport::WithCodes;

bool IsTopmost(HWND window) {
    return (::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// While a box is open: runs the check once the box is there, then presses
// its OK button.
std::function<void(HWND box)> whileOpen;
const char* boxTitle = nullptr;

void CALLBACK CloseTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = ::FindWindowA("#32770", boxTitle);
    if (box == nullptr) {
        return;
    }
    ::KillTimer(nullptr, timer);
    if (whileOpen) {
        whileOpen(box);
    }
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
}

std::int32_t RequestAndClose(const char* title, std::function<void(HWND box)> check) {
    boxTitle = title;
    whileOpen = std::move(check);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CloseTheBox);
    const std::int32_t result = MessageRequester(title, "this is not ZX Spectrum picture!", MB_OK);
    ::KillTimer(nullptr, timer);
    return result;
}

class RequesterTest : public ToolkitTest {
protected:
    void SetUp() override {
        main_ = OpenMainWindow();
        ::SetForegroundWindow(main_);
        Settle();
    }

    HWND main_ = nullptr;
};

TEST_F(RequesterTest, OtherWindowsAreDisabledMeanwhileAndGivenBackAfter) {
    HWND second = reinterpret_cast<HWND>(OpenWindow(1, 0, 0, 120, 90, "second", 0));
    HWND topmost = reinterpret_cast<HWND>(OpenWindow(2, 0, 200, 120, 90, "topmost", 0));
    ::SetWindowPos(topmost, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    HWND disabled = reinterpret_cast<HWND>(OpenWindow(3, 0, 400, 120, 90, "disabled", 0));
    ::EnableWindow(disabled, FALSE);
    HWND hidden = reinterpret_cast<HWND>(OpenWindow(4, 0, 600, 120, 90, "hidden", WindowInvisible));
    ::SetForegroundWindow(main_);
    ASSERT_EQ(::GetForegroundWindow(), main_);
    ASSERT_TRUE(IsTopmost(topmost));

    struct Seen {
        bool Open = false;
        HWND Owner;
        bool MainEnabled, SecondEnabled, TopmostEnabled, TopmostStillTopmost, HiddenEnabled;
        char Text[64];
    } seen{};
    const std::int32_t result = RequestAndClose("Error", [&](HWND box) {
        seen.Open = true;
        seen.Owner = ::GetWindow(box, GW_OWNER);
        seen.MainEnabled = ::IsWindowEnabled(main_);
        seen.SecondEnabled = ::IsWindowEnabled(second);
        seen.TopmostEnabled = ::IsWindowEnabled(topmost);
        seen.TopmostStillTopmost = IsTopmost(topmost);
        seen.HiddenEnabled = ::IsWindowEnabled(hidden);
        ::GetDlgItemTextA(box, 0xFFFF, seen.Text, sizeof seen.Text);
    });
    EXPECT_EQ(result, IDOK);
    ASSERT_TRUE(seen.Open);
    EXPECT_EQ(seen.Owner, main_) << "owned by the program's foreground window";
    EXPECT_FALSE(seen.MainEnabled) << "the owner is disabled by the box itself";
    EXPECT_FALSE(seen.SecondEnabled);
    EXPECT_FALSE(seen.TopmostEnabled);
    EXPECT_FALSE(seen.TopmostStillTopmost) << "out of the topmost band meanwhile";
    EXPECT_TRUE(seen.HiddenEnabled) << "invisible windows are left alone";
    EXPECT_STREQ(seen.Text, "this is not ZX Spectrum picture!");

    EXPECT_TRUE(::IsWindowEnabled(main_));
    EXPECT_TRUE(::IsWindowEnabled(second));
    EXPECT_TRUE(::IsWindowEnabled(topmost));
    EXPECT_TRUE(IsTopmost(topmost)) << "back in the topmost band";
    EXPECT_FALSE(::IsWindowEnabled(disabled)) << "it was disabled before";
}

TEST_F(RequesterTest, ImmediateEventsOfTheBoxesOwnLoopAreNeverDelivered) {
    auto* record = static_cast<DropRecord*>(ToolkitAllocate(sizeof(DropRecord), os::Fill::Zero));
    ASSERT_TRUE(HandOverDropRecord(record));
    RequestAndClose("Error", [&](HWND) {
        ::PostMessageA(main_, WM_COMMAND, MAKEWPARAM(2, 0), 0);
        ::PostMessageA(main_, GadgetDropMessage, 0, reinterpret_cast<LPARAM>(record));
        // Let the box's loop dispatch them before it closes.
        MSG message;
        while (::PeekMessageA(&message, main_, 0, 0, PM_REMOVE)) {
            ::DispatchMessageA(&message);
        }
    });
    EXPECT_EQ(GetEventState().Drop, record) << "taken by the event state";
    const auto events = TakeEvents();
    EXPECT_TRUE(WithCodes(events, {EventMenuAction, EventGadgetDrop}).empty());
    EXPECT_EQ(GetEventState().Drop, nullptr) << "freed by the next wait";
}

} // namespace
