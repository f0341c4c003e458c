// The snapshot generators and readers held against an implementation
// nobody here wrote: libspectrum reads every kind of file the generators
// make as the machine and the memory they were made from, and the
// emulator's snapconv converts them; the readers find in every such file,
// and in snapconv's own, the screens libspectrum finds; and every snapshot
// saved here with a correction reads in libspectrum as the same machine
// with that screen corrected and every other page as it was, and the
// emulator's tools take it. Natively only: the library and the tools come
// from Debian.

#include "snapshot_fixtures.h"

#include "screen/screen_file.h"
#include "screen/screen_image.h"

#include "support/command_output.h"
#include "support/temp_directory.h"

#include <gtest/gtest.h>
#include <libspectrum.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using fixtures::Bank;
using fixtures::Bytes;
using fixtures::Machine128;
using fixtures::Machine48;
using fixtures::MemoryPage;

// What libspectrum makes of a file: whether it read it, the machine, the
// RAM pages it holds by their bank numbers, and the 0x7FFD port byte.
struct SeenSnapshot {
    bool Read = false;
    libspectrum_machine Machine = LIBSPECTRUM_MACHINE_UNKNOWN;
    std::vector<std::pair<int, Bank>> Pages;
    int Port7FFD = -1;
};

SeenSnapshot ReadWithLibspectrum(const Bytes& file, const std::string& name) {
    libspectrum_snap* snap = libspectrum_snap_alloc();
    SeenSnapshot seen;
    seen.Read = libspectrum_snap_read(snap, file.data(), file.size(), LIBSPECTRUM_ID_UNKNOWN,
                                      name.c_str()) == LIBSPECTRUM_ERROR_NONE;
    if (seen.Read) {
        seen.Machine = libspectrum_snap_machine(snap);
        seen.Port7FFD = libspectrum_snap_out_128_memoryport(snap);
        for (int bank = 0; bank < 8; ++bank) {
            if (const libspectrum_byte* page = libspectrum_snap_pages(snap, bank)) {
                Bank data{};
                std::copy_n(page, data.size(), data.begin());
                seen.Pages.emplace_back(bank, data);
            }
        }
    }
    libspectrum_snap_free(snap);
    return seen;
}

std::vector<std::pair<int, Bank>> PagesOf(const Machine48& machine) {
    return {{0, fixtures::Bank48(machine, 0)},
            {2, fixtures::Bank48(machine, 2)},
            {5, fixtures::Bank48(machine, 5)}};
}

std::vector<std::pair<int, Bank>> PagesOf(const Machine128& machine) {
    std::vector<std::pair<int, Bank>> pages;
    for (int bank = 0; bank < 8; ++bank) {
        pages.emplace_back(bank, machine.Banks[static_cast<std::size_t>(bank)]);
    }
    return pages;
}

struct Snapshot {
    std::string Name; // what it is, with the extension libspectrum goes by
    Bytes File;
    libspectrum_machine Machine;
    std::vector<std::pair<int, Bank>> Pages;
    std::optional<int> Port7FFD; // a 48K machine has none to check
};

Snapshot Of48(const std::string& name, const Bytes& file, const Machine48& machine) {
    return {name, file, LIBSPECTRUM_MACHINE_48, PagesOf(machine), std::nullopt};
}

Snapshot Of128(const std::string& name, const Bytes& file, const Machine128& machine,
               libspectrum_machine kind = LIBSPECTRUM_MACHINE_128) {
    return {name, file, kind, PagesOf(machine), machine.Port7FFD};
}

Machine48 Sample48() {
    return fixtures::Memory48(48, fixtures::Scene());
}

// Bank 7 shown, ROM 1, the given bank paged in at 0xC000.
Machine128 Sample128(int paged) {
    return fixtures::Memory128(static_cast<std::uint32_t>(128 + paged), fixtures::AttributeSweep(),
                               fixtures::Scene(), static_cast<std::uint8_t>(0x18 | paged));
}

