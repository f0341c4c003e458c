#pragma once
// Files as the operating system offers them: the handful of operations the
// buffered file library is built on. Win32 calls on Windows, POSIX elsewhere.

#include <cstdint>

namespace rook::os {

// An open file of the platform, never 0 while open. On Windows it is the
// file HANDLE, whose significant bits fit 32 bits; on POSIX the descriptor
// plus one.
using FileHandle = std::uint32_t;

enum class OpenMode {
    ReadExisting,      // existing file, read access; others may read it meanwhile
    CreateReadWrite,   // create, or empty an existing file; read and write access
    TruncateWriteOnly, // empty an existing file; write access only
    CreateNew,         // a new file that must not exist yet; read and write access
};

// The open file, or 0 on failure. Directories are never opened.
FileHandle OpenFile(const char* name, OpenMode mode);

// Reads up to count bytes at the current position; the number that came
// (0 at the end of the file or on failure).
std::int32_t ReadBytes(FileHandle file, void* memory, std::int32_t count);

// Writes count bytes at the current position; the number that went.
std::int32_t WriteBytes(FileHandle file, const void* memory, std::int32_t count);

// Moves the position by a signed amount relative to the current one.
void MovePosition(FileHandle file, std::int32_t distance);

void CloseFileHandle(FileHandle file);

// The size of an open file in bytes, -1 when it cannot be had.
std::int64_t OpenFileSize(FileHandle file);

// Makes sure everything written to the file has reached the disk.
bool FlushToDisk(FileHandle file);

// Puts the closed file temporary in place of target in one step: target
// is afterwards either as it was or the temporary file's content. A
// read-only target (or a directory) is never replaced. The target's
// attributes, read-only aside, pass to the new file. Missing targets are
// created. false when nothing was replaced; temporary then still exists.
bool ReplaceFileWith(const char* target, const char* temporary);

// Deletes a file; false when it could not be deleted.
bool RemoveFile(const char* name);

struct DirectoryEntry {
    bool Found;
    bool Directory;
    std::int64_t Size;
};

// Looks a name up in its directory, without opening the file.
DirectoryEntry FindDirectoryEntry(const char* name);

// Whether a drive root such as "D:\" exists. Only Windows has drive roots.
bool DriveRootExists(const char* root);

enum class PathKind { Missing, Directory, Other };

// What lies at a path; used for network paths, which the directory search
// does not find.
PathKind QueryPathKind(const char* path);

} // namespace rook::os
