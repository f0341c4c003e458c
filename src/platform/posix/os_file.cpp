// Files on POSIX. A handle is the descriptor plus one, so that 0 stays free
// to mean "no file" even when descriptor 0 is handed out.

#include "platform/os_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rook::os {

namespace {

bool SyncFolder(const char* folder) {
    const int descriptor = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    const bool synced = fsync(descriptor) == 0;
    close(descriptor);
    return synced;
}

int DescriptorOf(FileHandle file) {
    return static_cast<int>(file) - 1;
}

int OpenFlags(OpenMode mode) {
    switch (mode) {
    case OpenMode::ReadExisting:
        return O_RDONLY;
    case OpenMode::CreateReadWrite:
        return O_RDWR | O_CREAT | O_TRUNC;
    case OpenMode::TruncateWriteOnly:
        return O_WRONLY | O_TRUNC;
    case OpenMode::CreateNew:
        return O_RDWR | O_CREAT | O_EXCL;
    }
    return O_RDONLY;
}

// Like the Win32 calls, a transfer goes on until the count is met, the file
// ends or an error occurs; the result is the number of bytes moved.
template <typename Transfer>
std::int32_t TransferAll(std::int32_t count, Transfer transfer) {
    std::int32_t done = 0;
    while (done < count) {
        const ssize_t moved = transfer(done, count - done);
        if (moved < 0 && errno == EINTR) {
            continue;
        }
        if (moved <= 0) {
            break;
        }
        done += static_cast<std::int32_t>(moved);
    }
    return done;
}

// A rename reaches the disk only with its folder: the folder is synced too.
bool SyncFolderOf(const char* name) {
    const char* slash = std::strrchr(name, '/');
    if (slash == nullptr) {
        return SyncFolder(".");
    }
    char folder[4096];
    const auto length = static_cast<std::size_t>(slash - name);
    if (length + 1 > sizeof folder) {
        return false;
    }
    std::memcpy(folder, name, length);
    folder[length] = '\0';
    return SyncFolder(length == 0 ? "/" : folder);
}

bool IsDirectory(int descriptor) {
    struct stat status {};
    return fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

FileHandle OpenFile(const char* name, OpenMode mode) {
    if (name == nullptr || name[0] == '\0') {
        return 0;
    }
    const int descriptor = open(name, OpenFlags(mode) | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return 0;
    }
    // Windows refuses to open a directory as a file; so do we.
    if (IsDirectory(descriptor)) {
        close(descriptor);
        return 0;
    }
    return static_cast<FileHandle>(descriptor) + 1;
}

std::int32_t ReadBytes(FileHandle file, void* memory, std::int32_t count) {
    auto* bytes = static_cast<char*>(memory);
    return TransferAll(count, [&](std::int32_t done, std::int32_t left) {
        return read(DescriptorOf(file), bytes + done, static_cast<size_t>(left));
    });
}

std::int32_t WriteBytes(FileHandle file, const void* memory, std::int32_t count) {
    const auto* bytes = static_cast<const char*>(memory);
    return TransferAll(count, [&](std::int32_t done, std::int32_t left) {
        return write(DescriptorOf(file), bytes + done, static_cast<size_t>(left));
    });
}

void MovePosition(FileHandle file, std::int32_t distance) {
    lseek(DescriptorOf(file), distance, SEEK_CUR);
}

void CloseFileHandle(FileHandle file) {
    close(DescriptorOf(file));
}

std::int64_t OpenFileSize(FileHandle file) {
    struct stat status {};
    if (fstat(DescriptorOf(file), &status) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(status.st_size);
}

bool FlushToDisk(FileHandle file) {
    return fsync(DescriptorOf(file)) == 0;
}

// Read-only is the owner's write permission, as Windows' read-only
// attribute is; the other permission bits pass to the new file.
bool ReplaceFileWith(const char* target, const char* temporary) {
    struct stat status {};
    if (stat(target, &status) == 0) {
        if (S_ISDIR(status.st_mode) || (status.st_mode & S_IWUSR) == 0) {
            return false;
        }
        if (chmod(temporary, status.st_mode & 07777) != 0) {
            return false;
        }
    }
    if (std::rename(temporary, target) != 0) {
        return false;
    }
    SyncFolderOf(target);
    return true;
}

bool RemoveFile(const char* name) {
    return unlink(name) == 0;
}

DirectoryEntry FindDirectoryEntry(const char* name) {
    struct stat status {};
    if (name == nullptr || name[0] == '\0' || stat(name, &status) != 0) {
        return {false, false, 0};
    }
    return {true, S_ISDIR(status.st_mode), static_cast<std::int64_t>(status.st_size)};
}

bool DriveRootExists(const char*) {
    return false;
}

PathKind QueryPathKind(const char* path) {
    struct stat status {};
    if (path == nullptr || path[0] == '\0' || stat(path, &status) != 0) {
        return PathKind::Missing;
    }
    return S_ISDIR(status.st_mode) ? PathKind::Directory : PathKind::Other;
}

} // namespace rook::os
