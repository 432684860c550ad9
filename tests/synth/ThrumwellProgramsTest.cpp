// Identity, parameter definitions and the factory programs.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "synth/FactoryPrograms.h"
#include "synth/ThrumwellParameters.h"
#include "tests/synth/ThrumwellTestRig.h"

namespace {

double StoredValue(const IPlugBase& plug, int program, int param)
{
  double value = -1.0;
  EXPECT_EQ(plug.GetProgram(program)->state.ReadDouble(&value, param * 8), param * 8 + 8);
  return value;
}

}  // namespace

TEST(ThrumwellIdentity, MatchesThePublishedPlugIn)
{
  CLS_THRUMWELL synth;
  EXPECT_STREQ(synth.GetEffectName(), "Thrumwell");
  EXPECT_STREQ(synth.GetProductName(), "");
  EXPECT_STREQ(synth.GetMfrName(), "Quorvik");
  EXPECT_EQ(synth.GetUniqueId(), 0x337A626F);
  EXPECT_EQ(synth.GetMfrId(), ('Q' << 24) | ('v' << 16) | ('r' << 8) | 'k');
  char versionText[32];
  IPlugBase::GetVersionText(synth.GetVersion(), versionText);
  EXPECT_STREQ(versionText, "v2.30");
  EXPECT_EQ(synth.NParams(), 12);
  EXPECT_EQ(synth.NPrograms(), 130);
  EXPECT_EQ(synth.NInChannels(), 2);
  EXPECT_EQ(synth.NOutChannels(), 2);
  EXPECT_TRUE(synth.LegalIO(1, 1));
  EXPECT_FALSE(synth.LegalIO(1, 2));
  EXPECT_TRUE(synth.IsInstrument());
  EXPECT_TRUE(synth.DoesMidi());
  EXPECT_FALSE(synth.DoesStateChunks());
  EXPECT_EQ(synth.GetLatency(), 0);
  EXPECT_FALSE(synth.IsRenderReady());
}

TEST(ThrumwellParameters, AreDefinedAsPublished)
{
  struct Expected
  {
    const char* name;
    IParamKind kind;
    double defaultValue, minValue, maxValue, step, shape;
    const char* label;
    int precision;
    const char* shownDefault;
  };
  const Expected table[] = {
    {"Frequency", KindReal, 200, 1, 20000, 0.1, 2, "Hz", 1, "200.0"},
    {"Binaural", KindReal, 4, 0, 512, 0.01, 1, "Hz", 2, "4.00"},
    {"Tuning Freq", KindReal, 440, 1, 20000, 0.1, 2, "Hz", 1, "440.0"},
    {"Wave", KindList, 0, 0, 3, 1, 1, "", 0, "Sine"},
    {"Beats", KindList, 0, 0, 1, 1, 1, "", 0, "Binaural"},
    {"Pan Reverse", KindList, 0, 0, 1, 1, 1, "", 0, "No"},
    {"Attack", KindInt, 800, 0, 8000, 1, 1, "ms", 0, "800"},
    {"Release", KindInt, 500, 0, 8000, 1, 1, "ms", 0, "500"},
    {"Fade", KindInt, 1000, 1, 90000, 1, 1, "ms", 0, "1000"},
    {"Volume", KindInt, 90, 0, 100, 1, 1, "%", 0, "90"},
    {"Mode", KindList, 1, 0, 1, 1, 1, "", 0, "Synthesizer"},
    {"Center Freq", KindList, 0, 0, 1, 1, 1, "", 0, "No"},
  };
  CLS_THRUMWELL synth;
  for (int i = 0; i < 12; ++i)
  {
    SCOPED_TRACE(table[i].name);
    const IParamDef& p = *synth.GetParam(i);
    EXPECT_STREQ(p.GetName(), table[i].name);
    EXPECT_EQ(p.GetKind(), table[i].kind);
    EXPECT_EQ(p.GetDefault(), table[i].defaultValue);
    EXPECT_EQ(p.GetValue(), table[i].defaultValue);
    EXPECT_EQ(p.GetMin(), table[i].minValue);
    EXPECT_EQ(p.GetMax(), table[i].maxValue);
    EXPECT_EQ(p.GetStep(), table[i].step);
    EXPECT_EQ(p.GetShape(), table[i].shape);
    EXPECT_STREQ(p.GetLabel(), table[i].label);
    EXPECT_EQ(p.GetPrecision(), table[i].precision);
    char shown[IParamDef::kFormatSize];
    p.FormatForHost(p.GetValue(), false, shown);
    EXPECT_STREQ(shown, table[i].shownDefault);
  }
}

