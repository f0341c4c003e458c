#pragma once
// What `inkswap-cli --help` and `inkswap-cli COMMAND --help` print.

#include "cli/arguments.h"

namespace inkswap::cli {

// The program's usage: what it is, its commands and how to get more.
const char* ProgramHelp();

// A command's usage: what it does, its operands and options.
const char* CommandHelp(Command command);

} // namespace inkswap::cli
