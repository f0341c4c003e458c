#pragma once
// Replacing a file's whole content so that nothing can be lost on the way:
// the new bytes go to a new file in the same folder, are made to reach the
// disk, and only then take the old file's place in one step. Whatever
// fails or is cut short, at any byte (a full disk, a pulled drive, the
// process dying), the file is afterwards either exactly as it was or
// exactly the new content.

#include <cstdint>

namespace rook {

// Writes length bytes as the new content of the file name (which need not
// exist yet). false when the file was left as it was: the new file could
// not be made, written or synced, or the file is read-only; the temporary
// file is then removed again. The file's attributes, read-only aside, stay.
bool ReplaceFileContent(const char* name, const void* bytes, std::int32_t length);

} // namespace rook
