#include "cli/output_file.h"

#include "cli/arguments.h"
#include "runtime/file.h"
#include "runtime/file_replacement.h"
#include "screen/status_line.h"

#include <unistd.h>

#include <climits>
#include <cstdio>

namespace inkswap::cli {

namespace {

bool WriteStandardOutput(std::span<const std::uint8_t> bytes, std::string& reason) {
    if (::isatty(STDOUT_FILENO) == 1) {
        reason = "standard output is a terminal: give -o FILE";
        return false;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0) {
        reason = "could not be written to standard output";
        return false;
    }
    return true;
}

bool Replace(const std::string& name, std::span<const std::uint8_t> bytes, std::string& reason) {
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX) ||
        !rook::ReplaceFileContent(name.c_str(), bytes.data(),
                                  static_cast<std::int32_t>(bytes.size()))) {
        reason = name + " could not be written";
        return false;
    }
    return true;
}

} // namespace

bool Outputs::Write(const std::string& name, std::span<const std::uint8_t> bytes,
                    std::string& reason) {
    if (name == StandardStream) {
        return WriteStandardOutput(bytes, reason);
    }
    if (written_.count(name) != 0) {
        reason = name + " would replace an output of this run";
        return false;
    }
    const std::int64_t size = rook::FileSize(name.c_str());
    if (size == rook::DirectoryFile) {
        reason = name + " is a folder";
        return false;
    }
    if (size != rook::NoSuchFile && !force_) {
        reason = name + " exists (use --force to replace it)";
        return false;
    }
    if (!Replace(name, bytes, reason)) {
        return false;
    }
    written_.insert(name);
    return true;
}

bool Outputs::WriteBack(const std::string& name, std::span<const std::uint8_t> bytes,
                        std::string& reason) {
    if (name == StandardStream) {
        return WriteStandardOutput(bytes, reason);
    }
    return Replace(name, bytes, reason);
}

std::string InFolder(const std::string& folder, const std::string& name) {
    const std::string plain = FileNameOf(name.c_str());
    if (folder.empty() || folder.back() == '/') {
        return folder + plain;
    }
    return folder + "/" + plain;
}

} // namespace inkswap::cli
