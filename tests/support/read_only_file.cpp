#include "support/read_only_file.h"

#include <fstream>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace testsupport {

namespace {

bool SetImmutable([[maybe_unused]] const std::filesystem::path& path, [[maybe_unused]] bool on) {
#ifdef __linux__
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    int flags = 0;
    bool done = ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ioctl(descriptor, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(descriptor);
    return done;
#else
    return false;
#endif
}

} // namespace

ReadOnlyFile::ReadOnlyFile(std::filesystem::path path) : path_(std::move(path)) {
    using std::filesystem::perms;
    std::filesystem::permissions(path_,
                                 perms::owner_write | perms::group_write | perms::others_write,
                                 std::filesystem::perm_options::remove);
    if (!Effective()) {
        immutable_ = SetImmutable(path_, true);
    }
}

ReadOnlyFile::~ReadOnlyFile() {
    if (immutable_) {
        SetImmutable(path_, false);
    }
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ignored);
}

bool ReadOnlyFile::Effective() const {
    return !std::ofstream(path_, std::ios::binary | std::ios::app);
}

} // namespace testsupport
