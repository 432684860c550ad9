// The controller as a host sees it: the parameter list, the program list and
// its unit, value texts and conversions, and the special IDs 'prst' and
// 'bpas'.

#include <cmath>

#include "host/HostParameterList.h"
#include "tools/validate/checks/CheckSupport.h"
#include "vst3/sdk/UString.h"

namespace HostTest
{
namespace {

[[maybe_unused]] const bool kRegistered = RegisterGroup("Parameters", 1, false);

class Parameters : public PluginTest
{
protected:
  std::string Text(ParamID id, double normalized)
  {
    return HostParameterList(plugin->Controller(), plugin->Units()).Text(id, normalized);
  }
};

TEST_F(Parameters, ListsPresetsThenTheTwelveParameters)
{
  THRUMWELL_DESIGN_CHECK();
  struct Expected
  {
    ParamID id;
    const char* title;
    const char* units;
    int32 stepCount;
    double defaultNormalized;
    int32 flags;
  };
  const Expected table[] = {
    {kPresets, "Presets", "", 129, 0.0, ParameterInfo::kIsList | ParameterInfo::kIsProgramChange},
    {kFrequency, "Frequency", "Hz", 0, std::sqrt(199.0 / 19999.0), ParameterInfo::kCanAutomate},
    {kBinaural, "Binaural", "Hz", 0, 4.0 / 512.0, ParameterInfo::kCanAutomate},
    {kTuningFreq, "Tuning Freq", "Hz", 0, std::sqrt(439.0 / 19999.0), ParameterInfo::kCanAutomate},
    {kWave, "Wave", "", 3, 0.0, ParameterInfo::kCanAutomate},
    {kBeats, "Beats", "", 1, 0.0, ParameterInfo::kCanAutomate},
    {kPanReverse, "Pan Reverse", "", 1, 0.0, ParameterInfo::kCanAutomate},
    {kAttack, "Attack", "ms", 8000, 0.1, ParameterInfo::kCanAutomate},
    {kRelease, "Release", "ms", 8000, 500.0 / 8000.0, ParameterInfo::kCanAutomate},
    {kFade, "Fade", "ms", 89999, 999.0 / 89999.0, ParameterInfo::kCanAutomate},
    {kVolume, "Volume", "%", 100, 0.9, ParameterInfo::kCanAutomate},
    {kMode, "Mode", "", 1, 1.0, ParameterInfo::kCanAutomate},
    {kCenterFreq, "Center Freq", "", 1, 0.0, ParameterInfo::kCanAutomate},
  };
  const HostParameterList params(plugin->Controller(), plugin->Units());
  ASSERT_EQ(params.Count(), 13);
  for (int i = 0; i < 13; ++i)
  {
    SCOPED_TRACE(table[i].title);
    const HostParameterList::Parameter& p = params.At(i);
    EXPECT_EQ(p.info.id, table[i].id);
    EXPECT_EQ(p.title, table[i].title);
    EXPECT_EQ(p.info.shortTitle[0], 0);
    EXPECT_EQ(p.units, table[i].units);
    EXPECT_EQ(p.info.stepCount, table[i].stepCount);
    EXPECT_NEAR(p.info.defaultNormalizedValue, table[i].defaultNormalized, 1e-15);
    EXPECT_EQ(p.info.flags, table[i].flags);
    EXPECT_EQ(p.info.unitId, kRootUnitId);
  }
  ParameterInfo info{};
  EXPECT_NE(plugin->Controller()->getParameterInfo(13, info), kResultOk);
  EXPECT_NE(plugin->Controller()->getParameterInfo(-1, info), kResultOk);
}

TEST_F(Parameters, OneRootUnitWithTheFactoryProgramList)
{
  THRUMWELL_DESIGN_CHECK();
  IUnitInfo* units = plugin->Units();
  ASSERT_NE(units, nullptr);
  ASSERT_EQ(units->getUnitCount(), 1);
  UnitInfo unit{};
  ASSERT_EQ(units->getUnitInfo(0, unit), kResultOk);
  EXPECT_EQ(unit.id, kRootUnitId);
  EXPECT_EQ(unit.parentUnitId, kNoParentUnitId);
  EXPECT_EQ(utf16ToUtf8(unit.name), "Root Unit");
  EXPECT_EQ(unit.programListId, static_cast<ProgramListID>(kPresets));
  EXPECT_EQ(units->getUnitInfo(1, unit), kResultFalse);
  EXPECT_EQ(units->getSelectedUnit(), kRootUnitId);

  ASSERT_EQ(units->getProgramListCount(), 1);
  ProgramListInfo list{};
  ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(list.id, static_cast<ProgramListID>(kPresets));
  EXPECT_EQ(utf16ToUtf8(list.name), "Factory Presets");
  EXPECT_EQ(list.programCount, kPrograms);
  EXPECT_EQ(units->getProgramListInfo(1, list), kResultFalse);

  const HostParameterList params(plugin->Controller(), units);
  const std::vector<std::string>& names = params.ProgramNames();
  ASSERT_EQ(names.size(), static_cast<std::size_t>(kPrograms));
  EXPECT_EQ(names[0], "---- default ----");
  EXPECT_EQ(names[1], "Higher frequencies");
  EXPECT_EQ(names[83], "Binaural - 7.83 (Schumann Resonance)");
  for (const std::string& name : names)
    EXPECT_FALSE(name.empty());
  String128 name = {};
  EXPECT_EQ(units->getProgramName(12345, 0, name), kResultFalse);
}

TEST_F(Parameters, ValueTexts)
{
  THRUMWELL_DESIGN_CHECK();
  const struct
  {
    ParamID id;
    double normalized;
    const char* text;
  } table[] = {
    {kWave, 0.0, "Sine"},        {kWave, 1.0 / 3, "Triangle"}, {kWave, 1.0, "Square"},
    {kBeats, 1.0, "Monaural"},   {kPanReverse, 1.0, "Yes"},    {kMode, 0.0, "Generator"},
    {kMode, 1.0, "Synthesizer"}, {kCenterFreq, 0.0, "No"},     {kVolume, 0.905, "91"},
    {kVolume, 0.0, "0"},         {kAttack, 0.5, "4000"},
  };
  for (const auto& row : table)
    EXPECT_EQ(Text(row.id, row.normalized), row.text) << row.id << " at " << row.normalized;
  String128 text = {};
  EXPECT_EQ(plugin->Controller()->getParamStringByValue(99, 0.5, text), kResultFalse);
  EXPECT_EQ(plugin->Controller()->getParamStringByValue(kBypass, 0.5, text), kResultFalse);
}

// What the tools accept for --program and --param: programs by number or
// exact name, user parameters by title, values as texts or plain numbers.
TEST_F(Parameters, FindsWhatAUserNames)
{
  THRUMWELL_DESIGN_CHECK();
  const HostParameterList params(plugin->Controller(), plugin->Units());
  const struct
  {
    const char* wanted;
    int program;
  } programs[] = {
    {"83", 83}, {"0083", 83}, {"Binaural - 7.83 (Schumann Resonance)", 83}, {"0", 0},
    {"00083", -1}, {"130", -1}, {"", -1}, {"binaural - 7.83 (schumann resonance)", -1}, {"-1", -1},
  };
  for (const auto& row : programs)
    EXPECT_EQ(params.FindProgram(row.wanted), row.program) << '"' << row.wanted << '"';

  EXPECT_EQ(params.FindUserParameter("Wave"), params.FindTitle("Wave"));
  EXPECT_GE(params.FindUserParameter("Wave"), 0);
  EXPECT_EQ(params.FindUserParameter("Presets"), -1);
  EXPECT_EQ(params.FindUserParameter("wave"), -1);

  const int wave = params.FindUserParameter("Wave");
  const int frequency = params.FindUserParameter("Frequency");
  double normalized = -1.0;
  ASSERT_TRUE(params.NormalizedForValue(wave, "Square", normalized));
  EXPECT_EQ(normalized, 1.0);
  ASSERT_TRUE(params.NormalizedForValue(frequency, "440", normalized));
  EXPECT_EQ(normalized, plugin->Controller()->plainParamToNormalized(kFrequency, 440.0));
  for (const char* refused : {"", "Sqare", "440Hz", "nan", "inf", "1e999"})
    EXPECT_FALSE(params.NormalizedForValue(frequency, refused, normalized)) << '"' << refused << '"';
  EXPECT_FALSE(params.NormalizedForValue(wave, "Sqare", normalized));
}

TEST_F(Parameters, ConversionsBetweenPlainAndNormalized)
{
  THRUMWELL_DESIGN_CHECK();
  IEditController* c = plugin->Controller();
  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(kPresets, 129), 1.0);
  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(kPresets, 1), 1.0 / 129);
  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(kVolume, 50), 0.5);
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(kVolume, 0.5), 50);
  EXPECT_DOUBLE_EQ(c->normalizedParamToPlain(kAttack, 1.0), 8000);
  EXPECT_DOUBLE_EQ(c->plainParamToNormalized(4242, 0.3), 0.3);  // unknown: unchanged
  std::u16string fifty = u"50";
  ParamValue value = -1;
  ASSERT_EQ(c->getParamValueByString(kVolume, &fifty[0], value), kResultOk);
  EXPECT_DOUBLE_EQ(value, 0.5);
}

