#pragma once
// The status line's text: the file being worked on and the cell last
// under the pointer, as a Spectrum artist reads them:
//
//     title.scr * | x:13 y:9 | ink 2 (red) | paper 7 (white) | bright 1 |
//     flash 0 | pixels 18477 ($482D) | attribute 22829 ($592D)
//
// (one line). The file part is the name without its folder, then for a
// tape the screen in it (game.tap: screen 2 of 3 "loading"), for a
// snapshot its machine and screen (game.z80 (128K): screen in bank 7), " *"
// while the picture differs from the file, or "No file" before anything is
// loaded. The cell part comes once the pointer has been over a picture;
// its addresses are those of the Spectrum's memory map, where the screen
// starts at 16384. What the line shows is kept as facts that compare
// cheaply, so that it is set again only when it changes.

#include "screen/screen_file.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace inkswap {

inline constexpr std::int32_t SpectrumScreenAddress = 16384;
inline constexpr char NoFileText[] = "No file";
inline constexpr char StatusSeparator[] = " | ";

// Room for a file name of up to 259 characters of four bytes each, and the
// cell part.
inline constexpr std::size_t StatusFileNameCapacity = 1040;
inline constexpr std::size_t StatusTextCapacity = 1408;
inline constexpr std::size_t ScreenLabelCapacity = 128;
using ScreenLabel = std::array<char, ScreenLabelCapacity>;

// The cell under the pointer: its column and row, and its attribute byte,
// or -1 for a cell off the screen.
struct CellFacts {
    std::int32_t X;
    std::int32_t Y;
    std::int32_t Attribute;

    bool operator==(const CellFacts&) const = default;
};

// Everything the status line shows.
struct StatusFacts {
    std::array<char, StatusFileNameCapacity> FileName; // empty: no file
    ScreenLabel Screen; // which screen of the file, when it can hold several
    bool Modified;
    bool HasCell; // the pointer has been over a picture
    CellFacts Cell;

    bool operator==(const StatusFacts& other) const;
};

using StatusText = std::array<char, StatusTextCapacity>;

// The name without its folder (after the last \ or /).
const char* FileNameOf(const char* path);

// The cell (x, y) of the screen's 6,912 bytes, as the status line shows it.
CellFacts CellFactsOf(const std::uint8_t* screen, std::int32_t x, std::int32_t y);

// The part of the status line that names screen `index` of the file, after
// the file's name: for a tape ": screen 2 of 3", then its name in quotes
// when it has one and " (checksum wrong)" while its block's checksum does
// not match; for a snapshot its machine, and of a 128K one the bank
// (" (128K): screen in bank 7"); empty for a file of one screen only (raw,
// +3DOS) and for none.
void FormatScreenLabel(const ScreenFile& file, std::size_t index, ScreenLabel& label);

// The facts for the file at path (null or empty: none), its screen's label
// (null: none) and the cell, when hasCell. A name too long for the facts is
// cut at a character boundary.
StatusFacts MakeStatusFacts(const char* path, const char* screenLabel, bool modified, bool hasCell,
                            CellFacts cell);

// The name of Spectrum colour number 0..7 ("black" .. "white").
const char* ColourName(std::int32_t number);

// The status line's text, ended by a 0 byte.
void FormatStatusLine(const StatusFacts& facts, StatusText& text);

} // namespace inkswap
