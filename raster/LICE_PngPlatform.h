#pragma once
// What the PNG reader and writer need from the platform, beside the resource lookup
// that LICE_DecodePngResource does in the platform files themselves.

#include <cstdio>

namespace lice_png {

//! Opens a file named in UTF-8 for binary reading or writing, or null.
std::FILE* OpenFileUtf8(const char* path, bool forWriting);

}  // namespace lice_png
