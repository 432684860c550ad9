#include "vst3/sdk/ParameterContainer.h"
#include "vst3/sdk/StringListParameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::u16string shown(const Parameter& parameter, ParamValue value) {
  String128 text;
  parameter.toString(value, text);
  return text;
}

TEST(Parameter, ConstructionFillsTheInfo) {
  Parameter parameter(u"Volume", 7, u"%", 0.25, 0, ParameterInfo::kCanAutomate, kRootUnitId, u"Vol");
  const ParameterInfo& info = parameter.getInfo();
  EXPECT_EQ(info.id, 7u);
  EXPECT_EQ(std::u16string(info.title), u"Volume");
  EXPECT_EQ(std::u16string(info.shortTitle), u"Vol");
  EXPECT_EQ(std::u16string(info.units), u"%");
  EXPECT_EQ(info.defaultNormalizedValue, 0.25);
  EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate);
  EXPECT_EQ(parameter.getNormalized(), 0.25);

  const std::u16string longTitle(200, u'x');
  Parameter truncated(longTitle.c_str(), 1);
  EXPECT_EQ(strlen16(truncated.getInfo().title), 127);
}

TEST(Parameter, SetNormalizedClampsAndReportsChanges) {
  Parameter parameter(u"P", 0);
  struct Row {
    ParamValue in;
    ParamValue stored;
    bool changed;
  };
  const Row rows[] = {{0.5, 0.5, true},   {0.5, 0.5, false}, {1.5, 1.0, true},
                      {-3.0, 0.0, true},  {std::numeric_limits<double>::quiet_NaN(), 0.0, false},
                      {std::numeric_limits<double>::infinity(), 1.0, true}};
  for (const Row& row : rows) {
    EXPECT_EQ(parameter.setNormalized(row.in), row.changed) << row.in;
    EXPECT_EQ(parameter.getNormalized(), row.stored) << row.in;
  }
}

TEST(Parameter, StringConversions) {
  Parameter continuous(u"P", 0);
  EXPECT_EQ(shown(continuous, 0.5), u"0.5000");
  continuous.setPrecision(1);
  EXPECT_EQ(shown(continuous, 0.25), u"0.2");

  Parameter toggle(u"T", 1, nullptr, 0., 1);
  EXPECT_EQ(shown(toggle, 0.51), u"On");
  EXPECT_EQ(shown(toggle, 0.5), u"Off");

  ParamValue value = -1.;
  EXPECT_TRUE(continuous.fromString(u"  0.75xyz", value));
  EXPECT_EQ(value, 0.75);
  value = -1.;
  EXPECT_FALSE(continuous.fromString(u"abc", value));
  EXPECT_FALSE(continuous.fromString(u"", value));
  // A non-ASCII unit whose low byte is a digit must not read as that digit.
  const char16 foreign[] = {0x0131, 0};
  EXPECT_FALSE(continuous.fromString(foreign, value));
  EXPECT_EQ(value, -1.);
  EXPECT_EQ(continuous.toPlain(0.3), 0.3);
  EXPECT_EQ(continuous.toNormalized(0.3), 0.3);
}

StringListParameter makeWaves() {
  StringListParameter list(u"Wave", 3);
  for (const char16* name : {u"Sine", u"Triangle", u"Saw", u"Square"})
    list.appendString(name);
  return list;
}

TEST(StringListParameter, StepCountFollowsTheEntries) {
  StringListParameter list(u"Presets", 0x70727374, nullptr,
                           ParameterInfo::kIsList | ParameterInfo::kIsProgramChange);
  EXPECT_EQ(list.getInfo().stepCount, -1);
  EXPECT_EQ(list.getInfo().flags, 0x8008);
  list.appendString(u"A");
  EXPECT_EQ(list.getInfo().stepCount, 0);
  list.appendString(u"B");
  EXPECT_EQ(list.getInfo().stepCount, 1);
  list.clear();
  EXPECT_EQ(list.getInfo().stepCount, -1);
  EXPECT_EQ(shown(list, 0.7), u"");
  EXPECT_EQ(list.toPlain(0.7), 0.);
}

TEST(StringListParameter, ValueIndexAndTextConversions) {
  const StringListParameter waves = makeWaves();
  struct Row {
    ParamValue normalized;
    ParamValue index;
    const char16* text;
  };
  const Row rows[] = {{0.0, 0, u"Sine"},     {0.2499, 0, u"Sine"}, {0.25, 1, u"Triangle"},
                      {0.5, 2, u"Saw"},      {0.75, 3, u"Square"}, {1.0, 3, u"Square"},
                      {-0.5, 0, u"Sine"},    {7.0, 3, u"Square"},
                      {std::numeric_limits<double>::quiet_NaN(), 0, u"Sine"}};
  for (const Row& row : rows) {
    EXPECT_EQ(waves.toPlain(row.normalized), row.index) << row.normalized;
    EXPECT_EQ(shown(waves, row.normalized), row.text) << row.normalized;
  }
  EXPECT_DOUBLE_EQ(waves.toNormalized(2), 2. / 3.);

  ParamValue value = -1.;
  EXPECT_TRUE(waves.fromString(u"Saw", value));
  EXPECT_DOUBLE_EQ(value, 2. / 3.);
  EXPECT_FALSE(waves.fromString(u"saw", value));
  EXPECT_FALSE(waves.fromString(u"Sawtooth", value));

  StringListParameter edited = makeWaves();
  EXPECT_TRUE(edited.replaceString(3, u"Pulse"));
  EXPECT_FALSE(edited.replaceString(4, u"Noise"));
  EXPECT_EQ(shown(edited, 1.0), u"Pulse");
}

TEST(ParameterContainer, KeepsOrderLooksUpByIdAndRefusesDuplicates) {
  ParameterContainer container;
  EXPECT_EQ(container.addParameter(nullptr, u"Hz"), nullptr);
  Parameter* first = container.addParameter(u"Frequency", u"Hz", 0, 0.5, ParameterInfo::kCanAutomate, 10);
  Parameter* second = container.addParameter(u"Volume");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->getInfo().id, 1u);
  EXPECT_EQ(container.getParameterCount(), 2);
  EXPECT_EQ(container.getParameterByIndex(0), first);
  EXPECT_EQ(container.getParameterByIndex(2), nullptr);
  EXPECT_EQ(container.getParameterByIndex(-1), nullptr);
  EXPECT_EQ(container.getParameter(10), first);
  EXPECT_EQ(container.getParameter(11), nullptr);

  EXPECT_EQ(container.addParameter(new Parameter(u"Again", 10)), nullptr);
  EXPECT_EQ(container.getParameterCount(), 2);

  EXPECT_TRUE(container.removeParameter(10));
  EXPECT_FALSE(container.removeParameter(10));
  EXPECT_EQ(container.getParameter(1), second);
  EXPECT_EQ(container.getParameterByIndex(0), second);

  container.removeAll();
  EXPECT_EQ(container.getParameterCount(), 0);
  EXPECT_EQ(container.getParameter(1), nullptr);
}

} // namespace
