#pragma once
// The ways a snapshot stores a page of memory: the Z80 format's run coding
// (ED ED count byte for a run, every other byte as it is) and zlib's
// deflate stream (SZX). Decoding never writes past the page and never reads
// past the coded bytes, whatever they hold; a page that does not decode to
// exactly its size is refused.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace inkswap {

// The Z80 format's run coding of the coded bytes into page (all of it).
// false when they run out before the page is full, when a run would write
// past it, or when bytes are left after it.
bool DecodeZ80Runs(std::span<const std::uint8_t> coded, std::span<std::uint8_t> page);

// The run coding of a page as the format has it: a run of 5 or more equal
// bytes (255 at most) becomes ED ED count byte, a run of 2 or more 0xED
// bytes too, and the byte right after a single 0xED is never the start of
// a run.
std::vector<std::uint8_t> EncodeZ80Runs(std::span<const std::uint8_t> page);

// The bytes the coding of a version 1 snapshot ends with.
inline constexpr std::uint8_t Z80EndMarker[] = {0x00, 0xED, 0xED, 0x00};

// A zlib stream inflated into page (all of it); false when the stream is
// broken, ends before the page is full or would go on past it.
bool InflatePage(std::span<const std::uint8_t> coded, std::span<std::uint8_t> page);

// The page as a zlib stream; empty when zlib fails.
std::vector<std::uint8_t> DeflatePage(std::span<const std::uint8_t> page);

} // namespace inkswap
