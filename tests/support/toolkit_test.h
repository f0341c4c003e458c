#pragma once
// Base of the toolkit's window tests: every window a test opened is closed
// afterwards, and whatever events are left are taken.

#include "app/window_layout.h"
#include "support/event_recorder.h"
#include "window/event_queue.h"
#include "window/window.h"

#include <gtest/gtest.h>

namespace testsupport {

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override { Settle(); }

    void TearDown() override {
        rook::WindowLibraryEnd();
        Settle();
    }

    // Takes every waiting event and message, so that a test starts from an
    // empty queue.
    static void Settle() {
        TakeEvents(BareMessages::Keep);
        rook::RemoveEvents(rook::AnyValue, rook::AnyValue, rook::AnyValue, rook::AnyValue);
    }

    // Window 0 as the application opens it.
    static HWND OpenMainWindow() {
        const inkswap::Placement& at = inkswap::MainWindowPlacement;
        return reinterpret_cast<HWND>(
            rook::OpenWindow(0, at.X, at.Y, at.Width, at.Height, inkswap::InitialTitle, 0xCC0000));
    }
};

} // namespace testsupport
