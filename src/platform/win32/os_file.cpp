// Files on Windows, through the Win32 calls with the access, sharing and
// disposition values the file library is defined with. Others may read a
// file while it is open, never write it.

#include "platform/os_file.h"

#include "platform/win32/win32.h"

#include <cstdint>
#include <iterator>

namespace rook::os {

namespace {

// Only the low 32 bits of a kernel handle are significant on 64-bit Windows.
HANDLE HandleOf(FileHandle file) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(static_cast<std::int32_t>(file)));
}

FileHandle FileHandleOf(HANDLE handle) {
    return static_cast<FileHandle>(reinterpret_cast<std::uintptr_t>(handle));
}

struct OpenArguments {
    DWORD Access;
    DWORD Disposition;
    DWORD Attributes;
};

OpenArguments ArgumentsFor(OpenMode mode) {
    switch (mode) {
    case OpenMode::ReadExisting:
        return {GENERIC_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL};
    case OpenMode::CreateReadWrite:
        return {GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL};
    case OpenMode::TruncateWriteOnly:
        return {GENERIC_WRITE, TRUNCATE_EXISTING, 0};
    case OpenMode::CreateNew:
        return {GENERIC_READ | GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL};
    }
    return {GENERIC_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL};
}

// A name in the system code page as UTF-16, for the calls that have only a
// wide form. Names that do not fit are refused.
class WideName {
public:
    explicit WideName(const char* name) {
        valid_ = name != nullptr && name[0] != '\0' &&
                 ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, text_,
                                       static_cast<int>(std::size(text_))) > 0;
    }
    bool Valid() const { return valid_; }
    const wchar_t* Text() const { return text_; }

private:
    wchar_t text_[1024] = {};
    bool valid_ = false;
};

// Attributes a replacement takes over from the file it replaces.
constexpr DWORD KeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                 FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

} // namespace

FileHandle OpenFile(const char* name, OpenMode mode) {
    if (name == nullptr || name[0] == '\0') {
        return 0;
    }
    const OpenArguments arguments = ArgumentsFor(mode);
    HANDLE handle = ::CreateFileA(name, arguments.Access, FILE_SHARE_READ, nullptr,
                                  arguments.Disposition, arguments.Attributes, nullptr);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr) {
        return 0;
    }
    return FileHandleOf(handle);
}

std::int32_t ReadBytes(FileHandle file, void* memory, std::int32_t count) {
    if (count <= 0) {
        return 0;
    }
    DWORD got = 0;
    if (!::ReadFile(HandleOf(file), memory, static_cast<DWORD>(count), &got, nullptr)) {
        return 0;
    }
    return static_cast<std::int32_t>(got);
}

std::int32_t WriteBytes(FileHandle file, const void* memory, std::int32_t count) {
    if (count <= 0) {
        return 0;
    }
    DWORD went = 0;
    ::WriteFile(HandleOf(file), memory, static_cast<DWORD>(count), &went, nullptr);
    return static_cast<std::int32_t>(went);
}

void MovePosition(FileHandle file, std::int32_t distance) {
    ::SetFilePointer(HandleOf(file), distance, nullptr, FILE_CURRENT);
}

void CloseFileHandle(FileHandle file) {
    ::CloseHandle(HandleOf(file));
}

std::int64_t OpenFileSize(FileHandle file) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(HandleOf(file), &size)) {
        return -1;
    }
    return size.QuadPart;
}

bool FlushToDisk(FileHandle file) {
    return ::FlushFileBuffers(HandleOf(file)) != 0;
}

bool ReplaceFileWith(const char* target, const char* temporary) {
    const WideName wideTarget(target);
    const WideName wideTemporary(temporary);
    if (!wideTarget.Valid() || !wideTemporary.Valid()) {
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(wideTarget.Text());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
            return false;
        }
        // Set on the new file first: the replacing step then leaves them
        // in place.
        const DWORD kept = attributes & KeptAttributes;
        ::SetFileAttributesW(wideTemporary.Text(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL);
    }
    // One rename over the old file. Not ReplaceFileW: under Wine it removes
    // the old file before the new one takes its name, and a crash between
    // the two would leave no file at all.
    return ::MoveFileExW(wideTemporary.Text(), wideTarget.Text(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const char* name) {
    const WideName wide(name);
    return wide.Valid() && ::DeleteFileW(wide.Text()) != 0;
}

DirectoryEntry FindDirectoryEntry(const char* name) {
    WIN32_FIND_DATAA data{};
    HANDLE search = ::FindFirstFileA(name, &data);
    if (search == INVALID_HANDLE_VALUE) {
        return {false, false, 0};
    }
    ::FindClose(search);
    const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const auto size = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    return {true, directory, size};
}

bool DriveRootExists(const char* root) {
    const UINT type = ::GetDriveTypeA(root);
    return type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR;
}

PathKind QueryPathKind(const char* path) {
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return PathKind::Missing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Directory : PathKind::Other;
}

} // namespace rook::os
