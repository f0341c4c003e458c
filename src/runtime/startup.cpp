#include "runtime/startup.h"

#include "gadget/drop_target.h"
#include "gadget/gadget.h"
#include "platform/win32/win32.h"
#include "runtime/file.h"
#include "runtime/memory_block.h"
#include "runtime/string_operations.h"
#include "runtime/toolkit_heap.h"
#include "window/event_queue.h"
#include "window/menu.h"
#include "window/requester.h"
#include "window/window.h"

namespace rook {

namespace {

// Alpha blending, looked up for image drawing; a missing library or entry
// leaves it absent. Nothing in this program draws images.
HMODULE blendLibrary = nullptr;
FARPROC alphaBlend = nullptr;

void BlendSupportInit() {
    blendLibrary = ::LoadLibraryA("msimg32.dll");
    if (blendLibrary != nullptr) {
        alphaBlend = ::GetProcAddress(blendLibrary, "AlphaBlend");
    }
}

void BlendSupportEnd() {
    if (blendLibrary != nullptr) {
        ::FreeLibrary(blendLibrary);
    }
    blendLibrary = nullptr;
    alphaBlend = nullptr;
}

// The image library keeps the toolkit's images; this program makes none,
// so its start and end steps have nothing to do.
void ImageLibraryInit() {}
void ImageLibraryEnd() {}

} // namespace

bool ToolkitStart() {
    ProgramInstance();
    if (!CreateToolkitHeap()) {
        return false;
    }
    StringLibraryInit();
    BlendSupportInit();
    ImageLibraryInit();
    EventQueueInit();
    WindowLibraryInit();
    GadgetLibraryInit();
    DragDropInit();
    FileLibraryInit();
    MemoryLibraryInit();
    MenuLibraryInit();
    RequesterLibraryInit();
    return true;
}

void ToolkitEnd() {
    MemoryLibraryEnd();
    FileLibraryEnd();
    DragDropEnd();
    GadgetLibraryEnd();
    WindowLibraryEnd();
    ImageLibraryEnd();
    BlendSupportEnd();
}

} // namespace rook
