#include "screen/tape_block.h"

#include "screen/byte_order.h"
#include "screen/screen_image.h"

#include <cstring>

namespace inkswap {

namespace {

// A standard header block: flag 0, then type, a 10-character name, the
// data length, two parameters, and the checksum.
constexpr std::size_t HeaderBlockLength = 19;
constexpr std::size_t HeaderNameAt = 2;
constexpr std::size_t HeaderNameLength = 10;
constexpr std::size_t HeaderDataLengthAt = 12;
constexpr std::uint8_t CodeType = 3;
constexpr std::size_t ScreenBlockLength = ScreenFileSize + 2; // flag and checksum

// The UTF-8 form of one character of Spectrum text.
const char* SpectrumCharacter(std::uint8_t code, char (&ascii)[2]) {
    switch (code) {
    case 0x5E:
        return "\u2191"; // up arrow
    case 0x60:
        return "\u00A3"; // pound
    case 0x7F:
        return "\u00A9"; // copyright
    default:
        ascii[0] = code >= 0x20 && code < 0x7F ? static_cast<char>(code) : '?';
        ascii[1] = '\0';
        return ascii;
    }
}

bool IsScreenHeader(std::span<const std::uint8_t> block) {
    return block.size() == HeaderBlockLength && block[0] == HeaderFlag && block[1] == CodeType &&
           ReadLittleEndian(block, HeaderDataLengthAt, 2) == ScreenFileSize;
}

} // namespace

void ReadTapeBlock(std::span<const std::uint8_t> file, std::size_t start, std::size_t length,
                   TapeScan& scan) {
    const std::span<const std::uint8_t> block = file.subspan(start, length);
    const bool named = scan.AfterScreenHeader;
    scan.AfterScreenHeader = IsScreenHeader(block);
    if (scan.AfterScreenHeader) {
        SpectrumTextToName(block.subspan(HeaderNameAt, HeaderNameLength), scan.HeaderName);
        return;
    }
    if (block.size() != ScreenBlockLength || block[0] != DataFlag) {
        return;
    }
    ScreenEntry entry{};
    entry.Offset = static_cast<std::uint32_t>(start + 1);
    entry.ChecksumStart = static_cast<std::uint32_t>(start);
    entry.Checksummed = true;
    entry.ChecksumWrong = BlockChecksum(block.first(length - 1)) != block[length - 1];
    if (named) {
        entry.Name = scan.HeaderName;
    }
    scan.Screens.push_back(entry);
}

void SpectrumTextToName(std::span<const std::uint8_t> text, ScreenName& name) {
    while (!text.empty() && text.back() == ' ') {
        text = text.first(text.size() - 1);
    }
    std::size_t length = 0;
    for (const std::uint8_t code : text) {
        char ascii[2];
        const char* character = SpectrumCharacter(code, ascii);
        const std::size_t size = std::strlen(character);
        if (length + size >= name.size()) {
            break;
        }
        std::memcpy(name.data() + length, character, size);
        length += size;
    }
    name[length] = '\0';
}

} // namespace inkswap
