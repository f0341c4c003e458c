#include "screen/szx_file.h"

#include "screen/byte_order.h"
#include "screen/page_coding.h"
#include "screen/screen_image.h"
#include "screen/snapshot_memory.h"

#include <cstring>

namespace inkswap {

namespace {

constexpr std::uint8_t Magic[] = {'Z', 'X', 'S', 'T'};
constexpr std::size_t HeaderSize = 8;
constexpr std::size_t MachineAt = 6;
constexpr std::size_t ChunkHeaderSize = 8; // its id, then its length
constexpr std::size_t PageHeaderSize = 3;  // a RAMP's flags and page number
constexpr std::uint32_t CompressedFlag = 0x0001;
constexpr std::uint8_t RampId[] = {'R', 'A', 'M', 'P'};
constexpr std::uint8_t SpcrId[] = {'S', 'P', 'C', 'R'};
constexpr std::size_t SpcrPortAt = 1; // after the border colour

enum class Memory { None, K48, K128 };

Memory MachineOf(std::uint8_t id) {
    switch (id) {
    case 0:  // 16K
    case 1:  // 48K
    case 15: // 48K, NTSC
        return Memory::K48;
    case 2:  // 128K
    case 3:  // +2
    case 4:  // +2A
    case 5:  // +3
    case 6:  // +3e
    case 7:  // Pentagon 128
    case 16: // 128Ke
        return Memory::K128;
    default:
        return Memory::None;
    }
}

bool HasId(std::span<const std::uint8_t> file, std::size_t at, const std::uint8_t (&id)[4]) {
    return std::memcmp(file.data() + at, id, sizeof id) == 0;
}

// The RAMP chunk of a page: where its chunk starts (0: none) and where its
// data lies.
struct Page {
    std::size_t Chunk = 0;
    std::size_t Data = 0;
    std::size_t Length = 0;
    bool Compressed = false;
};

// What the chunks say: the first RAMP of each page and the port value of
// the first SPCR (0 without one). false when a chunk runs past the file or
// a page chunk is too short for its header.
struct Chunks {
    Page Pages[256];
    std::uint8_t Port = 0;
};

bool ReadChunks(std::span<const std::uint8_t> file, Chunks& chunks) {
    bool portSeen = false;
    std::size_t at = HeaderSize;
    while (at < file.size()) {
        if (file.size() - at < ChunkHeaderSize) {
            return false;
        }
        const std::uint32_t length = ReadLittleEndian(file, at + 4, 4);
        const std::size_t data = at + ChunkHeaderSize;
        if (length > file.size() - data) {
            return false;
        }
        if (HasId(file, at, RampId)) {
            if (length < PageHeaderSize) {
                return false;
            }
            Page& page = chunks.Pages[file[data + 2]];
            if (page.Chunk == 0) {
                const bool compressed = (ReadLittleEndian(file, data, 2) & CompressedFlag) != 0;
                page = {at, data + PageHeaderSize, length - PageHeaderSize, compressed};
            }
        } else if (HasId(file, at, SpcrId) && !portSeen && length > SpcrPortAt) {
            chunks.Port = file[data + SpcrPortAt];
            portSeen = true;
        }
        at = data + length;
    }
    return true;
}

// The screen at the start of a page: as it is, or inflated from its zlib
// stream.
bool ScreenIn(std::span<const std::uint8_t> file, const Page& page, std::int8_t bank,
              ScreenEntry& entry) {
    if (page.Chunk == 0) {
        return false;
    }
    entry = StoredScreen(page.Data, bank);
    entry.LengthAt = static_cast<std::uint32_t>(page.Chunk + 4);
    if (!page.Compressed) {
        return page.Length == PageSize;
    }
    return DecodeScreenPage(file, entry, PageCoding::Zlib, page.Length, PageSize);
}

} // namespace

bool FindSzxScreens(std::span<const std::uint8_t> file, std::vector<ScreenEntry>& screens) {
    if (file.size() < HeaderSize || !HasId(file, 0, Magic)) {
        return false;
    }
    const Memory memory = MachineOf(file[MachineAt]);
    Chunks chunks;
    if (memory == Memory::None || !ReadChunks(file, chunks)) {
        return false;
    }
    ScreenEntry normal;
    if (!ScreenIn(file, chunks.Pages[NormalScreenBank],
                  memory == Memory::K48 ? -1 : NormalScreenBank, normal)) {
        return false;
    }
    if (memory == Memory::K48) {
        screens.push_back(std::move(normal));
        return true;
    }
    ScreenEntry shadow;
    if (!ScreenIn(file, chunks.Pages[ShadowScreenBank], ShadowScreenBank, shadow)) {
        return false;
    }
    OfferScreens(screens, std::move(normal), std::move(shadow), chunks.Port);
    return true;
}

bool RecodeSzxPage(std::vector<std::uint8_t>& file, const ScreenEntry& entry,
                   const std::uint8_t* screen) {
    std::vector<std::uint8_t> page(entry.PageSize);
    if (!InflatePage(std::span<const std::uint8_t>(file).subspan(entry.Offset, entry.CodedLength),
                     page)) {
        return false;
    }
    std::memcpy(page.data(), screen, ScreenFileSize);
    const std::vector<std::uint8_t> recoded = DeflatePage(page);
    if (recoded.empty()) {
        return false;
    }
    const auto at = file.begin() + entry.Offset;
    file.erase(at, at + entry.CodedLength);
    file.insert(file.begin() + entry.Offset, recoded.begin(), recoded.end());
    WriteLittleEndian(file, entry.LengthAt, 4,
                      static_cast<std::uint32_t>(PageHeaderSize + recoded.size()));
    return true;
}

} // namespace inkswap
