#include "raster/LICE_Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct Utf8Case
{
  const char* name;
  std::string bytes;
  int unit;
  int consumed;
};

TEST(Utf8, DecodesOneUnitPerSequence)
{
  const Utf8Case cases[] = {
      {"ascii", "A", 'A', 1},
      {"two-byte e acute", "\xC3\xA9", 0xE9, 2},
      {"two-byte lowest lead", "\xC2\x80", 0x80, 2},
      {"three-byte euro", "\xE2\x82\xAC", 0x20AC, 3},
      {"three-byte top of plane", "\xEF\xBF\xBF", 0xFFFF, 3},
      {"four-byte emoji is a space", "\xF0\x9F\x98\x80", ' ', 4},
      {"four-byte highest lead", "\xF4\x8F\xBF\xBF", ' ', 4},
      {"lone continuation byte", "\x80", 0x80, 1},
      {"lone continuation 0xBF", "\xBF", 0xBF, 1},
      {"0xC0 lead is a byte", "\xC0\x80", 0xC0, 1},
      {"0xC1 lead is a byte", "\xC1\xBF", 0xC1, 1},
      {"0xF5 lead is a byte", "\xF5\x80\x80\x80", 0xF5, 1},
      {"0xFF is a byte", "\xFF", 0xFF, 1},
      {"two-byte lead without continuation", "\xC3" "A", 0xC3, 1},
      {"three-byte lead with one continuation", "\xE2\x82" "A", 0xE2, 1},
      {"four-byte lead with two continuations", "\xF0\x9F\x98" "A", 0xF0, 1},
      {"0xC0 counts as a continuation", "\xC3\xC0", ((0xC3 & 0x1F) << 6) | (0xC0 & 0x3F), 2},
      {"0xC1 does not", "\xC3\xC1", 0xC3, 1},
  };
  for (const Utf8Case& c : cases)
  {
    int consumed = -1;
    EXPECT_EQ(LICE_NextUtf8Unit(c.bytes.data(), int(c.bytes.size()), &consumed), c.unit) << c.name;
    EXPECT_EQ(consumed, c.consumed) << c.name;
  }
}

TEST(Utf8, NeverReadsPastTheAvailableBytes)
{
  // Each sequence is complete in memory but cut short by `available`.
  const char euro[] = "\xE2\x82\xAC";
  int consumed = -1;
  EXPECT_EQ(LICE_NextUtf8Unit(euro, 2, &consumed), 0xE2);
  EXPECT_EQ(consumed, 1);
  EXPECT_EQ(LICE_NextUtf8Unit(euro, 0, &consumed), 0);
  EXPECT_EQ(consumed, 0);
  EXPECT_EQ(LICE_NextUtf8Unit(nullptr, 3, &consumed), 0);
  EXPECT_EQ(consumed, 0);
}

TEST(Utf8, FindsMultiByteSequences)
{
  const struct
  {
    std::string bytes;
    bool expected;
  } cases[] = {
      {"440.00 Hz", false},
      {"", false},
      {"caf\xC3\xA9", true},
      {"\xE2\x82\xAC", true},
      {"\xE2\x82", false},       // cut short
      {"\xC3", false},           // lead at the end
      {"\xC3\xC0", false},       // 0xC0 is not a continuation byte here
      {"\xF0\x9F\x98\x80", true},  // a lead 0xF0-0xF4 needs two continuation bytes
      {"\x80\x80", false},
      {"\xF5\x80\x80", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LICE_HasUtf8Sequences(c.bytes.data(), int(c.bytes.size())), c.expected) << c.bytes;
}
}  // namespace
