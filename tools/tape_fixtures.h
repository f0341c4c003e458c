#pragma once
// Tapes and +3DOS files that hold screens, for the tests of their readers
// and writers: built block by block by these functions from the layouts of
// the formats, nothing taken from elsewhere.

#include "screen_fixtures.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace fixtures {

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(const Screen& screen);

// The parts one after the other.
Bytes Joined(const std::vector<Bytes>& parts);

// Lists of blocks one after the other.
std::vector<Bytes> Blocks(std::initializer_list<std::vector<Bytes>> lists);

// A tape data block: the flag, the data and their XOR checksum, or a
// checksum one off it when wrongChecksum.
Bytes DataBlock(std::uint8_t flag, const Bytes& data, bool wrongChecksum = false);

// A standard header block (flag 0): the type (0 program, 3 CODE), the name
// padded with spaces to 10 characters, the data length and two parameters.
Bytes HeaderBlock(std::uint8_t type, const std::string& name, std::uint16_t length,
                  std::uint16_t first = 16384, std::uint16_t second = 32768);

// The header of a screen saved with SAVE "name" SCREEN$, and the screen's
// data block (flag 0xFF).
Bytes ScreenHeader(const std::string& name);
Bytes ScreenBlock(const Screen& screen, bool wrongChecksum = false);

// A TAP file: each block after its 2-byte little-endian length.
Bytes TapFile(const std::vector<Bytes>& blocks);

// The TZX blocks that carry a tape data block: standard speed (0x10),
// turbo speed (0x11) and pure data (0x14).
Bytes TzxStandard(const Bytes& block);
Bytes TzxTurbo(const Bytes& block);
Bytes TzxPureData(const Bytes& block);

// A custom information block (0x35) "Spectrum Screen ": the tape's
// attached loading screen with a description and a border colour.
Bytes TzxAttachedScreen(const Screen& screen, const std::string& description, std::uint8_t border);

// One block of every other kind of TZX 1.20 that emulators commonly play,
// with valid contents, in ID order: pure tone, pulses, direct recording,
// generalized data, pause, group start and end, jump, loop start and end,
// select, stop in 48K mode, signal level, text, message,
// archive info, hardware type, another custom information block, glue.
std::vector<Bytes> TzxOtherBlocks();

// The rest of the format, which players may refuse but a reader must
// still pass over: a CSW recording, a call sequence and its return, and
// the deprecated blocks (C64 ROM and
// turbo data, emulation info, snapshot).
std::vector<Bytes> TzxRarerBlocks();

// A TZX file of the version with the blocks.
Bytes TzxFile(const std::vector<Bytes>& blocks, std::uint8_t major = 1, std::uint8_t minor = 20);

// A +3DOS file of the screen: the 128-byte header of a CODE file of 6,912
// bytes at 16384, then the screen.
Bytes Plus3DosFile(const Screen& screen);

// A game's tape as people have them: a BASIC loader (header and program),
// the named loading screen (header and screen), and the game's code
// (header and data), as TAP blocks.
std::vector<Bytes> GameTapeBlocks(const Screen& screen, const std::string& name);

} // namespace fixtures
