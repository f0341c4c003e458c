#pragma once
// Numbers as the Spectrum's files keep them: little-endian, of 1 to 4
// bytes, read from and written into byte spans. The caller makes sure the
// bytes are there.

#include <cstddef>
#include <cstdint>
#include <span>

namespace inkswap {

constexpr std::uint32_t ReadLittleEndian(std::span<const std::uint8_t> bytes, std::size_t at,
                                         int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
    }
    return value;
}

constexpr void WriteLittleEndian(std::span<std::uint8_t> bytes, std::size_t at, int count,
                                 std::uint32_t value) {
    for (int i = 0; i < count; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

} // namespace inkswap
