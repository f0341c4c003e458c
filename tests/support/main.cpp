// The test programs' main: the runtime libraries that every portable test
// builds on are started once per process, as the program's start-up does.

#include "runtime/file.h"
#include "runtime/memory_block.h"
#include "runtime/string_operations.h"
#include "runtime/toolkit_heap.h"

#include <gtest/gtest.h>

namespace {

class RuntimeEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(rook::CreateToolkitHeap());
        rook::StringLibraryInit();
        rook::FileLibraryInit();
        rook::MemoryLibraryInit();
    }

    void TearDown() override { rook::FileLibraryEnd(); }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new RuntimeEnvironment);
    return RUN_ALL_TESTS();
}
