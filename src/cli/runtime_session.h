#pragma once
// The runtime libraries the screen layer's files use (the toolkit heap,
// strings, files, memory), started for the life of the command and ended
// with it. The command-line tool has no windows: it starts no more.

namespace inkswap::cli {

class RuntimeSession {
public:
    RuntimeSession();
    ~RuntimeSession();
    RuntimeSession(const RuntimeSession&) = delete;
    RuntimeSession& operator=(const RuntimeSession&) = delete;

    // false when the toolkit heap could not be made: nothing started.
    bool Started() const { return started_; }

private:
    bool started_;
};

} // namespace inkswap::cli
