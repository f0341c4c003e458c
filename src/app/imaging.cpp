#include "app/imaging.h"

#include "runtime/file_replacement.h"
#include "screen/screen_image.h"

#include <climits>
#include <cstddef>
#include <new>

namespace inkswap {

bool MakeImagingFactory(rook::win32::ComPointer<IWICImagingFactory>& factory) {
    return SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IWICImagingFactory,
                                        reinterpret_cast<void**>(factory.put())));
}

bool NewScreenFrame(IWICBitmapEncoder* encoder, WICPixelFormatGUID format,
                    rook::win32::ComPointer<IWICBitmapFrameEncode>& frame) {
    rook::win32::ComPointer<IPropertyBag2> options;
    const WICPixelFormatGUID wanted = format;
    if (FAILED(encoder->CreateNewFrame(frame.put(), options.put())) ||
        FAILED(frame->Initialize(options.get())) ||
        FAILED(frame->SetSize(ScreenWidth, ScreenHeight)) ||
        FAILED(frame->SetPixelFormat(&format))) {
        return false;
    }
    return format == wanted;
}

bool StreamBytes(IStream* stream, std::vector<BYTE>& bytes) {
    STATSTG facts{};
    if (FAILED(stream->Stat(&facts, STATFLAG_NONAME)) || facts.cbSize.QuadPart > INT_MAX) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(facts.cbSize.QuadPart));
    const LARGE_INTEGER start{};
    ULONG read = 0;
    return SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) &&
           SUCCEEDED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) &&
           read == bytes.size();
}

bool WriteEncodedPicture(const char* name, const std::uint8_t* screen,
                         bool (*encode)(const std::uint8_t* screen, std::vector<BYTE>& bytes)) {
    try {
        std::vector<BYTE> bytes;
        if (!encode(screen, bytes)) {
            return false;
        }
        return rook::ReplaceFileContent(name, bytes.data(),
                                        static_cast<std::int32_t>(bytes.size()));
    } catch (const std::bad_alloc&) {
        return false; // no room for the picture's bytes: nothing was written
    }
}

} // namespace inkswap