TEST(ThrumwellParameters, ListTextsRoundTrip)
{
  CLS_THRUMWELL synth;
  const struct
  {
    int index;
    const char* texts[4];
  } lists[] = {
    {kParamWave, {"Sine", "Triangle", "Saw", "Square"}},
    {kParamBeats, {"Binaural", "Monaural"}},
    {kParamPanReverse, {"No", "Yes"}},
    {kParamMode, {"Generator", "Synthesizer"}},
    {kParamCenterFreq, {"No", "Yes"}},
  };
  for (const auto& list : lists)
  {
    const IParamDef& p = *synth.GetParam(list.index);
    int count = 0;
    for (; count < 4 && list.texts[count]; ++count)
    {
      EXPECT_STREQ(p.DisplayTextFor(count), list.texts[count]);
      double value = -1;
      EXPECT_TRUE(p.ValueForDisplayText(list.texts[count], &value));
      EXPECT_EQ(value, count);
    }
    EXPECT_EQ(p.NDisplayTexts(), count);
    EXPECT_EQ(p.GetMax(), count - 1);
  }
}

TEST(ThrumwellParameters, ModeDefaultsToSynthesizerUnlessTheHostIsDromelkast)
{
  EXPECT_EQ(ModeDefault(kHostUnidentified), kModeSynthesizer);
  EXPECT_EQ(ModeDefault(kHostUnknown), kModeSynthesizer);
  EXPECT_EQ(ModeDefault(IdentifyHost("Cubase")), kModeSynthesizer);
  EXPECT_EQ(ModeDefault(IdentifyHost("DromelKast Studio")), kModeGenerator);
  // A fresh instance has no host yet, and the default program changes nothing.
  CLS_THRUMWELL synth;
  EXPECT_EQ(synth.GetParam(kParamMode)->GetValue(), kModeSynthesizer);
  EXPECT_FALSE(synth.SelectProgram(0));
  EXPECT_EQ(synth.GetParam(kParamMode)->GetValue(), kModeSynthesizer);
}

TEST(FactoryPrograms, OccupySlotsOneTo125)
{
  CLS_THRUMWELL synth;
  int used = 0;
  for (int i = 0; i < synth.NPrograms(); ++i)
    used += synth.GetProgram(i)->used ? 1 : 0;
  EXPECT_EQ(used, 126);
  EXPECT_STREQ(synth.GetProgramName(0), "---- default ----");
  EXPECT_EQ(synth.GetProgram(0)->state.Size(), 0);
  EXPECT_STREQ(synth.GetProgramName(1), "Higher frequencies");
  EXPECT_STREQ(synth.GetProgramName(125), "Solfeggio - 285 Hz (Return tissue into its original form)");
  EXPECT_STREQ(synth.GetProgramName(126), "- 127 -");
  for (int i = 1; i <= 125; ++i)
    EXPECT_EQ(synth.GetProgram(i)->state.Size(), 96) << i;
}

TEST(FactoryPrograms, NamesAreExact)
{
  CLS_THRUMWELL synth;
  EXPECT_STREQ(synth.GetProgramName(2), "101Hz Tunning");
  EXPECT_STREQ(synth.GetProgramName(3), "432Hz Tunning");
  EXPECT_STREQ(synth.GetProgramName(29), "Binaural - 3.5 (Feeling of unity with everythin)");
  EXPECT_STREQ(synth.GetProgramName(62), "Binaural - 32.0 (Desensitizer; enhanced vigour & alertnes)");
  EXPECT_STREQ(synth.GetProgramName(116), "Healing - 586 Hz (Circulation  & sex)");
  EXPECT_STREQ(synth.GetProgramName(83), "Binaural - 7.83 (Schumann Resonance)");
  // FNV-1a of all 125 names joined by newlines, taken from the published list:
  // any changed character anywhere changes it.
  std::string joined;
  for (int i = 1; i <= 125; ++i)
    joined += std::string(i > 1 ? "\n" : "") + synth.GetProgramName(i);
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (unsigned char c : joined)
    hash = (hash ^ c) * 0x100000001b3u;
  EXPECT_EQ(joined.size(), 5242u);
  EXPECT_EQ(hash, 0x4507e7eb94094ef5u);
}

