// inkswap-cli: the ZX Spectrum screens inside files, looked at, corrected
// and exported from a terminal or a build script.

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/help_text.h"
#include "cli/runtime_session.h"
#include "inkswap_version.h"

#include <cstdio>
#include <span>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

constexpr int UsageStatus = 2;

// A batch makes and frees the same large buffers for every file (zlib's
// state, the pictures); glibc would give them back to the system at once
// and take the page faults of getting them again for the next file.
void KeepFreedMemory() {
#ifdef __GLIBC__
    constexpr int Kept = 64 * 1024 * 1024;
    mallopt(M_TRIM_THRESHOLD, Kept);
    mallopt(M_MMAP_THRESHOLD, Kept);
#endif
}

int UsageError(const inkswap::cli::Arguments& arguments) {
    if (arguments.Message.empty()) {
        std::fputs(inkswap::cli::ProgramHelp(), stderr);
        return UsageStatus;
    }
    std::fprintf(stderr, "inkswap-cli: %s\n", arguments.Message.c_str());
    if (arguments.Given) {
        std::fprintf(stderr, "Try 'inkswap-cli %s --help'.\n",
                     inkswap::cli::CommandName(*arguments.Given));
    } else {
        std::fputs("Try 'inkswap-cli --help'.\n", stderr);
    }
    return UsageStatus;
}

} // namespace

int main(int argc, char** argv) {
    using inkswap::cli::Arguments;
    const Arguments arguments =
        inkswap::cli::ReadArguments(std::span<const char* const>(argv + 1, argc - 1));
    switch (arguments.Result) {
    case Arguments::Outcome::Help:
        std::fputs(arguments.HelpFor ? inkswap::cli::CommandHelp(*arguments.HelpFor)
                                     : inkswap::cli::ProgramHelp(),
                   stdout);
        return 0;
    case Arguments::Outcome::Version:
        std::printf("inkswap-cli %s\n", INKSWAP_VERSION);
        return 0;
    case Arguments::Outcome::UsageError:
        return UsageError(arguments);
    case Arguments::Outcome::Run:
        break;
    }
    KeepFreedMemory();
    const inkswap::cli::RuntimeSession session;
    if (!session.Started()) {
        std::fputs("inkswap-cli: not enough memory to start\n", stderr);
        return 1;
    }
    return inkswap::cli::RunCommand(arguments.Run);
}