// Pages in a shuffled order, some stored and some compressed.
std::vector<MemoryPage> Mixed(std::vector<MemoryPage> pages) {
    std::reverse(pages.begin(), pages.end());
    std::rotate(pages.begin(), pages.begin() + 2, pages.end());
    for (std::size_t i = 0; i < pages.size(); i += 2) {
        pages[i].Compressed = false;
    }
    return pages;
}

std::vector<Snapshot> SnaFiles() {
    std::vector<Snapshot> files{Of48("48K.sna", fixtures::Sna48(Sample48()), Sample48())};
    for (int paged : {0, 2, 5, 7}) {
        const Machine128 machine = Sample128(paged);
        // libspectrum takes a 128K SNA for a Pentagon's, whose emulators
        // made the format (hence its TR-DOS flag); the memory is the 128's.
        files.push_back(Of128("128K paged " + std::to_string(paged) + ".sna",
                              fixtures::Sna128(machine), machine, LIBSPECTRUM_MACHINE_PENT));
    }
    return files;
}

std::vector<Snapshot> Z80Files() {
    const Machine48 m48 = Sample48();
    const Machine128 m128 = Sample128(3);
    auto unusual = fixtures::Z80PagedParts({3, fixtures::Z80Mode128Version3, m128.Port7FFD, true},
                                           Mixed(fixtures::Z80Pages(m128, true)));
    const auto mode = [&](std::uint8_t hardware) {
        return fixtures::FileOf(fixtures::Z80PagedParts({3, hardware, m128.Port7FFD, true},
                                                        fixtures::Z80Pages(m128, true)));
    };
    return {
        Of48("version 1 compressed.z80", fixtures::Z80Version1(m48, true), m48),
        Of48("version 1 stored.z80", fixtures::Z80Version1(m48, false), m48),
        Of48("version 2 48K.z80", fixtures::Z80Paged(2, m48, true), m48),
        Of48("version 3 48K compressed.z80", fixtures::Z80Paged(3, m48, true), m48),
        Of48("version 3 48K stored.z80", fixtures::Z80Paged(3, m48, false), m48),
        Of128("version 2 128K.z80", fixtures::Z80Paged(2, m128, true), m128),
        Of128("version 3 128K compressed.z80", fixtures::Z80Paged(3, m128, true), m128),
        Of128("version 3 128K stored.z80", fixtures::Z80Paged(3, m128, false), m128),
        Of128("version 3 128K mixed, shuffled, 55-byte header.z80", fixtures::FileOf(unusual),
              m128),
        Of128("version 3 +2.z80", mode(fixtures::Z80ModePlus2), m128, LIBSPECTRUM_MACHINE_PLUS2),
        Of128("version 3 +2A.z80", mode(fixtures::Z80ModePlus2A), m128, LIBSPECTRUM_MACHINE_PLUS2A),
        Of128("version 3 +3.z80", mode(fixtures::Z80ModePlus3), m128, LIBSPECTRUM_MACHINE_PLUS3),
    };
}

std::vector<Snapshot> SzxFiles() {
    const Machine48 m48 = Sample48();
    const Machine128 m128 = Sample128(6);
    auto unusual = fixtures::SzxParts({fixtures::SzxMachinePlus2, 5, m128.Port7FFD},
                                      Mixed(fixtures::SzxPages(m128, true)));
    unusual.Pieces.insert(unusual.Pieces.begin() + 3,
                          fixtures::SzxChunk("INKS", fixtures::NoiseBytes(37, 5)));
    const auto plus3 = fixtures::FileOf(fixtures::SzxParts(
        {fixtures::SzxMachinePlus3, 4, m128.Port7FFD}, fixtures::SzxPages(m128, true)));
    return {
        Of48("48K compressed.szx", fixtures::Szx(m48, true), m48),
        Of48("48K stored.szx", fixtures::Szx(m48, false), m48),
        Of128("128K compressed.szx", fixtures::Szx(m128, true), m128),
        Of128("128K stored.szx", fixtures::Szx(m128, false), m128),
        Of128("+2 mixed, shuffled, unknown chunk, 1.5.szx", fixtures::FileOf(unusual), m128,
              LIBSPECTRUM_MACHINE_PLUS2),
        Of128("+3.szx", plus3, m128, LIBSPECTRUM_MACHINE_PLUS3),
    };
}

