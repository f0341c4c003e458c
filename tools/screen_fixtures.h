#pragma once
// Deterministic ZX Spectrum screen images for tests and demos. Nothing here
// comes from elsewhere: every byte is made by these functions.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace fixtures {

inline constexpr std::size_t ScreenBytes = 6912;
using Screen = std::array<std::uint8_t, ScreenBytes>;

// Every attribute value 0..255 three times over (cell k has attribute
// k mod 256: every ink, paper, bright and flash combination), and bitmap
// bytes that differ with column, row and pixel line, so that a slip in the
// interleaved layout shows. The bytes 0x00, 0x80, 0x01 and 0xFF all occur.
Screen AttributeSweep();

// A picture such as a user would load: "INKSWAP" in large white letters
// on blue above a small scene (a sun in a cyan sky, green hills, a red
// house), with the colour clash of real Spectrum art where they meet.
Screen Scene();

// Pseudo-random bytes from a seed.
Screen Noise(std::uint32_t seed);

// The bitmap byte that AttributeSweep puts at line `line` of cell (x, y).
std::uint8_t SweepBitmapByte(std::int32_t x, std::int32_t y, std::int32_t line);

// `count` pseudo-random bytes: files of any size for the refusal cases.
std::vector<std::uint8_t> NoiseBytes(std::size_t count, std::uint32_t seed);

// Writes bytes to a file; false on failure.
bool WriteBytes(const std::string& path, const std::uint8_t* bytes, std::size_t count);

} // namespace fixtures
