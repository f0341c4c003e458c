#pragma once
// Makes a file unwritable for this process for the life of the object.
// Clearing its write permissions is enough for an ordinary account; an
// account that may write read-only files anyway (root) gets the file's
// immutable attribute set instead, where the file system has one.

#include <filesystem>

namespace testsupport {

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(std::filesystem::path path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Whether the file really is unwritable now.
    bool Effective() const;

private:
    std::filesystem::path path_;
    bool immutable_ = false;
};

} // namespace testsupport
