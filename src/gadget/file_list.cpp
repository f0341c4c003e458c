#include "gadget/file_list.h"

#include <cstring>

namespace rook {

namespace {

constexpr std::size_t NamesOffsetField = 0;
constexpr std::size_t WideField = 16;

std::uint32_t ReadWord(const std::uint8_t* block, std::size_t offset) {
    std::uint32_t value;
    std::memcpy(&value, block + offset, sizeof value);
    return value;
}

// Whether the characters from `start` hold an empty name (the list's end)
// after zero or more names, all inside the block.
template <typename Character>
bool EndsInside(const std::uint8_t* block, std::size_t start, std::size_t size) {
    bool atNameStart = true;
    for (std::size_t offset = start; offset + sizeof(Character) <= size;
         offset += sizeof(Character)) {
        Character character;
        std::memcpy(&character, block + offset, sizeof character);
        if (character == 0) {
            if (atNameStart) {
                return true;
            }
            atNameStart = true;
        } else {
            atNameStart = false;
        }
    }
    return false;
}

} // namespace

bool IsWellFormedFileList(const void* block, std::size_t size) {
    if (block == nullptr || size < FileListHeaderSize) {
        return false;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(block);
    const std::size_t names = ReadWord(bytes, NamesOffsetField);
    if (names < FileListHeaderSize || names >= size) {
        return false;
    }
    const bool wide = ReadWord(bytes, WideField) != 0;
    return wide ? EndsInside<std::uint16_t>(bytes, names, size)
                : EndsInside<std::uint8_t>(bytes, names, size);
}

} // namespace rook
