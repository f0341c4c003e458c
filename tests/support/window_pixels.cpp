#include "support/window_pixels.h"

#include <cstring>

namespace testsupport {

std::vector<std::uint32_t> WindowPixels(HWND window, int width, int height) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC source = ::GetDC(window);
    HDC copy = ::CreateCompatibleDC(source);
    HBITMAP picture = ::CreateDIBSection(copy, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(copy, picture);
    ::BitBlt(copy, 0, 0, width, height, source, 0, 0, SRCCOPY);
    ::GdiFlush();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    std::memcpy(pixels.data(), bits, pixels.size() * 4);
    ::SelectObject(copy, previous);
    ::DeleteObject(picture);
    ::DeleteDC(copy);
    ::ReleaseDC(window, source);
    for (std::uint32_t& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

} // namespace testsupport
