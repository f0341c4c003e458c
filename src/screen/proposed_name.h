#pragma once
// The name a new file made from a screen is offered under (Save As, the
// exports): the name of the file the screen came from, in its folder, with
// the extension replaced; for a screen of a tape the screen's name, or its
// number when it has none, comes after the file's, and for a screen of a
// 128K snapshot its bank:
//
//     D:\games\game.tap, screen 2 "loading"  ->  D:\games\game loading.scr
//     D:\games\game.tzx, screen 3             ->  D:\games\game screen 3.scr
//     D:\games\game.z80, bank 7               ->  D:\games\game bank 7.scr
//
// Characters that a file name may not hold become '_'. A picture that came
// from no file is offered as "screen" with the extension.

#include "screen/screen_file.h"

#include <cstddef>

namespace inkswap {

// The proposed name (UTF-8, ended by a 0 byte) for screen `index` of the
// file read from path (null or empty: none), ending in extension (".scr");
// false, and name empty, when it does not fit in capacity bytes.
bool ProposeFileName(const char* path, const ScreenFile& file, std::size_t index,
                     const char* extension, char* name, std::size_t capacity);

} // namespace inkswap
