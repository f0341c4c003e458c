#include "screen/screen_file.h"

#include "runtime/file.h"
#include "runtime/file_replacement.h"
#include "screen/plus3dos_file.h"
#include "screen/screen_image.h"
#include "screen/sna_file.h"
#include "screen/szx_file.h"
#include "screen/tap_file.h"
#include "screen/tzx_file.h"
#include "screen/z80_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace inkswap {

namespace {

constexpr std::int32_t ReadNumber = 0; // the file number of every read

// A file's bytes and nothing more: the caller's file changes only when
// every byte came and nothing followed.
ScreenLoad ReadWholeFile(const char* name, std::vector<std::uint8_t>& bytes) {
    if (rook::ReadFile(ReadNumber, name) == 0) {
        return ScreenLoad::Unreadable;
    }
    const std::int64_t length = rook::OpenFileLength(ReadNumber);
    if (length < 0 || length > LargestScreenFile) {
        return ScreenLoad::NotAScreen;
    }
    bytes.resize(static_cast<std::size_t>(length));
    const auto wanted = static_cast<std::int32_t>(length);
    if (wanted > 0 && rook::ReadData(ReadNumber, bytes.data(), wanted) != wanted) {
        return ScreenLoad::NotAScreen; // it shrank while it was read
    }
    std::uint8_t beyond = 0;
    if (rook::ReadData(ReadNumber, &beyond, 1) != 0) {
        return ScreenLoad::NotAScreen; // it grew while it was read
    }
    return ScreenLoad::Loaded;
}

bool FindRawScreen(std::span<const std::uint8_t> bytes, std::vector<ScreenEntry>& screens) {
    if (!IsScreenFileSize(static_cast<std::int64_t>(bytes.size()))) {
        return false;
    }
    screens.push_back(ScreenEntry{});
    return true;
}

// The readers, in the order they are tried: a raw screen is any 6,912
// bytes; then come the kinds known by a signature, then those known by
// their structure or their size alone.
struct Reader {
    ScreenFileKind Kind;
    bool (*Find)(std::span<const std::uint8_t>, std::vector<ScreenEntry>&);
};
constexpr Reader Readers[] = {
    {ScreenFileKind::Raw, FindRawScreen},  {ScreenFileKind::Plus3Dos, FindPlus3DosScreen},
    {ScreenFileKind::Tzx, FindTzxScreens}, {ScreenFileKind::Szx, FindSzxScreens},
    {ScreenFileKind::Tap, FindTapScreens}, {ScreenFileKind::Sna, FindSnaScreens},
    {ScreenFileKind::Z80, FindZ80Screens},
};

// Finds the screens of the bytes as a file of the kind, as the reader of
// the kind alone sees them.
bool FindScreensOfKind(ScreenFile& file) {
    for (const Reader& reader : Readers) {
        if (reader.Kind == file.Kind) {
            file.Screens.clear();
            return reader.Find(file.Bytes, file.Screens) && !file.Screens.empty();
        }
    }
    return false;
}

// Codes the page of a coded screen again with the screen in it, the file's
// way, and finds the screens again: the pages after it have moved.
bool RecodeScreen(ScreenFile& file, std::size_t index, const std::uint8_t* screen) {
    const ScreenEntry& entry = file.Screens[index];
    if (std::memcmp(entry.Decoded.data(), screen, ScreenFileSize) == 0) {
        return true; // unchanged: the page keeps the coding it has
    }
    ScreenFile recoded{file.Kind, file.Bytes, {}};
    const bool coded = entry.Coding == PageCoding::Z80Runs
                           ? RecodeZ80Page(recoded.Bytes, entry, screen)
                           : RecodeSzxPage(recoded.Bytes, entry, screen);
    // The same screens, in the same order, read back as they are now.
    if (!coded || !FindScreensOfKind(recoded) || recoded.Screens.size() != file.Screens.size()) {
        return false;
    }
    file = std::move(recoded);
    return true;
}

std::span<std::uint8_t> BlockOf(ScreenFile& file, const ScreenEntry& entry) {
    return std::span(file.Bytes)
        .subspan(entry.ChecksumStart, entry.Offset + ScreenFileSize - entry.ChecksumStart + 1);
}

} // namespace

