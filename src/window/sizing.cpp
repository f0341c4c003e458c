#include "window/sizing.h"

#include "window/window_procedure.h"

namespace rook {

// The toolkit's own sizing loop is not built yet: windows are sized by the
// system's, and every message goes on to WindowProc.
LRESULT SizingHandler(HWND, UINT, WPARAM, LPARAM) {
    return NotHandled;
}

} // namespace rook