void ExpectReadAsGenerated(const std::vector<Snapshot>& files) {
    for (const Snapshot& file : files) {
        SCOPED_TRACE(file.Name);
        const SeenSnapshot seen = ReadWithLibspectrum(file.File, file.Name);
        ASSERT_TRUE(seen.Read);
        EXPECT_EQ(seen.Machine, file.Machine);
        if (file.Port7FFD) {
            EXPECT_EQ(seen.Port7FFD, *file.Port7FFD);
        }
        ASSERT_EQ(seen.Pages.size(), file.Pages.size());
        for (std::size_t i = 0; i < file.Pages.size(); ++i) {
            EXPECT_EQ(seen.Pages[i].first, file.Pages[i].first);
            EXPECT_TRUE(seen.Pages[i].second == file.Pages[i].second)
                << "bank " << file.Pages[i].first << " differs";
        }
    }
}

class SnapshotFixtures : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(libspectrum_init(), LIBSPECTRUM_ERROR_NONE); }

    testsupport::TempDirectory directory_;
};

TEST_F(SnapshotFixtures, LibspectrumReadsEverySnaAsGenerated) {
    ExpectReadAsGenerated(SnaFiles());
}

TEST_F(SnapshotFixtures, LibspectrumReadsEveryZ80AsGenerated) {
    ExpectReadAsGenerated(Z80Files());
}

TEST_F(SnapshotFixtures, LibspectrumReadsEverySzxAsGenerated) {
    ExpectReadAsGenerated(SzxFiles());
}

TEST_F(SnapshotFixtures, SnaFilesHaveTheFormatsSizes) {
    EXPECT_EQ(fixtures::Sna48(Sample48()).size(), 49179u);
    for (int paged = 0; paged < 8; ++paged) {
        const std::size_t size = paged == 2 || paged == 5 ? 147487u : 131103u;
        EXPECT_EQ(fixtures::Sna128(Sample128(paged)).size(), size) << "paged " << paged;
    }
}

// The examples the format's description gives, and the edges of a run.
TEST_F(SnapshotFixtures, RunCodingFollowsTheZ80Rules) {
    struct Case {
        Bytes Data;
        Bytes Coded;
    };
    Bytes long300(300, 0x41);
    Bytes eds256(256, 0xED);
    const Case cases[] = {
        {{1, 2, 3}, {1, 2, 3}},
        {{7, 7, 7, 7}, {7, 7, 7, 7}},
        {{7, 7, 7, 7, 7}, {0xED, 0xED, 5, 7}},
        {{0xED}, {0xED}},
        {{0xED, 0xED}, {0xED, 0xED, 2, 0xED}},
        {{0xED, 0, 0, 0, 0, 0, 0}, {0xED, 0, 0xED, 0xED, 5, 0}},
        {{0xED, 0xED, 0xED, 1}, {0xED, 0xED, 3, 0xED, 1}},
        {long300, {0xED, 0xED, 255, 0x41, 0xED, 0xED, 45, 0x41}},
        {eds256, {0xED, 0xED, 255, 0xED, 0xED}},
    };
    for (const Case& one : cases) {
        EXPECT_EQ(fixtures::Z80RunCoded(one.Data.data(), one.Data.size()), one.Coded)
            << "of " << one.Data.size() << " bytes";
    }
}

// Whether the bank holds `length` equal bytes in a row that `is` takes.
bool HasRun(const Bank& bank, std::size_t length, bool (*is)(std::uint8_t)) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < bank.size(); ++i) {
        run = is(bank[i]) && (run == 0 || bank[i] == bank[i - 1]) ? run + 1 : 0;
        if (run >= length) {
            return true;
        }
    }
    return false;
}

