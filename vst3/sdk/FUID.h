// FUID: a 16-byte interface or class identifier.
//
// Identifiers are written in source as four 32-bit words. In memory the bytes
// follow the platform's rule: on Windows a COM GUID (first word and the two
// halves of the second little-endian), elsewhere the four words big-endian.
// Bytes 8..15 are the same on both. The text forms are platform-independent
// because they are printed from the words, not from the bytes.
#pragma once

#include "vst3/sdk/FTypes.h"

namespace Steinberg {

class FUID {
public:
  constexpr FUID() : data{} {}

  // `comOrder` selects the byte rule; the default is this platform's. Tests
  // use the other value to check the foreign platform's bytes too.
  constexpr FUID(uint32 l1, uint32 l2, uint32 l3, uint32 l4, bool comOrder = kComCompatible)
      : data{byteOf(l1, l2, l3, l4, 0, comOrder),  byteOf(l1, l2, l3, l4, 1, comOrder),
             byteOf(l1, l2, l3, l4, 2, comOrder),  byteOf(l1, l2, l3, l4, 3, comOrder),
             byteOf(l1, l2, l3, l4, 4, comOrder),  byteOf(l1, l2, l3, l4, 5, comOrder),
             byteOf(l1, l2, l3, l4, 6, comOrder),  byteOf(l1, l2, l3, l4, 7, comOrder),
             byteOf(l1, l2, l3, l4, 8, comOrder),  byteOf(l1, l2, l3, l4, 9, comOrder),
             byteOf(l1, l2, l3, l4, 10, comOrder), byteOf(l1, l2, l3, l4, 11, comOrder),
             byteOf(l1, l2, l3, l4, 12, comOrder), byteOf(l1, l2, l3, l4, 13, comOrder),
             byteOf(l1, l2, l3, l4, 14, comOrder), byteOf(l1, l2, l3, l4, 15, comOrder)} {}

  // Copies 16 bytes; a null pointer gives the all-zero identifier. The bytes
  // may be unaligned (hosts pass arbitrary char pointers).
  static FUID fromTUID(const char8* tuid);
  void toTUID(TUID out) const;

  bool isValid() const;
  bool operator==(const FUID& other) const;
  bool operator!=(const FUID& other) const { return !(*this == other); }
  bool operator<(const FUID& other) const;

  // The four words the identifier was made from, on every platform.
  uint32 getLong1() const;
  uint32 getLong2() const;
  uint32 getLong3() const;
  uint32 getLong4() const;
  void to4Int(uint32& l1, uint32& l2, uint32& l3, uint32& l4) const;

  // 32 uppercase hex digits, the four words in order (33 bytes with the zero).
  void toString(char8* out) const;
  // Accepts exactly 32 hex digits; anything else leaves the value unchanged
  // and returns false.
  bool fromString(const char8* text);
  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (39 bytes with the zero).
  void toRegistryString(char8* out) const;
  bool fromRegistryString(const char8* text);

  // A fresh random identifier (not a standards-conforming UUID).
  bool generate();

  constexpr const char8* toTUIDPointer() const { return data; }
  constexpr operator const char8*() const { return data; }

private:
  static constexpr char8 byteOf(uint32 l1, uint32 l2, uint32 l3, uint32 l4, int index, bool comOrder) {
    const uint32 words[4] = {l1, l2, l3, l4};
    const uint32 word = words[index / 4];
    int shift = 24 - 8 * (index % 4);
    if (comOrder && index < 4)
      shift = 8 * index;
    else if (comOrder && index < 8)
      shift = (index < 6) ? 16 + 8 * (index - 4) : 8 * (index - 6);
    return static_cast<char8>(static_cast<uint8>(word >> shift));
  }

  bool setFromWords(uint32 l1, uint32 l2, uint32 l3, uint32 l4);

  char8 data[16];
};

// 16-byte identifier equality; the pointers need not be aligned.
bool iidEqual(const void* a, const void* b);

} // namespace Steinberg
