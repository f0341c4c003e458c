#include "tape_fixtures.h"

#include <algorithm>
#include <numeric>

namespace fixtures {

namespace {

constexpr std::uint8_t HeaderFlag = 0x00;
constexpr std::uint8_t DataFlag = 0xFF;
constexpr std::uint8_t ProgramType = 0;
constexpr std::uint8_t CodeType = 3;

void PutLittleEndian(Bytes& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// A block: its ID, then the fields and the data.
Bytes Block(std::uint8_t id, const Bytes& body) {
    Bytes block{id};
    block.insert(block.end(), body.begin(), body.end());
    return block;
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

} // namespace

Bytes BytesOf(const Screen& screen) {
    return Bytes(screen.begin(), screen.end());
}

Bytes Joined(const std::vector<Bytes>& parts) {
    Bytes joined;
    for (const Bytes& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

std::vector<Bytes> Blocks(std::initializer_list<std::vector<Bytes>> lists) {
    std::vector<Bytes> blocks;
    for (const std::vector<Bytes>& list : lists) {
        blocks.insert(blocks.end(), list.begin(), list.end());
    }
    return blocks;
}

Bytes DataBlock(std::uint8_t flag, const Bytes& data, bool wrongChecksum) {
    Bytes block{flag};
    block.insert(block.end(), data.begin(), data.end());
    const std::uint8_t sum = std::accumulate(
        block.begin(), block.end(), std::uint8_t{0},
        [](std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>(a ^ b); });
    block.push_back(static_cast<std::uint8_t>(wrongChecksum ? sum ^ 1 : sum));
    return block;
}

Bytes HeaderBlock(std::uint8_t type, const std::string& name, std::uint16_t length,
                  std::uint16_t first, std::uint16_t second) {
    Bytes header{type};
    std::string padded = name.substr(0, 10);
    padded.resize(10, ' ');
    header.insert(header.end(), padded.begin(), padded.end());
    PutLittleEndian(header, length, 2);
    PutLittleEndian(header, first, 2);
    PutLittleEndian(header, second, 2);
    return DataBlock(HeaderFlag, header);
}

Bytes ScreenHeader(const std::string& name) {
    return HeaderBlock(CodeType, name, ScreenBytes);
}

Bytes ScreenBlock(const Screen& screen, bool wrongChecksum) {
    return DataBlock(DataFlag, BytesOf(screen), wrongChecksum);
}

Bytes TapFile(const std::vector<Bytes>& blocks) {
    Bytes tape;
    for (const Bytes& block : blocks) {
        PutLittleEndian(tape, static_cast<std::uint32_t>(block.size()), 2);
        tape.insert(tape.end(), block.begin(), block.end());
    }
    return tape;
}

Bytes TzxStandard(const Bytes& block) {
    Bytes body;
    PutLittleEndian(body, 1000, 2); // pause after it, ms
    PutLittleEndian(body, static_cast<std::uint32_t>(block.size()), 2);
    return Block(0x10, Joined({body, block}));
}

Bytes TzxTurbo(const Bytes& block) {
    Bytes body;
    for (std::uint32_t timing : {2168u, 667u, 735u, 855u, 1710u, 3223u}) {
        PutLittleEndian(body, timing, 2); // pilot, syncs, bits, pilot length
    }
    body.push_back(8); // used bits of the last byte
    PutLittleEndian(body, 1000, 2);
    PutLittleEndian(body, static_cast<std::uint32_t>(block.size()), 3);
    return Block(0x11, Joined({body, block}));
}

Bytes TzxPureData(const Bytes& block) {
    Bytes body;
    PutLittleEndian(body, 855, 2);
    PutLittleEndian(body, 1710, 2);
    body.push_back(8);
    PutLittleEndian(body, 1000, 2);
    PutLittleEndian(body, static_cast<std::uint32_t>(block.size()), 3);
    return Block(0x14, Joined({body, block}));
}

namespace {

// A custom information block with the 16-character mark and the data.
Bytes CustomInfo(const std::string& mark, const Bytes& data) {
    Bytes body = Text(mark);
    body.resize(16, ' ');
    PutLittleEndian(body, static_cast<std::uint32_t>(data.size()), 4);
    return Block(0x35, Joined({body, data}));
}

} // namespace

Bytes TzxAttachedScreen(const Screen& screen, const std::string& description, std::uint8_t border) {
    Bytes data{static_cast<std::uint8_t>(description.size())};
    data.insert(data.end(), description.begin(), description.end());
    data.push_back(border);
    return CustomInfo("Spectrum Screen ", Joined({data, BytesOf(screen)}));
}

std::vector<Bytes> TzxOtherBlocks() {
    // Eight data symbols of two kinds, two pulses each; no pilot.
    Bytes generalized;
    PutLittleEndian(generalized, 0, 2); // pause
    PutLittleEndian(generalized, 0, 4); // pilot and sync symbols
    generalized.insert(generalized.end(), {0, 0});
    PutLittleEndian(generalized, 8, 4); // data symbols
    generalized.insert(generalized.end(), {2, 2});
    for (std::uint32_t pulse : {855u, 1710u}) {
        generalized.push_back(0); // the pulses alternate
        PutLittleEndian(generalized, pulse, 2);
        PutLittleEndian(generalized, pulse, 2);
    }
    generalized.push_back(0xA5);
    Bytes generalizedBlock;
    PutLittleEndian(generalizedBlock, static_cast<std::uint32_t>(generalized.size()), 4);
    // One selection (the next block, no description); one text (the title).
    const Bytes select = {1, 0x01, 0x00, 0};
    const Bytes archive = {1, 0x00, 2, 'I', 'n'};
    return {
        Block(0x12, {0x78, 0x08, 0x10, 0x00}),                         // pure tone
        Block(0x13, {2, 0x9B, 0x02, 0xDF, 0x02}),                      // pulse sequence
        Block(0x15, {0x4F, 0x00, 0x00, 0x00, 8, 2, 0, 0, 0xF0, 0x0F}), // direct recording
        Block(0x19, Joined({generalizedBlock, generalized})),
        Block(0x20, {0xE8, 0x03}),                // pause
        Block(0x21, Joined({{4}, Text("Game")})), // group start
        Block(0x22, {}),                          // group end
        Block(0x23, {0x01, 0x00}),                // jump to the next block
        Block(0x24, {0x02, 0x00}),                // loop start
        Block(0x25, {}),                          // loop end
        Block(0x28, Joined({{static_cast<std::uint8_t>(select.size()), 0}, select})),
        Block(0x2A, {0, 0, 0, 0}),                     // stop the tape in 48K mode
        Block(0x2B, {1, 0, 0, 0, 1}),                  // signal level
        Block(0x30, Joined({{9}, Text("A screen.")})), // text
        Block(0x31, Joined({{5, 6}, Text("Hello!")})), // message
        Block(0x32, Joined({{static_cast<std::uint8_t>(archive.size()), 0}, archive})),
        Block(0x33, {1, 0, 0, 1}), // hardware type: a 48K Spectrum
        CustomInfo("POKEs", {1, 2, 3}),
        Block(0x5A, Joined({Text("XTape!"), {0x1A, 1, 20}})), // glue
    };
}

std::vector<Bytes> TzxRarerBlocks() {
    Bytes csw;
    PutLittleEndian(csw, 0, 2);     // pause
    PutLittleEndian(csw, 44100, 3); // sample rate
    csw.push_back(1);               // run-length encoded
    PutLittleEndian(csw, 4, 4);     // pulses
    csw.insert(csw.end(), {10, 20, 10, 20});
    Bytes cswLength;
    PutLittleEndian(cswLength, static_cast<std::uint32_t>(csw.size()), 4);
    return {
        Block(0x18, Joined({cswLength, csw})),       // CSW recording
        Block(0x16, {2, 0, 0, 0, 0xAA, 0x55}),       // C64 ROM type data: the length after it, data
        Block(0x17, {2, 0, 0, 0, 0xAA, 0x55}),       // C64 turbo data
        Block(0x34, {0, 0, 0, 0, 0, 0, 0, 0}),       // emulation info
        Block(0x40, {0, 3, 0, 0, 0x11, 0x22, 0x33}), // snapshot: type, length, data
    };
}

Bytes TzxFile(const std::vector<Bytes>& blocks, std::uint8_t major, std::uint8_t minor) {
    Bytes tape = Text("ZXTape!");
    tape.insert(tape.end(), {0x1A, major, minor});
    return Joined({tape, Joined(blocks)});
}

Bytes Plus3DosFile(const Screen& screen) {
    Bytes header = Text("PLUS3DOS");
    header.insert(header.end(), {0x1A, 1, 0}); // issue 1, version 0
    PutLittleEndian(header, 128 + ScreenBytes, 4);
    header.push_back(CodeType);
    PutLittleEndian(header, ScreenBytes, 2);
    PutLittleEndian(header, 16384, 2);
    PutLittleEndian(header, 32768, 2);
    header.resize(127, 0);
    header.push_back(static_cast<std::uint8_t>(std::accumulate(header.begin(), header.end(), 0U)));
    return Joined({header, BytesOf(screen)});
}

std::vector<Bytes> GameTapeBlocks(const Screen& screen, const std::string& name) {
    const Bytes program = {0x00, 0x0A, 0x05, 0x00, 0xEF, 0x22, 0x22, 0xAF, 0x0D}; // LOAD ""CODE
    const Bytes code = NoiseBytes(300, 77);
    return {
        HeaderBlock(ProgramType, "game", static_cast<std::uint16_t>(program.size()), 10,
                    static_cast<std::uint16_t>(program.size())),
        DataBlock(DataFlag, program),
        ScreenHeader(name),
        ScreenBlock(screen),
        HeaderBlock(CodeType, "code", static_cast<std::uint16_t>(code.size()), 32768),
        DataBlock(DataFlag, code),
    };
}

} // namespace fixtures
