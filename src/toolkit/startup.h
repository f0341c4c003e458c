#pragma once
// Start-up and shut-down of the whole toolkit: the ToolkitHeap and every
// library's start and end steps, in one ordered table. It sits at the top
// of the toolkit, the one place that knows every library. The program runs
// ToolkitStart first and ToolkitEnd last, then destroys the ToolkitHeap;
// the test programs run the same two.
//
// Built natively, only the portable libraries are in the table (strings,
// the event queue and its state, files, memory): enough for the tests of
// the portable modules.

namespace rook {

// Creates the ToolkitHeap and runs the start steps: strings, blending
// support, images, event queue, windows, gadgets, drag-and-drop, files,
// memory, menus, requesters. False when the ToolkitHeap cannot be created;
// nothing has started then.
bool ToolkitStart();

// Runs the end steps: memory, files, drag-and-drop, gadgets, windows,
// images, blending support. Files are closed first, and drop targets are
// revoked and OLE shut down before the windows are closed.
void ToolkitEnd();

} // namespace rook
