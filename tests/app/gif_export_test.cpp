// What ExportGif writes, decoded again by the platform's own GIF decoder:
// one frame, or two when cells flash, each pixel for pixel the colour
// picture of its phase; an animation's delays and its loop block.

#include "app/gif_export.h"

#include "platform/win32/owners.h"
#include "screen/screen_image.h"
#include "screen_fixtures.h"
#include "support/temp_directory.h"

#include <objidl.h>
#include <propidl.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace inkswap;
using rook::win32::ComPointer;

constexpr std::size_t PixelCount = ScreenWidth * ScreenHeight;
constexpr FlashPhase Phases[] = {FlashPhase::Plain, FlashPhase::Swapped};

fixtures::Screen WithoutFlash(fixtures::Screen screen) {
    for (std::size_t at = AttributeStart; at < screen.size(); ++at) {
        screen[at] &= ~AttributeFlash;
    }
    return screen;
}

// A blank screen but for one flashing cell, white paper and red ink: the
// phases differ in that cell only.
fixtures::Screen OneFlashingCell() {
    fixtures::Screen screen{};
    screen[CellAttributeOffset(5, 3)] = AttributeFlash | 7 << PaperShift | 2;
    return screen;
}

struct Case {
    const char* Name;
    fixtures::Screen Screen;
    bool Flashing;
};

std::vector<Case> Cases() {
    return {
        {"blank", fixtures::Screen{}, false},
        {"scene without flash", WithoutFlash(fixtures::Scene()), false},
        {"noise without flash", WithoutFlash(fixtures::Noise(7)), false},
        {"noise", fixtures::Noise(7), true},
        {"attribute sweep", fixtures::AttributeSweep(), true},
        {"one flashing cell", OneFlashingCell(), true},
    };
}

// A metadata value, cleared at the end.
class Property {
public:
    Property() = default;
    ~Property() { ::PropVariantClear(&value_); }
    Property(const Property&) = delete;
    Property& operator=(const Property&) = delete;

    PROPVARIANT* put() { return &value_; }
    const PROPVARIANT& get() const { return value_; }

private:
    PROPVARIANT value_{};
};

// The value's bytes when it is a byte vector; empty otherwise.
std::vector<UCHAR> BytesOf(const Property& property) {
    const PROPVARIANT& value = property.get();
    if (value.vt != (VT_VECTOR | VT_UI1)) {
        return {};
    }
    return {value.caub.pElems, value.caub.pElems + value.caub.cElems};
}

// A decoder over a copy of the file's bytes, which it keeps.
class DecodedGif {
public:
    explicit DecodedGif(const testsupport::Bytes& bytes) {
        EXPECT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr,
                                                    CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                                    reinterpret_cast<void**>(factory_.put())));
        ComPointer<IStream> stream;
        ULONG written = 0;
        const LARGE_INTEGER start{};
        EXPECT_HRESULT_SUCCEEDED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
        EXPECT_HRESULT_SUCCEEDED(
            stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written));
        EXPECT_HRESULT_SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr));
        EXPECT_HRESULT_SUCCEEDED(factory_->CreateDecoderFromStream(
            stream.get(), &GUID_VendorMicrosoft, WICDecodeMetadataCacheOnLoad, decoder_.put()));
    }

    bool Opened() const { return bool(decoder_); }

    UINT FrameCount() const {
        UINT count = 0;
        EXPECT_HRESULT_SUCCEEDED(decoder_->GetFrameCount(&count));
        return count;
    }

    // The frame's pixels as colour values (ColourPicture's form), through a
    // converter to 32-bit BGRA; empty when it is not 256 x 192 or cannot be read.
    std::vector<rook::Colour> FramePixels(UINT index) const {
        ComPointer<IWICBitmapFrameDecode> frame;
        ComPointer<IWICFormatConverter> converter;
        UINT width = 0;
        UINT height = 0;
        if (FAILED(decoder_->GetFrame(index, frame.put())) ||
            FAILED(frame->GetSize(&width, &height)) || width != ScreenWidth ||
            height != ScreenHeight || FAILED(factory_->CreateFormatConverter(converter.put())) ||
            FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                         WICBitmapDitherTypeNone, nullptr, 0,
                                         WICBitmapPaletteTypeCustom))) {
            return {};
        }
        std::vector<BYTE> bgra(PixelCount * 4);
        if (FAILED(converter->CopyPixels(nullptr, ScreenWidth * 4, static_cast<UINT>(bgra.size()),
                                         bgra.data()))) {
            return {};
        }
        std::vector<rook::Colour> pixels;
        for (std::size_t at = 0; at < bgra.size(); at += 4) {
            pixels.push_back(rook::RGB(bgra[at + 2], bgra[at + 1], bgra[at]));
        }
        return pixels;
    }

    WICPixelFormatGUID FrameFormat(UINT index) const {
        ComPointer<IWICBitmapFrameDecode> frame;
        WICPixelFormatGUID format = GUID_WICPixelFormatUndefined;
        if (SUCCEEDED(decoder_->GetFrame(index, frame.put()))) {
            EXPECT_HRESULT_SUCCEEDED(frame->GetPixelFormat(&format));
        }
        return format;
    }

    // A metadata item of the frame; false when it has none.
    bool FrameMetadata(UINT index, const wchar_t* name, Property& value) const {
        ComPointer<IWICBitmapFrameDecode> frame;
        ComPointer<IWICMetadataQueryReader> reader;
        return SUCCEEDED(decoder_->GetFrame(index, frame.put())) &&
               SUCCEEDED(frame->GetMetadataQueryReader(reader.put())) &&
               SUCCEEDED(reader->GetMetadataByName(name, value.put()));
    }

    // A metadata item of the whole file; false when it has none.
    bool FileMetadata(const wchar_t* name, Property& value) const {
        ComPointer<IWICMetadataQueryReader> reader;
        return SUCCEEDED(decoder_->GetMetadataQueryReader(reader.put())) &&
               SUCCEEDED(reader->GetMetadataByName(name, value.put()));
    }

