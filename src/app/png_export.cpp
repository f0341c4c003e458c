#include "app/png_export.h"

#include "app/imaging.h"
#include "screen/screen_image.h"

#include <vector>

namespace inkswap {

namespace {

using rook::win32::ComPointer;

constexpr UINT BytesPerPixel = 3;
constexpr UINT RowBytes = ScreenWidth * BytesPerPixel;

// The picture as rows of blue, green, red bytes from the top, the order of
// WIC's 24-bit BGR format.
std::vector<BYTE> PictureRows(const std::uint8_t* screen) {
    std::vector<rook::Colour> colours(ScreenWidth * ScreenHeight);
    ColourPicture(screen, colours.data());
    std::vector<BYTE> rows;
    rows.reserve(colours.size() * BytesPerPixel);
    for (rook::Colour colour : colours) {
        rows.push_back(GetBValue(colour));
        rows.push_back(GetGValue(colour));
        rows.push_back(GetRValue(colour));
    }
    return rows;
}

bool EncodeFrame(IWICBitmapEncoder* encoder, std::vector<BYTE>& rows) {
    ComPointer<IWICBitmapFrameEncode> frame;
    if (!NewScreenFrame(encoder, GUID_WICPixelFormat24bppBGR, frame)) {
        return false;
    }
    return SUCCEEDED(frame->WritePixels(ScreenHeight, RowBytes, static_cast<UINT>(rows.size()),
                                        rows.data())) &&
           SUCCEEDED(frame->Commit());
}

// The PNG file's bytes, encoded into a stream in memory.
bool EncodePng(const std::uint8_t* screen, std::vector<BYTE>& png) {
    ComPointer<IWICImagingFactory> factory;
    if (!MakeImagingFactory(factory)) {
        return false;
    }
    ComPointer<IStream> stream;
    ComPointer<IWICBitmapEncoder> encoder;
    std::vector<BYTE> rows = PictureRows(screen);
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) ||
        FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
        !EncodeFrame(encoder.get(), rows) || FAILED(encoder->Commit())) {
        return false;
    }
    return StreamBytes(stream.get(), png);
}

} // namespace

bool ExportPng(const char* name, const std::uint8_t* screen) {
    return WriteEncodedPicture(name, screen, EncodePng);
}

} // namespace inkswap
