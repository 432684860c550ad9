#pragma once
// What the PNG reader and writer share: quiet libpng message handlers, and
// opening files by UTF-8 name, which the platform files provide.

#include <png.h>

#include <cstdio>

namespace lice_png {

//! Decoder and encoder messages go nowhere: the plug-in writes no log. The
//! error handler must not return, so it jumps back to the current setjmp.
[[noreturn]] void SilentError(png_structp png, png_const_charp message);
void SilentWarning(png_structp png, png_const_charp message);

//! Opens a file named in UTF-8 for binary reading or writing, or null.
std::FILE* OpenFileUtf8(const char* path, bool forWriting);

}  // namespace lice_png