TEST(FactoryPrograms, ValuesFollowTheirNames)
{
  CLS_THRUMWELL synth;
  for (int i = 1; i <= 125; ++i)
  {
    const std::string name = synth.GetProgramName(i);
    SCOPED_TRACE(name);
    // The number in a name is the value stored for it.
    if (name.rfind("Binaural - ", 0) == 0)
    {
      EXPECT_EQ(StoredValue(synth, i, kParamBinaural), std::strtod(name.c_str() + 11, nullptr));
    }
    if (name.rfind("Healing - ", 0) == 0 || name.rfind("Solfeggio", 0) == 0)
    {
      const std::size_t hz = name.find(" Hz");
      const std::size_t start = name.rfind(' ', hz - 1) + 1;
      EXPECT_EQ(StoredValue(synth, i, kParamFrequency), std::strtod(name.c_str() + start, nullptr));
      EXPECT_EQ(StoredValue(synth, i, kParamBinaural), 0.0);
    }
    EXPECT_EQ(StoredValue(synth, i, kParamAttack), 800);
    EXPECT_EQ(StoredValue(synth, i, kParamRelease), 500);
    EXPECT_EQ(StoredValue(synth, i, kParamFade), 1000);
    EXPECT_EQ(StoredValue(synth, i, kParamVolume), 90);
    EXPECT_EQ(StoredValue(synth, i, kParamCenterFreq), 1);
  }
}

TEST(FactoryPrograms, SelectingSetsEveryParameter)
{
  struct Case
  {
    int program;
    double values[12];
  };
  const Case cases[] = {
    {1, {400, 4, 440, 0, 0, 0, 800, 500, 1000, 90, 0, 1}},
    // Frequency 0 is below the range: selection clamps it to 1.
    {2, {1, 4, 101, 0, 0, 0, 800, 500, 1000, 90, 1, 1}},
    {3, {1, 4, 432, 0, 0, 0, 800, 500, 1000, 90, 1, 1}},
    {4, {200, 4, 440, 0, 0, 1, 800, 500, 1000, 90, 0, 1}},
    {5, {200, 4, 440, 0, 1, 0, 800, 500, 1000, 90, 0, 1}},
    {6, {1, 4, 440, 1, 0, 0, 800, 500, 1000, 90, 1, 1}},
    {7, {1, 4, 440, 2, 0, 0, 800, 500, 1000, 90, 1, 1}},
    {8, {1, 4, 440, 3, 0, 0, 800, 500, 1000, 90, 1, 1}},
    {83, {200, 7.83, 440, 0, 0, 0, 800, 500, 1000, 90, 0, 1}},
    {98, {200, 221.23, 440, 0, 0, 0, 800, 500, 1000, 90, 0, 1}},
    {100, {117.3, 0, 440, 0, 0, 0, 800, 500, 1000, 90, 0, 1}},
    {119, {528, 0, 440, 0, 0, 0, 800, 500, 1000, 90, 0, 1}},
  };
  ThrumwellRig rig;
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.program);
    EXPECT_TRUE(rig.synth.SelectProgram(c.program));
    EXPECT_EQ(rig.synth.GetCurrentProgram(), c.program);
    for (int p = 0; p < 12; ++p)
      EXPECT_EQ(rig.synth.GetParam(p)->GetValue(), c.values[p]) << p;
  }
}

TEST(FactoryPrograms, FreeSlotsBecomeUserPresetsWithoutChangingTheSound)
{
  ThrumwellRig rig;
  rig.synth.SelectProgram(83);
  EXPECT_TRUE(rig.synth.SelectProgram(127));
  EXPECT_STREQ(rig.synth.GetProgramName(127), "user preset 1");
  EXPECT_EQ(rig.synth.GetParam(kParamBinaural)->GetValue(), 7.83);
  EXPECT_TRUE(rig.synth.SelectProgram(126));
  EXPECT_STREQ(rig.synth.GetProgramName(126), "user preset 2");
}
