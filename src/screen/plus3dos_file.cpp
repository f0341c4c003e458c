#include "screen/plus3dos_file.h"

#include "screen/byte_order.h"
#include "screen/screen_image.h"

#include <cstring>
#include <numeric>

namespace inkswap {

namespace {

constexpr char Signature[] = "PLUS3DOS\x1A";
constexpr std::size_t SignatureLength = sizeof Signature - 1;
constexpr std::size_t IssueAt = 9;
constexpr std::uint8_t Issue = 1; // the only issue +3DOS writes
constexpr std::size_t FileLengthAt = 11;
constexpr std::size_t TypeAt = 15; // the +3 BASIC header
constexpr std::uint8_t CodeType = 3;
constexpr std::size_t DataLengthAt = 16;
constexpr std::size_t ChecksumAt = 127;

} // namespace

bool FindPlus3DosScreen(std::span<const std::uint8_t> file, std::vector<ScreenEntry>& screens) {
    if (file.size() != Plus3DosHeaderSize + ScreenFileSize ||
        std::memcmp(file.data(), Signature, SignatureLength) != 0 || file[IssueAt] != Issue) {
        return false;
    }
    const std::span<const std::uint8_t> header = file.first(ChecksumAt);
    const auto sum = std::accumulate(header.begin(), header.end(), 0U);
    if ((sum & 0xFF) != file[ChecksumAt] ||
        ReadLittleEndian(file, FileLengthAt, 4) != file.size() || file[TypeAt] != CodeType ||
        ReadLittleEndian(file, DataLengthAt, 2) != ScreenFileSize) {
        return false;
    }
    ScreenEntry entry{};
    entry.Offset = Plus3DosHeaderSize;
    screens.push_back(entry);
    return true;
}

} // namespace inkswap
