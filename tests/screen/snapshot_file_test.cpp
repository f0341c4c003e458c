// Screens inside emulator snapshots: which screens each kind of SNA, Z80
// and SZX file holds, in the order they are offered (the one the machine
// shows first); broken snapshots refused, however they are broken; and a
// save that puts the screen back into its page, coded as the page was,
// with every other byte of the file kept.

#include "screen/screen_file.h"

#include "screen/screen_image.h"
#include "snapshot_fixtures.h"
#include "support/temp_directory.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace inkswap;
using fixtures::Bank;
using fixtures::Bytes;
using fixtures::Machine128;
using fixtures::Machine48;
using fixtures::MemoryPage;
using fixtures::Screen;

Screen NormalScreen() {
    return fixtures::Noise(51);
}

Screen ShadowScreen() {
    return fixtures::Noise(52);
}

Machine48 Sample48() {
    return fixtures::Memory48(48, NormalScreen());
}

Machine128 Sample128(std::uint8_t port) {
    return fixtures::Memory128(128, NormalScreen(), ShadowScreen(), port);
}

// A screen as a test expects to find it: its bank (-1: a 48K machine's),
// how its page is kept, and the whole page it lies at the start of (a
// version 1 Z80 file codes the 48 KiB as one page).
struct Shown {
    int Bank;
    PageCoding Coding;
    Bytes Page;
};

Bytes BytesOf(const Bank& bank) {
    return {bank.begin(), bank.end()};
}

Shown Of48(PageCoding coding, const Machine48& machine = Sample48()) {
    return {-1, coding, BytesOf(fixtures::Bank48(machine, 5))};
}

Shown OfBank(int bank, PageCoding coding, const Machine128& machine) {
    return {bank, coding, BytesOf(machine.Banks[static_cast<std::size_t>(bank)])};
}

struct Snapshot {
    std::string What;
    Bytes File;
    ScreenFileKind Kind;
    std::vector<Shown> Screens;
};

constexpr PageCoding Stored = PageCoding::Stored;
constexpr PageCoding Runs = PageCoding::Z80Runs;
constexpr PageCoding Zlib = PageCoding::Zlib;
constexpr std::uint8_t ShowsBank7 = 0x18; // bit 3, and ROM 1

std::vector<MemoryPage> Reversed(std::vector<MemoryPage> pages) {
    std::reverse(pages.begin(), pages.end());
    return pages;
}

// The page numbered `number` stored, the others compressed.
std::vector<MemoryPage> StoringBank(std::vector<MemoryPage> pages, std::uint8_t number) {
    for (MemoryPage& page : pages) {
        page.Compressed = page.Number != number;
    }
    return pages;
}

std::vector<Snapshot> SnaFiles() {
    const Machine128 bank0Paged = Sample128(ShowsBank7);
    const Machine128 bank7Paged = Sample128(0x07);
    const Machine128 bank5Paged = Sample128(ShowsBank7 | 5);
    return {
        {"SNA 48K", fixtures::Sna48(Sample48()), ScreenFileKind::Sna, {Of48(Stored)}},
        {"SNA 128K showing bank 7",
         fixtures::Sna128(bank0Paged),
         ScreenFileKind::Sna,
         {OfBank(7, Stored, bank0Paged), OfBank(5, Stored, bank0Paged)}},
        {"SNA 128K showing bank 5, bank 7 paged",
         fixtures::Sna128(bank7Paged),
         ScreenFileKind::Sna,
         {OfBank(5, Stored, bank7Paged), OfBank(7, Stored, bank7Paged)}},
        {"SNA 128K, bank 5 paged and so saved twice",
         fixtures::Sna128(bank5Paged),
         ScreenFileKind::Sna,
         {OfBank(7, Stored, bank5Paged), OfBank(5, Stored, bank5Paged)}},
    };
}

