#include "support/command_output.h"

#include <array>
#include <cstdio>

namespace testsupport {

bool RunCommand(const std::string& command, std::string& output) {
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return false;
    }
    std::array<char, 4096> chunk{};
    while (std::fgets(chunk.data(), static_cast<int>(chunk.size()), pipe) != nullptr) {
        output += chunk.data();
    }
    return ::pclose(pipe) == 0;
}

} // namespace testsupport
