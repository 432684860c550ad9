// Every check the SDK's validator makes of a plug-in, made through our host,
// so that a conforming host finds nothing to complain about. Names follow the
// validator's tests.

#include <atomic>
#include <random>
#include <set>
#include <thread>

#include "host/HostParameterList.h"
#include "tools/validate/checks/CheckSupport.h"

namespace HostTest
{
namespace {

constexpr int kValidatorBlock = 8192;

class Validator : public PluginTest
{
protected:
  // The validator's processing setup: the main buses, then setup and activation.
  void ValidatorSetup(int size)
  {
    ASSERT_EQ(plugin->Processor()->canProcessSampleSize(size), kResultTrue);
    ASSERT_TRUE(ActivateMainBuses(true));
    ASSERT_TRUE(plugin->SetupProcessing(44100, kValidatorBlock, size));
    ASSERT_TRUE(plugin->SetActive(true));
  }
  // The first audio input and output bus, those the plug-in has.
  bool ActivateMainBuses(bool state)
  {
    bool ok = true;
    for (BusDirection dir : {kInput, kOutput})
      if (plugin->Component()->getBusCount(kAudio, dir) > 0)
        ok = plugin->ActivateBus(kAudio, dir, 0, state) && ok;
    return ok;
  }
  void ProcessTest(int size, HostParameterChanges* changes = nullptr)
  {
    ASSERT_TRUE(plugin->SetProcessing(true));
    for (int block = 0; block < 3; ++block)
      ASSERT_TRUE(plugin->Process(64, changes));
    ASSERT_TRUE(plugin->SetProcessing(false));
    (void)size;
  }
};

class ValidatorPrecision : public Validator, public ::testing::WithParamInterface<int>
{
};

TEST_F(Validator, ScanBusesAndParameters)
{
  int buses = 0;
  for (MediaType type : {kAudio, kEvent})
    for (BusDirection dir : {kInput, kOutput})
      for (int i = 0; i < plugin->Component()->getBusCount(type, dir); ++i, ++buses)
      {
        BusInfo info{};
        ASSERT_EQ(plugin->Component()->getBusInfo(type, dir, i, info), kResultOk);
        EXPECT_NE(info.name[0], 0);
      }
  EXPECT_GT(buses, 0);

  const HostParameterList params(plugin->Controller(), plugin->Units());
  std::set<ParamID> ids;
  int bypasses = 0;
  for (int i = 0; i < params.Count(); ++i)
  {
    const ParameterInfo& info = params.At(i).info;
    SCOPED_TRACE(params.At(i).title);
    EXPECT_LT(info.id, 0x80000000u);
    EXPECT_TRUE(ids.insert(info.id).second);
    EXPECT_GE(info.stepCount, 0);
    EXPECT_FALSE(params.At(i).title.empty());
    EXPECT_TRUE(info.defaultNormalizedValue >= 0.0 && info.defaultNormalizedValue <= 1.0);
    // Units other than the root are declared through IUnitInfo.
    if (!plugin->Units())
    {
      EXPECT_EQ(info.unitId, kRootUnitId);
    }
    EXPECT_GE(info.unitId, -1);
    const bool readOnly = info.flags & ParameterInfo::kIsReadOnly;
    EXPECT_FALSE(readOnly && (info.flags & (ParameterInfo::kCanAutomate | ParameterInfo::kIsProgramChange)));
    if (info.flags & ParameterInfo::kIsBypass)
    {
      ++bypasses;
      EXPECT_TRUE(info.flags & ParameterInfo::kCanAutomate);
    }
  }
  EXPECT_LE(bypasses, 1);
}

TEST_F(Validator, ScanUnitsProgramsAndUnitStructure)
{
  IUnitInfo* units = plugin->Units();
  if (!units)
    GTEST_SKIP() << "the plug-in has no unit information, which is optional";
  std::set<UnitID> unitIds;
  int parentless = 0;
  for (int32 i = 0; i < units->getUnitCount(); ++i)
  {
    UnitInfo unit{};
    ASSERT_EQ(units->getUnitInfo(i, unit), kResultOk);
    EXPECT_GE(unit.id, 0);
    EXPECT_TRUE(unitIds.insert(unit.id).second);
    EXPECT_NE(unit.name[0], 0);
    EXPECT_GE(unit.parentUnitId, -1);
    EXPECT_NE(unit.parentUnitId, unit.id);
    EXPECT_GE(unit.programListId, -1);
    // The first unit without a parent is the root; there is no second.
    if (unit.parentUnitId == kNoParentUnitId)
    {
      EXPECT_EQ(unit.id, kRootUnitId);
      ++parentless;
    }
  }
  EXPECT_EQ(parentless, 1);
  std::set<ProgramListID> lists;
  ASSERT_GE(units->getProgramListCount(), 0);
  for (int32 l = 0; l < units->getProgramListCount(); ++l)
  {
    ProgramListInfo list{};
    ASSERT_EQ(units->getProgramListInfo(l, list), kResultOk);
    EXPECT_GE(list.id, 0);
    EXPECT_TRUE(lists.insert(list.id).second);
    EXPECT_NE(list.name[0], 0);
    for (int32 p = 0; p < list.programCount; ++p)
    {
      String128 name = {};
      if (units->getProgramName(list.id, p, name) == kResultOk)
      {
        EXPECT_NE(name[0], 0) << p;
      }
    }
  }
}

TEST_F(Validator, TerminateInitializeKeepsOneSetOfBusesAndParameters)
{
  IComponent* component = plugin->Component();
  const int32 params = plugin->Controller()->getParameterCount();
  const int32 buses[] = {component->getBusCount(kAudio, kInput), component->getBusCount(kAudio, kOutput),
                         component->getBusCount(kEvent, kInput), component->getBusCount(kEvent, kOutput)};
  for (int round = 0; round < 3; ++round)
  {
    ASSERT_TRUE(plugin->Terminate());
    ASSERT_TRUE(plugin->Initialize());
    EXPECT_EQ(plugin->Controller()->getParameterCount(), params);
    EXPECT_EQ(component->getBusCount(kAudio, kInput), buses[0]);
    EXPECT_EQ(component->getBusCount(kAudio, kOutput), buses[1]);
    EXPECT_EQ(component->getBusCount(kEvent, kInput), buses[2]);
    EXPECT_EQ(component->getBusCount(kEvent, kOutput), buses[3]);
  }
}

TEST_P(ValidatorPrecision, ValidStateTransition)
{
  const int size = GetParam();
  ValidatorSetup(size);
  ASSERT_TRUE(plugin->SetActive(false));
  for (int round = 0; round < 4; ++round)
  {
    ASSERT_TRUE(plugin->SetupProcessing(44100, kValidatorBlock, size));
    ASSERT_TRUE(plugin->SetActive(true));
    ASSERT_TRUE(plugin->SetActive(false));
    ASSERT_TRUE(ActivateMainBuses(false));
    ASSERT_TRUE(plugin->Terminate());
    ASSERT_TRUE(plugin->Initialize());
    if (round < 2)
    {
      ASSERT_TRUE(ActivateMainBuses(true));
    }
  }
}

TEST_F(Validator, SuspendResume)
{
  for (int round = 0; round < 3; ++round)
  {
    ASSERT_TRUE(plugin->SetupProcessing(44100, kValidatorBlock, kSample32));
    ASSERT_TRUE(plugin->SetActive(true));
    ASSERT_TRUE(plugin->SetActive(false));
  }
}

TEST_F(Validator, SdkVersionAsksForNoProcessContextRequirements)
{
  if (!BundleIsThrumwell())
    GTEST_SKIP() << "our instrument's own SDK version";
  HostClassInfo c;
  ASSERT_TRUE(SharedModule().GetClass(0, c));
  // A version below 3.7 needs no IProcessContextRequirements.
  EXPECT_EQ(c.sdkVersion.rfind("VST 3.6", 0), 0u) << c.sdkVersion;
}

TEST_F(Validator, NoMidiMappingToScan)
{
  THRUMWELL_DESIGN_CHECK();
  // MIDI reaches the instrument only as note events.
  void* obj = nullptr;
  EXPECT_NE(plugin->Component()->queryInterface(IMidiMapping::iid, &obj), kResultOk);
}

// Where the controller maps MIDI controllers, each maps to a listed parameter.
TEST_F(Validator, MidiMappingNamesListedParameters)
{
  void* obj = nullptr;
  if (plugin->Controller()->queryInterface(IMidiMapping::iid, &obj) != kResultOk || !obj)
    GTEST_SKIP() << "the controller maps no MIDI controllers";
  auto* mapping = static_cast<IMidiMapping*>(obj);
  const HostParameterList params(plugin->Controller(), plugin->Units());
  std::set<ParamID> ids;
  for (int i = 0; i < params.Count(); ++i)
    ids.insert(params.At(i).info.id);
  for (int32 bus = 0; bus < plugin->Component()->getBusCount(kEvent, kInput); ++bus)
  {
    BusInfo info{};
    ASSERT_EQ(plugin->Component()->getBusInfo(kEvent, kInput, bus, info), kResultOk);
    for (int16 channel = 0; channel < info.channelCount && channel < 16; ++channel)
      for (CtrlNumber cc = 0; cc < 130; ++cc)
      {
        ParamID id = kNoParamId;
        if (mapping->getMidiControllerAssignment(bus, channel, cc, id) == kResultOk)
        {
          EXPECT_TRUE(ids.count(id)) << "controller " << cc << " maps to unlisted " << id;
        }
      }
  }
  mapping->release();
}

TEST_P(ValidatorPrecision, ProcessSilenceFlagsAndSilenceProcessing)
{
  ValidatorSetup(GetParam());
  ProcessTest(GetParam());
  ASSERT_TRUE(plugin->SetProcessing(true));
  for (uint64 flags = 0; flags < 4; ++flags)
  {
    ProcessData& data = plugin->PrepareData(64);
    if (data.numInputs > 0)
      data.inputs[0].silenceFlags = flags;
    EXPECT_TRUE(plugin->ProcessPrepared());
  }
  // Twenty seconds of silent input flagged as silent.
  for (int block = 0; block < 13781; ++block)
  {
    ProcessData& data = plugin->PrepareData(64);
    if (data.numInputs > 0)
      data.inputs[0].silenceFlags = 3;
    if (data.numOutputs > 0)
      data.outputs[0].silenceFlags = 3;
    ASSERT_TRUE(plugin->ProcessPrepared());
  }
}

TEST_P(ValidatorPrecision, ProcessOnAnotherThread)
{
  ValidatorSetup(GetParam());
  std::atomic<int> failures{0};
  std::thread audio([&] {
    if (!plugin->SetProcessing(true))
      ++failures;
    for (int i = 0; i < 9999; ++i)
      failures += !plugin->Process(64);
    if (!plugin->SetProcessing(false))
      ++failures;
  });
  audio.join();
  EXPECT_EQ(failures.load(), 0);
}

TEST_P(ValidatorPrecision, ParametersFlush)
{
  ValidatorSetup(GetParam());
  ASSERT_TRUE(plugin->SetProcessing(true));
  // 1: no buffers, one queue without points.
  HostParameterChanges changes;
  changes.AddEmptyQueue(kFrequency);
  ASSERT_TRUE(plugin->Process(0, &changes));
  // 2: set up again while active; bus arrays present, their bus without channels.
  ASSERT_TRUE(plugin->SetupProcessing(44100, kValidatorBlock, GetParam()));
  ProcessData& data = plugin->PrepareData(64);
  AudioBusBuffers in = data.numInputs > 0 ? data.inputs[0] : AudioBusBuffers{};
  AudioBusBuffers out = data.numOutputs > 0 ? data.outputs[0] : AudioBusBuffers{};
  in.numChannels = 0;
  out.numChannels = 0;
  data.numSamples = 0;
  data.numInputs = 0;
  data.numOutputs = 0;
  data.inputs = &in;
  data.outputs = &out;
  EXPECT_EQ(plugin->Processor()->process(data), kResultOk);
  // 3: no buffers and no parameter changes.
  ASSERT_TRUE(plugin->Process(0));
}

TEST_P(ValidatorPrecision, VariableBlockSize)
{
  ValidatorSetup(GetParam());
  ASSERT_TRUE(plugin->SetProcessing(true));
  std::mt19937 random(7);
  plugin->Process(0);
  for (int call = 0; call < 20; ++call)
    ASSERT_TRUE(plugin->Process(static_cast<int>(random() % kValidatorBlock)));
}

TEST_P(ValidatorPrecision, ProcessFormat)
{
  ValidatorSetup(GetParam());
  ASSERT_TRUE(plugin->SetActive(false));
  for (double rate : {22050.0, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 384000.0, 1234.5678,
                      12345.678, 123456.78, 1234567.8})
  {
    SCOPED_TRACE(rate);
    ASSERT_TRUE(plugin->SetupProcessing(rate, kValidatorBlock, GetParam()));
    ASSERT_TRUE(plugin->SetActive(true));
    ASSERT_TRUE(plugin->SetProcessing(true));
    ASSERT_TRUE(plugin->Process(64));
    ASSERT_TRUE(plugin->SetProcessing(false));
    ASSERT_TRUE(plugin->SetActive(false));
  }
  ASSERT_TRUE(plugin->SetActive(true));
}

TEST_P(ValidatorPrecision, StereoAndMonoArrangementsThenProcess)
{
  for (SpeakerArrangement arrangement : {SpeakerArr::kStereo, SpeakerArr::kMono})
  {
    plugin->SetBusArrangements({arrangement}, {arrangement});
    ValidatorSetup(GetParam());
    ProcessTest(GetParam());
    ASSERT_TRUE(plugin->SetActive(false));
  }
}

// Automation of the first parameter: a point at offset 0 (and at 1 for sample
// accuracy), then random points with a chance of 1 in 100 per sample.
TEST_P(ValidatorPrecision, AutomationEvery100Samples)
{
  const HostParameterList params(plugin->Controller(), plugin->Units());
  if (params.Count() == 0)
    GTEST_SKIP() << "the plug-in has no parameters to automate";
  const ParameterInfo first = params.At(0).info;
  for (bool sampleAccurate : {false, true})
  {
    ValidatorSetup(GetParam());
    ASSERT_TRUE(plugin->SetProcessing(true));
    std::mt19937 random(sampleAccurate ? 11 : 5);
    for (int block = 0; block < 3; ++block)
    {
      HostParameterChanges changes;
      if (first.flags & ParameterInfo::kCanAutomate)
      {
        if (block == 0)
        {
          changes.Add(first.id, 0, 0.25);
          if (sampleAccurate)
            changes.Add(first.id, 1, 0.75);
        }
        for (int i = 2; i < 64; ++i)
          if (random() % 100 == 0)
            changes.Add(first.id, i, (random() % 1000) / 999.0);
      }
      ASSERT_TRUE(plugin->Process(64, &changes));
    }
    ASSERT_TRUE(plugin->SetProcessing(false));
    ASSERT_TRUE(plugin->SetActive(false));
  }
}

INSTANTIATE_TEST_SUITE_P(SampleSizes, ValidatorPrecision, ::testing::Values(kSample32, kSample64));

}  // namespace
}  // namespace HostTest
