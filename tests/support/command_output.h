#pragma once
// Running one of the emulator's tools from a native test: what it printed
// (its errors too) and whether it ended with code 0.

#include <string>

namespace testsupport {

bool RunCommand(const std::string& command, std::string& output);

} // namespace testsupport