std::vector<Snapshot> Z80Files() {
    const Machine48 m48 = Sample48();
    const Machine128 shows7 = Sample128(ShowsBank7);
    const Machine128 shows5 = Sample128(0x10);
    const Bytes plus2A = fixtures::FileOf(
        fixtures::Z80PagedParts({3, fixtures::Z80ModePlus2A, ShowsBank7, true},
                                Reversed(StoringBank(fixtures::Z80Pages(shows7, true), 10))));
    const Bytes plus3 = fixtures::FileOf(fixtures::Z80PagedParts(
        {2, fixtures::Z80ModePlus3, ShowsBank7, false}, fixtures::Z80Pages(shows7, true)));
    return {
        {"Z80 version 1 compressed",
         fixtures::Z80Version1(m48, true),
         ScreenFileKind::Z80,
         {{-1, Runs, Bytes(m48.Memory.begin(), m48.Memory.end())}}},
        {"Z80 version 1 stored",
         fixtures::Z80Version1(m48, false),
         ScreenFileKind::Z80,
         {Of48(Stored)}},
        {"Z80 version 2 48K", fixtures::Z80Paged(2, m48, true), ScreenFileKind::Z80, {Of48(Runs)}},
        {"Z80 version 2 128K showing bank 7",
         fixtures::Z80Paged(2, shows7, true),
         ScreenFileKind::Z80,
         {OfBank(7, Runs, shows7), OfBank(5, Runs, shows7)}},
        {"Z80 version 2 +3",
         plus3,
         ScreenFileKind::Z80,
         {OfBank(7, Runs, shows7), OfBank(5, Runs, shows7)}},
        {"Z80 version 3 48K stored",
         fixtures::Z80Paged(3, m48, false),
         ScreenFileKind::Z80,
         {Of48(Stored)}},
        {"Z80 version 3 128K showing bank 5",
         fixtures::Z80Paged(3, shows5, true),
         ScreenFileKind::Z80,
         {OfBank(5, Runs, shows5), OfBank(7, Runs, shows5)}},
        {"Z80 version 3 +2A, pages reversed, bank 7 stored, 55-byte header",
         plus2A,
         ScreenFileKind::Z80,
         {OfBank(7, Stored, shows7), OfBank(5, Runs, shows7)}},
    };
}

std::vector<Snapshot> SzxFiles() {
    const Machine48 m48 = Sample48();
    const Machine128 shows7 = Sample128(ShowsBank7);
    auto plus3 = fixtures::SzxParts({fixtures::SzxMachinePlus3, 5, ShowsBank7},
                                    Reversed(StoringBank(fixtures::SzxPages(shows7, true), 7)));
    plus3.Pieces.insert(plus3.Pieces.begin() + 1,
                        fixtures::SzxChunk("INKS", fixtures::NoiseBytes(37, 5)));
    const MemoryPage only5{5, fixtures::Bank48(m48, 5), true};
    return {
        {"SZX 48K compressed", fixtures::Szx(m48, true), ScreenFileKind::Szx, {Of48(Zlib)}},
        {"SZX 16K",
         fixtures::FileOf(fixtures::SzxParts({fixtures::SzxMachine16, 4, std::nullopt}, {only5})),
         ScreenFileKind::Szx,
         {Of48(Zlib)}},
        {"SZX 128K stored showing bank 7",
         fixtures::Szx(shows7, false),
         ScreenFileKind::Szx,
         {OfBank(7, Stored, shows7), OfBank(5, Stored, shows7)}},
        {"SZX +3, pages reversed, bank 7 stored, an unknown chunk",
         fixtures::FileOf(plus3),
         ScreenFileKind::Szx,
         {OfBank(7, Stored, shows7), OfBank(5, Zlib, shows7)}},
        {"SZX 128K without paging state: bank 5 is shown",
         fixtures::FileOf(fixtures::SzxParts({fixtures::SzxMachine128, 4, std::nullopt},
                                             fixtures::SzxPages(shows7, true))),
         ScreenFileKind::Szx,
         {OfBank(5, Zlib, shows7), OfBank(7, Zlib, shows7)}},
    };
}

