// A small toolkit program for the end-to-end test of shortcuts and the
// requester: a window with a menu whose "Save" item is bound to Ctrl+S.
// Choosing it prints "menu 1" and shows a message box; what the box returns
// is printed and becomes the exit code. The close box ends it with 0.

#include "runtime/toolkit_heap.h"
#include "toolkit/startup.h"
#include "window/event_state.h"
#include "window/keyboard_shortcuts.h"
#include "window/menu.h"
#include "window/requester.h"
#include "window/window.h"
#include "window/window_procedure.h"

#include <cstdio>

int main() {
    if (!rook::ToolkitStart()) {
        return 2;
    }
    if (rook::OpenWindow(0, 300, 200, 400, 200, "Probe", WS_CAPTION | WS_SYSMENU) == 0) {
        return 2;
    }
    rook::CreateMenu(0, rook::WindowID(0));
    rook::MenuTitle("File");
    rook::MenuItem(1, "Save\tCtrl+S");
    rook::AddKeyboardShortcut(0, rook::ShortcutControl | 'S', 1);

    int exitCode = 0;
    for (;;) {
        const std::int32_t code = rook::WaitWindowEvent();
        if (code == rook::EventCloseWindow) {
            break;
        }
        if (code == rook::EventMenuAction && rook::EventMenu() == 1) {
            std::printf("menu 1\n");
            std::fflush(stdout);
            exitCode = rook::MessageRequester("Probe box", "saved", MB_OK);
            std::printf("requester %d\n", exitCode);
            std::fflush(stdout);
            break;
        }
    }
    rook::ToolkitEnd();
    rook::DestroyToolkitHeap();
    return exitCode;
}
