// The test programs' main: the toolkit is started once per process with the
// program's own start-up (natively, its portable libraries), and ended
// with the program's own shut-down.

#include "toolkit/startup.h"

#include <gtest/gtest.h>

namespace {

class ToolkitEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(rook::ToolkitStart()); }

    void TearDown() override { rook::ToolkitEnd(); }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment);
    return RUN_ALL_TESTS();
}
