// The controller side of the binding as a host sees it: initialization,
// parameter information and conversions, programs and units.
#include <cmath>
#include <string>

#include "tests/vst3/BindingFixture.h"
#include "vst3/IPlugParameter.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
class Controller : public BindingFixture
{
};

TEST_F(Controller, InitializeIdentifiesTheHostAndPublishesBusesAndParameters)
{
  EXPECT_EQ(synth->GetHostId(), IdentifyHost("Cubase"));
  EXPECT_NE(synth->GetHostId(), kHostUnknown);
  EXPECT_EQ(synth->changes, (std::vector<int>{0, 1, 2}));

  struct BusRow
  {
    MediaType type;
    BusDirection dir;
    int32 channels;
    const char16_t* name;
  };
  const BusRow buses[] = {{kAudio, kInput, 2, u"Main Input"},
                          {kAudio, kOutput, 2, u"Output 1"},
                          {kEvent, kInput, 1, u"MIDI Input"}};
  for (const BusRow& row : buses)
  {
    ASSERT_EQ(component->getBusCount(row.type, row.dir), 1);
    BusInfo info{};
    ASSERT_EQ(component->getBusInfo(row.type, row.dir, 0, info), kResultTrue);
    EXPECT_EQ(info.channelCount, row.channels);
    EXPECT_EQ(std::u16string(info.name), row.name);
    EXPECT_EQ(info.busType, kMain);
    EXPECT_EQ(info.flags, uint32(BusInfo::kDefaultActive));
  }
  EXPECT_EQ(component->getBusCount(kEvent, kOutput), 0);
}

TEST_F(Controller, ParameterInformation)
{
  ASSERT_EQ(controller->getParameterCount(), 4);
  struct Row
  {
    const char16_t* title;
    ParamID id;
    const char16_t* units;
    int32 steps;
    double defaultValue;
    int32 flags;
  };
  const Row rows[] = {
      {u"Presets", IPlugVST3::kPresetParamId, u"", TestSynth::kPrograms - 1, 0.0, 0x8008},
      {u"Volume", 0, u"%", 0, 0.5, ParameterInfo::kCanAutomate},
      {u"Wave", 1, u"", 3, 0.0, ParameterInfo::kCanAutomate},
      {u"Frequency", 2, u"Hz", 0, (440.0 - 20.0) / 980.0, ParameterInfo::kCanAutomate},
  };
  for (int32 i = 0; i < 4; ++i)
  {
    ParameterInfo info{};
    ASSERT_EQ(controller->getParameterInfo(i, info), kResultTrue);
    EXPECT_EQ(std::u16string(info.title), rows[i].title);
    EXPECT_EQ(info.id, rows[i].id);
    EXPECT_EQ(std::u16string(info.units), rows[i].units);
    EXPECT_EQ(std::u16string(info.shortTitle), u"");
    EXPECT_EQ(info.stepCount, rows[i].steps);
    EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, rows[i].defaultValue);
    EXPECT_EQ(info.flags, rows[i].flags);
    EXPECT_EQ(info.unitId, kRootUnitId);
  }
  ParameterInfo info{};
  EXPECT_EQ(controller->getParameterInfo(4, info), kResultFalse);
}

TEST_F(Controller, StringConversions)
{
  struct Row
  {
    ParamID id;
    double normalized;
    const char16_t* text;
  };
  const Row rows[] = {{0, 0.905, u"91"}, {0, 0.0, u"0"}, {1, 1.0, u"Square"}, {1, 1.0 / 3.0, u"Triangle"},
                      {2, 0.5, u"510.0"}};
  for (const Row& row : rows)
  {
    String128 text{};
    ASSERT_EQ(controller->getParamStringByValue(row.id, row.normalized, text), kResultOk);
    EXPECT_EQ(std::u16string(text), row.text) << row.id << " " << row.normalized;
  }
  String128 text{};
  EXPECT_EQ(controller->getParamStringByValue(IPlugVST3::kPresetParamId, 0.0, text), kResultFalse);
  EXPECT_EQ(controller->getParamStringByValue(99, 0.0, text), kResultFalse);

  ParamValue value = -1.0;
  TChar typed[] = u"  75";
  ASSERT_EQ(controller->getParamValueByString(0, typed, value), kResultTrue);
  EXPECT_DOUBLE_EQ(value, 0.75);
  TChar junk[] = u"abc";
  ASSERT_EQ(controller->getParamValueByString(2, junk, value), kResultTrue);
  EXPECT_DOUBLE_EQ(value, 0.0);
  EXPECT_DOUBLE_EQ(controller->normalizedParamToPlain(2, 0.5), 510.0);
  EXPECT_DOUBLE_EQ(controller->plainParamToNormalized(0, 25.0), 0.25);
  EXPECT_DOUBLE_EQ(controller->plainParamToNormalized(IPlugVST3::kPresetParamId, 3.0), 1.0);
  EXPECT_DOUBLE_EQ(controller->plainParamToNormalized(99, 7.0), 7.0);
}

