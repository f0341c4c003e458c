#include "gadget/drop_target.h"

#include "platform/win32/win32.h"

namespace rook {

void DragDropInit() {
    ::OleInitialize(nullptr);
}

void DragDropEnd() {
    ::OleUninitialize();
}

} // namespace rook
