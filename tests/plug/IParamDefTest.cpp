#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "plug/IParamDef.h"

namespace
{
std::string Format(const IParamDef& p, double x, bool normalized = false)
{
  char text[IParamDef::kFormatSize];
  p.FormatForHost(x, normalized, text);
  return text;
}

IParamDef Real(double minValue, double maxValue, double step, double shape = 1.0)
{
  IParamDef p;
  p.DefineReal("Real", minValue, minValue, maxValue, step);
  p.SetShapeExponent(shape);
  return p;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
}

TEST(IParamDef, StartsUndefined)
{
  IParamDef p;
  EXPECT_EQ(p.GetKind(), KindNone);
  EXPECT_EQ(p.GetValue(), 0.0);
  EXPECT_EQ(p.GetMin(), 0.0);
  EXPECT_EQ(p.GetMax(), 1.0);
  EXPECT_EQ(p.GetStep(), 1.0);
  EXPECT_EQ(p.GetShape(), 1.0);
  EXPECT_TRUE(p.GetAutomatable());
  EXPECT_STREQ(p.GetName(), "");
}

TEST(IParamDef, DefinitionsSetKindRangeAndDefault)
{
  IParamDef real, integer, list;
  real.DefineReal("Fade", 250.0, 1.0, 1000.0, 1.0, "ms");
  integer.DefineInt("Count", 7, -5, 20, "x");
  list.DefineList("Wave", 2, 4);

  EXPECT_EQ(real.GetKind(), KindReal);
  EXPECT_STREQ(real.GetName(), "Fade");
  EXPECT_STREQ(real.GetLabel(), "ms");
  EXPECT_EQ(real.GetValue(), 250.0);
  EXPECT_EQ(real.GetDefault(), 250.0);

  EXPECT_EQ(integer.GetKind(), KindInt);
  EXPECT_EQ(integer.GetMin(), -5.0);
  EXPECT_EQ(integer.GetMax(), 20.0);
  EXPECT_EQ(integer.GetStep(), 1.0);
  EXPECT_EQ(integer.GetPrecision(), 0);

  EXPECT_EQ(list.GetKind(), KindList);
  EXPECT_EQ(list.GetMin(), 0.0);
  EXPECT_EQ(list.GetMax(), 3.0);
  EXPECT_EQ(list.GetValue(), 2.0);
}

TEST(IParamDef, MaxIsAtLeastOneStepAboveMin)
{
  IParamDef equal, below;
  equal.DefineReal("a", 0.0, 5.0, 5.0, 0.5);
  below.DefineReal("b", 0.0, 5.0, 2.0, 1.0);
  EXPECT_EQ(equal.GetMax(), 5.5);
  EXPECT_EQ(below.GetMax(), 6.0);
  // The default is kept as given, even outside the range.
  EXPECT_EQ(below.GetValue(), 0.0);
}

TEST(IParamDef, LongTextsAreCutToTheirFields)
{
  IParamDef p;
  const std::string longName(60, 'n');
  p.DefineReal(longName.c_str(), 0.0, 0.0, 1.0, 1.0, longName.c_str());
  p.AddDisplayText(0, longName.c_str());
  EXPECT_EQ(std::string(p.GetName()), std::string(31, 'n'));
  EXPECT_EQ(std::string(p.GetLabel()), std::string(31, 'n'));
  EXPECT_EQ(std::string(p.DisplayTextFor(0)), std::string(31, 'n'));
}

TEST(IParamDef, PrecisionComesFromTheStep)
{
  const struct
  {
    double step;
    int precision;
  } cases[] = {{1.0, 0}, {0.1, 1}, {0.01, 2}, {0.125, 3}, {0.5, 1}, {0.0000001, 6}, {10.0, 0}};
  for (const auto& c : cases)
  {
    IParamDef p;
    p.DefineReal("x", 0.0, 0.0, 100.0, c.step);
    EXPECT_EQ(p.GetPrecision(), c.precision) << "step " << c.step;
  }
}

TEST(IParamDef, SetFromNormalizedSnapsAllButRealKinds)
{
  IParamDef integer, list, freq, snappedOver;
  integer.DefineInt("i", 0, 0, 100);
  list.DefineList("l", 0, 4);
  freq.DefineReal("f", 200.0, 1.0, 20000.0, 0.1);
  freq.SetShapeExponent(2.0);
  snappedOver.DefineInt("s", 0, 0, 10);
  snappedOver.SetShapeExponent(0.5);

  const struct
  {
    IParamDef* p;
    double x;
    double expected;
  } cases[] = {
    {&integer, 0.905, 91.0}, {&integer, 0.0, 0.0},      {&integer, 1.0, 100.0},  {&list, 0.5, 2.0},
    {&list, 0.16, 0.0},      {&list, 1.0, 3.0},         {&freq, 0.5, 5000.75},   {&freq, 1.0, 20000.0},
    {&freq, 0.0, 1.0},       {&snappedOver, 0.99, 10.0},
  };
  for (const auto& c : cases)
  {
    c.p->SetFromNormalized(c.x);
    EXPECT_EQ(c.p->GetValue(), c.expected) << c.p->GetName() << " at " << c.x;
  }
}

TEST(IParamDef, BadNormalizedValuesAreHeldToTheRange)
{
  IParamDef freq = Real(1.0, 20000.0, 0.1, 2.0);
  IParamDef curved = Real(0.0, 10.0, 0.1, 0.5);
  const struct
  {
    double x;
    double expected;
  } cases[] = {{-0.5, 1.0}, {1.5, 20000.0}, {kNaN, 1.0}, {kInf, 20000.0}, {-kInf, 1.0}};
  for (const auto& c : cases)
  {
    freq.SetFromNormalized(c.x);
    EXPECT_EQ(freq.GetValue(), c.expected) << c.x;
    EXPECT_EQ(freq.FromNormalized(c.x), c.expected) << c.x;
    // A fractional exponent has no real power of a negative number.
    curved.SetFromNormalized(c.x);
    EXPECT_FALSE(std::isnan(curved.GetValue())) << c.x;
  }
}

TEST(IParamDef, ToNormalizedClampsAndInvertsTheCurve)
{
  IParamDef freq = Real(1.0, 20000.0, 0.1, 2.0);
  EXPECT_EQ(freq.ToNormalized(-100.0), 0.0);
  EXPECT_EQ(freq.ToNormalized(1.0e9), 1.0);
  EXPECT_EQ(freq.ToNormalized(kNaN), 0.0);
  EXPECT_EQ(freq.ToNormalized(kInf), 1.0);
  EXPECT_DOUBLE_EQ(freq.ToNormalized(5000.75), 0.5);
  freq.SetValue(5000.75);
  EXPECT_DOUBLE_EQ(freq.GetNormalized(), 0.5);
  // FromNormalized neither steps nor clamps within 0..1.
  EXPECT_DOUBLE_EQ(freq.FromNormalized(0.25), 0.0625 * 19999.0 + 1.0);
}

TEST(IParamDef, ShapeExponentIgnoresValuesWithoutACurve)
{
  IParamDef p = Real(0.0, 1.0, 0.01, 2.0);
  for (double bad : {0.0, -1.0, kNaN, kInf})
  {
    p.SetShapeExponent(bad);
    EXPECT_EQ(p.GetShape(), 2.0) << bad;
  }
  p.SetShapeExponent(3.0);
  EXPECT_EQ(p.GetShape(), 3.0);
}

TEST(IParamDef, DisplayTextsFirstEntryWins)
{
  IParamDef p;
  p.DefineList("Wave", 0, 4);
  p.AddDisplayText(1, "Triangle");
  p.AddDisplayText(1, "Shadowed");
  p.AddDisplayText(3, "Square");
  EXPECT_EQ(p.NDisplayTexts(), 3);
  EXPECT_STREQ(p.DisplayTextFor(1), "Triangle");
  EXPECT_STREQ(p.DisplayTextFor(2), "");

  double v = -7.0;
  EXPECT_TRUE(p.ValueForDisplayText("Square", &v));
  EXPECT_EQ(v, 3.0);
  v = -7.0;
  EXPECT_FALSE(p.ValueForDisplayText("square", &v));
  EXPECT_FALSE(p.ValueForDisplayText("Shadow", &v));
  EXPECT_FALSE(p.ValueForDisplayText(nullptr, &v));
  EXPECT_EQ(v, -7.0);

  int value = 0;
  EXPECT_STREQ(p.GetDisplayTextAtIdx(2, &value), "Square");
  EXPECT_EQ(value, 3);
  EXPECT_EQ(p.GetDisplayTextAtIdx(3), nullptr);
  EXPECT_EQ(p.GetDisplayTextAtIdx(-1), nullptr);
}

TEST(IParamDef, ManyDisplayTextsKeepTheirOrder)
{
  IParamDef p;
  p.DefineList("Many", 0, 500);
  for (int i = 0; i < 500; ++i)
    p.AddDisplayText(i, std::to_string(i * 3).c_str());
  for (int i = 0; i < 500; i += 37)
    EXPECT_EQ(p.DisplayTextFor(i), std::to_string(i * 3)) << i;
}

TEST(IParamDef, FormatForHost)
{
  IParamDef freq = Real(1.0, 20000.0, 0.1, 2.0);
  IParamDef hundredths = Real(-10.0, 10.0, 0.01);
  IParamDef whole = Real(-10.0, 10.0, 1.0);
  whole.AddDisplayText(7, "Seven");
  IParamDef list;
  list.DefineList("Wave", 0, 4);
  list.AddDisplayText(0, "Sine");
  list.AddDisplayText(1, "");

  const struct
  {
    const IParamDef* p;
    double x;
    bool normalized;
    const char* text;
  } cases[] = {
    {&freq, 0.5, true, "5000.8"},
    {&freq, 440.0, false, "440.0"},
    {&hundredths, 0.0, false, "0"},
    {&hundredths, -0.0, false, "0"},
    {&hundredths, -2.5, false, "-2.50"},
    {&whole, -2.5, false, "-3"},
    {&whole, 2.5, false, "3"},
    {&whole, 6.6, false, "Seven"},        // display texts apply to every kind
    {&whole, 7.0, false, "Seven"},
    {&list, 0.0, false, "Sine"},
    {&list, 1.0, false, "1"},             // an empty display text shows the number
    {&list, 3.0, false, "3"},
    {&list, 0.0, true, "Sine"},
    {&list, 1.0, true, "3"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Format(*c.p, c.x, c.normalized), c.text) << c.x;
}

TEST(IParamDef, FormatForHostStaysInItsBuffer)
{
  IParamDef p = Real(0.0, 1.0, 0.000001);
  char text[IParamDef::kFormatSize + 16];
  std::fill(std::begin(text), std::end(text), 'X');
  p.FormatForHost(1.0e300, false, text);
  EXPECT_EQ(std::strlen(text), static_cast<std::size_t>(IParamDef::kFormatSize - 1));
  EXPECT_EQ(text[IParamDef::kFormatSize], 'X');
  // Integers out of the 32-bit range and NaN format without undefined conversions.
  IParamDef whole = Real(0.0, 1.0, 1.0);
  EXPECT_EQ(Format(whole, 1.0e300), "2147483647");
  EXPECT_EQ(Format(whole, kNaN), "0");
}

TEST(IParamDef, GetIntRoundsHalvesAwayFromZero)
{
  IParamDef p = Real(-10.0, 10.0, 0.5);
  const struct
  {
    double v;
    int expected;
  } cases[] = {{2.5, 3}, {-2.5, -3}, {2.49, 2}, {-0.4, 0}, {kNaN, 0}, {1.0e12, INT32_MAX}, {-1.0e12, INT32_MIN}};
  for (const auto& c : cases)
  {
    p.SetValue(c.v);
    EXPECT_EQ(p.GetInt(), c.expected) << c.v;
  }
}
