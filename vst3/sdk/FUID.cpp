#include "vst3/sdk/FUID.h"

#include <cstdio>
#include <cstring>
#include <random>

namespace Steinberg {

namespace {

uint32 bigEndianWord(const char8* bytes) {
  const auto* b = reinterpret_cast<const uint8*>(bytes);
  return (uint32(b[0]) << 24) | (uint32(b[1]) << 16) | (uint32(b[2]) << 8) | uint32(b[3]);
}

// Reads `count` hex digits; false on any other character.
bool parseHex(const char8* text, int count, uint32& value) {
  value = 0;
  for (int i = 0; i < count; ++i) {
    const char8 c = text[i];
    uint32 digit;
    if (c >= '0' && c <= '9')
      digit = uint32(c - '0');
    else if (c >= 'A' && c <= 'F')
      digit = uint32(c - 'A' + 10);
    else if (c >= 'a' && c <= 'f')
      digit = uint32(c - 'a' + 10);
    else
      return false;
    value = (value << 4) | digit;
  }
  return true;
}

} // namespace

bool iidEqual(const void* a, const void* b) {
  return std::memcmp(a, b, 16) == 0;
}

FUID FUID::fromTUID(const char8* tuid) {
  FUID result;
  if (tuid)
    std::memcpy(result.data, tuid, 16);
  return result;
}

void FUID::toTUID(TUID out) const {
  std::memcpy(out, data, 16);
}

bool FUID::isValid() const {
  for (char8 c : data)
    if (c != 0)
      return true;
  return false;
}

bool FUID::operator==(const FUID& other) const {
  return iidEqual(data, other.data);
}

bool FUID::operator<(const FUID& other) const {
  return std::memcmp(data, other.data, 16) < 0;
}

uint32 FUID::getLong1() const {
  if (!kComCompatible)
    return bigEndianWord(data);
  const auto* b = reinterpret_cast<const uint8*>(data);
  return uint32(b[0]) | (uint32(b[1]) << 8) | (uint32(b[2]) << 16) | (uint32(b[3]) << 24);
}

uint32 FUID::getLong2() const {
  if (!kComCompatible)
    return bigEndianWord(data + 4);
  const auto* b = reinterpret_cast<const uint8*>(data);
  return (uint32(b[4]) << 16) | (uint32(b[5]) << 24) | uint32(b[6]) | (uint32(b[7]) << 8);
}

uint32 FUID::getLong3() const {
  return bigEndianWord(data + 8);
}

uint32 FUID::getLong4() const {
  return bigEndianWord(data + 12);
}

void FUID::to4Int(uint32& l1, uint32& l2, uint32& l3, uint32& l4) const {
  l1 = getLong1();
  l2 = getLong2();
  l3 = getLong3();
  l4 = getLong4();
}

bool FUID::setFromWords(uint32 l1, uint32 l2, uint32 l3, uint32 l4) {
  *this = FUID(l1, l2, l3, l4);
  return true;
}

void FUID::toString(char8* out) const {
  std::snprintf(out, 33, "%08X%08X%08X%08X", unsigned(getLong1()), unsigned(getLong2()),
                unsigned(getLong3()), unsigned(getLong4()));
}

bool FUID::fromString(const char8* text) {
  if (!text || std::strlen(text) != 32)
    return false;
  uint32 w[4];
  for (int i = 0; i < 4; ++i)
    if (!parseHex(text + 8 * i, 8, w[i]))
      return false;
  return setFromWords(w[0], w[1], w[2], w[3]);
}

void FUID::toRegistryString(char8* out) const {
  const uint32 l2 = getLong2(), l3 = getLong3();
  std::snprintf(out, 39, "{%08X-%04X-%04X-%04X-%04X%08X}", unsigned(getLong1()), unsigned(l2 >> 16),
                unsigned(l2 & 0xFFFF), unsigned(l3 >> 16), unsigned(l3 & 0xFFFF), unsigned(getLong4()));
}

bool FUID::fromRegistryString(const char8* text) {
  if (!text || std::strlen(text) != 38 || text[0] != '{' || text[9] != '-' || text[14] != '-' ||
      text[19] != '-' || text[24] != '-' || text[37] != '}')
    return false;
  uint32 l1, l2High, l2Low, l3High, l3Low, l4;
  if (!parseHex(text + 1, 8, l1) || !parseHex(text + 10, 4, l2High) || !parseHex(text + 15, 4, l2Low) ||
      !parseHex(text + 20, 4, l3High) || !parseHex(text + 25, 4, l3Low) || !parseHex(text + 29, 8, l4))
    return false;
  return setFromWords(l1, (l2High << 16) | l2Low, (l3High << 16) | l3Low, l4);
}

bool FUID::generate() {
  std::random_device device;
  std::mt19937 mix(device() ^ static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(this)));
  for (char8& c : data)
    c = static_cast<char8>(mix() & 0xFF);
  return true;
}

} // namespace Steinberg
