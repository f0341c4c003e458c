#include "runtime/file_replacement.h"

#include "platform/os_file.h"

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace rook {

namespace {

// Names tried for the temporary file before the save gives up. Each is new
// and unforeseeable, so that files left by earlier saves, however many,
// hardly ever meet one: failing this often means the folder takes no new
// file at all.
constexpr int TemporaryNameAttempts = 64;
constexpr std::size_t LongestName = 4096;
constexpr std::size_t TemporaryNameLength = 20; // ~inkswapXXXXXXXX.tmp

// A 32-bit value no earlier call gave: a counter and the clock, mixed so
// that two processes saving at once pick far apart (splitmix64's finaliser).
std::uint32_t FreshNameValue() {
    static std::uint64_t counter = 0;
    std::uint64_t value =
        ++counter * 0x9E3779B97F4A7C15ULL +
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) +
        reinterpret_cast<std::uintptr_t>(&counter);
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<std::uint32_t>(value ^ (value >> 31));
}

// The length of the folder part of a name, separator included (0 for a
// name without a folder).
std::size_t FolderLength(const char* name) {
    std::size_t folder = 0;
    for (std::size_t i = 0; name[i] != '\0'; ++i) {
        if (name[i] == '\\' || name[i] == '/') {
            folder = i + 1;
        }
    }
    return folder;
}

// Creates a new file beside name, never one that exists already; its name
// goes to temporary. 0 when none could be made.
os::FileHandle CreateTemporaryBeside(const char* name, char (&temporary)[LongestName]) {
    const std::size_t folder = FolderLength(name);
    if (folder + TemporaryNameLength + 1 > LongestName) {
        return 0;
    }
    std::memcpy(temporary, name, folder);
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        std::snprintf(temporary + folder, LongestName - folder, "~inkswap%08lX.tmp",
                      static_cast<unsigned long>(FreshNameValue()));
        if (const os::FileHandle file = os::OpenFile(temporary, os::OpenMode::CreateNew);
            file != 0) {
            return file;
        }
    }
    return 0;
}

} // namespace

bool ReplaceFileContent(const char* name, const void* bytes, std::int32_t length) {
    if (name == nullptr || name[0] == '\0' || bytes == nullptr || length < 0) {
        return false;
    }
    char temporary[LongestName] = {};
    const os::FileHandle file = CreateTemporaryBeside(name, temporary);
    if (file == 0) {
        return false;
    }
    const bool written = os::WriteBytes(file, bytes, length) == length && os::FlushToDisk(file);
    os::CloseFileHandle(file);
    if (written && os::ReplaceFileWith(name, temporary)) {
        return true;
    }
    os::RemoveFile(temporary);
    return false;
}

} // namespace rook