std::vector<Snapshot> EverySnapshot() {
    std::vector<Snapshot> all = SnaFiles();
    for (auto more : {Z80Files(), SzxFiles()}) {
        all.insert(all.end(), more.begin(), more.end());
    }
    return all;
}

ScreenFile Found(const Bytes& bytes) {
    ScreenFile file{};
    file.Bytes = bytes;
    FindScreens(file);
    return file;
}

Bytes ScreenOf(const ScreenFile& file, std::size_t index) {
    Bytes screen(ScreenFileSize);
    CopyScreen(file, index, screen.data());
    return screen;
}

Bytes FirstScreenOf(const Bytes& page) {
    return {page.begin(), page.begin() + ScreenFileSize};
}

TEST(SnapshotFiles, EveryKindOffersTheScreenTheMachineShowsFirst) {
    for (const Snapshot& test : EverySnapshot()) {
        SCOPED_TRACE(test.What);
        const ScreenFile file = Found(test.File);
        EXPECT_EQ(file.Kind, test.Kind);
        ASSERT_EQ(file.Screens.size(), test.Screens.size());
        for (std::size_t i = 0; i < test.Screens.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "screen " << i);
            EXPECT_EQ(file.Screens[i].Bank, test.Screens[i].Bank);
            EXPECT_EQ(file.Screens[i].Coding, test.Screens[i].Coding);
            EXPECT_EQ(ScreenOf(file, i), FirstScreenOf(test.Screens[i].Page));
        }
    }
}

