#include "vst3/sdk/FUID.h"
#include "vst3/sdk/IComponent.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace Steinberg;

namespace {

TEST(FUID, TextFormsArePrintedFromTheWords) {
  char8 text[33];
  Vst::IComponent::iid.toString(text);
  EXPECT_STREQ(text, "E831FF31F2D54301928EBBEE25697802");
  char8 registry[39];
  Vst::IComponent::iid.toRegistryString(registry);
  EXPECT_STREQ(registry, "{E831FF31-F2D5-4301-928E-BBEE25697802}");
}

TEST(FUID, TextFormsParseBackToTheSameBytes) {
  const FUID original(0xF2AEE70D, 0x00DE4F4E, 0x5176726B, 0x337A626F);
  char8 text[33];
  original.toString(text);
  EXPECT_STREQ(text, "F2AEE70D00DE4F4E5176726B337A626F");
  FUID parsed;
  ASSERT_TRUE(parsed.fromString(text));
  EXPECT_EQ(parsed, original);

  char8 registry[39];
  original.toRegistryString(registry);
  FUID fromRegistry;
  ASSERT_TRUE(fromRegistry.fromRegistryString(registry));
  EXPECT_EQ(fromRegistry, original);
  FUID lowerCase;
  ASSERT_TRUE(lowerCase.fromString("f2aee70d00de4f4e5176726b337a626f"));
  EXPECT_EQ(lowerCase, original);
}

TEST(FUID, MalformedTextIsRefusedAndLeavesTheValue) {
  const FUID original(1, 2, 3, 4);
  const char8* bad[] = {nullptr, "", "F2AEE70D00DE4F4E5176726B337A626", "F2AEE70D00DE4F4E5176726B337A626F0",
                        "G2AEE70D00DE4F4E5176726B337A626F", "F2AEE70D 0DE4F4E5176726B337A626F"};
  for (const char8* text : bad) {
    FUID id = original;
    EXPECT_FALSE(id.fromString(text)) << (text ? text : "(null)");
    EXPECT_EQ(id, original);
  }
  FUID id = original;
  EXPECT_FALSE(id.fromRegistryString("{E831FF31-F2D5-4301-928E-BBEE25697802"));
  EXPECT_FALSE(id.fromRegistryString("(E831FF31-F2D5-4301-928E-BBEE25697802)"));
  EXPECT_EQ(id, original);
}

TEST(FUID, ValidityEqualityAndCopies) {
  EXPECT_FALSE(FUID().isValid());
  EXPECT_TRUE(FUID(0, 0, 0, 1).isValid());
  EXPECT_EQ(FUID::fromTUID(nullptr), FUID());

  // Hosts may pass IDs at odd addresses.
  char8 buffer[17] = {};
  std::memcpy(buffer + 1, Vst::IComponent::iid.toTUIDPointer(), 16);
  EXPECT_EQ(FUID::fromTUID(buffer + 1), Vst::IComponent::iid);
  EXPECT_TRUE(iidEqual(buffer + 1, Vst::IComponent::iid));

  TUID out;
  Vst::IComponent::iid.toTUID(out);
  EXPECT_EQ(std::memcmp(out, Vst::IComponent::iid.toTUIDPointer(), 16), 0);
  EXPECT_TRUE(FUID(0, 0, 0, 1) < FUID(0, 0, 0, 2));
}

TEST(FUID, GeneratedIdsAreValidAndDiffer) {
  FUID a, b;
  ASSERT_TRUE(a.generate());
  ASSERT_TRUE(b.generate());
  EXPECT_TRUE(a.isValid());
  EXPECT_NE(a, b);
}

} // namespace