bool HasSingleEdBeforeRun(const Bank& bank) {
    for (std::size_t i = 1; i + 6 < bank.size(); ++i) {
        const bool single = bank[i] == 0xED && bank[i - 1] != 0xED && bank[i + 1] != 0xED;
        if (single && std::all_of(bank.begin() + static_cast<std::ptrdiff_t>(i + 2),
                                  bank.begin() + static_cast<std::ptrdiff_t>(i + 7),
                                  [&](std::uint8_t b) { return b == bank[i + 1]; })) {
            return true;
        }
    }
    return false;
}

TEST_F(SnapshotFixtures, MemoriesHoldTheScreensAndEveryKindOfRun) {
    const fixtures::Screen a = fixtures::Noise(1), b = fixtures::Noise(2);
    const Machine48 m48 = fixtures::Memory48(9, a);
    const Machine128 m128 = fixtures::Memory128(9, a, b, 0x1B);
    EXPECT_TRUE(std::equal(a.begin(), a.end(), m48.Memory.begin()));
    EXPECT_TRUE(std::equal(a.begin(), a.end(), m128.Banks[5].begin()));
    EXPECT_TRUE(std::equal(b.begin(), b.end(), m128.Banks[7].begin()));
    EXPECT_EQ(m128.Port7FFD, 0x1B);
    std::vector<Bank> banks(m128.Banks.begin(), m128.Banks.end());
    for (int bank : {5, 2, 0}) {
        banks.push_back(fixtures::Bank48(m48, bank));
    }
    for (std::size_t i = 0; i < banks.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(HasRun(banks[i], 256, [](std::uint8_t x) { return x != 0xED; }));
        EXPECT_TRUE(HasRun(banks[i], 2, [](std::uint8_t x) { return x == 0xED; }));
        EXPECT_TRUE(HasSingleEdBeforeRun(banks[i]));
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_NE(banks[i], banks[j]) << "same as " << j;
        }
    }
    EXPECT_EQ(fixtures::Memory128(9, a, b, 0x1B).Banks, m128.Banks) << "not deterministic";
}

// The screens libspectrum's pages hold as the readers are to offer them:
// a 48K machine's in page 5; a 128K one's in banks 5 and 7, the one the
// port shows first.
struct ShownScreen {
    int Bank;
    Bytes Screen;
};

std::vector<ShownScreen> ScreensOf(const Snapshot& snapshot) {
    const auto screenOf = [&](int bank) {
        for (const auto& [number, page] : snapshot.Pages) {
            if (number == bank) {
                return Bytes(page.begin(), page.begin() + inkswap::ScreenFileSize);
            }
        }
        ADD_FAILURE() << "no page " << bank;
        return Bytes();
    };
    if (!snapshot.Port7FFD) {
        return {{-1, screenOf(5)}};
    }
    const ShownScreen normal{5, screenOf(5)};
    const ShownScreen shadow{7, screenOf(7)};
    if ((*snapshot.Port7FFD & 0x08) != 0) {
        return {shadow, normal};
    }
    return {normal, shadow};
}

Bytes ScreenOf(const inkswap::ScreenFile& file, std::size_t index) {
    Bytes screen(inkswap::ScreenFileSize);
    inkswap::CopyScreen(file, index, screen.data());
    return screen;
}

void ExpectOurScreens(const Snapshot& snapshot) {
    inkswap::ScreenFile file{};
    file.Bytes = snapshot.File;
    ASSERT_TRUE(inkswap::FindScreens(file));
    const std::vector<ShownScreen> expected = ScreensOf(snapshot);
    ASSERT_EQ(file.Screens.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(file.Screens[i].Bank, expected[i].Bank) << "screen " << i;
        EXPECT_EQ(ScreenOf(file, i), expected[i].Screen) << "screen " << i;
    }
}

