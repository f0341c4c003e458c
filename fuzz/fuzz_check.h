#pragma once
// Checks for the fuzz targets: a broken expectation prints what failed and
// aborts, so that libFuzzer records the input that led there. Unlike
// assert, the checks stay in optimised builds.

#include <cstdio>
#include <cstdlib>

namespace fuzzsupport {

[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: expectation failed: %s\n", file, line, condition);
    std::abort();
}

} // namespace fuzzsupport

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::fuzzsupport::Fail(#condition, __FILE__, __LINE__);                                   \
        }                                                                                          \
    } while (false)
