// Reads Inkswap's main window from a process of its own, with the Win32
// API, for the end-to-end tests:
//
//     window_probe.exe status          the status line's text, in UTF-8
//     window_probe.exe client          the client area's origin on the screen: "x y"
//     window_probe.exe size            the client area's size: "width height"
//     window_probe.exe canvas N        canvas N's client area on the screen: "x y width height"
//     window_probe.exe clipboard FILE  the clipboard's bitmap (CF_DIB, 24 bits) written
//                                      to FILE as red, green, blue rows from the top;
//                                      prints "width height"
//     window_probe.exe box TITLE...    the text of the message box of that title (the
//                                      words after "box"), in UTF-8
//
// The exit code is 0 when the window (or the clipboard's bitmap) was found,
// 1 when not, 2 for wrong arguments.

#include "platform/win32/win32.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int StatusLineNumber = 4; // the gadget number is its control identifier

void PrintText(HWND control) {
    wchar_t wide[2048] = {};
    ::GetWindowTextW(control, wide, 2048);
    char text[8192] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    std::fwrite(text, 1, std::strlen(text), stdout);
}

int PrintStatus(HWND window) {
    HWND status = ::GetDlgItem(window, StatusLineNumber);
    if (status == nullptr) {
        return 1;
    }
    PrintText(status);
    return 0;
}

// A message box's text is its static control of identifier 0xFFFF. The
// title comes as words, joined again by single spaces.
int PrintBoxText(int words, char** word) {
    char title[512] = {};
    for (int i = 0; i < words; ++i) {
        if (i > 0) {
            std::strncat(title, " ", sizeof title - std::strlen(title) - 1);
        }
        std::strncat(title, word[i], sizeof title - std::strlen(title) - 1);
    }
    wchar_t wide[512] = {};
    ::MultiByteToWideChar(CP_UTF8, 0, title, -1, wide, 512);
    HWND box = ::FindWindowW(L"#32770", wide);
    HWND text = box != nullptr ? ::GetDlgItem(box, 0xFFFF) : nullptr;
    if (text == nullptr) {
        return 1;
    }
    PrintText(text);
    return 0;
}

int PrintClientOrigin(HWND window) {
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    std::printf("%ld %ld", static_cast<long>(origin.x), static_cast<long>(origin.y));
    return 0;
}

int PrintClientSize(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    std::printf("%ld %ld", static_cast<long>(client.right), static_cast<long>(client.bottom));
    return 0;
}

int PrintCanvas(HWND window, const char* number) {
    HWND canvas = ::GetDlgItem(window, std::atoi(number));
    if (canvas == nullptr) {
        return 1;
    }
    POINT origin{0, 0};
    ::ClientToScreen(canvas, &origin);
    RECT client{};
    ::GetClientRect(canvas, &client);
    std::printf("%ld %ld %ld %ld", static_cast<long>(origin.x), static_cast<long>(origin.y),
                static_cast<long>(client.right), static_cast<long>(client.bottom));
    return 0;
}

// The rows of a packed 24-bit DIB, from the top, as red, green, blue.
bool WriteRows(const BITMAPINFOHEADER* header, const char* file) {
    const long width = header->biWidth;
    const long height = header->biHeight;
    if (header->biBitCount != 24 || width <= 0 || height <= 0) {
        return false;
    }
    const auto* pixels = reinterpret_cast<const unsigned char*>(header) + header->biSize;
    const long pitch = (width * 3 + 3) / 4 * 4;
    std::FILE* out = std::fopen(file, "wb");
    if (out == nullptr) {
        return false;
    }
    for (long y = 0; y < height; ++y) {
        const unsigned char* row = pixels + (height - 1 - y) * pitch;
        for (long x = 0; x < width; ++x) {
            const unsigned char rgb[3] = {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
            std::fwrite(rgb, 1, 3, out);
        }
    }
    std::fclose(out);
    std::printf("%ld %ld", width, height);
    return true;
}

int WriteClipboard(const char* file) {
    if (!::OpenClipboard(nullptr)) {
        return 1;
    }
    bool written = false;
    if (HANDLE data = ::GetClipboardData(CF_DIB); data != nullptr) {
        if (const auto* header = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(data))) {
            written = WriteRows(header, file);
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return written ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    if (std::strcmp(argv[1], "clipboard") == 0) {
        return argc == 3 ? WriteClipboard(argv[2]) : 2;
    }
    if (std::strcmp(argv[1], "box") == 0) {
        return argc >= 3 ? PrintBoxText(argc - 2, argv + 2) : 2;
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
    if (std::strcmp(argv[1], "size") == 0) {
        return PrintClientSize(window);
    }
    if (std::strcmp(argv[1], "canvas") == 0 && argc == 3) {
        return PrintCanvas(window, argv[2]);
    }
    return 2;
}
