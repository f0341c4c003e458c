#include "cli/runtime_session.h"

#include "runtime/file.h"
#include "runtime/memory_block.h"
#include "runtime/string_operations.h"
#include "runtime/toolkit_heap.h"

namespace inkswap::cli {

RuntimeSession::RuntimeSession() : started_(rook::CreateToolkitHeap()) {
    if (!started_) {
        return;
    }
    rook::StringLibraryInit();
    rook::FileLibraryInit();
    rook::MemoryLibraryInit();
}

RuntimeSession::~RuntimeSession() {
    if (!started_) {
        return;
    }
    rook::MemoryLibraryEnd();
    rook::FileLibraryEnd();
    rook::DestroyToolkitHeap();
}

} // namespace inkswap::cli
