#pragma once
// What the exports share of the platform's imaging component (the Windows
// Imaging Component): its factory, and the bytes an encoder wrote into a
// stream in memory.

#include "platform/win32/owners.h"

#include <objidl.h>
#include <wincodec.h>

#include <vector>

namespace inkswap {

// The imaging factory; false (factory empty) when the component is missing.
bool MakeImagingFactory(rook::win32::ComPointer<IWICImagingFactory>& factory);

// The whole content of a stream in memory; false when it cannot be read or
// is larger than a file the program writes.
bool StreamBytes(IStream* stream, std::vector<BYTE>& bytes);

} // namespace inkswap
