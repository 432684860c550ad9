// Fixed-buffer string helpers for the 8-bit and UTF-16 text fields of the
// VST3 structs. Every copy truncates to the buffer, always writes the zero
// terminator and zero-fills the rest, so structs compare equal byte for byte.
#pragma once

#include "vst3/sdk/FTypes.h"

#include <string>

namespace Steinberg {

int32 strlen16(const char16* text);
// Exact, case-sensitive comparison; a null string equals the empty string.
bool strEqual16(const char16* a, const char16* b);

// Copies at most dstSize - 1 units. dstSize must be positive.
void strncpy8(char8* dst, const char8* src, int32 dstSize);
void strncpy16(char16* dst, const char16* src, int32 dstSize);

// Byte-by-byte widening (each 8-bit character becomes the 16-bit unit of the
// same value) and its inverse, narrowing (keeps the low byte of each unit).
void widen(char16* dst, const char8* src, int32 dstSize);
void narrow(char8* dst, const char16* src, int32 dstSize);
std::u16string widen(const char8* src);

// Real Unicode conversions; malformed input becomes U+FFFD / '?'.
std::string utf16ToUtf8(const char16* src);
std::u16string utf8ToUtf16(const char8* src);

} // namespace Steinberg
