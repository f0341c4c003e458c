#include "runtime/file.h"

#include "runtime/object_registry.h"
#include "runtime/toolkit_heap.h"

#include <algorithm>
#include <cstring>

namespace rook {

namespace {

constexpr std::int32_t FileGrowthStep = 16;
// Longest name, in characters, that FileSize looks at; longer names are cut.
constexpr std::size_t MaximumPathLength = 260;
constexpr std::size_t MaximumCharacterBytes = 4; // in UTF-8

ObjectRegistry* fileRegistry = nullptr;

FileObject* FindFile(std::int32_t number) {
    return static_cast<FileObject*>(RegistryLookup(fileRegistry, number));
}

// Writes out the pending bytes of a file in writing state. Every caller
// ignores the result: errors of a flush are not reported.
std::int32_t FlushFileBuffer(FileObject* file) {
    if (file->Reading != 0) {
        return 0;
    }
    const std::int32_t pending = file->BufferSize - file->Count;
    std::int32_t written = 0;
    if (pending > 0) {
        written = os::WriteBytes(file->Handle, file->Buffer, pending);
    }
    file->Count = file->BufferSize;
    return written;
}

os::FileHandle OpenForCreate(const char* name) {
    const os::FileHandle handle = os::OpenFile(name, os::OpenMode::CreateReadWrite);
    if (handle != 0) {
        return handle;
    }
    return os::OpenFile(name, os::OpenMode::TruncateWriteOnly);
}

enum class OpenKind { Read, Create };

std::int64_t OpenNumberedFile(std::int32_t number, const char* name, OpenKind kind) {
    const RegistryObject object = RegistryGetOrCreate(fileRegistry, number);
    if (object.Storage == nullptr) {
        return 0;
    }
    const os::FileHandle handle = kind == OpenKind::Create
                                      ? OpenForCreate(name)
                                      : os::OpenFile(name, os::OpenMode::ReadExisting);
    if (handle == 0) {
        if (number == AnyNumber) {
            RegistryFree(fileRegistry, object.Number);
        }
        return 0;
    }
    auto* file = static_cast<FileObject*>(object.Storage);
    file->Buffer =
        static_cast<std::uint8_t*>(ToolkitAllocate(FileBufferSize, os::Fill::Uninitialised));
    file->Handle = handle;
    file->BufferSize = FileBufferSize;
    file->Count = 0;
    file->Reading = 1;
    if (number == AnyNumber) {
        return object.Number;
    }
    return handle;
}

void SwitchToWriting(FileObject* file) {
    os::MovePosition(file->Handle, -file->Count);
    file->Count = file->BufferSize;
    file->Reading = 0;
}

void SwitchToReading(FileObject* file) {
    FlushFileBuffer(file);
    file->Reading = 1;
    file->Count = 0;
}

// Drive letter and colon, with or without the backslash: asked as a root.
bool IsDriveRootName(const char* name, std::size_t length) {
    return (length == 2 || length == 3) && name[1] == ':';
}

bool IsNetworkPath(const char* name) {
    return name[0] == '\\' && name[1] == '\\';
}

bool IsContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The bytes of the first limit characters of a text. Names are UTF-8 (the
// program's code page): a character is a lead byte with up to three
// continuation bytes after it, so a cut never splits one and never takes
// more than four bytes a character.
std::size_t BoundedLength(const char* text, std::size_t limit) {
    std::size_t length = 0;
    for (std::size_t characters = 0; text[length] != '\0'; ++characters) {
        if (characters == limit) {
            return length;
        }
        ++length;
        for (int more = 0; more < 3 && IsContinuationByte(text[length]); ++more) {
            ++length;
        }
    }
    return length;
}

} // namespace

void FileLibraryInit() {
    if (fileRegistry == nullptr) {
        fileRegistry = RegistryCreate(sizeof(FileObject), FileGrowthStep, CloseFile);
    }
}

void FileLibraryEnd() {
    RegistryFreeAll(fileRegistry);
}

std::int64_t CreateFile(std::int32_t number, const char* name) {
    return OpenNumberedFile(number, name, OpenKind::Create);
}

std::int64_t ReadFile(std::int32_t number, const char* name) {
    return OpenNumberedFile(number, name, OpenKind::Read);
}

std::int32_t WriteData(std::int32_t number, const void* memory, std::int32_t length) {
    if (memory == nullptr || length < 1) {
        return 0;
    }
    FileObject* file = FindFile(number);
    if (file == nullptr) {
        return 0;
    }
    if (file->Buffer == nullptr) {
        return os::WriteBytes(file->Handle, memory, length);
    }
    if (file->Reading != 0) {
        SwitchToWriting(file);
    }
    // The buffer is never left completely full: a write that would fill it
    // writes out what is pending first.
    if (file->Count > length) {
        std::memcpy(file->Buffer + (file->BufferSize - file->Count), memory,
                    static_cast<std::size_t>(length));
        file->Count -= length;
        return length;
    }
    FlushFileBuffer(file);
    if (length >= file->BufferSize) {
        return os::WriteBytes(file->Handle, memory, length);
    }
    std::memcpy(file->Buffer, memory, static_cast<std::size_t>(length));
    file->Count -= length;
    return length;
}

std::int32_t ReadData(std::int32_t number, void* memory, std::int32_t length) {
    FileObject* file = FindFile(number);
    if (file == nullptr || length < 1 || memory == nullptr) {
        return 0;
    }
    if (file->Buffer == nullptr) {
        return os::ReadBytes(file->Handle, memory, length);
    }
    if (file->Reading == 0) {
        SwitchToReading(file);
    }
    auto* bytes = static_cast<std::uint8_t*>(memory);
    const std::uint8_t* undelivered = file->Buffer + (file->Filled - file->Count);
    if (file->Count >= length) {
        std::memcpy(bytes, undelivered, static_cast<std::size_t>(length));
        file->Count -= length;
        return length;
    }
    const std::int32_t ready = file->Count;
    std::memcpy(bytes, undelivered, static_cast<std::size_t>(ready));
    const std::int32_t needed = length - ready;
    if (needed >= file->BufferSize) {
        file->Count = 0;
        return ready + os::ReadBytes(file->Handle, bytes + ready, needed);
    }
    const std::int32_t got = os::ReadBytes(file->Handle, file->Buffer, file->BufferSize);
    file->Filled = got;
    file->Count = got;
    const std::int32_t taken = std::min(needed, got);
    std::memcpy(bytes + ready, file->Buffer, static_cast<std::size_t>(taken));
    file->Count -= taken;
    return ready + taken;
}

void CloseFile(std::int32_t number) {
    if (number == AnyNumber) {
        return;
    }
    FileObject* file = FindFile(number);
    if (file == nullptr) {
        return;
    }
    if (file->Buffer != nullptr) {
        FlushFileBuffer(file);
        ToolkitRelease(file->Buffer);
    }
    os::CloseFileHandle(file->Handle);
    RegistryFree(fileRegistry, number);
}

std::int64_t OpenFileLength(std::int32_t number) {
    const FileObject* file = FindFile(number);
    if (file == nullptr) {
        return NoSuchFile;
    }
    return os::OpenFileSize(file->Handle);
}

std::int64_t FileSize(const char* name) {
    if (name == nullptr || name[0] == '\0') {
        return NoSuchFile;
    }
    char copy[MaximumPathLength * MaximumCharacterBytes + 2] = {};
    std::size_t length = BoundedLength(name, MaximumPathLength);
    std::memcpy(copy, name, length);

    if (IsDriveRootName(copy, length)) {
        if (length == 2) {
            copy[2] = '\\';
        }
        return os::DriveRootExists(copy) ? DirectoryFile : NoSuchFile;
    }
    while (length > 0 && copy[length - 1] == '\\') {
        copy[--length] = '\0';
    }
    if (const os::DirectoryEntry entry = os::FindDirectoryEntry(copy); entry.Found) {
        return entry.Directory ? DirectoryFile : entry.Size;
    }
    if (IsNetworkPath(copy)) {
        return os::QueryPathKind(copy) == os::PathKind::Directory ? DirectoryFile : NoSuchFile;
    }
    return NoSuchFile;
}

} // namespace rook