// A host choosing a program reads the values back right after the call: the
// controller shows the program's values at once, the same ones process sets
// when the change reaches it.
TEST_F(Parameters, SettingPresetsShowsTheProgramsValuesAtOnce)
{
  THRUMWELL_DESIGN_CHECK();
  IEditController* c = plugin->Controller();
  ASSERT_EQ(c->getParamNormalized(kCenterFreq), 0.0);
  ASSERT_EQ(c->setParamNormalized(kPresets, 0.5), kResultOk);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(kPresets), 65.0 / 129);
  EXPECT_EQ(c->getParamNormalized(kCenterFreq), 1.0);  // every factory program's
  std::vector<double> shown;
  for (ParamID id = 0; id < 12; ++id)
    shown.push_back(c->getParamNormalized(id));
  Start();
  Apply({{kPresets, 0.5}});
  for (ParamID id = 0; id < 12; ++id)
    EXPECT_EQ(c->getParamNormalized(id), shown[id]) << id;
}

TEST_F(Parameters, BypassIsUnderstoodThoughNotListed)
{
  THRUMWELL_DESIGN_CHECK();
  IEditController* c = plugin->Controller();
  EXPECT_EQ(c->getParamNormalized(kBypass), 0.0);
  EXPECT_EQ(c->setParamNormalized(kBypass, 1.0), kResultOk);
  EXPECT_EQ(c->getParamNormalized(kBypass), 1.0);
  EXPECT_EQ(c->setParamNormalized(kBypass, 0.0), kResultOk);
  EXPECT_EQ(c->getParamNormalized(kBypass), 0.0);
  EXPECT_EQ(c->setParamNormalized(12, 0.5), kResultFalse);
  EXPECT_EQ(c->getParamNormalized(12), 0.0);
}

