// Reads Inkswap's main window from a process of its own, with the Win32
// API, for the end-to-end tests:
//
//     window_probe.exe status   the status line's text, in UTF-8
//     window_probe.exe client   the client area's origin on the screen: "x y"
//
// The exit code is 0 when the window was found, 1 when not, 2 for wrong
// arguments.

#include "platform/win32/win32.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int StatusLineNumber = 4; // the gadget number is its control identifier

int PrintStatus(HWND window) {
    HWND status = ::GetDlgItem(window, StatusLineNumber);
    if (status == nullptr) {
        return 1;
    }
    wchar_t wide[2048] = {};
    ::GetWindowTextW(status, wide, 2048);
    char text[8192] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    std::fwrite(text, 1, std::strlen(text), stdout);
    return 0;
}

int PrintClientOrigin(HWND window) {
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    std::printf("%ld %ld", static_cast<long>(origin.x), static_cast<long>(origin.y));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    HWND window = ::FindWindowA("WindowClass_0", nullptr);
    if (window == nullptr) {
        return 1;
    }
    if (std::strcmp(argv[1], "status") == 0) {
        return PrintStatus(window);
    }
    if (std::strcmp(argv[1], "client") == 0) {
        return PrintClientOrigin(window);
    }
    return 2;
}
