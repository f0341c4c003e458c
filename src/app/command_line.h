#pragma once
// Files named on the program's command line, as "Open with", a file
// association or a file dropped on the program's icon start it:
//
//     inkswap.exe "D:\screens\title.scr"
//
// The command line is read as the platform's wide text, so names in any
// script arrive whole.

#include "app/utf8_names.h"

namespace inkswap {

// The first name after the program's own, in UTF-8; false when there is
// none. A name that cannot be converted comes back empty, so that it is
// refused like any other file that cannot be opened.
bool FirstNamedFile(Utf8Name& name);

} // namespace inkswap