bool FindScreens(ScreenFile& file) {
    for (const Reader& reader : Readers) {
        std::vector<ScreenEntry> screens;
        if (reader.Find(file.Bytes, screens) && !screens.empty()) {
            file.Kind = reader.Kind;
            file.Screens = std::move(screens);
            return true;
        }
    }
    file.Screens.clear();
    return false;
}

ScreenLoad LoadScreenFile(const char* name, ScreenFile& file) {
    ScreenFile loaded{};
    const ScreenLoad result = ReadWholeFile(name, loaded.Bytes);
    rook::CloseFile(ReadNumber);
    if (result != ScreenLoad::Loaded) {
        return result;
    }
    if (!FindScreens(loaded)) {
        return ScreenLoad::NotAScreen;
    }
    file = std::move(loaded);
    return ScreenLoad::Loaded;
}

void CopyScreen(const ScreenFile& file, std::size_t index, std::uint8_t* screen) {
    const ScreenEntry& entry = file.Screens[index];
    const std::uint8_t* from = entry.Coding == PageCoding::Stored ? file.Bytes.data() + entry.Offset
                                                                  : entry.Decoded.data();
    std::memcpy(screen, from, ScreenFileSize);
}

bool PutScreen(ScreenFile& file, std::size_t index, const std::uint8_t* screen) {
    ScreenEntry& entry = file.Screens[index];
    if (entry.Coding != PageCoding::Stored) {
        return RecodeScreen(file, index, screen);
    }
    std::memcpy(file.Bytes.data() + entry.Offset, screen, ScreenFileSize);
    if (entry.CopyOffset != 0) {
        std::memcpy(file.Bytes.data() + entry.CopyOffset, screen, ScreenFileSize);
    }
    if (entry.Checksummed) {
        const std::span<std::uint8_t> block = BlockOf(file, entry);
        block.back() = BlockChecksum(block.first(block.size() - 1));
        entry.ChecksumWrong = false;
    }
    return true;
}

bool SaveScreenFile(const char* name, ScreenFile& file, std::size_t index,
                    const std::uint8_t* screen) {
    const ScreenEntry& entry = file.Screens[index];
    if (entry.Coding != PageCoding::Stored || entry.CopyOffset != 0) {
        // Coding the page again moves bytes, and a screen that lies twice
        // changes in two places: the save works on a copy.
        ScreenFile saved = file;
        if (!PutScreen(saved, index, screen) ||
            !rook::ReplaceFileContent(name, saved.Bytes.data(),
                                      static_cast<std::int32_t>(saved.Bytes.size()))) {
            return false;
        }
        file = std::move(saved);
        return true;
    }
    // The bytes a failed save must give back: the screen and its checksum.
    const ScreenEntry before = file.Screens[index];
    const std::size_t start = before.Checksummed ? before.ChecksumStart : before.Offset;
    const std::size_t end = before.Offset + ScreenFileSize + (before.Checksummed ? 1 : 0);
    const std::vector<std::uint8_t> kept(file.Bytes.begin() + static_cast<std::ptrdiff_t>(start),
                                         file.Bytes.begin() + static_cast<std::ptrdiff_t>(end));
    PutScreen(file, index, screen);
    if (rook::ReplaceFileContent(name, file.Bytes.data(),
                                 static_cast<std::int32_t>(file.Bytes.size()))) {
        return true;
    }
    std::copy(kept.begin(), kept.end(), file.Bytes.begin() + static_cast<std::ptrdiff_t>(start));
    file.Screens[index] = before;
    return false;
}

bool SaveScreenFileAs(const char* name, ScreenFile& file, const std::uint8_t* screen) {
    if (!rook::ReplaceFileContent(name, screen, ScreenFileSize)) {
        return false;
    }
    file.Kind = ScreenFileKind::Raw;
    file.Bytes.assign(screen, screen + ScreenFileSize);
    file.Screens.assign(1, ScreenEntry{});
    return true;
}

std::uint8_t BlockChecksum(std::span<const std::uint8_t> bytes) {
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : bytes) {
        sum ^= byte;
    }
    return sum;
}

} // namespace inkswap
