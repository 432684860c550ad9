// Sizes and alignments of the exchanged structs as this build lays them out.
// The headers assert every offset at compile time; this table shows the same
// figures at run time in each platform's test log, so a packing difference
// between the native and the cross build is visible in one place.
#include "vst3/sdk/IAudioProcessor.h"
#include "vst3/sdk/IContextMenu.h"
#include "vst3/sdk/IEditController.h"
#include "vst3/sdk/IEvents.h"
#include "vst3/sdk/IPlugView.h"
#include "vst3/sdk/IUnits.h"
#include "vst3/sdk/ProcessContext.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

struct LayoutRow {
  const char* name;
  size_t size;
  size_t alignment;
  size_t publishedSize;
  size_t publishedAlignment;
};

#define LAYOUT(T, size, alignment) {#T, sizeof(T), alignof(T), size, alignment}

TEST(StructLayout, SizesAndAlignmentsMatchThePublishedOnes) {
  const LayoutRow rows[] = {
      LAYOUT(PFactoryInfo, 452, 4),      LAYOUT(PClassInfo, 116, 4),
      LAYOUT(PClassInfo2, 440, 4),       LAYOUT(PClassInfoW, 696, 4),
      LAYOUT(ProcessSetup, 24, 8),       LAYOUT(AudioBusBuffers, 24, 8),
      LAYOUT(ProcessData, 80, 8),        LAYOUT(ProcessContext, 112, 8),
      LAYOUT(FrameRate, 8, 4),           LAYOUT(Chord, 4, 2),
      LAYOUT(Event, 48, 8),              LAYOUT(NoteOnEvent, 20, 4),
      LAYOUT(NoteOffEvent, 16, 4),       LAYOUT(DataEvent, 16, 8),
      LAYOUT(PolyPressureEvent, 12, 4),  LAYOUT(ChordEvent, 16, 8),
      LAYOUT(ScaleEvent, 16, 8),         LAYOUT(LegacyMIDICCOutEvent, 4, 1),
      LAYOUT(NoteExpressionValueEvent, 16, 8), LAYOUT(NoteExpressionTextEvent, 24, 8),
      LAYOUT(BusInfo, 276, 4),           LAYOUT(RoutingInfo, 12, 4),
      LAYOUT(ParameterInfo, 792, 8),     LAYOUT(UnitInfo, 268, 4),
      LAYOUT(ProgramListInfo, 264, 4),   LAYOUT(IContextMenuItem, 264, 4),
      LAYOUT(ViewRect, 16, 4),
  };
  for (const LayoutRow& row : rows) {
    EXPECT_EQ(row.size, row.publishedSize) << row.name;
    EXPECT_EQ(row.alignment, row.publishedAlignment) << row.name;
  }
}

#undef LAYOUT

TEST(StructLayout, SpeakerArrangementsHaveTheirChannelCounts) {
  struct Row {
    SpeakerArrangement arrangement;
    uint64 value;
    int32 channels;
  };
  const Row rows[] = {
      {SpeakerArr::kEmpty, 0x0, 0},        {SpeakerArr::kMono, 0x80000, 1},
      {SpeakerArr::kStereo, 0x3, 2},       {SpeakerArr::kStereoWide, 0x1800000000000000ull, 2},
      {SpeakerArr::k30Music, 0x103, 3},    {SpeakerArr::k40Music, 0x33, 4},
      {SpeakerArr::k50, 0x37, 5},          {SpeakerArr::k51, 0x3F, 6},
      {SpeakerArr::k70Music, 0x637, 7},    {SpeakerArr::k71Cine, 0xFF, 8},
      {SpeakerArr::kAmbi1stOrderACN, 0xF00000, 4},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.arrangement, row.value);
    EXPECT_EQ(SpeakerArr::getChannelCount(row.arrangement), row.channels) << std::hex << row.value;
  }
}

} // namespace
