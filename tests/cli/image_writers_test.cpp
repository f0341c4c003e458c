// The images inkswap-cli writes, read back by the libraries that wrote
// them: a PNG is a palette image of the fewest bits its colours need and
// decodes to the picture's colours; a GIF is one frame, or for a picture
// of two frames an animation of 32 hundredths a frame that loops forever.

#include "cli/gif_writer.h"
#include "cli/png_writer.h"

#include "screen_fixtures.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <vector>

namespace {

using namespace inkswap;
using Bytes = std::vector<std::uint8_t>;

// The frame's colours as red, green, blue bytes.
Bytes RgbOf(const IndexedPicture& picture, std::size_t frame) {
    Bytes rgb;
    for (const std::uint8_t index : picture.Frames[frame]) {
        const rook::Colour colour = picture.Palette[index];
        rgb.insert(rgb.end(), {rook::RedOf(colour), rook::GreenOf(colour), rook::BlueOf(colour)});
    }
    return rgb;
}

Bytes DecodedPng(const Bytes& png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, png.data(), png.size()) == 0) {
        return {};
    }
    image.format = PNG_FORMAT_RGB;
    Bytes rgb(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) {
        return {};
    }
    return rgb;
}

// A picture of `colours` colours: the first cells' paper and ink set so.
IndexedPicture PictureOfColours(int colours, std::int32_t scale) {
    fixtures::Screen screen{};
    for (int cell = 0; cell < 8; ++cell) {
        screen[6144 + cell] = static_cast<std::uint8_t>(cell < colours ? cell << 3 : 0);
    }
    return MakeIndexedPicture(screen.data(), {ColourView, scale, false}, false);
}

TEST(PngWriter, APaletteImageOfTheFewestBitsThatDecodesToThePicture) {
    struct Case {
        IndexedPicture Picture;
        int Depth;
    };
    const Case cases[] = {
        {PictureOfColours(2, 1), 1},
        {PictureOfColours(3, 3), 2},
        {PictureOfColours(4, 1), 2},
        {PictureOfColours(8, 5), 4},
        {MakeIndexedPicture(fixtures::Noise(71).data(), {ColourView, 1, true}, false), 4},
        {MakeIndexedPicture(fixtures::Noise(72).data(), {BitmapView, 7, true}, false), 2},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << test.Picture.Palette.size() << " colours, "
                                        << test.Picture.Width << " wide");
        Bytes png;
        ASSERT_TRUE(cli::EncodePng(test.Picture, png));
        ASSERT_GT(png.size(), 26u);
        EXPECT_EQ(std::memcmp(png.data() + 12, "IHDR", 4), 0);
        EXPECT_EQ(png[24], test.Depth) << "bit depth";
        EXPECT_EQ(png[25], PNG_COLOR_TYPE_PALETTE);
        EXPECT_EQ(DecodedPng(png), RgbOf(test.Picture, 0));
    }
}

// giflib reads from memory through a function of its own.
struct Reading {
    const Bytes* From;
    std::size_t At;
};

int ReadBytes(GifFileType* file, GifByteType* into, int count) {
    auto* reading = static_cast<Reading*>(file->UserData);
    const auto left = static_cast<int>(reading->From->size() - reading->At);
    const int given = std::min(count, left);
    std::memcpy(into, reading->From->data() + reading->At, static_cast<std::size_t>(given));
    reading->At += static_cast<std::size_t>(given);
    return given;
}

struct DecodedGif {
    std::vector<Bytes> Frames; // red, green, blue bytes
    std::vector<int> Delays;   // -1: no graphics control block
    bool Loops = false;
};

DecodedGif DecodeGif(const Bytes& gif) {
    Reading reading{&gif, 0};
    int error = 0;
    GifFileType* file = DGifOpen(&reading, ReadBytes, &error);
    DecodedGif decoded;
    if (file == nullptr || DGifSlurp(file) != GIF_OK) {
        DGifCloseFile(file, &error);
        return decoded;
    }
    for (int i = 0; i < file->ImageCount; ++i) {
        const SavedImage& image = file->SavedImages[i];
        const ColorMapObject* map =
            image.ImageDesc.ColorMap != nullptr ? image.ImageDesc.ColorMap : file->SColorMap;
        Bytes rgb;
        const int pixels = image.ImageDesc.Width * image.ImageDesc.Height;
        for (int p = 0; p < pixels; ++p) {
            const GifColorType colour = map->Colors[image.RasterBits[p]];
            rgb.insert(rgb.end(), {colour.Red, colour.Green, colour.Blue});
        }
        decoded.Frames.push_back(rgb);
        GraphicsControlBlock control{};
        decoded.Delays.push_back(
            DGifSavedExtensionToGCB(file, i, &control) == GIF_OK ? control.DelayTime : -1);
        for (int e = 0; e + 1 < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            const ExtensionBlock& data = image.ExtensionBlocks[e + 1];
            decoded.Loops |= block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                             std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 &&
                             data.ByteCount == 3 && data.Bytes[0] == 1 && data.Bytes[1] == 0 &&
                             data.Bytes[2] == 0;
        }
    }
    DGifCloseFile(file, &error);
    return decoded;
}

TEST(GifWriter, OneFrameOrAnAnimationThatLoops) {
    const fixtures::Screen flashing = fixtures::Noise(73);
    const IndexedPicture still = MakeIndexedPicture(flashing.data(), {ColourView, 2, true}, false);
    const IndexedPicture animation =
        MakeIndexedPicture(flashing.data(), {ColourView, 3, false}, true);
    ASSERT_EQ(animation.Frames.size(), 2u);

    Bytes gif;
    ASSERT_TRUE(cli::EncodeGif(still, gif));
    DecodedGif decoded = DecodeGif(gif);
    ASSERT_EQ(decoded.Frames.size(), 1u);
    EXPECT_EQ(decoded.Frames[0], RgbOf(still, 0));
    EXPECT_EQ(decoded.Delays[0], -1) << "a still picture has no delay";
    EXPECT_FALSE(decoded.Loops);

    ASSERT_TRUE(cli::EncodeGif(animation, gif));
    EXPECT_EQ(std::memcmp(gif.data(), "GIF89a", 6), 0);
    decoded = DecodeGif(gif);
    ASSERT_EQ(decoded.Frames.size(), 2u);
    for (std::size_t frame = 0; frame < 2; ++frame) {
        EXPECT_EQ(decoded.Frames[frame], RgbOf(animation, frame)) << "frame " << frame;
        EXPECT_EQ(decoded.Delays[frame], cli::FlashDelay);
    }
    EXPECT_TRUE(decoded.Loops);
}

} // namespace
