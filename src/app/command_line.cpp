#include "app/command_line.h"

#include <shellapi.h>

#include <memory>

namespace inkswap {

namespace {

struct LocalFreer {
    void operator()(LPWSTR* block) const { ::LocalFree(block); }
};

} // namespace

bool FirstNamedFile(Utf8Name& name) {
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreer> arguments(
        ::CommandLineToArgvW(::GetCommandLineW(), &count));
    if (arguments == nullptr || count < 2) {
        return false;
    }
    ToUtf8(arguments.get()[1], name);
    return true;
}

} // namespace inkswap