TEST_F(Parameters, SetParamNormalizedStoresTheValue)
{
  THRUMWELL_DESIGN_CHECK();
  IEditController* c = plugin->Controller();
  ASSERT_EQ(c->setParamNormalized(kVolume, 0.25), kResultOk);
  EXPECT_DOUBLE_EQ(c->getParamNormalized(kVolume), 0.25);
  ASSERT_EQ(c->setParamNormalized(kWave, 1.0), kResultOk);
  EXPECT_EQ(Text(kWave, c->getParamNormalized(kWave)), "Square");
}

// Any plug-in: every listed parameter starts at its default and has a text
// for its values (the program change may leave those to the program list),
// and the conversions between plain and normalized values are each other's
// inverse.
TEST_F(Parameters, DefaultsTextsAndConversionsAgree)
{
  IEditController* c = plugin->Controller();
  ASSERT_GE(c->getParameterCount(), 0);
  for (int32 i = 0; i < c->getParameterCount(); ++i)
  {
    ParameterInfo info{};
    ASSERT_EQ(c->getParameterInfo(i, info), kResultOk);
    SCOPED_TRACE(testing::Message() << "parameter " << info.id);
    if (!(info.flags & ParameterInfo::kIsReadOnly))
    {
      EXPECT_NEAR(c->getParamNormalized(info.id), info.defaultNormalizedValue, StepTolerance(info));
    }
    for (double value : {0.0, 0.25, 0.5, 1.0})
    {
      String128 text = {};
      if (!(info.flags & ParameterInfo::kIsProgramChange))
      {
        EXPECT_EQ(c->getParamStringByValue(info.id, value, text), kResultOk) << value;
      }
      const double plain = c->normalizedParamToPlain(info.id, value);
      EXPECT_TRUE(std::isfinite(plain)) << value;
      EXPECT_NEAR(c->plainParamToNormalized(info.id, plain), value, StepTolerance(info)) << value;
    }
  }
  ParameterInfo info{};
  EXPECT_NE(c->getParameterInfo(c->getParameterCount(), info), kResultOk);
  EXPECT_NE(c->getParameterInfo(-1, info), kResultOk);
}

// Any plug-in: a value the host sets is the value the controller reports
// (to its nearest step).
TEST_F(Parameters, SetValuesAreReadBack)
{
  IEditController* c = plugin->Controller();
  for (const ParameterInfo& info : SettableParameters(c))
    for (double value : {0.0, 0.3, 1.0, info.defaultNormalizedValue})
    {
      ASSERT_EQ(c->setParamNormalized(info.id, value), kResultOk) << info.id;
      EXPECT_NEAR(c->getParamNormalized(info.id), value, StepTolerance(info)) << info.id << " set to " << value;
    }
}

}  // namespace
}  // namespace HostTest
