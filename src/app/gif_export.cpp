#include "app/gif_export.h"

#include "app/imaging.h"
#include "screen/indexed_picture.h"
#include "screen/screen_image.h"

#include <propidl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <vector>

namespace inkswap {

namespace {

using rook::win32::ComPointer;

// A Spectrum shows each phase of FLASH for 16 frames at 50 a second.
constexpr USHORT FlashDelay = 32; // hundredths of a second

WICColor OpaqueColour(rook::Colour colour) {
    return 0xFF000000u | static_cast<WICColor>(rook::RedOf(colour)) << 16 |
           static_cast<WICColor>(rook::GreenOf(colour)) << 8 | rook::BlueOf(colour);
}

// The NETSCAPE2.0 application extension through the codec's own writer:
// its data is one sub-block of 3 bytes, the loop sub-block's id 1 and the
// loop count, 0 for forever. false when the codec cannot write it.
bool WriteLoopMetadata(IWICBitmapEncoder* encoder) {
    ComPointer<IWICMetadataQueryWriter> writer;
    if (FAILED(encoder->GetMetadataQueryWriter(writer.put()))) {
        return false;
    }
    UCHAR application[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    UCHAR data[] = {3, 1, 0, 0};
    PROPVARIANT value{};
    value.vt = VT_VECTOR | VT_UI1;
    value.caub = {sizeof application, application};
    if (FAILED(writer->SetMetadataByName(L"/appext/Application", &value))) {
        return false;
    }
    value.caub = {sizeof data, data};
    return SUCCEEDED(writer->SetMetadataByName(L"/appext/Data", &value));
}

// The frame's delay through the codec's own writer; false when it cannot.
bool WriteDelayMetadata(IWICBitmapFrameEncode* frame) {
    ComPointer<IWICMetadataQueryWriter> writer;
    PROPVARIANT value{};
    value.vt = VT_UI2;
    value.uiVal = FlashDelay;
    return SUCCEEDED(frame->GetMetadataQueryWriter(writer.put())) &&
           SUCCEEDED(writer->SetMetadataByName(L"/grctlext/Delay", &value));
}

// Encodes one frame; metadataWritten turns false when a frame of an
// animation could not get its delay from the codec.
bool EncodeFrame(IWICBitmapEncoder* encoder, IWICPalette* palette, std::vector<BYTE>& pixels,
                 bool animated, bool& metadataWritten) {
    ComPointer<IWICBitmapFrameEncode> frame;
    if (!NewScreenFrame(encoder, GUID_WICPixelFormat8bppIndexed, frame) ||
        FAILED(frame->SetPalette(palette))) {
        return false;
    }
    if (animated && !WriteDelayMetadata(frame.get())) {
        metadataWritten = false;
    }
    return SUCCEEDED(frame->WritePixels(ScreenHeight, ScreenWidth, static_cast<UINT>(pixels.size()),
                                        pixels.data())) &&
           SUCCEEDED(frame->Commit());
}

// Wine's GIF codec (Wine 8) encodes the frames but writes none of their
// metadata: its query writers answer E_NOTIMPL. Then the delays and the
// loop block go into the encoded bytes afterwards: the GIF is rebuilt block
// by block, the NETSCAPE2.0 block after the global colour table, each image
// after a graphic control extension of its own, and any such blocks the
// codec wrote left out. Every length is checked against the bytes.

constexpr std::size_t ScreenDescriptorEnd = 13; // the header and the logical screen descriptor
constexpr std::size_t ScreenFlags = 10;
constexpr std::size_t ImageDescriptorSize = 10; // the separator, position, size and flags
constexpr std::size_t ImageFlags = 9;
constexpr BYTE ColourTableFlag = 0x80;
constexpr BYTE ColourTableBits = 0x07;
constexpr BYTE ExtensionIntroducer = 0x21;
constexpr BYTE ImageSeparator = 0x2C;
constexpr BYTE Trailer = 0x3B;
constexpr BYTE GraphicControlLabel = 0xF9;
constexpr BYTE ApplicationLabel = 0xFF;
constexpr char LoopApplication[] = "NETSCAPE2.0";
constexpr std::size_t LoopApplicationSize = sizeof LoopApplication - 1;

// The NETSCAPE2.0 block: the identifier's sub-block, then the loop
// sub-block (its id 1 and a loop count of 0, forever) and the terminator.
constexpr BYTE LoopBlockStart[] = {ExtensionIntroducer, ApplicationLabel, LoopApplicationSize};
constexpr BYTE LoopBlockEnd[] = {3, 1, 0, 0, 0};

// No disposal given, no user input, no transparent colour.
constexpr BYTE GraphicControlBlock[] = {ExtensionIntroducer, GraphicControlLabel, 4, 0,
                                        FlashDelay & 0xFF,   FlashDelay >> 8,     0, 0};

// The bytes of the colour table that a flags byte announces.
std::size_t ColourTableSize(BYTE flags) {
    return (flags & ColourTableFlag) != 0 ? std::size_t{3} << ((flags & ColourTableBits) + 1) : 0;
}

// Where the data sub-blocks from at end, after their terminator; 0 when
// they run past the bytes.
std::size_t SubBlocksEnd(const std::vector<BYTE>& gif, std::size_t at) {
    while (at < gif.size()) {
        const std::size_t length = gif[at];
        at += 1 + length;
        if (length == 0) {
            return at;
        }
    }
    return 0;
}

enum class BlockKind { Image, GraphicControl, Loop, Other };

struct Block {
    BlockKind Kind;
    std::size_t Begin;
    std::size_t End; // one past its last byte
};

BlockKind ExtensionKind(const std::vector<BYTE>& gif, const Block& block) {
    const BYTE label = gif[block.Begin + 1];
    if (label == GraphicControlLabel) {
        return BlockKind::GraphicControl;
    }
    const std::size_t identifier = block.Begin + 3;
    const bool loop = label == ApplicationLabel &&
                      block.End - block.Begin > 3 + LoopApplicationSize &&
                      gif[block.Begin + 2] == LoopApplicationSize &&
                      std::memcmp(&gif[identifier], LoopApplication, LoopApplicationSize) == 0;
    return loop ? BlockKind::Loop : BlockKind::Other;
}

// The image or extension starting at at (within the bytes); false when it
// is neither or is cut short.
bool ReadBlock(const std::vector<BYTE>& gif, std::size_t at, Block& block) {
    const std::size_t left = gif.size() - at;
    if (gif[at] == ImageSeparator && left > ImageDescriptorSize) {
        // The code size byte follows the local colour table, then the data.
        const std::size_t codeSize =
            at + ImageDescriptorSize + ColourTableSize(gif[at + ImageFlags]);
        block = {BlockKind::Image, at, SubBlocksEnd(gif, codeSize + 1)};
        return block.End != 0;
    }
    if (gif[at] == ExtensionIntroducer && left > 2) {
        block = {BlockKind::Other, at, SubBlocksEnd(gif, at + 2)};
        if (block.End == 0) {
            return false;
        }
        block.Kind = ExtensionKind(gif, block);
        return true;
    }
    return false;
}

// The blocks from at up to the trailer; false unless they all are whole and
// the trailer comes.
bool ReadBlocks(const std::vector<BYTE>& gif, std::size_t at, std::vector<Block>& blocks) {
    while (at < gif.size()) {
        if (gif[at] == Trailer) {
            return true;
        }
        Block block{};
        if (!ReadBlock(gif, at, block)) {
            return false;
        }
        blocks.push_back(block);
        at = block.End;
    }
    return false;
}

void Append(std::vector<BYTE>& to, const std::vector<BYTE>& from, std::size_t begin,
            std::size_t end) {
    to.insert(to.end(), from.begin() + static_cast<std::ptrdiff_t>(begin),
              from.begin() + static_cast<std::ptrdiff_t>(end));
}

// Rebuilds an encoded GIF as a looping animation of its frames, each shown
// for the flash delay; false when the bytes are not a whole GIF.
bool AddAnimationBlocks(std::vector<BYTE>& gif) {
    if (gif.size() < ScreenDescriptorEnd || std::memcmp(gif.data(), "GIF", 3) != 0) {
        return false;
    }
    const std::size_t blocksStart = ScreenDescriptorEnd + ColourTableSize(gif[ScreenFlags]);
    std::vector<Block> blocks;
    if (blocksStart > gif.size() || !ReadBlocks(gif, blocksStart, blocks)) {
        return false;
    }
    std::vector<BYTE> animated;
    Append(animated, gif, 0, blocksStart);
    std::memcpy(animated.data() + 3, "89a", 3); // extensions are GIF89a's
    animated.insert(animated.end(), std::begin(LoopBlockStart), std::end(LoopBlockStart));
    animated.insert(animated.end(), LoopApplication, LoopApplication + LoopApplicationSize);
    animated.insert(animated.end(), std::begin(LoopBlockEnd), std::end(LoopBlockEnd));
    for (const Block& block : blocks) {
        if (block.Kind == BlockKind::Image) {
            animated.insert(animated.end(), std::begin(GraphicControlBlock),
                            std::end(GraphicControlBlock));
        }
        if (block.Kind == BlockKind::Image || block.Kind == BlockKind::Other) {
            Append(animated, gif, block.Begin, block.End);
        }
    }
    animated.push_back(Trailer);
    gif = std::move(animated);
    return true;
}

// The GIF file's bytes, encoded into a stream in memory.
bool EncodeGif(const std::uint8_t* screen, std::vector<BYTE>& gif) {
    ComPointer<IWICImagingFactory> factory;
    if (!MakeImagingFactory(factory)) {
        return false;
    }
    // An exact palette always fits: nothing is dithered or approximated.
    IndexedPicture picture = MakeIndexedPicture(screen, PictureLook{}, true);
    std::vector<WICColor> colours;
    for (const rook::Colour colour : picture.Palette) {
        colours.push_back(OpaqueColour(colour));
    }
    ComPointer<IWICPalette> palette;
    ComPointer<IStream> stream;
    ComPointer<IWICBitmapEncoder> encoder;
    if (FAILED(factory->CreatePalette(palette.put())) ||
        FAILED(palette->InitializeCustom(colours.data(), static_cast<UINT>(colours.size()))) ||
        FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatGif, nullptr, encoder.put())) ||
        FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache))) {
        return false;
    }
    const bool animated = picture.Frames.size() > 1;
    bool metadataWritten = !animated || WriteLoopMetadata(encoder.get());
    for (std::vector<std::uint8_t>& frame : picture.Frames) {
        if (!EncodeFrame(encoder.get(), palette.get(), frame, animated, metadataWritten)) {
            return false;
        }
    }
    if (FAILED(encoder->Commit()) || !StreamBytes(stream.get(), gif)) {
        return false;
    }
    return metadataWritten || AddAnimationBlocks(gif);
}

} // namespace

bool ExportGif(const char* name, const std::uint8_t* screen) {
    return WriteEncodedPicture(name, screen, EncodeGif);
}

} // namespace inkswap
