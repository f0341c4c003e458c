#pragma once
// Start-up and shut-down: the ToolkitHeap and the libraries' start and end
// steps, in their fixed orders. The program runs ToolkitStart first and
// ToolkitEnd last, then destroys the ToolkitHeap.

namespace rook {

// Creates the ToolkitHeap and runs the start steps: strings, blending
// support, images, event queue, windows, gadgets, drag-and-drop, files,
// memory, menus, requesters. False when the ToolkitHeap cannot be created; nothing has started
// then.
bool ToolkitStart();

// Runs the end steps: memory, files, drag-and-drop, gadgets, windows,
// images, blending support. Files are closed first, and OLE is shut down
// before the windows that still hold drop registrations are closed.
void ToolkitEnd();

} // namespace rook
