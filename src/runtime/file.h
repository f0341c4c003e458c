#pragma once
// Numbered files with a 4,096-byte buffer each, and a size query that works
// on a name without opening the file.
//
// A file is in reading state (the buffer holds read-ahead data, or nothing)
// or in writing state (the buffer holds bytes not yet written). Opening
// enters reading state with an empty buffer; a write in reading state first
// moves the platform position back over the read-ahead, and a read in
// writing state first writes out what is pending. Transfers of at least a
// buffer's size bypass the buffer.

#include "platform/os_file.h"

#include <cstdint>

namespace rook {

inline constexpr std::int32_t FileBufferSize = 4096;

// FileSize results that are not sizes.
inline constexpr std::int64_t NoSuchFile = -1;
inline constexpr std::int64_t DirectoryFile = -2;

struct FileObject {
    os::FileHandle Handle; // non-zero exactly while open: the live marker
    std::uint8_t* Buffer;  // null when the file is unbuffered
    std::int32_t BufferSize;
    std::int32_t Count;    // writing: bytes still free; reading: bytes not yet delivered
    std::int32_t Filled;   // reading: bytes placed by the last refill
    std::uint32_t Reading; // 1 = reading state, 0 = writing state
};

// Start step: creates the file registry.
void FileLibraryInit();

// End step: closes every open file, pending bytes included.
void FileLibraryEnd();

// Creates the file, or empties an existing one, for reading and writing.
// Non-zero on success: the platform handle for a static number, the dynamic
// identifier for AnyNumber. 0 on failure. A static number that held an
// open file has it closed first, even when the new open fails.
std::int64_t CreateFile(std::int32_t number, const char* name);

// Opens an existing file for reading only. Results as for CreateFile.
std::int64_t ReadFile(std::int32_t number, const char* name);

// Bytes accepted; 0 with nothing done for a null address, a length below
// 1 or a number that names no open file.
std::int32_t WriteData(std::int32_t number, const void* memory, std::int32_t length);

// Bytes delivered into memory, fewer than asked at the end of the file;
// memory beyond them is left as it was. 0 with nothing done for a number
// that names no open file, a null address or a length below 1.
std::int32_t ReadData(std::int32_t number, void* memory, std::int32_t length);

// Writes out pending bytes, frees the buffer, closes the platform file and
// releases the number. Does nothing for a number that names no open file.
void CloseFile(std::int32_t number);

// The size in bytes of the open file, asked through its own handle (so it
// is the file that is read, whatever happened to its name); NoSuchFile for
// a number that names no open file.
std::int64_t OpenFileLength(std::int32_t number);

// The size in bytes of the file with this name; NoSuchFile when there is
// none or the name is empty, DirectoryFile for a directory or drive root.
// Only the first 260 characters of a longer name are looked at.
std::int64_t FileSize(const char* name);

} // namespace rook
