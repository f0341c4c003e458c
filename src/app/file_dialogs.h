#pragma once
// The platform's standard file dialogs: choosing a file to open and naming
// a file to save a screen or export a picture to. Both are owned by owner
// (modal to it), Unicode, and leave the program's working folder as it was.

#include "app/utf8_names.h"
#include "platform/win32/win32.h"

namespace inkswap {

// What a save dialog names: its filter and the extension a name typed
// without one gets.
enum class SavedKind { Screen, PngImage, GifImage };
inline constexpr char ScreenExtension[] = ".scr";
inline constexpr char PngExtension[] = ".png";
inline constexpr char GifExtension[] = ".gif";

// Shows the open dialog, listing first every kind of file Inkswap reads,
// then each kind alone, then all files, starting in the folder of
// currentPath (UTF-8; null or empty: the dialog's own choice). The chosen
// file's full name in UTF-8; false when the user cancelled or the dialog
// failed.
bool AskForScreenFile(HWND owner, const char* currentPath, Utf8Name& chosen);

// Shows the save dialog for the kind, proposing the name and folder of
// proposed (a full name in UTF-8; empty: none). A name typed without an
// extension gets the kind's; an existing file is replaced only after the
// dialog asked. The chosen file's full name in UTF-8; false when the user
// cancelled or the dialog failed.
bool AskForSaveName(HWND owner, const char* proposed, SavedKind kind, Utf8Name& chosen);

} // namespace inkswap
