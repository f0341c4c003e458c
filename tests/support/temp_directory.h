#pragma once
// A fresh directory for one test's files, removed with everything in it
// when the test ends.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    // The full name of a file in the directory, in the form the file
    // library takes.
    std::string PathOf(const std::string& name) const;

    void Write(const std::string& name, const Bytes& bytes) const;
    Bytes Read(const std::string& name) const;

private:
    std::filesystem::path root_;
};

// Deterministic bytes for file contents: byte i of a given seed.
Bytes PatternBytes(std::size_t count, std::uint32_t seed = 1);

} // namespace testsupport
