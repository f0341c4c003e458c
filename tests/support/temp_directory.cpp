#include "support/temp_directory.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <random>

namespace testsupport {

TempDirectory::TempDirectory() {
    std::random_device entropy;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        root_ = std::filesystem::temp_directory_path() /
                ("inkswap-test-" + std::to_string(stamp) + "-" + std::to_string(entropy()));
        if (std::filesystem::create_directory(root_)) {
            return;
        }
    }
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root_, ignored);
}

std::string TempDirectory::PathOf(const std::string& name) const {
    return (root_ / name).string();
}

void TempDirectory::Write(const std::string& name, const Bytes& bytes) const {
    std::ofstream file(root_ / name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

Bytes TempDirectory::Read(const std::string& name) const {
    std::ifstream file(root_ / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

Bytes PatternBytes(std::size_t count, std::uint32_t seed) {
    Bytes bytes(count);
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (auto& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
    return bytes;
}

} // namespace testsupport