private:
    ComPointer<IWICImagingFactory> factory_;
    ComPointer<IWICBitmapDecoder> decoder_;
};

std::vector<rook::Colour> Picture(const fixtures::Screen& screen, FlashPhase phase) {
    std::vector<rook::Colour> pixels(PixelCount);
    ColourPicture(screen.data(), pixels.data(), phase);
    return pixels;
}

std::string Hex(rook::Colour colour) {
    std::ostringstream text;
    text << std::hex << std::setw(6) << std::setfill('0') << colour;
    return text.str();
}

// Reports the first pixel that differs.
::testing::AssertionResult SamePixels(const std::vector<rook::Colour>& actual,
                                      const std::vector<rook::Colour>& expected) {
    if (actual.size() != expected.size()) {
        return ::testing::AssertionFailure() << actual.size() << " pixels, not " << expected.size();
    }
    for (std::size_t at = 0; at < actual.size(); ++at) {
        if (actual[at] != expected[at]) {
            return ::testing::AssertionFailure()
                   << "pixel (" << at % ScreenWidth << ", " << at / ScreenWidth << ") is "
                   << Hex(actual[at]) << ", not " << Hex(expected[at]);
        }
    }
    return ::testing::AssertionSuccess();
}

testsupport::Bytes Exported(const testsupport::TempDirectory& folder,
                            const fixtures::Screen& screen) {
    EXPECT_TRUE(ExportGif(folder.PathOf("picture.gif").c_str(), screen.data()));
    return folder.Read("picture.gif");
}

TEST(GifExport, EachFrameIsTheColourPictureOfItsFlashPhase) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.Name);
        ASSERT_EQ(HasFlashingCells(c.Screen.data()), c.Flashing);
        const testsupport::TempDirectory folder;
        const testsupport::Bytes bytes = Exported(folder, c.Screen);
        ASSERT_GE(bytes.size(), 6u);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
        const DecodedGif gif(bytes);
        ASSERT_TRUE(gif.Opened());
        const UINT frames = c.Flashing ? 2 : 1;
        ASSERT_EQ(gif.FrameCount(), frames);
        for (UINT frame = 0; frame < frames; ++frame) {
            EXPECT_EQ(gif.FrameFormat(frame), GUID_WICPixelFormat8bppIndexed) << "frame " << frame;
            EXPECT_TRUE(SamePixels(gif.FramePixels(frame), Picture(c.Screen, Phases[frame])))
                << "frame " << frame;
        }
    }
}

TEST(GifExport, AnAnimationShowsEachPhaseFor32HundredthsAndLoopsForever) {
    for (const Case& c : Cases()) {
        if (!c.Flashing) {
            continue;
        }
        SCOPED_TRACE(c.Name);
        const testsupport::TempDirectory folder;
        const DecodedGif gif(Exported(folder, c.Screen));
        ASSERT_TRUE(gif.Opened());
        ASSERT_EQ(gif.FrameCount(), 2u);
        for (UINT frame = 0; frame < 2; ++frame) {
            Property delay;
            ASSERT_TRUE(gif.FrameMetadata(frame, L"/grctlext/Delay", delay)) << "frame " << frame;
            ASSERT_EQ(delay.get().vt, VT_UI2);
            EXPECT_EQ(delay.get().uiVal, 32) << "frame " << frame;
        }
        Property application;
        Property data;
        ASSERT_TRUE(gif.FileMetadata(L"/appext/Application", application));
        ASSERT_TRUE(gif.FileMetadata(L"/appext/Data", data));
        const std::string name = "NETSCAPE2.0";
        EXPECT_EQ(BytesOf(application), std::vector<UCHAR>(name.begin(), name.end()));
        // One sub-block of 3 bytes: the loop sub-block's id, then a loop count of 0.
        EXPECT_EQ(BytesOf(data), (std::vector<UCHAR>{3, 1, 0, 0}));
    }
}

TEST(GifExport, AnExportReplacesAFileThatIsThere) {
    const testsupport::TempDirectory folder;
    folder.Write("picture.gif", testsupport::PatternBytes(10000));
    const fixtures::Screen screen = fixtures::Noise(3);
    const DecodedGif gif(Exported(folder, screen));
    ASSERT_TRUE(gif.Opened());
    ASSERT_EQ(gif.FrameCount(), 2u);
    EXPECT_TRUE(SamePixels(gif.FramePixels(1), Picture(screen, FlashPhase::Swapped)));
}

TEST(GifExport, AnExportIntoAMissingFolderFailsAndCreatesNothing) {
    const testsupport::TempDirectory folder;
    const std::filesystem::path missing = folder.Root() / "missing";
    const std::string name = (missing / "picture.gif").string();
    EXPECT_FALSE(ExportGif(name.c_str(), fixtures::Noise(5).data()));
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_TRUE(std::filesystem::is_empty(folder.Root()));
}

} // namespace
