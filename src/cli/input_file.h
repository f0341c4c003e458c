#pragma once
// The files a command reads: a named file, loaded as the program loads it,
// or standard input ("-"), read whole; either way its screens found by
// what it holds.

#include "screen/screen_file.h"

#include <string>

namespace inkswap::cli {

// false, with the reason a user is told, when the file cannot be read or
// holds no screen.
bool ReadInput(const std::string& name, ScreenFile& file, std::string& reason);

} // namespace inkswap::cli
