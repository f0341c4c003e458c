// Posts one message to Inkswap's main window from a process of its own, as
// any program on the desktop can:
//
//     message_poster.exe <message> <wParam> <lParam>
//
// Numbers are decimal or 0x-prefixed hexadecimal. The exit code is 0 when
// the message was posted, 1 when no window was found or the post failed,
// 2 for wrong arguments.

#include "platform/win32/win32.h"

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        return 2;
    }
    const auto message = static_cast<UINT>(std::strtoul(argv[1], nullptr, 0));
    const auto wParam = static_cast<WPARAM>(std::strtoull(argv[2], nullptr, 0));
    const auto lParam = static_cast<LPARAM>(std::strtoll(argv[3], nullptr, 0));
    HWND window = ::FindWindowA("WindowClass_0", nullptr);
    if (window == nullptr) {
        return 1;
    }
    return ::PostMessageA(window, message, wParam, lParam) ? 0 : 1;
}
