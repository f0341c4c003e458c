#include "app/picture_copy.h"

#include "drawing/drawing_context.h"
#include "screen/screen_renderer.h"

namespace inkswap {

namespace {

// The picture drawn into a global memory block as a packed DIB: the header,
// then the rows bottom-up, as the drawing layer writes them.
HGLOBAL PictureBlock(const std::uint8_t* screen, std::int32_t zoom) {
    const std::int32_t width = ScreenWidth * zoom;
    const std::int32_t height = ScreenHeight * zoom;
    const std::int32_t pitch = rook::RowPitch(width, 24);
    const SIZE_T pixels = static_cast<SIZE_T>(pitch) * static_cast<SIZE_T>(height);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + pixels);
    if (block == nullptr) {
        return nullptr;
    }
    auto* header = static_cast<BITMAPINFOHEADER*>(::GlobalLock(block));
    if (header == nullptr) {
        ::GlobalFree(block);
        return nullptr;
    }
    *header = {};
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(pixels);
    rook::DrawingContext* context = rook::CreateDrawingContext(rook::PixelFormat24Bits);
    if (context != nullptr) {
        context->Width = width;
        context->Height = height;
        context->BitsPerPixel = 24;
        context->Pitch = pitch;
        context->Buffer = reinterpret_cast<std::uint8_t*>(header + 1);
    }
    const bool drawn = context != nullptr && rook::StartDrawing(context) != 0;
    if (drawn) {
        RenderScreenView(screen, ColourView, NoHighlight, NoHighlight, ViewLook{zoom});
        rook::StopDrawing();
    }
    ::GlobalUnlock(block);
    if (!drawn) {
        ::GlobalFree(block);
        return nullptr;
    }
    return block;
}

} // namespace

bool CopyPicture(HWND owner, const std::uint8_t* screen, std::int32_t zoom) {
    HGLOBAL block = PictureBlock(screen, zoom);
    if (block == nullptr) {
        return false;
    }
    if (!::OpenClipboard(owner)) {
        ::GlobalFree(block);
        return false;
    }
    // Once set, the block belongs to the clipboard.
    const bool copied = ::EmptyClipboard() && ::SetClipboardData(CF_DIB, block) != nullptr;
    ::CloseClipboard();
    if (!copied) {
        ::GlobalFree(block);
    }
    return copied;
}

} // namespace inkswap
