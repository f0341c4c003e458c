#pragma once
// The platform's standard dialog for naming the PNG file a picture is
// exported to.

#include "app/utf8_names.h"
#include "platform/win32/win32.h"

namespace inkswap {

// Shows the save dialog, owned by owner (modal to it), for PNG images,
// proposing the screen's name with ".png" in the screen's folder (screenPath
// in UTF-8). A name typed without an extension gets ".png"; an existing file
// is replaced only after the dialog asked. The chosen file's full name in
// UTF-8; false when the user cancelled or the dialog failed.
bool AskForPngName(HWND owner, const char* screenPath, Utf8Name& chosen);

} // namespace inkswap
