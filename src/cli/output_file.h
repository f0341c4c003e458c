#pragma once
// The files a command writes. Each is written in one step, as the program
// saves (a new file beside it that then takes its place), so an output is
// either whole or not there; "-" is standard output, which takes no binary
// output while it is a terminal. An output never replaces a file that
// exists unless asked to (--force), nor one this run wrote already.

#include <cstdint>
#include <set>
#include <span>
#include <string>

namespace inkswap::cli {

class Outputs {
public:
    explicit Outputs(bool force) : force_(force) {}

    // A new output file; false, with the reason, when it could not be written.
    bool Write(const std::string& name, std::span<const std::uint8_t> bytes, std::string& reason);

    // The input file itself, written back in place.
    static bool WriteBack(const std::string& name, std::span<const std::uint8_t> bytes,
                          std::string& reason);

private:
    bool force_;
    std::set<std::string> written_;
};

// The name of an output named `name` in the folder `folder`.
std::string InFolder(const std::string& folder, const std::string& name);

} // namespace inkswap::cli
