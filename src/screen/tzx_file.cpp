#include "screen/tzx_file.h"

#include "screen/byte_order.h"
#include "screen/screen_image.h"
#include "screen/tape_block.h"

#include <cstring>
#include <utility>

namespace inkswap {

namespace {

constexpr char Signature[] = "ZXTape!\x1A";
constexpr std::size_t SignatureLength = sizeof Signature - 1;
constexpr std::size_t HeaderLength = SignatureLength + 2; // and the major and minor version
constexpr std::uint8_t MajorVersion = 1;
constexpr std::uint8_t LatestMinorVersion = 20;

constexpr std::uint8_t StandardSpeedData = 0x10;
constexpr std::uint8_t TurboSpeedData = 0x11;
constexpr std::uint8_t PureData = 0x14;
constexpr std::uint8_t CustomInfo = 0x35;

// A block's body: Fixed bytes, then Unit bytes for each count in the
// LengthSize-byte little-endian field at LengthAt (none when LengthSize
// is 0). The data of a data block starts right after the fixed part.
struct BlockRule {
    std::uint8_t Id;
    std::uint8_t Fixed;
    std::uint8_t LengthAt;
    std::uint8_t LengthSize;
    std::uint8_t Unit;
};

// Every block of the format, the deprecated ones included, in ID order.
constexpr BlockRule BlockRules[] = {
    {0x10, 0x04, 0x02, 2, 1}, // standard speed data
    {0x11, 0x12, 0x0F, 3, 1}, // turbo speed data
    {0x12, 0x04, 0x00, 0, 0}, // pure tone
    {0x13, 0x01, 0x00, 1, 2}, // pulse sequence
    {0x14, 0x0A, 0x07, 3, 1}, // pure data
    {0x15, 0x08, 0x05, 3, 1}, // direct recording
    {0x16, 0x04, 0x00, 4, 1}, // C64 ROM type data (deprecated)
    {0x17, 0x04, 0x00, 4, 1}, // C64 turbo data (deprecated)
    {0x18, 0x04, 0x00, 4, 1}, // CSW recording
    {0x19, 0x04, 0x00, 4, 1}, // generalized data
    {0x20, 0x02, 0x00, 0, 0}, // pause or stop the tape
    {0x21, 0x01, 0x00, 1, 1}, // group start
    {0x22, 0x00, 0x00, 0, 0}, // group end
    {0x23, 0x02, 0x00, 0, 0}, // jump to block
    {0x24, 0x02, 0x00, 0, 0}, // loop start
    {0x25, 0x00, 0x00, 0, 0}, // loop end
    {0x26, 0x02, 0x00, 2, 2}, // call sequence
    {0x27, 0x00, 0x00, 0, 0}, // return from sequence
    {0x28, 0x02, 0x00, 2, 1}, // select block
    {0x2A, 0x04, 0x00, 4, 1}, // stop the tape in 48K mode
    {0x2B, 0x04, 0x00, 4, 1}, // set signal level
    {0x30, 0x01, 0x00, 1, 1}, // text description
    {0x31, 0x02, 0x01, 1, 1}, // message
    {0x32, 0x02, 0x00, 2, 1}, // archive info
    {0x33, 0x01, 0x00, 1, 3}, // hardware type
    {0x34, 0x08, 0x00, 0, 0}, // emulation info (deprecated)
    {0x35, 0x14, 0x10, 4, 1}, // custom info
    {0x40, 0x04, 0x01, 3, 1}, // snapshot (deprecated)
    {0x5A, 0x09, 0x00, 0, 0}, // glue: another tape's header
};

// The custom information block of an attached screen: its 16-character
// mark, then a description of L bytes after L, a border colour, the screen.
constexpr char ScreenMark[] = "Spectrum Screen ";
constexpr std::size_t ScreenMarkLength = sizeof ScreenMark - 1;

const BlockRule* RuleFor(std::uint8_t id) {
    for (const BlockRule& rule : BlockRules) {
        if (rule.Id == id) {
            return &rule;
        }
    }
    return nullptr;
}

// The length of the block body that starts at `at`, or 0 with false when
// it cannot be known within the file.
bool BodyLength(std::span<const std::uint8_t> file, std::size_t at, const BlockRule& rule,
                std::size_t& length) {
    const std::size_t left = file.size() - at;
    if (left < rule.Fixed) {
        return false;
    }
    const std::size_t count =
        rule.LengthSize == 0 ? 0 : ReadLittleEndian(file, at + rule.LengthAt, rule.LengthSize);
    length = rule.Fixed + count * rule.Unit; // at most 16 + 2^32 * 3: no overflow
    return length <= left;
}

void ReadAttachedScreen(std::span<const std::uint8_t> info, std::size_t infoAt,
                        std::vector<ScreenEntry>& screens) {
    if (info.empty()) {
        return;
    }
    const std::size_t description = info[0];
    if (info.size() != 1 + description + 1 + ScreenFileSize) {
        return;
    }
    ScreenEntry entry{};
    entry.Offset = static_cast<std::uint32_t>(infoAt + 1 + description + 1);
    SpectrumTextToName(info.subspan(1, description), entry.Name);
    screens.push_back(entry);
}

void ReadBlock(std::span<const std::uint8_t> file, std::size_t at, const BlockRule& rule,
               std::size_t length, TapeScan& scan) {
    switch (rule.Id) {
    case StandardSpeedData:
    case TurboSpeedData:
    case PureData:
        ReadTapeBlock(file, at + rule.Fixed, length - rule.Fixed, scan);
        break;
    case CustomInfo:
        if (std::memcmp(file.data() + at, ScreenMark, ScreenMarkLength) == 0) {
            const std::size_t infoAt = at + rule.Fixed;
            ReadAttachedScreen(file.subspan(infoAt, length - rule.Fixed), infoAt, scan.Screens);
        }
        break;
    default:
        break;
    }
}

} // namespace

bool FindTzxScreens(std::span<const std::uint8_t> file, std::vector<ScreenEntry>& screens) {
    if (file.size() < HeaderLength || std::memcmp(file.data(), Signature, SignatureLength) != 0 ||
        file[SignatureLength] != MajorVersion || file[SignatureLength + 1] > LatestMinorVersion) {
        return false;
    }
    TapeScan scan{};
    std::size_t at = HeaderLength;
    while (at < file.size()) {
        const BlockRule* rule = RuleFor(file[at]);
        std::size_t length = 0;
        if (rule == nullptr || !BodyLength(file, at + 1, *rule, length)) {
            break; // the rest cannot be read: what was found counts
        }
        ReadBlock(file, at + 1, *rule, length, scan);
        at += 1 + length;
    }
    screens = std::move(scan.Screens);
    return true;
}

} // namespace inkswap
