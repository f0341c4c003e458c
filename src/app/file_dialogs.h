#pragma once
// The platform's standard file dialogs: choosing a screen file to open and
// naming the PNG file a picture is exported to. Both are owned by owner
// (modal to it), Unicode, and leave the program's working folder as it was.

#include "app/utf8_names.h"
#include "platform/win32/win32.h"

namespace inkswap {

// Shows the open dialog, listing screen files (*.scr) or all files,
// starting in the folder of currentPath (UTF-8; null or empty: the
// dialog's own choice). The chosen file's full name in UTF-8; false when
// the user cancelled or the dialog failed.
bool AskForScreenFile(HWND owner, const char* currentPath, Utf8Name& chosen);

// Shows the save dialog for PNG images, proposing the screen's name with
// ".png" in the screen's folder (screenPath in UTF-8). A name typed without
// an extension gets ".png"; an existing file is replaced only after the
// dialog asked. The chosen file's full name in UTF-8; false when the user
// cancelled or the dialog failed.
bool AskForPngName(HWND owner, const char* screenPath, Utf8Name& chosen);

} // namespace inkswap
