#pragma once
// What the exports share of the platform's imaging component (the Windows
// Imaging Component): its factory, and the bytes an encoder wrote into a
// stream in memory.

#include "platform/win32/owners.h"

#include <objidl.h>
#include <wincodec.h>

#include <cstdint>
#include <vector>

namespace inkswap {

// The imaging factory; false (factory empty) when the component is missing.
bool MakeImagingFactory(rook::win32::ComPointer<IWICImagingFactory>& factory);

// A new frame of the encoder, initialised to the screen's size in the pixel
// format given; false when the codec fails or would take
// another format, which would make the pixels handed to it wrong.
bool NewScreenFrame(IWICBitmapEncoder* encoder, WICPixelFormatGUID format,
                    rook::win32::ComPointer<IWICBitmapFrameEncode>& frame);

// The whole content of a stream in memory; false when it cannot be read or
// is larger than a file the program writes.
bool StreamBytes(IStream* stream, std::vector<BYTE>& bytes);

// Encodes the screen's picture in memory with encode, then writes the bytes
// as the file's new content in one step, as Save does; false (the file as
// it was) when either fails, for want of memory too.
bool WriteEncodedPicture(const char* name, const std::uint8_t* screen,
                         bool (*encode)(const std::uint8_t* screen, std::vector<BYTE>& bytes));

} // namespace inkswap
