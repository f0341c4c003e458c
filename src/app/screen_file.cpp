#include "app/screen_file.h"

#include "app/screen_image.h"
#include "runtime/file.h"
#include "runtime/file_replacement.h"

#include <array>
#include <cstring>

namespace inkswap {

namespace {

constexpr std::int32_t ScreenFile = 0; // the file number of every read

// Opens and reads into a scratch buffer: the caller's bytes change only
// when every byte came and nothing followed.
ScreenLoad ReadWholeScreen(const char* name, std::array<std::uint8_t, ScreenFileSize>& scratch) {
    if (rook::ReadFile(ScreenFile, name) == 0) {
        return ScreenLoad::Unreadable;
    }
    if (rook::OpenFileLength(ScreenFile) != ScreenFileSize ||
        rook::ReadData(ScreenFile, scratch.data(), ScreenFileSize) != ScreenFileSize) {
        return ScreenLoad::NotAScreen;
    }
    std::uint8_t beyond = 0;
    if (rook::ReadData(ScreenFile, &beyond, 1) != 0) {
        return ScreenLoad::NotAScreen; // it grew while it was read
    }
    return ScreenLoad::Loaded;
}

} // namespace

ScreenLoad LoadScreenFile(const char* name, std::uint8_t* bytes) {
    std::array<std::uint8_t, ScreenFileSize> scratch{};
    const ScreenLoad result = ReadWholeScreen(name, scratch);
    rook::CloseFile(ScreenFile);
    if (result == ScreenLoad::Loaded) {
        std::memcpy(bytes, scratch.data(), scratch.size());
    }
    return result;
}

bool SaveScreenFile(const char* name, const std::uint8_t* bytes) {
    return rook::ReplaceFileContent(name, bytes, ScreenFileSize);
}

} // namespace inkswap
