#include "cli/png_writer.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>

namespace inkswap::cli {

namespace {

// The fewest bits per pixel that index every colour of the palette.
int BitDepthFor(std::size_t colours) {
    if (colours <= 2) {
        return 1;
    }
    return colours <= 4 ? 2 : colours <= 16 ? 4 : 8;
}

// The frame's rows packed at the bit depth, the leftmost pixel in the
// highest bits, as PNG keeps them.
std::vector<std::uint8_t> PackedRows(const IndexedPicture& picture, int depth) {
    const std::size_t perByte = 8 / static_cast<std::size_t>(depth);
    const std::size_t width = static_cast<std::size_t>(picture.Width);
    const std::size_t rowBytes = (width + perByte - 1) / perByte;
    std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(picture.Height));
    const std::vector<std::uint8_t>& frame = picture.Frames.front();
    for (std::size_t y = 0; y < static_cast<std::size_t>(picture.Height); ++y) {
        const std::uint8_t* in = frame.data() + y * width;
        std::uint8_t* out = rows.data() + y * rowBytes;
        for (std::size_t x = 0; x < width; ++x) {
            const int shift = 8 - depth * static_cast<int>(x % perByte + 1);
            out[x / perByte] |= static_cast<std::uint8_t>(in[x] << shift);
        }
    }
    return rows;
}

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// The rows encoded. libpng reports errors by longjmp, so nothing
// with a destructor lives between setjmp and the end of the encoding.
bool Encode(const IndexedPicture& picture, int depth, const std::vector<std::uint8_t>& rows,
            std::vector<std::uint8_t>& png) {
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = writer != nullptr ? png_create_info_struct(writer) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&writer, nullptr);
        return false;
    }
    png_color palette[PNG_MAX_PALETTE_LENGTH];
    for (std::size_t i = 0; i < picture.Palette.size(); ++i) {
        palette[i] = {static_cast<png_byte>(rook::RedOf(picture.Palette[i])),
                      static_cast<png_byte>(rook::GreenOf(picture.Palette[i])),
                      static_cast<png_byte>(rook::BlueOf(picture.Palette[i]))};
    }
    const std::size_t rowBytes = rows.size() / static_cast<std::size_t>(picture.Height);
    if (setjmp(png_jmpbuf(writer)) != 0) {
        png_destroy_write_struct(&writer, &info);
        return false;
    }
    png_set_write_fn(writer, &png, AppendBytes, FlushNothing);
    png_set_IHDR(writer, info, static_cast<png_uint_32>(picture.Width),
                 static_cast<png_uint_32>(picture.Height), depth, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(writer, info, palette, static_cast<int>(picture.Palette.size()));
    png_set_compression_level(writer, Z_BEST_COMPRESSION);
    // Filtering makes a palette picture's bytes no more alike: none is tried.
    png_set_filter(writer, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    // One IDAT chunk for the whole picture: each more costs 12 bytes.
    png_set_compression_buffer_size(writer, rows.size() + rows.size() / 8 + 1024);
    png_write_info(writer, info);
    for (std::size_t y = 0; y < static_cast<std::size_t>(picture.Height); ++y) {
        png_write_row(writer, rows.data() + y * rowBytes);
    }
    png_write_end(writer, info);
    png_destroy_write_struct(&writer, &info);
    return true;
}

} // namespace

bool EncodePng(const IndexedPicture& picture, std::vector<std::uint8_t>& png) {
    png.clear();
    if (picture.Frames.empty() || picture.Palette.empty() ||
        picture.Palette.size() > PNG_MAX_PALETTE_LENGTH) {
        return false;
    }
    const int depth = BitDepthFor(picture.Palette.size());
    if (!Encode(picture, depth, PackedRows(picture, depth), png)) {
        png.clear();
        return false;
    }
    return true;
}

} // namespace inkswap::cli
