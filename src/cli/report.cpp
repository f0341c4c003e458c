#include "cli/report.h"

#include <unistd.h>

#include <cstdio>

namespace inkswap::cli {

namespace {

constexpr auto ProgressAfter = std::chrono::seconds(1);
constexpr auto ProgressEvery = std::chrono::milliseconds(100);

} // namespace

Report::Report(std::size_t files)
    : files_(files), terminal_(::isatty(STDERR_FILENO) == 1),
      resultsOnTerminal_(::isatty(STDOUT_FILENO) == 1), start_(std::chrono::steady_clock::now()) {}

void Report::Result(const std::string& line) {
    if (resultsOnTerminal_) {
        ClearProgress(); // the two lines would share the terminal's last line
    }
    std::fprintf(stdout, "%s\n", line.c_str());
}

void Report::Failure(const std::string& name, const std::string& reason) {
    ClearProgress();
    std::fflush(stdout);
    std::fprintf(stderr, "inkswap-cli: %s: %s\n", name.c_str(), reason.c_str());
    failed_ = true;
}

void Report::Progress(std::size_t done, const std::string& name) {
    if (!terminal_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < ProgressAfter || (shown_ && now - shownAt_ < ProgressEvery)) {
        return;
    }
    std::fflush(stdout);
    std::fprintf(stderr, "\r\033[Kinkswap-cli: %zu of %zu files: %s", done + 1, files_,
                 name.c_str());
    std::fflush(stderr);
    shown_ = true;
    shownAt_ = now;
}

void Report::Finish() {
    ClearProgress();
    std::fflush(stdout);
}

void Report::ClearProgress() {
    if (!shown_) {
        return;
    }
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    shown_ = false;
}

} // namespace inkswap::cli