void PutLength(Bytes& bytes, std::size_t at, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// A Z80 memory block of the given coded bytes.
Bytes Z80Block(std::uint8_t number, const Bytes& coded) {
    Bytes block{0, 0, number};
    PutLength(block, 0, static_cast<std::uint32_t>(coded.size()), 2);
    block.insert(block.end(), coded.begin(), coded.end());
    return block;
}

Bytes Deflated(const Bytes& data) {
    return fixtures::Zlib(data.data(), data.size());
}

Bytes RampChunk(std::uint8_t number, bool compressed, const Bytes& data) {
    Bytes body{static_cast<std::uint8_t>(compressed ? 1 : 0), 0, number};
    body.insert(body.end(), data.begin(), data.end());
    return fixtures::SzxChunk("RAMP", body);
}

Bytes RunCoded(const Bytes& data, std::size_t count) {
    return fixtures::Z80RunCoded(data.data(), count);
}

TEST(SnapshotFiles, BrokenSnapshotsAreRefused) {
    const Machine48 m48 = Sample48();
    const Machine128 m128 = Sample128(ShowsBank7);
    const Bytes memory(m48.Memory.begin(), m48.Memory.end());
    const Bytes bank7 = BytesOf(m128.Banks[7]);
    const auto z80With = [&](const fixtures::Z80Header& header, std::size_t at, Bytes block) {
        auto parts = fixtures::Z80PagedParts(header, fixtures::Z80Pages(m128, true));
        if (block.empty()) {
            parts.Pieces.erase(parts.Pieces.begin() + static_cast<std::ptrdiff_t>(at));
        } else {
            parts.Pieces[at] = std::move(block);
        }
        return fixtures::FileOf(parts);
    };
    const auto z80Of = [&](const fixtures::Z80Header& header) {
        return fixtures::FileOf(fixtures::Z80PagedParts(header, fixtures::Z80Pages(m128, true)));
    };
    const fixtures::Z80Header version3 = {3, fixtures::Z80Mode128Version3, ShowsBank7, false};
    const auto szxWith = [&](std::size_t at, Bytes chunk) {
        auto parts = fixtures::SzxParts({fixtures::SzxMachine128, 4, ShowsBank7},
                                        fixtures::SzxPages(m128, true));
        if (chunk.empty()) {
            parts.Pieces.erase(parts.Pieces.begin() + static_cast<std::ptrdiff_t>(at));
        } else {
            parts.Pieces[at] = std::move(chunk);
        }
        return fixtures::FileOf(parts);
    };
    constexpr std::size_t SzxBank7 = 3 + 7; // after CRTR, Z80R and SPCR
    const Bytes z80 = fixtures::Z80Paged(3, m128, true);
    const Bytes szx = fixtures::Szx(m128, true);
    Bytes version1Head = fixtures::Z80Version1(m48, true);
    version1Head.resize(30);
    Bytes sna48Short = fixtures::Sna48(m48);
    sna48Short.pop_back();
    const Bytes endMarker = {0, 0xED, 0xED, 0};

    struct Case {
        std::string What;
        Bytes File;
    };
    std::vector<Case> cases = {
        {"SNA 48K a byte short", sna48Short},
        {"SNA 128K whose port pages bank 5 but which holds it once", [&] {
             Bytes file = fixtures::Sna128(Sample128(ShowsBank7));
             file[27 + 3 * 16384 + 2] = ShowsBank7 | 5;
             return file;
         }()},
        {"SNA 128K whose two copies of bank 5 differ", [&] {
             Bytes file = fixtures::Sna128(Sample128(ShowsBank7 | 5));
             file[27 + 2 * 16384 + 100] ^= 1;
             return file;
         }()},
        {"Z80 version 1 whose run writes past 48K",
         fixtures::Joined({version1Head, RunCoded(memory, memory.size() - 3),
                           {0xED, 0xED, 5, 0}, endMarker})},
        {"Z80 version 1 whose coding ends before 48K",
         fixtures::Joined({version1Head, RunCoded(memory, memory.size() - 1), endMarker})},
        {"Z80 page whose coding needs more bytes than its length",
         z80With(version3, 7, Z80Block(10, RunCoded(bank7, bank7.size() - 1)))},
        {"Z80 page whose run writes past 16 KiB",
         z80With(version3, 7,
                 Z80Block(10, fixtures::Joined({RunCoded(bank7, bank7.size() - 4),
                                                {0xED, 0xED, 5, 0}})))},
        {"Z80 page whose bytes run past the file", Bytes(z80.begin(), z80.end() - 1)},
        {"Z80 128K without bank 7", z80With(version3, 7, {})},
        {"Z80 of an unknown hardware mode", z80Of({3, 99, ShowsBank7, false})},
        {"Z80 of a SamRam", z80Of({3, 2, ShowsBank7, false})},
        {"Z80 cut inside its additional header", Bytes(z80.begin(), z80.begin() + 50)},
        {"SZX chunk whose length runs past the end", [&] {
             Bytes file = szx;
             PutLength(file, 8 + 4, 0xFFFFFFF0, 4);
             return file;
         }()},
        {"SZX page whose zlib stream would inflate past the page",
         szxWith(SzxBank7, RampChunk(7, true, Deflated(fixtures::Joined({bank7, {1, 2}}))))},
        {"SZX page whose zlib stream ends before the page is full",
         szxWith(SzxBank7, RampChunk(7, true, Deflated(Bytes(bank7.begin(), bank7.end() - 1))))},
        {"SZX page whose zlib stream is broken", [&] {
             Bytes coded = Deflated(bank7);
             coded[coded.size() / 2] ^= 0xFF;
             return szxWith(SzxBank7, RampChunk(7, true, coded));
         }()},
        {"SZX stored page a byte short",
         szxWith(SzxBank7, RampChunk(7, false, Bytes(bank7.begin(), bank7.end() - 1)))},
        {"SZX 128K without page 7", szxWith(SzxBank7, {})},
        {"SZX of an unknown machine", [&] {
             Bytes file = szx;
             file[6] = 200;
             return file;
         }()},
        {"SZX cut inside a chunk's header", fixtures::Joined({szx, {'R', 'A', 'M', 'P', 3}})},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.What);
        const ScreenFile file = Found(test.File);
        EXPECT_TRUE(file.Screens.empty()) << "taken for kind " << static_cast<int>(file.Kind);
    }
}

