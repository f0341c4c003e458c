#include "snapshot_fixtures.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace fixtures {

namespace {

constexpr std::uint8_t Ed = 0xED;
constexpr std::size_t MaxRun = 255;

// Registers as a program running from RAM under the 48K ROM might hold
// them: SP in RAM, IY at the system variables, interrupts on in mode 1.
struct Registers {
    std::uint16_t AF, BC, DE, HL, AltAF, AltBC, AltDE, AltHL, IX, IY, SP, PC;
    std::uint8_t I, R, Border;
};
constexpr Registers Cpu{.AF = 0x4481,
                        .BC = 0x1721,
                        .DE = 0x5CB9,
                        .HL = 0x2D2B,
                        .AltAF = 0x0044,
                        .AltBC = 0x174B,
                        .AltDE = 0x0006,
                        .AltHL = 0x10A8,
                        .IX = 0x03D4,
                        .IY = 0x5C3A,
                        .SP = 0xFF4A,
                        .PC = 0x8000,
                        .I = 0x3F,
                        .R = 0xA7,
                        .Border = 1};
constexpr std::uint8_t InterruptMode = 1;

void Put16(Bytes& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(Bytes& bytes, std::uint32_t value) {
    Put16(bytes, static_cast<std::uint16_t>(value));
    Put16(bytes, static_cast<std::uint16_t>(value >> 16));
}

void Append(Bytes& bytes, const std::uint8_t* data, std::size_t count) {
    bytes.insert(bytes.end(), data, data + count);
}

// Writes the mixture of Memory48 and Memory128 into a range, from a seed.
class MixedFill {
public:
    MixedFill(std::uint8_t* begin, std::uint8_t* end, std::uint32_t seed)
        : at_(begin), end_(end), state_(seed != 0 ? seed : 1) {}

    void Fill() {
        // Each kind once first, so that every range holds them all.
        Put(NotEd(), MaxRun + 45);
        Put(0x01);
        Put(Ed, 2);
        Put(0x02);
        Put(Ed);
        Put(0x00, 6);
        Put(0x03);
        Put(0x04, 4);
        Put(0x05);
        while (at_ != end_) {
            PutSegment(Next() % 6);
        }
    }

private:
    std::uint32_t Next() {
        state_ ^= state_ << 13; // xorshift32, as the screens' noise
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

    std::uint8_t NotEd() {
        const auto byte = static_cast<std::uint8_t>(Next() >> 24);
        return byte == Ed ? 0xEC : byte;
    }

    void Put(std::uint8_t byte, std::size_t count = 1) {
        for (; count > 0 && at_ != end_; --count) {
            *at_++ = byte;
        }
    }

    void PutSegment(std::uint32_t kind) {
        switch (kind) {
        case 0:
            for (std::uint32_t n = 16 + Next() % 240; n > 0; --n) {
                Put(static_cast<std::uint8_t>(Next() >> 24));
            }
            break;
        case 1:
            Put(NotEd(), 5 + Next() % 400);
            break;
        case 2:
            Put(Ed, 2 + Next() % 300);
            Put(NotEd());
            break;
        case 3: // the byte after a single ED is written as is, the rest coded
            Put(NotEd());
            Put(Ed);
            Put(NotEd(), 6 + Next() % 40);
            break;
        case 4:
            Put(NotEd(), 4);
            break;
        default:
            Put(NotEd());
            Put(Ed);
            Put(NotEd());
            break;
        }
    }

    std::uint8_t* at_;
    std::uint8_t* end_;
    std::uint32_t state_;
};

// Fills 16 KiB after its first `from` bytes; it ends with a single 0xED,
// whose next byte is in the following page.
void FillPage(std::uint8_t* page, std::size_t from, std::uint32_t seed) {
    MixedFill(page + from, page + BankBytes - 2, seed).Fill();
    page[BankBytes - 2] = 0x06;
    page[BankBytes - 1] = Ed;
}

std::uint32_t PageSeed(std::uint32_t seed, std::uint32_t page) {
    return seed * 0x9E3779B1u + (page + 1) * 0x85EBCA6Bu;
}

// The SNA header: I, HL', DE', BC', AF', HL, DE, BC, IY, IX, IFF2 in bit
// 2, R, AF, SP, the interrupt mode, the border.
Bytes SnaHeader() {
    Bytes header{Cpu.I};
    for (std::uint16_t pair :
         {Cpu.AltHL, Cpu.AltDE, Cpu.AltBC, Cpu.AltAF, Cpu.HL, Cpu.DE, Cpu.BC, Cpu.IY, Cpu.IX}) {
        Put16(header, pair);
    }
    header.insert(header.end(), {0x04, Cpu.R});
    Put16(header, Cpu.AF);
    Put16(header, Cpu.SP);
    header.insert(header.end(), {InterruptMode, Cpu.Border});
    return header;
}

// The 30-byte header of every Z80 file; version 1's holds PC and the
// compression flag, later versions' PC 0.
Bytes Z80MainHeader(std::uint16_t pc, bool compressed) {
    Bytes header{static_cast<std::uint8_t>(Cpu.AF >> 8), static_cast<std::uint8_t>(Cpu.AF)};
    Put16(header, Cpu.BC);
    Put16(header, Cpu.HL);
    Put16(header, pc);
    Put16(header, Cpu.SP);
    header.push_back(Cpu.I);
    header.push_back(static_cast<std::uint8_t>(Cpu.R & 0x7F));
    header.push_back(
        static_cast<std::uint8_t>((Cpu.R >> 7) | (Cpu.Border << 1) | (compressed ? 0x20 : 0)));
    Put16(header, Cpu.DE);
    Put16(header, Cpu.AltBC);
    Put16(header, Cpu.AltDE);
    Put16(header, Cpu.AltHL);
    header.push_back(static_cast<std::uint8_t>(Cpu.AltAF >> 8));
    header.push_back(static_cast<std::uint8_t>(Cpu.AltAF));
    Put16(header, Cpu.IY);
    Put16(header, Cpu.IX);
    header.insert(header.end(), {1, 1, InterruptMode}); // IFF1, IFF2, mode
    return header;
}

bool Is128Mode(std::uint8_t mode, int version) {
    return mode >= (version == 2 ? Z80Mode128Version2 : Z80Mode128Version3);
}

// The additional header of versions 2 and 3 after its length: PC, the
// hardware, the paging and sound state, and in version 3 the T-states,
// the ROM flags and the interfaces' state.
Bytes Z80AdditionalHeader(const Z80Header& header) {
    Bytes extra;
    Put16(extra, Cpu.PC);
    const bool has128 = Is128Mode(header.HardwareMode, header.Version);
    extra.insert(extra.end(), {header.HardwareMode, header.Port7FFD, 0,
                               static_cast<std::uint8_t>(has128 ? 0x07 : 0x03), 0x0E});
    extra.resize(extra.size() + 16, 0); // the sound chip's registers
    if (header.Version >= 3) {
        Put16(extra, 0x1200); // T-states, low counter and high
        extra.insert(extra.end(), {2, 0, 0, 0, 0xFF, 0xFF});
        extra.resize(extra.size() + 20, 0); // joystick keys
        extra.insert(extra.end(), {0, 0, 0});
        if (header.Port1FFD) {
            extra.push_back(0);
        }
    }
    Bytes length;
    Put16(length, static_cast<std::uint16_t>(extra.size()));
    return Joined({length, extra});
}

Bytes Z80Block(const MemoryPage& page) {
    const Bytes data = page.Compressed ? Z80RunCoded(page.Data.data(), page.Data.size())
                                       : Bytes(page.Data.begin(), page.Data.end());
    Bytes block;
    Put16(block, page.Compressed ? static_cast<std::uint16_t>(data.size()) : 0xFFFF);
    block.push_back(page.Number);
    return Joined({block, data});
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes SzxCreator() {
    Bytes data = Text("Inkswap fixtures");
    data.resize(32, 0);
    Put16(data, 1); // major and minor version
    Put16(data, 0);
    return SzxChunk("CRTR", data);
}

// AF, BC, DE, HL and their alternates, IX, IY, SP, PC, I, R, IFF1, IFF2,
// IM, the frame's T-states, interrupt hold, flags, MEMPTR.
Bytes SzxRegisters() {
    Bytes data;
    for (std::uint16_t pair : {Cpu.AF, Cpu.BC, Cpu.DE, Cpu.HL, Cpu.AltAF, Cpu.AltBC, Cpu.AltDE,
                               Cpu.AltHL, Cpu.IX, Cpu.IY, Cpu.SP, Cpu.PC}) {
        Put16(data, pair);
    }
    data.insert(data.end(), {Cpu.I, Cpu.R, 1, 1, InterruptMode});
    Put32(data, 0x1200);
    data.insert(data.end(), {0, 0});
    Put16(data, Cpu.PC);
    return SzxChunk("Z80R", data);
}

Bytes SzxSpectrumRegisters(std::uint8_t port) {
    return SzxChunk("SPCR", {Cpu.Border, port, 0, Cpu.Border, 0, 0, 0, 0});
}

Bytes SzxRamPage(const MemoryPage& page) {
    Bytes data;
    Put16(data, page.Compressed ? 1 : 0);
    data.push_back(page.Number);
    return SzxChunk("RAMP",
                    Joined({data, page.Compressed ? Zlib(page.Data.data(), page.Data.size())
                                                  : Bytes(page.Data.begin(), page.Data.end())}));
}

std::vector<MemoryPage> Pages128(const Machine128& machine, int firstNumber, bool compressed) {
    std::vector<MemoryPage> pages;
    for (int bank = 0; bank < 8; ++bank) {
        pages.push_back({static_cast<std::uint8_t>(bank + firstNumber),
                         machine.Banks[static_cast<std::size_t>(bank)], compressed});
    }
    return pages;
}

} // namespace

Machine48 Memory48(std::uint32_t seed, const Screen& screen) {
    Machine48 machine{};
    for (std::uint32_t slot = 0; slot < 3; ++slot) {
        FillPage(machine.Memory.data() + slot * BankBytes, slot == 0 ? ScreenBytes : 0,
                 PageSeed(seed, 8 + slot)); // not as a 128K bank of the same seed
    }
    std::copy(screen.begin(), screen.end(), machine.Memory.begin());
    return machine;
}

Machine128 Memory128(std::uint32_t seed, const Screen& bank5, const Screen& bank7,
                     std::uint8_t port) {
    Machine128 machine{{}, port};
    for (std::uint32_t bank = 0; bank < 8; ++bank) {
        FillPage(machine.Banks[bank].data(), bank == 5 || bank == 7 ? ScreenBytes : 0,
                 PageSeed(seed, bank));
    }
    std::copy(bank5.begin(), bank5.end(), machine.Banks[5].begin());
    std::copy(bank7.begin(), bank7.end(), machine.Banks[7].begin());
    return machine;
}

Bank Bank48(const Machine48& machine, int bank) {
    const std::size_t slot = bank == 5 ? 0 : bank == 2 ? 1 : 2;
    Bank data{};
    std::copy_n(machine.Memory.begin() + static_cast<std::ptrdiff_t>(slot * BankBytes), BankBytes,
                data.begin());
    return data;
}

Bytes Sna48(const Machine48& machine) {
    Bytes file = SnaHeader();
    Append(file, machine.Memory.data(), machine.Memory.size());
    return file;
}

Bytes Sna128(const Machine128& machine) {
    const int paged = machine.Port7FFD & 7;
    Bytes file = SnaHeader();
    for (int bank : {5, 2, paged}) {
        Append(file, machine.Banks[static_cast<std::size_t>(bank)].data(), BankBytes);
    }
    Put16(file, Cpu.PC);
    file.insert(file.end(), {machine.Port7FFD, 0}); // TR-DOS not paged
    for (int bank = 0; bank < 8; ++bank) {
        if (bank != 5 && bank != 2 && bank != paged) {
            Append(file, machine.Banks[static_cast<std::size_t>(bank)].data(), BankBytes);
        }
    }
    return file;
}

Bytes Z80RunCoded(const std::uint8_t* data, std::size_t count) {
    Bytes coded;
    std::size_t at = 0;
    while (at < count) {
        const std::uint8_t byte = data[at];
        std::size_t run = 1;
        while (at + run < count && run < MaxRun && data[at + run] == byte) {
            ++run;
        }
        if (run >= 5 || (byte == Ed && run >= 2)) {
            coded.insert(coded.end(), {Ed, Ed, static_cast<std::uint8_t>(run), byte});
            at += run;
            continue;
        }
        coded.push_back(byte);
        ++at;
        if (byte == Ed && at < count) { // never the start of a run
            coded.push_back(data[at++]);
        }
    }
    return coded;
}

Bytes Zlib(const std::uint8_t* data, std::size_t count) {
    uLongf length = compressBound(static_cast<uLong>(count));
    Bytes compressed(length);
    if (compress2(compressed.data(), &length, data, static_cast<uLong>(count),
                  Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("zlib cannot compress a page");
    }
    compressed.resize(length);
    return compressed;
}

Bytes Z80Version1(const Machine48& machine, bool compressed) {
    Bytes file = Z80MainHeader(Cpu.PC, compressed);
    if (!compressed) {
        Append(file, machine.Memory.data(), machine.Memory.size());
        return file;
    }
    return Joined(
        {file, Z80RunCoded(machine.Memory.data(), machine.Memory.size()), {0x00, Ed, Ed, 0x00}});
}

Bytes FileOf(const SnapshotParts& parts) {
    return Joined({parts.Head, Joined(parts.Pieces)});
}

std::vector<MemoryPage> Z80Pages(const Machine48& machine, bool compressed) {
    return {{4, Bank48(machine, 2), compressed},
            {5, Bank48(machine, 0), compressed},
            {8, Bank48(machine, 5), compressed}};
}

std::vector<MemoryPage> Z80Pages(const Machine128& machine, bool compressed) {
    return Pages128(machine, 3, compressed);
}

SnapshotParts Z80PagedParts(const Z80Header& header, const std::vector<MemoryPage>& pages) {
    SnapshotParts parts{Joined({Z80MainHeader(0, false), Z80AdditionalHeader(header)}), {}};
    for (const MemoryPage& page : pages) {
        parts.Pieces.push_back(Z80Block(page));
    }
    return parts;
}

Bytes Z80Paged(int version, const Machine48& machine, bool compressedPages) {
    return FileOf(
        Z80PagedParts({version, Z80Mode48, 0, false}, Z80Pages(machine, compressedPages)));
}

Bytes Z80Paged(int version, const Machine128& machine, bool compressedPages) {
    const std::uint8_t mode = version == 2 ? Z80Mode128Version2 : Z80Mode128Version3;
    return FileOf(Z80PagedParts({version, mode, machine.Port7FFD, false},
                                Z80Pages(machine, compressedPages)));
}

std::vector<MemoryPage> SzxPages(const Machine48& machine, bool compressed) {
    return {{5, Bank48(machine, 5), compressed},
            {2, Bank48(machine, 2), compressed},
            {0, Bank48(machine, 0), compressed}};
}

std::vector<MemoryPage> SzxPages(const Machine128& machine, bool compressed) {
    return Pages128(machine, 0, compressed);
}

Bytes SzxChunk(const std::string& id, const Bytes& data) {
    Bytes chunk = Text(id.substr(0, 4));
    chunk.resize(4, ' ');
    Put32(chunk, static_cast<std::uint32_t>(data.size()));
    return Joined({chunk, data});
}

SnapshotParts SzxParts(const SzxHeader& header, const std::vector<MemoryPage>& pages) {
    Bytes head = Text("ZXST");
    head.insert(head.end(), {1, header.MinorVersion, header.MachineId, 0});
    SnapshotParts parts{head, {SzxCreator(), SzxRegisters()}};
    if (header.Port7FFD) {
        parts.Pieces.push_back(SzxSpectrumRegisters(*header.Port7FFD));
    }
    for (const MemoryPage& page : pages) {
        parts.Pieces.push_back(SzxRamPage(page));
    }
    return parts;
}

Bytes Szx(const Machine48& machine, bool compressedPages) {
    return FileOf(SzxParts({SzxMachine48, 4, 0}, SzxPages(machine, compressedPages)));
}

Bytes Szx(const Machine128& machine, bool compressedPages) {
    return FileOf(
        SzxParts({SzxMachine128, 4, machine.Port7FFD}, SzxPages(machine, compressedPages)));
}

} // namespace fixtures