TEST_F(Controller, DecimalReadingIsStrictAndLocaleFree)
{
  struct Row
  {
    const char16_t* text;
    double value;
  };
  const Row rows[] = {{u"90.5", 90.5}, {u" -3", -3.0}, {u"+2.5e2", 250.0}, {u"1e", 1.0}, {u".5x", 0.5},
                      {u"", 0.0},      {u"-", 0.0},    {u"nan", 0.0},     {u"0x10", 0.0}};
  for (const Row& row : rows)
    EXPECT_EQ(IPlugParameter::ReadDecimal(reinterpret_cast<const TChar*>(row.text)), row.value)
        << std::string(row.text, row.text + std::char_traits<char16_t>::length(row.text));
  EXPECT_EQ(IPlugParameter::ReadDecimal(nullptr), 0.0);
}

TEST_F(Controller, ProgramAndBypassValues)
{
  EXPECT_EQ(controller->getParamNormalized(IPlugVST3::kPresetParamId), 0.0);
  // The controller shows a chosen program's values at once; the instrument's
  // handlers run only when process applies it.
  synth->changes.clear();
  ASSERT_EQ(controller->setParamNormalized(IPlugVST3::kPresetParamId, 0.5), kResultOk);
  EXPECT_EQ(synth->GetCurrentProgram(), 2);  // int(3 * 0.5 + 0.5): "Quiet"
  EXPECT_EQ(synth->GetParam(0)->GetValue(), 10.0);
  EXPECT_EQ(synth->GetParam(2)->GetValue(), 220.0);
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(IPlugVST3::kPresetParamId), 2.0 / 3.0);
  // The default program and a free one store no values: nothing changes, and
  // the free one stays free until process selects it.
  ASSERT_EQ(controller->setParamNormalized(IPlugVST3::kPresetParamId, std::nan("")), kResultOk);
  EXPECT_EQ(synth->GetCurrentProgram(), 0);
  ASSERT_EQ(controller->setParamNormalized(IPlugVST3::kPresetParamId, 1.0), kResultOk);
  EXPECT_EQ(synth->GetCurrentProgram(), 3);
  EXPECT_EQ(synth->GetParam(0)->GetValue(), 10.0);
  EXPECT_FALSE(synth->GetProgram(3)->used);

  EXPECT_EQ(controller->getParamNormalized(IPlugVST3::kBypassParamId), 0.0);
  controller->setParamNormalized(IPlugVST3::kBypassParamId, 0.2);
  EXPECT_EQ(controller->getParamNormalized(IPlugVST3::kBypassParamId), 1.0);

  ASSERT_EQ(controller->setParamNormalized(0, 0.25), kResultOk);
  EXPECT_EQ(synth->GetParam(0)->GetValue(), 25.0);
  EXPECT_TRUE(synth->changes.empty());  // no HandleParameterChange from the controller
  EXPECT_EQ(controller->setParamNormalized(99, 0.5), kResultFalse);
  EXPECT_EQ(controller->getParamNormalized(99), 0.0);
}

TEST_F(Controller, UnitAndProgramList)
{
  EXPECT_EQ(units->getUnitCount(), 1);
  UnitInfo unit{};
  ASSERT_EQ(units->getUnitInfo(0, unit), kResultOk);
  EXPECT_EQ(unit.id, kRootUnitId);
  EXPECT_EQ(unit.parentUnitId, kNoParentUnitId);
  EXPECT_EQ(std::u16string(unit.name), u"Root Unit");
  EXPECT_EQ(unit.programListId, ProgramListID(IPlugVST3::kPresetParamId));
  EXPECT_EQ(units->getUnitInfo(1, unit), kResultFalse);

  ASSERT_EQ(units->getProgramListCount(), 1);
  ProgramListInfo list{};
  ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(list.id, ProgramListID(IPlugVST3::kPresetParamId));
  EXPECT_EQ(std::u16string(list.name), u"Factory Presets");
  EXPECT_EQ(list.programCount, TestSynth::kPrograms);
  EXPECT_EQ(units->getProgramListInfo(1, list), kResultFalse);

  const char16_t* names[] = {u"Default", u"Loud", u"Quiet", u"- 4 -", u""};
  for (int32 i = 0; i < 5; ++i)
  {
    String128 name{};
    ASSERT_EQ(units->getProgramName(ProgramListID(IPlugVST3::kPresetParamId), i, name), kResultOk);
    EXPECT_EQ(std::u16string(name), names[i]) << i;
  }
  String128 name{};
  EXPECT_EQ(units->getProgramName(7, 0, name), kResultFalse);
  EXPECT_EQ(units->getSelectedUnit(), kRootUnitId);
  EXPECT_EQ(units->selectUnit(0), kNotImplemented);
}