class SnapshotSaving : public ::testing::Test {
protected:
    // The snapshot after saving screen `index` as corrected (unchanged: as
    // it is), as it is on disk; file is the snapshot as it is then held.
    Bytes Saved(const Bytes& original, std::size_t index, bool correct, ScreenFile& file,
                Bytes& screen) {
        file = Found(original);
        screen = ScreenOf(file, index);
        if (correct) {
            CorrectCell(screen.data(), 0, 0);
            CorrectCell(screen.data(), 17, 23);
        }
        directory_.Write("snapshot", original);
        EXPECT_TRUE(SaveScreenFile(Path().c_str(), file, index, screen.data()));
        const Bytes saved = directory_.Read("snapshot");
        EXPECT_EQ(saved, file.Bytes) << "what is held is what is on disk";
        return saved;
    }

    std::string Path() const { return directory_.PathOf("snapshot"); }

    testsupport::TempDirectory directory_;
};

TEST_F(SnapshotSaving, AScreenSavedUnchangedKeepsEveryByte) {
    for (const Snapshot& test : EverySnapshot()) {
        for (std::size_t index = 0; index < test.Screens.size(); ++index) {
            SCOPED_TRACE(testing::Message() << test.What << ", screen " << index);
            ScreenFile file{};
            Bytes screen;
            EXPECT_EQ(Saved(test.File, index, false, file, screen), test.File);
        }
    }
}

// The bytes the saved page holds: as they are, run-coded or a zlib stream,
// by the length before them; false when they are not the page.
bool PageIs(const Bytes& file, const ScreenEntry& entry, const Bytes& page) {
    if (entry.Coding == PageCoding::Stored) {
        return std::equal(page.begin(), page.begin() + ScreenFileSize, file.begin() + entry.Offset);
    }
    const Bytes coded(file.begin() + entry.Offset, file.begin() + entry.Offset + entry.CodedLength);
    if (entry.Coding == PageCoding::Z80Runs) {
        return coded == RunCoded(page, page.size()); // the format's rules, coded independently
    }
    Bytes inflated(page.size());
    uLongf length = static_cast<uLongf>(inflated.size());
    return uncompress(inflated.data(), &length, coded.data(), static_cast<uLong>(coded.size())) ==
               Z_OK &&
           length == page.size() && inflated == page;
}

// Before a coded page only its length may change, and after it every
// byte moves as one.
void ExpectOnlyPageChanged(const Bytes& original, const Bytes& saved, const ScreenEntry& was,
                           ScreenFileKind kind) {
    const std::size_t tail = original.size() - was.Offset - was.CodedLength;
    ASSERT_GE(saved.size(), tail);
    EXPECT_TRUE(std::equal(original.end() - static_cast<std::ptrdiff_t>(tail), original.end(),
                           saved.end() - static_cast<std::ptrdiff_t>(tail)))
        << "after the page";
    const std::size_t lengthBytes = kind == ScreenFileKind::Szx ? 4 : 2;
    for (std::size_t at = 0; at < was.Offset; ++at) {
        const bool length =
            was.LengthAt != 0 && at >= was.LengthAt && at < was.LengthAt + lengthBytes;
        if (saved[at] != original[at] && !length) {
            ADD_FAILURE() << "byte " << at << " before the page changed";
            return;
        }
    }
}

