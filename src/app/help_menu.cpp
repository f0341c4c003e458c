#include "app/help_menu.h"

#include "window/event_state.h"
#include "window/menu.h"
#include "window/requester.h"

namespace inkswap {

void BuildHelpMenu() {
    rook::MenuTitle("Help");
    rook::MenuItem(AboutItem, "About Inkswap");
}

void HandleHelpEvent(const ShellState& shell) {
    if (shell.EventCode != rook::EventMenuAction || rook::EventMenu() != AboutItem) {
        return;
    }
    rook::MessageRequester(AboutTitle, AboutText, MB_OK | MB_ICONINFORMATION);
}

} // namespace inkswap
