#include "vst3/sdk/UString.h"

#include <gtest/gtest.h>

#include <string>

using namespace Steinberg;

namespace {

TEST(UString, WideningAndNarrowingWorkByteByByte) {
  char16 wide[8];
  widen(wide, "Vol\xE9", 8);
  EXPECT_EQ(std::u16string(wide), u"Vol\u00E9");
  EXPECT_EQ(wide[7], 0);

  char8 narrowed[8];
  const char16 host[] = {u'W', u'a', 0x0156, u'e', 0};
  narrow(narrowed, host, 8);
  EXPECT_STREQ(narrowed, "Wa\x56" "e");
  EXPECT_EQ(widen("abc"), u"abc");
}

TEST(UString, CopiesTruncateTerminateAndZeroFill) {
  char16 buffer[4] = {u'x', u'x', u'x', u'x'};
  strncpy16(buffer, u"abcdef", 4);
  EXPECT_EQ(std::u16string(buffer), u"abc");
  strncpy16(buffer, u"a", 4);
  EXPECT_EQ(buffer[1], 0);
  EXPECT_EQ(buffer[3], 0);
  strncpy16(buffer, nullptr, 4);
  EXPECT_EQ(buffer[0], 0);

  char8 text[4];
  strncpy8(text, "abcdef", 4);
  EXPECT_STREQ(text, "abc");
  widen(buffer, "abcdef", 4);
  EXPECT_EQ(std::u16string(buffer), u"abc");
}

TEST(UString, Utf8RoundTripsAndRepairsMalformedInput) {
  const std::u16string text = u"A\u00E9\u20AC\U0001F600";
  EXPECT_EQ(utf16ToUtf8(text.c_str()), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(text.c_str()).c_str()), text);
  EXPECT_EQ(utf8ToUtf16("a\xFF" "b"), u"a\uFFFD" "b");
  EXPECT_EQ(utf8ToUtf16("\xE2\x82"), u"\uFFFD");
  const char16 lone[] = {0xD800, u'x', 0};
  EXPECT_EQ(utf16ToUtf8(lone), "\xEF\xBF\xBDx");
}

TEST(UString, LengthAndEquality) {
  EXPECT_EQ(strlen16(u"abc"), 3);
  EXPECT_EQ(strlen16(nullptr), 0);
  EXPECT_TRUE(strEqual16(u"Sine", u"Sine"));
  EXPECT_FALSE(strEqual16(u"Sine", u"sine"));
  EXPECT_FALSE(strEqual16(u"Sin", u"Sine"));
  EXPECT_TRUE(strEqual16(nullptr, u""));
}

} // namespace
