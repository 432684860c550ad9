#include "vst3/sdk/UString.h"

namespace Steinberg {

namespace {

template <class Char>
void copyTruncated(Char* dst, const Char* src, int32 dstSize) {
  int32 i = 0;
  if (src)
    for (; i < dstSize - 1 && src[i] != 0; ++i)
      dst[i] = src[i];
  for (; i < dstSize; ++i)
    dst[i] = 0;
}

void appendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | (code >> 6));
    out += char(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += char(0xE0 | (code >> 12));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  } else {
    out += char(0xF0 | (code >> 18));
    out += char(0x80 | ((code >> 12) & 0x3F));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

} // namespace

int32 strlen16(const char16* text) {
  int32 length = 0;
  if (text)
    while (text[length] != 0)
      ++length;
  return length;
}

bool strEqual16(const char16* a, const char16* b) {
  static const char16 empty[1] = {0};
  a = a ? a : empty;
  b = b ? b : empty;
  for (; *a != 0 && *a == *b; ++a, ++b) {
  }
  return *a == *b;
}

void strncpy8(char8* dst, const char8* src, int32 dstSize) {
  copyTruncated(dst, src, dstSize);
}

void strncpy16(char16* dst, const char16* src, int32 dstSize) {
  copyTruncated(dst, src, dstSize);
}

void widen(char16* dst, const char8* src, int32 dstSize) {
  int32 i = 0;
  if (src)
    for (; i < dstSize - 1 && src[i] != 0; ++i)
      dst[i] = static_cast<char16>(static_cast<uint8>(src[i]));
  for (; i < dstSize; ++i)
    dst[i] = 0;
}

void narrow(char8* dst, const char16* src, int32 dstSize) {
  int32 i = 0;
  if (src)
    for (; i < dstSize - 1 && src[i] != 0; ++i)
      dst[i] = static_cast<char8>(static_cast<uint8>(src[i] & 0xFF));
  for (; i < dstSize; ++i)
    dst[i] = 0;
}

std::u16string widen(const char8* src) {
  std::u16string out;
  if (src)
    for (; *src != 0; ++src)
      out += static_cast<char16>(static_cast<uint8>(*src));
  return out;
}

std::string utf16ToUtf8(const char16* src) {
  std::string out;
  if (!src)
    return out;
  for (; *src != 0; ++src) {
    char32_t code = *src;
    if (code >= 0xD800 && code < 0xDC00 && src[1] >= 0xDC00 && src[1] < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (char32_t(src[1]) - 0xDC00);
      ++src;
    } else if (code >= 0xD800 && code < 0xE000) {
      code = 0xFFFD;
    }
    appendUtf8(out, code);
  }
  return out;
}

std::u16string utf8ToUtf16(const char8* src) {
  std::u16string out;
  if (!src)
    return out;
  const auto* s = reinterpret_cast<const uint8*>(src);
  while (*s != 0) {
    char32_t code;
    int extra;
    if (*s < 0x80) {
      code = *s;
      extra = 0;
    } else if ((*s & 0xE0) == 0xC0) {
      code = *s & 0x1F;
      extra = 1;
    } else if ((*s & 0xF0) == 0xE0) {
      code = *s & 0x0F;
      extra = 2;
    } else if ((*s & 0xF8) == 0xF0) {
      code = *s & 0x07;
      extra = 3;
    } else {
      out += char16(0xFFFD);
      ++s;
      continue;
    }
    ++s;
    bool valid = true;
    for (int i = 0; i < extra; ++i, ++s) {
      if ((*s & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      code = (code << 6) | (*s & 0x3F);
    }
    if (!valid || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) {
      out += char16(0xFFFD);
    } else if (code >= 0x10000) {
      code -= 0x10000;
      out += char16(0xD800 + (code >> 10));
      out += char16(0xDC00 + (code & 0x3FF));
    } else {
      out += char16(code);
    }
  }
  return out;
}

} // namespace Steinberg
