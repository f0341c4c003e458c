#pragma once
// The platform's standard dialog for choosing a screen file to open.

#include "app/utf8_names.h"
#include "platform/win32/win32.h"

namespace inkswap {

// Shows the open dialog, owned by owner (modal to it), listing screen
// files (*.scr) or all files, starting in the folder of currentPath (UTF-8;
// null or empty: the dialog's own choice). The chosen file's full name in
// UTF-8; false when the user cancelled or the dialog failed.
bool AskForScreenFile(HWND owner, const char* currentPath, Utf8Name& chosen);

} // namespace inkswap
