#pragma once
// What `info` says of a file: its kind and, for each screen, its number,
// name and bank, whether its block's checksum is wrong, and the counts a
// user checks before a change (cells with FLASH set, cells that Correct
// All Cells would correct); as lines of text, or as JSON.

#include "screen/screen_file.h"

#include <string>
#include <vector>

namespace inkswap::cli {

// The lines about the file named `name`, each ended by a new line.
std::string InfoText(const std::string& name, const ScreenFile& file);

// The file as one JSON object.
std::string InfoJson(const std::string& name, const ScreenFile& file);

// The JSON document of the files' objects.
std::string InfoDocument(const std::vector<std::string>& files);

// A string as JSON writes it: quoted, escaped, bytes that are not UTF-8
// replaced by U+FFFD.
std::string JsonString(const std::string& text);

} // namespace inkswap::cli