TEST_F(Controller, TerminateAndInitializeAgainRebuildsOnce)
{
  for (int cycle = 0; cycle < 3; ++cycle)
  {
    ASSERT_EQ(component->terminate(), kResultOk);
    ASSERT_EQ(component->initialize(Context()), kResultOk);
    EXPECT_EQ(controller->getParameterCount(), 4);
    EXPECT_EQ(component->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(component->getBusCount(kEvent, kInput), 1);
  }
  // A second initialize without terminate adds nothing.
  EXPECT_EQ(controller->initialize(Context()), kResultFalse);
  EXPECT_EQ(controller->getParameterCount(), 4);
  EXPECT_EQ(component->getBusCount(kAudio, kInput), 1);
}

TEST_F(Controller, QueryInterfaceAndReferenceCount)
{
  void* answer = nullptr;
  EXPECT_EQ(component->queryInterface(IConnectionPoint::iid, &answer), kNoInterface);
  EXPECT_EQ(answer, nullptr);
  EXPECT_EQ(component->queryInterface(IMidiMapping::iid, &answer), kNoInterface);
  ASSERT_EQ(component->queryInterface(IProcessContextRequirements::iid, &answer), kResultOk);
  static_cast<FUnknown*>(answer)->release();
  // The fixture holds five references: its own and four interfaces.
  EXPECT_EQ(synth->getRefCount(), 5u);
}

// The host hears of each program choice once: from the controller call when
// it chose, from the next user-interface tick when only process did. An
// announcement process never confirms lapses, so that a later automation of
// the same program is told again.
TEST_F(Controller, EachProgramChoiceIsToldOnce)
{
  ASSERT_EQ(controller->setComponentHandler(&handler), kResultTrue);
  TestHost::ParameterChanges changes;
  const auto automate = [&](int program) {
    changes.queues.clear();
    changes.Add(IPlugVST3::kPresetParamId, {{0, program / 3.0}});
    ProcessData flush{};
    flush.inputParameterChanges = &changes;
    ASSERT_EQ(processor->process(flush), kResultOk);
  };
  const auto ticks = [&](int n) {
    for (int i = 0; i < n; ++i)
      synth->OnIdle();
  };

  ASSERT_EQ(controller->setParamNormalized(IPlugVST3::kPresetParamId, 1 / 3.0), kResultOk);
  EXPECT_EQ(handler.log, "restart 4;");
  automate(1);
  ticks(3);
  EXPECT_EQ(handler.log, "restart 4;") << "the queued change told again";

  automate(2);
  EXPECT_EQ(handler.log, "restart 4;") << "told from the audio thread's call";
  ticks(1);
  EXPECT_EQ(handler.log, "restart 4;restart 4;");

  handler.log.clear();
  ASSERT_EQ(controller->setParamNormalized(IPlugVST3::kPresetParamId, 1 / 3.0), kResultOk);
  ticks(100);  // nothing queued: the announcement lapses
  automate(1);
  ticks(1);
  EXPECT_EQ(handler.log, "restart 4;restart 4;");
}

TEST_F(Controller, EditsReachTheComponentHandler)
{
  synth->HostBeginEdit(1);  // without a handler: dropped
  ASSERT_EQ(controller->setComponentHandler(&handler), kResultTrue);
  synth->HostBeginEdit(1);
  synth->HostPerformEdit(1, 0.5);
  synth->HostEndEdit(1);
  synth->SetLatency(12);
  EXPECT_EQ(handler.log, "begin 1;perform 1 0.500000;end 1;restart 8;");
  EXPECT_EQ(processor->getLatencySamples(), 12u);
}
}  // namespace
