// The test programs' main: the libraries the tests build on are started
// once per process, in the order of the program's start-up; the toolkit's
// window and gadget libraries only in the toolkit's tests.

#include "runtime/file.h"
#include "runtime/memory_block.h"
#include "runtime/string_operations.h"
#include "runtime/toolkit_heap.h"
#include "window/event_queue.h"
#include "window/event_state.h"

#ifdef INKSWAP_TOOLKIT_TESTS
#include "gadget/drop_target.h"
#include "gadget/gadget.h"
#include "window/menu.h"
#include "window/requester.h"
#include "window/window.h"
#endif

#include <gtest/gtest.h>

namespace {

class RuntimeEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(rook::CreateToolkitHeap());
        rook::StringLibraryInit();
        rook::EventQueueInit();
#ifdef INKSWAP_TOOLKIT_TESTS
        rook::WindowLibraryInit();
        rook::GadgetLibraryInit();
        rook::DragDropInit();
#else
        rook::CreateEventState();
#endif
        rook::FileLibraryInit();
        rook::MemoryLibraryInit();
#ifdef INKSWAP_TOOLKIT_TESTS
        rook::MenuLibraryInit();
        rook::RequesterLibraryInit();
#endif
    }

    void TearDown() override {
#ifdef INKSWAP_TOOLKIT_TESTS
        rook::WindowLibraryEnd();
#endif
        rook::FileLibraryEnd();
    }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new RuntimeEnvironment);
    return RUN_ALL_TESTS();
}
