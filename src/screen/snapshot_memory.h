#pragma once
// What the snapshot kinds share about the machines they save: the size of
// a memory page, the banks a 128K machine shows its screen from, and the
// order a snapshot's screens are offered in: first the one the machine
// shows (bank 7 when bit 3 of the last byte written to port 0x7FFD is set,
// else bank 5), then the other.

#include "screen/screen_file.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace inkswap {

inline constexpr std::uint32_t PageSize = 16384;
inline constexpr std::int8_t NormalScreenBank = 5;
inline constexpr std::int8_t ShadowScreenBank = 7;
inline constexpr std::uint8_t ShadowScreenBit = 0x08; // of port 0x7FFD

// The two screens of a 128K machine in the order to offer them.
void OfferScreens(std::vector<ScreenEntry>& screens, ScreenEntry bank5, ScreenEntry bank7,
                  std::uint8_t port);

// A screen that lies in the file as it is.
ScreenEntry StoredScreen(std::size_t offset, std::int8_t bank);

// Makes the entry that of a screen at the start of a coded page (its coded
// bytes at the entry's Offset) of pageSize bytes, the page decoded to find
// the screen; false when the page does not decode to exactly its size.
bool DecodeScreenPage(std::span<const std::uint8_t> file, ScreenEntry& entry, PageCoding coding,
                      std::size_t codedLength, std::size_t pageSize);

} // namespace inkswap
