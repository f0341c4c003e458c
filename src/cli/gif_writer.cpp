#include "cli/gif_writer.h"

#include <gif_lib.h>

#include <cstring>

namespace inkswap::cli {

namespace {

int AppendBytes(GifFileType* file, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(file->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// The palette padded to a power of two of at least 2 entries, as GIF
// stores it.
ColorMapObject* MakeColourMap(const IndexedPicture& picture) {
    int size = 2;
    while (size < static_cast<int>(picture.Palette.size())) {
        size *= 2;
    }
    GifColorType colours[256] = {};
    for (std::size_t i = 0; i < picture.Palette.size(); ++i) {
        colours[i] = {rook::RedOf(picture.Palette[i]), rook::GreenOf(picture.Palette[i]),
                      rook::BlueOf(picture.Palette[i])};
    }
    return GifMakeMapObject(size, colours);
}

// The NETSCAPE2.0 application extension: loop forever.
bool PutLoop(GifFileType* file) {
    static const GifByteType application[] = {'N', 'E', 'T', 'S', 'C', 'A',
                                              'P', 'E', '2', '.', '0'};
    static const GifByteType loop[] = {1, 0, 0}; // sub-block 1: the loop count, 0 for ever
    return EGifPutExtensionLeader(file, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(file, sizeof application, application) == GIF_OK &&
           EGifPutExtensionBlock(file, sizeof loop, loop) == GIF_OK &&
           EGifPutExtensionTrailer(file) == GIF_OK;
}

bool PutDelay(GifFileType* file) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = FlashDelay;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType bytes[4];
    const std::size_t length = EGifGCBToExtension(&control, bytes);
    return EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), bytes) ==
           GIF_OK;
}

bool PutFrame(GifFileType* file, const IndexedPicture& picture, std::vector<std::uint8_t>& frame) {
    if (EGifPutImageDesc(file, 0, 0, picture.Width, picture.Height, false, nullptr) != GIF_OK) {
        return false;
    }
    for (int y = 0; y < picture.Height; ++y) {
        if (EGifPutLine(file, frame.data() + static_cast<std::size_t>(y) * picture.Width,
                        picture.Width) != GIF_OK) {
            return false;
        }
    }
    return true;
}

bool PutPicture(GifFileType* file, const IndexedPicture& picture, ColorMapObject* map) {
    const bool animated = picture.Frames.size() > 1;
    if (EGifPutScreenDesc(file, picture.Width, picture.Height, map->BitsPerPixel, 0, map) !=
            GIF_OK ||
        (animated && !PutLoop(file))) {
        return false;
    }
    // giflib writes a frame's rows through a non-const pointer; it never
    // changes them, but the frames are copied so that the picture stays const.
    for (std::vector<std::uint8_t> frame : picture.Frames) {
        if ((animated && !PutDelay(file)) || !PutFrame(file, picture, frame)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool EncodeGif(const IndexedPicture& picture, std::vector<std::uint8_t>& gif) {
    gif.clear();
    if (picture.Frames.empty() || picture.Palette.empty() || picture.Palette.size() > 256) {
        return false;
    }
    int error = 0;
    GifFileType* file = EGifOpen(&gif, AppendBytes, &error);
    if (file == nullptr) {
        return false;
    }
    EGifSetGifVersion(file, picture.Frames.size() > 1); // GIF89a for the extensions
    ColorMapObject* map = MakeColourMap(picture);
    const bool written = map != nullptr && PutPicture(file, picture, map);
    GifFreeMapObject(map);
    const bool closed = EGifCloseFile(file, &error) == GIF_OK;
    if (!written || !closed) {
        gif.clear();
        return false;
    }
    return true;
}

} // namespace inkswap::cli