// After a correction the file reads back with the corrected screen and the
// other as it was; the page holds the whole corrected page, and the bytes
// before it (but for its length) and after it are the original's. A stored
// screen changes in place, and in its second place when it lies twice.
TEST_F(SnapshotSaving, ACorrectionIsSavedIntoItsPageAndNowhereElse) {
    for (const Snapshot& test : EverySnapshot()) {
        for (std::size_t index = 0; index < test.Screens.size(); ++index) {
            SCOPED_TRACE(testing::Message() << test.What << ", screen " << index);
            ScreenFile held{};
            Bytes corrected;
            const Bytes saved = Saved(test.File, index, true, held, corrected);
            const ScreenFile before = Found(test.File);
            const ScreenFile after = Found(saved);
            ASSERT_EQ(after.Screens.size(), test.Screens.size());
            for (std::size_t i = 0; i < test.Screens.size(); ++i) {
                EXPECT_EQ(after.Screens[i].Bank, test.Screens[i].Bank);
                EXPECT_EQ(ScreenOf(after, i),
                          i == index ? corrected : FirstScreenOf(test.Screens[i].Page));
            }
            Bytes page = test.Screens[index].Page;
            std::copy(corrected.begin(), corrected.end(), page.begin());
            const ScreenEntry& was = before.Screens[index];
            EXPECT_TRUE(PageIs(saved, after.Screens[index], page));
            if (was.Coding == PageCoding::Stored) {
                // In place, and in the second place the same bytes lie.
                Bytes expected = test.File;
                for (const std::uint32_t at : {was.Offset, was.CopyOffset}) {
                    if (at != 0) {
                        std::copy(corrected.begin(), corrected.end(), expected.begin() + at);
                    }
                }
                EXPECT_TRUE(saved == expected) << "bytes outside the screen changed";
                continue;
            }
            ExpectOnlyPageChanged(test.File, saved, was, test.Kind);
        }
    }
}

// A page of bytes whose run coding is larger than the page: pairs of 0xED.
Bank Incompressible() {
    Bank bank{};
    const Screen screen = fixtures::Noise(53);
    std::copy(screen.begin(), screen.end(), bank.begin());
    for (std::size_t at = screen.size(); at < bank.size(); ++at) {
        bank[at] = at % 3 == 2 ? 1 : 0xED;
    }
    return bank;
}

// Version 3 stores a page whose coding would not be smaller, as its
// writers do; version 2 has no stored pages and codes it all the same.
TEST_F(SnapshotSaving, AZ80PageThatCodingWouldEnlargeIsStoredWhereTheVersionAllows) {
    Machine128 machine = Sample128(0x10);
    machine.Banks[5] = Incompressible();
    for (int version : {2, 3}) {
        SCOPED_TRACE(testing::Message() << "version " << version);
        const Bytes original = fixtures::Z80Paged(version, machine, true);
        ScreenFile held{};
        Bytes corrected;
        const Bytes saved = Saved(original, 0, true, held, corrected);
        const ScreenFile after = Found(saved);
        ASSERT_EQ(after.Screens.size(), 2u);
        const ScreenEntry& entry = after.Screens[0];
        ASSERT_EQ(entry.Bank, 5);
        const std::uint32_t length = saved[entry.LengthAt] | saved[entry.LengthAt + 1] << 8;
        if (version == 3) {
            EXPECT_EQ(entry.Coding, PageCoding::Stored);
            EXPECT_EQ(length, 0xFFFFu);
        } else {
            EXPECT_EQ(entry.Coding, PageCoding::Z80Runs);
            EXPECT_EQ(length, entry.CodedLength);
            EXPECT_GT(length, 16384u);
        }
        EXPECT_EQ(ScreenOf(after, 0), corrected);
    }
}

TEST_F(SnapshotSaving, ASaveThatFailsLeavesWhatIsHeldAsItWas) {
    const Bytes original = fixtures::Z80Paged(3, Sample128(ShowsBank7), true);
    ScreenFile file = Found(original);
    Bytes screen = ScreenOf(file, 1);
    CorrectCell(screen.data(), 3, 4);
    EXPECT_FALSE(
        SaveScreenFile(directory_.PathOf("gone/game.z80").c_str(), file, 1, screen.data()));
    EXPECT_EQ(file.Bytes, original);
    EXPECT_EQ(ScreenOf(file, 1), FirstScreenOf(BytesOf(Sample128(ShowsBank7).Banks[5])));
    EXPECT_EQ(file.Screens[1].CodedLength, Found(original).Screens[1].CodedLength);
}

} // namespace