// Saves the snapshot with each of its screens corrected in turn and holds
// the result against libspectrum and the emulator's tools; saved as it
// is, the file keeps every byte.
void ExpectSavedAsCorrected(const Snapshot& snapshot, const testsupport::TempDirectory& directory) {
    const std::string path = directory.PathOf(snapshot.Name);
    const std::vector<ShownScreen> shown = ScreensOf(snapshot);
    for (std::size_t index = 0; index < shown.size(); ++index) {
        SCOPED_TRACE(testing::Message() << "screen " << index);
        inkswap::ScreenFile file{};
        file.Bytes = snapshot.File;
        ASSERT_TRUE(inkswap::FindScreens(file));
        Bytes screen = ScreenOf(file, index);
        ASSERT_TRUE(inkswap::SaveScreenFile(path.c_str(), file, index, screen.data()));
        EXPECT_EQ(directory.Read(snapshot.Name), snapshot.File) << "saved unchanged";

        inkswap::CorrectCell(screen.data(), 5, 6);
        inkswap::CorrectCell(screen.data(), 31, 0);
        ASSERT_TRUE(inkswap::SaveScreenFile(path.c_str(), file, index, screen.data()));
        Snapshot corrected = snapshot;
        corrected.File = directory.Read(snapshot.Name);
        const int bank = shown[index].Bank < 0 ? 5 : shown[index].Bank;
        for (auto& [number, page] : corrected.Pages) {
            if (number == bank) {
                std::copy(screen.begin(), screen.end(), page.begin());
            }
        }
        ExpectReadAsGenerated({corrected});
        std::string output;
        EXPECT_TRUE(testsupport::RunCommand("snapdump '" + path + "'", output)) << output;
        EXPECT_TRUE(testsupport::RunCommand(
            "snapconv '" + path + "' '" + directory.PathOf("converted.szx") + "'", output))
            << output;
    }
}

TEST_F(SnapshotFixtures, ReadersFindTheScreensOfEveryGeneratedFile) {
    for (const auto& files : {SnaFiles(), Z80Files(), SzxFiles()}) {
        for (const Snapshot& file : files) {
            SCOPED_TRACE(file.Name);
            ExpectOurScreens(file);
        }
    }
}

TEST_F(SnapshotFixtures, SavedSnapshotsReadInLibspectrumAsCorrected) {
    for (const auto& files : {SnaFiles(), Z80Files(), SzxFiles()}) {
        for (const Snapshot& file : files) {
            SCOPED_TRACE(file.Name);
            ExpectSavedAsCorrected(file, directory_);
        }
    }
}

// snapconv takes generated files and writes its own Z80, SZX and SNA files
// (coded as it chooses, or with -n stored), which libspectrum reads as the
// same machine and memory; the readers meet that writer's choices there,
// and saving into its files works as into the generated ones.
TEST_F(SnapshotFixtures, SnapconvsFilesReadAndSaveAsTheGeneratedOnes) {
    const Machine48 m48 = Sample48();
    const Machine128 m128 = Sample128(0);
    const Snapshot sources[] = {
        Of48("48.sna", fixtures::Sna48(m48), m48),
        Of128("128.sna", fixtures::Sna128(m128), m128, LIBSPECTRUM_MACHINE_PENT),
        Of128("128.z80", fixtures::Z80Paged(3, m128, true), m128)};
    struct Target {
        const char* Options;
        const char* Extension;
    };
    const Target targets[] = {
        {"", ".z80"}, {"-n ", ".z80"}, {"", ".szx"}, {"-n ", ".szx"}, {"", ".sna"}};
    for (const Snapshot& source : sources) {
        directory_.Write(source.Name, source.File);
        for (const Target& target : targets) {
            if (source.Name.ends_with(target.Extension)) {
                continue;
            }
            Snapshot converted = source;
            converted.Name = std::string(target.Options) + source.Name + target.Extension;
            SCOPED_TRACE(converted.Name);
            std::string output;
            ASSERT_TRUE(testsupport::RunCommand("snapconv " + std::string(target.Options) + "'" +
                                                    directory_.PathOf(source.Name) + "' '" +
                                                    directory_.PathOf(converted.Name) + "'",
                                                output))
                << output;
            converted.File = directory_.Read(converted.Name);
            if (source.Port7FFD && std::string(target.Extension) == ".sna") {
                converted.Machine = LIBSPECTRUM_MACHINE_PENT; // as every 128K SNA
            }
            ExpectReadAsGenerated({converted});
            ExpectOurScreens(converted);
            ExpectSavedAsCorrected(converted, directory_);
        }
    }
}

} // namespace
