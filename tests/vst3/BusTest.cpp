#include "vst3/sdk/Bus.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

TEST(Bus, InfoCarriesChannelsNameTypeAndFlags) {
  AudioBus audio(u"Main Input", kMain, BusInfo::kDefaultActive, SpeakerArr::kStereo);
  BusInfo info;
  std::memset(&info, 0xAB, sizeof(info));
  ASSERT_TRUE(audio.getInfo(info));
  EXPECT_EQ(info.channelCount, 2);
  EXPECT_EQ(std::u16string(info.name), u"Main Input");
  EXPECT_EQ(info.busType, kMain);
  EXPECT_EQ(info.flags, uint32(BusInfo::kDefaultActive));
  // The name field is zero past the terminator, so repeated reads compare
  // equal byte for byte.
  for (int i = 10; i < 128; ++i)
    EXPECT_EQ(info.name[i], 0) << i;

  EventBus events(u"MIDI Input", kMain, BusInfo::kDefaultActive, 1);
  ASSERT_TRUE(events.getInfo(info));
  EXPECT_EQ(info.channelCount, 1);
  EXPECT_EQ(std::u16string(info.name), u"MIDI Input");

  const std::u16string longName(300, u'n');
  AudioBus named(longName.c_str(), kAux, 0, SpeakerArr::k51);
  ASSERT_TRUE(named.getInfo(info));
  EXPECT_EQ(info.channelCount, 6);
  EXPECT_EQ(strlen16(info.name), 127);
}

TEST(Bus, StartsInactiveAndTakesSetters) {
  AudioBus bus(u"Output 1", kMain, BusInfo::kDefaultActive, SpeakerArr::kStereo);
  EXPECT_FALSE(bus.isActive());
  bus.setActive(1);
  EXPECT_TRUE(bus.isActive());
  bus.setArrangement(SpeakerArr::kMono);
  bus.setName(u"Output");
  BusInfo info{};
  bus.getInfo(info);
  EXPECT_EQ(info.channelCount, 1);
  EXPECT_EQ(std::u16string(info.name), u"Output");
}

TEST(BusList, IndexAppendReplaceAndClear) {
  BusList list(kAudio, kOutput);
  EXPECT_EQ(list.getType(), kAudio);
  EXPECT_EQ(list.getDirection(), kOutput);
  Bus* first = list.append(new AudioBus(u"A", kMain, 0, SpeakerArr::kStereo));
  list.append(new AudioBus(u"B", kAux, 0, SpeakerArr::kMono));
  EXPECT_EQ(list.size(), 2);
  EXPECT_EQ(list.at(0), first);
  EXPECT_EQ(list.at(2), nullptr);
  EXPECT_EQ(list.at(-1), nullptr);

  auto* replacement = new AudioBus(u"C", kMain, 0, SpeakerArr::kMono);
  ASSERT_TRUE(list.replace(0, replacement));
  EXPECT_EQ(list.at(0), replacement);
  EXPECT_FALSE(list.replace(5, new AudioBus(u"D", kMain, 0, SpeakerArr::kMono)));

  list.clear();
  EXPECT_EQ(list.size(), 0);
}

} // namespace
