#pragma once
// A window property read through the platform, remembered for the last
// window it was found on. Procedures that run on every message to a window
// read one each time, and every read asks Wine's server; the window they
// run for is nearly always the same. Whoever removes the property forgets
// it here too.

#include "platform/win32/win32.h"

namespace rook::win32 {

// One property (always read under the same name) of the last window found.
class RememberedProperty {
public:
    // The named property of the window, null when it has none.
    HANDLE Read(HWND window, const char* name) {
        if (window != nullptr && window == window_) {
            return value_;
        }
        HANDLE value = ::GetPropA(window, name);
        if (value != nullptr) {
            window_ = window;
            value_ = value;
        }
        return value;
    }

    void Forget() {
        window_ = nullptr;
        value_ = nullptr;
    }

private:
    HWND window_ = nullptr;
    HANDLE value_ = nullptr;
};

} // namespace rook::win32
