#pragma once
// The files screens live in, and moving a screen between such a file and
// memory. A file is recognised by what it holds, whatever its name:
//
// - a raw screen: exactly 6,912 bytes;
// - a +3DOS file: the 128-byte +3DOS header of a 6,912-byte CODE file,
//   then the screen;
// - a TAP tape: every block the ROM loader takes as 6,912 bytes of data;
// - a TZX tape (up to version 1.20): the same in its data blocks, and a
//   screen attached to the tape in a custom information block;
// - an emulator snapshot (SNA, Z80, SZX) of a 48K machine (its screen) or
//   of a 128K one (the screen in bank 5 and the one in bank 7, the one the
//   machine shows first).
//
// The file's bytes are kept whole as last loaded or saved, so that a save
// puts one screen back in its place, makes its block's checksum right (or
// codes its page again as it was coded) and keeps every other byte. A save
// replaces the file in one step: the file on disk is always either the old
// content or the new one.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace inkswap {

// Larger files are not taken for screen files: their bytes are held in
// memory while they are worked on.
inline constexpr std::int64_t LargestScreenFile = 64 * 1024 * 1024;

enum class ScreenFileKind : std::uint8_t { Raw, Plus3Dos, Tap, Tzx, Sna, Z80, Szx };

// Whether the kind is an emulator snapshot, whose screens lie in memory
// pages.
constexpr bool IsSnapshot(ScreenFileKind kind) {
    return kind == ScreenFileKind::Sna || kind == ScreenFileKind::Z80 ||
           kind == ScreenFileKind::Szx;
}

// How the page that holds a screen is kept in its file.
enum class PageCoding : std::uint8_t {
    Stored,  // as it is: the screen's bytes lie in the file at Offset
    Z80Runs, // run-coded, the Z80 format's way
    Zlib,    // a zlib stream (SZX)
};

// A screen's name as its file gives it (a tape header's file name, an
// attached screen's description) in UTF-8, ended by a 0 byte; empty: none.
inline constexpr std::size_t ScreenNameCapacity = 64;
using ScreenName = std::array<char, ScreenNameCapacity>;

// Where one screen lies in its file.
struct ScreenEntry {
    std::uint32_t Offset; // its 6,912 bytes, or its coded page's first byte
    // A tape block's flag byte: the block's XOR checksum covers the bytes
    // from here to the screen's end and is the byte after them. Only when
    // Checksummed.
    std::uint32_t ChecksumStart;
    bool Checksummed;
    bool ChecksumWrong; // the checksum does not match the block (a save mends it)
    ScreenName Name;
    // Of a snapshot: the bank of a 128K machine the screen lies in (5 or
    // 7), or -1 for a 48K one; how its page is kept, its coded bytes' length
    // and the size it decodes to (the screen at its start), and where the
    // page's length is kept (0: nowhere).
    std::int8_t Bank = -1;
    PageCoding Coding = PageCoding::Stored;
    std::uint32_t CodedLength = 0;
    std::uint32_t PageSize = 0;
    std::uint32_t LengthAt = 0;
    std::vector<std::uint8_t> Decoded; // the screen of a coded page, decoded
    // Where the same bytes lie once more (an SNA's bank 5 when it is also
    // the paged bank), kept the same as the screen; 0: nowhere.
    std::uint32_t CopyOffset = 0;
};

struct ScreenFile {
    ScreenFileKind Kind;
    std::vector<std::uint8_t> Bytes;  // the whole file as last loaded or saved
    std::vector<ScreenEntry> Screens; // in file order; none: not a screen file
};

enum class ScreenLoad {
    Loaded,
    Unreadable, // the file could not be opened
    NotAScreen, // it holds no screen (any more, as it is read)
};

// Finds the screens in file.Bytes by what they hold and sets Kind; false
// (no screens) when the bytes hold none.
bool FindScreens(ScreenFile& file);

// Reads the whole file and finds its screens; file changes only when the
// result is Loaded. The size is asked through the handle that is read, and
// the file must end where that size says.
ScreenLoad LoadScreenFile(const char* name, ScreenFile& file);

// The 6,912 bytes of screen `index` (which must exist) go to screen.
void CopyScreen(const ScreenFile& file, std::size_t index, std::uint8_t* screen);

// Puts the 6,912 bytes of screen into the file's bytes in place of screen
// `index` and makes its block's checksum right; nothing else changes. A
// coded page is coded again (when the screen differs from the one it
// holds), its length follows and the screens are found again. false, the
// file as it was, when the page could not be coded again.
bool PutScreen(ScreenFile& file, std::size_t index, const std::uint8_t* screen);

// Writes the file named name as file.Bytes with the screen put in place of
// screen `index`; false when that could not be done completely, and then
// both the file on disk and file stay as they were.
bool SaveScreenFile(const char* name, ScreenFile& file, std::size_t index,
                    const std::uint8_t* screen);

// Writes the screen as a plain 6,912-byte file named name, which file then
// describes; false (file and the disk as they were) when that could not be
// done completely.
bool SaveScreenFileAs(const char* name, ScreenFile& file, const std::uint8_t* screen);

// The XOR of the bytes: a tape block's checksum over its flag and data.
std::uint8_t BlockChecksum(std::span<const std::uint8_t> bytes);

} // namespace inkswap
