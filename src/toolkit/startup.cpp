#include "toolkit/startup.h"

#include "runtime/file.h"
#include "runtime/memory_block.h"
#include "runtime/string_operations.h"
#include "runtime/toolkit_heap.h"
#include "window/event_queue.h"

#ifdef _WIN32
#include "gadget/drop_target.h"
#include "gadget/gadget.h"
#include "platform/win32/win32.h"
#include "window/menu.h"
#include "window/requester.h"
#include "window/window.h"
#else
#include "window/event_state.h"
#endif

namespace rook {

namespace {

#ifdef _WIN32
// Alpha blending, looked up for image drawing; a missing library or entry
// leaves it absent. Nothing in Inkswap draws images.
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

// The image library keeps the toolkit's images; Inkswap makes none, so its
// start and end steps have nothing to do.
void ImageLibraryInit() {}
void ImageLibraryEnd() {}
#endif

enum class Stage { Start, End };

struct LibraryStep {
    Stage When;
    void (*Run)();
};

// Start steps in their order, then end steps in theirs. The end order is
// not the start order reversed: open files are closed before anything else
// goes, and OLE ends while the windows holding drop targets still exist.
constexpr LibraryStep Steps[] = {
    {Stage::Start, StringLibraryInit},
#ifdef _WIN32
    {Stage::Start, BlendSupportInit},  {Stage::Start, ImageLibraryInit},
#endif
    {Stage::Start, EventQueueInit},
#ifdef _WIN32
    {Stage::Start, WindowLibraryInit}, // makes the event state
    {Stage::Start, GadgetLibraryInit}, {Stage::Start, DragDropInit},
#else
    {Stage::Start, CreateEventState},
#endif
    {Stage::Start, FileLibraryInit},   {Stage::Start, MemoryLibraryInit},
#ifdef _WIN32
    {Stage::Start, MenuLibraryInit},   {Stage::Start, RequesterLibraryInit},
#endif

    {Stage::End, MemoryLibraryEnd},    {Stage::End, FileLibraryEnd},
#ifdef _WIN32
    {Stage::End, DragDropEnd},         {Stage::End, GadgetLibraryEnd},
    {Stage::End, WindowLibraryEnd},    {Stage::End, ImageLibraryEnd},
    {Stage::End, BlendSupportEnd},
#endif
};

void RunSteps(Stage stage) {
    for (const LibraryStep& step : Steps) {
        if (step.When == stage) {
            step.Run();
        }
    }
}

} // namespace

bool ToolkitStart() {
#ifdef _WIN32
    ProgramInstance();
#endif
    if (!CreateToolkitHeap()) {
        return false;
    }
    RunSteps(Stage::Start);
    return true;
}

void ToolkitEnd() {
    RunSteps(Stage::End);
}

} // namespace rook
