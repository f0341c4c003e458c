#pragma once
// The project's one way into <windows.h>. Several toolkit operations share
// their names with Win32 macros; those macros are removed here so that the
// toolkit's own functions keep their names, and the Win32 functions are
// always called by their explicit names (::CreateFileA, ::ReadFile).

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef STRICT
#define STRICT
#endif

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#undef RGB
#undef CreateFile
