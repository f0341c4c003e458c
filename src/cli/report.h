#pragma once
// What a run tells its user: a result line on standard output for each
// screen worked on, one line on standard error for each file that failed
// (the file's name as given and why), and, when standard error is a
// terminal and the batch runs longer than a second, a progress line there
// that failures, and results printed on the same terminal, clear first.

#include <chrono>
#include <cstddef>
#include <string>

namespace inkswap::cli {

class Report {
public:
    explicit Report(std::size_t files);

    void Result(const std::string& line);
    void Failure(const std::string& name, const std::string& reason);
    // A file of the batch is about to be worked on.
    void Progress(std::size_t done, const std::string& name);
    // Clears the progress line, at the end of the batch.
    void Finish();

    bool AnyFailed() const { return failed_; }

private:
    void ClearProgress();

    std::size_t files_;
    bool failed_ = false;
    bool terminal_;          // standard error is one: progress is shown
    bool resultsOnTerminal_; // standard output is one too
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point shownAt_;
};

} // namespace inkswap::cli
