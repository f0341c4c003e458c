#pragma once
// The commands of inkswap-cli, run over every file of the command line:
// each file read, its chosen screens worked on, its outputs written, one
// result line per screen; a file that fails is reported and the batch goes
// on with the next.

#include "cli/arguments.h"

namespace inkswap::cli {

// The exit status: 0 when every file succeeded, 1 when any failed.
int RunCommand(const Invocation& run);

} // namespace inkswap::cli
