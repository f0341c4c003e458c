#pragma once
// Drag-and-drop: the platform's drag-and-drop service (OLE) for the drop
// targets of gadgets.

namespace rook {

// Start step: initialises OLE for this thread.
void DragDropInit();

// End step: shuts OLE down.
void DragDropEnd();

} // namespace rook
