#pragma once
// Emulator snapshots that hold screens, for the tests of their readers and
// writers: SNA, Z80 (versions 1, 2 and 3) and SZX files built byte by byte
// by these functions from the formats' published layouts, independent of
// any reader of them.

#include "screen_fixtures.h"
#include "tape_fixtures.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fixtures {

inline constexpr std::size_t BankBytes = 16384;
using Bank = std::array<std::uint8_t, BankBytes>;

// A 48K Spectrum's RAM from 0x4000: the screen is its first 6,912 bytes.
struct Machine48 {
    std::array<std::uint8_t, 3 * BankBytes> Memory;
};

// A 128K Spectrum's eight RAM banks and the last byte written to port
// 0x7FFD: bank 5 is at 0x4000, bank 2 at 0x8000 and bank Port7FFD & 7 at
// 0xC000; the screen shown is bank 7's when bit 3 is set, else bank 5's.
struct Machine128 {
    std::array<Bank, 8> Banks;
    std::uint8_t Port7FFD;
};

// Deterministic memories: the screens at the start of 0x4000 (48K) or of
// banks 5 and 7 (128K); the rest noise mixed with runs of one byte longer
// than one run code holds, runs of 0xED, single 0xEDs before runs and runs
// one byte too short to be coded, every 16 KiB different and ending with a
// single 0xED, so that the Z80 format's run coding meets all its rules.
Machine48 Memory48(std::uint32_t seed, const Screen& screen);
Machine128 Memory128(std::uint32_t seed, const Screen& bank5, const Screen& bank7,
                     std::uint8_t port);

// The 16 KiB of a 48K machine that a 128K machine's bank `bank` holds at
// the same address: 5 at 0x4000, 2 at 0x8000, 0 at 0xC000 (the numbering
// of SZX files and of libspectrum).
Bank Bank48(const Machine48& machine, int bank);

// SNA: the 27-byte register header and the 48 KiB (49,179 bytes); for
// 128K, banks 5, 2 and the paged one, PC, the port byte, the TR-DOS flag
// and the other banks in ascending order (131,103 bytes; 147,487 when the
// paged bank is 2 or 5, which then comes twice).
Bytes Sna48(const Machine48& machine);
Bytes Sna128(const Machine128& machine);

// The Z80 format's run coding: runs of 5 to 255 equal bytes, and of 2 to
// 255 0xEDs, become ED ED count byte; the byte after a single 0xED is
// always written as it is. No end marker.
Bytes Z80RunCoded(const std::uint8_t* data, std::size_t count);

// The bytes as a zlib stream, compressed as hard as zlib can.
Bytes Zlib(const std::uint8_t* data, std::size_t count);

// A version 1 Z80 file: the 30-byte header (PC not 0, byte 12 bit 5 set
// when compressed) and the 48 KiB, run coded and ended by 00 ED ED 00, or
// stored as they are.
Bytes Z80Version1(const Machine48& machine, bool compressed);

// One page of a snapshot: its number as the file numbers it, its bytes,
// and whether they are compressed (Z80: run coded; SZX: zlib) or stored.
struct MemoryPage {
    std::uint8_t Number;
    Bank Data;
    bool Compressed = true;
};

// A file as the parts a broken-file test may change: the headers, then
// the memory blocks (Z80) or the chunks (SZX) one by one.
struct SnapshotParts {
    Bytes Head;
    std::vector<Bytes> Pieces;
};

Bytes FileOf(const SnapshotParts& parts);

// The hardware modes of Z80 files of versions 2 and 3.
inline constexpr std::uint8_t Z80Mode48 = 0;
inline constexpr std::uint8_t Z80Mode128Version2 = 3;
inline constexpr std::uint8_t Z80Mode128Version3 = 4;
inline constexpr std::uint8_t Z80ModePlus3 = 7;
inline constexpr std::uint8_t Z80ModePlus2 = 12;
inline constexpr std::uint8_t Z80ModePlus2A = 13;

struct Z80Header {
    int Version = 3; // 2: a 23-byte additional header; 3: 54 bytes
    std::uint8_t HardwareMode = Z80Mode48;
    std::uint8_t Port7FFD = 0;
    bool Port1FFD = false; // version 3: a 55th byte, port 0x1FFD's (0)
};

// The pages of a machine with Z80 page numbers, in ascending order: 48K
// 4 (0x8000), 5 (0xC000) and 8 (0x4000); 128K bank + 3.
std::vector<MemoryPage> Z80Pages(const Machine48& machine, bool compressed);
std::vector<MemoryPage> Z80Pages(const Machine128& machine, bool compressed);

// A version 2 or 3 Z80 file: the 30-byte header with PC 0 and the
// additional header, then each page in the order given as a memory block:
// 2-byte length, page number, the run-coded bytes; a stored page is its
// 16,384 bytes after the length 0xFFFF, which only version 3 allows.
SnapshotParts Z80PagedParts(const Z80Header& header, const std::vector<MemoryPage>& pages);

// The same of a machine: all pages compressed or all stored; 48K in
// hardware mode 0, 128K in the version's 128K mode with its port byte.
Bytes Z80Paged(int version, const Machine48& machine, bool compressedPages);
Bytes Z80Paged(int version, const Machine128& machine, bool compressedPages);

// The machine identifiers of SZX files.
inline constexpr std::uint8_t SzxMachine16 = 0;
inline constexpr std::uint8_t SzxMachine48 = 1;
inline constexpr std::uint8_t SzxMachine128 = 2;
inline constexpr std::uint8_t SzxMachinePlus2 = 3;
inline constexpr std::uint8_t SzxMachinePlus2A = 4;
inline constexpr std::uint8_t SzxMachinePlus3 = 5;

struct SzxHeader {
    std::uint8_t MachineId = SzxMachine48;
    std::uint8_t MinorVersion = 4;
    std::optional<std::uint8_t> Port7FFD = 0; // the SPCR chunk's; none: no SPCR chunk
};

// The pages of a machine with SZX page numbers: 48K 5, 2 and 0; 128K 0..7.
std::vector<MemoryPage> SzxPages(const Machine48& machine, bool compressed);
std::vector<MemoryPage> SzxPages(const Machine128& machine, bool compressed);

// A chunk: its 4-character id, its 4-byte little-endian size, its data.
Bytes SzxChunk(const std::string& id, const Bytes& data);

// An SZX file: the 8-byte header "ZXST" 1.minor, then the chunks CRTR
// (creator), Z80R (registers), SPCR (border, ports 0x7FFD, 0x1FFD, 0xFE)
// and a RAMP chunk per page in the order given (flags, page, 16,384 bytes
// or the page compressed by zlib). A test may add a chunk of an unknown id
// among the pieces, which a reader must pass over.
SnapshotParts SzxParts(const SzxHeader& header, const std::vector<MemoryPage>& pages);

// The same of a machine: 48K, or 128K with its port byte.
Bytes Szx(const Machine48& machine, bool compressedPages);
Bytes Szx(const Machine128& machine, bool compressedPages);

} // namespace fixtures
