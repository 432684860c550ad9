#include "plug/IParamDef.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "plug/CopyText.h"
#include "plug/RoundToInt.h"

double IParamDef::ClampNormalized(double x)
{
  if (!(x > 0.0))
    return 0.0;
  return x < 1.0 ? x : 1.0;
}

void IParamDef::DefineReal(const char* paramName, double defaultVal, double minVal, double maxVal,
                           double stepVal, const char* unitLabel)
{
  if (kind == KindNone)
    kind = KindReal;
  CopyText(name, paramName, kTextSize);
  CopyText(label, unitLabel, kTextSize);
  min = minVal;
  value = defaultVal;
  max = maxVal >= minVal + stepVal ? maxVal : minVal + stepVal;
  step = stepVal;
  defaultValue = defaultVal;
  precision = 0;
  for (double s = stepVal; precision < kMaxPrecision && s != std::floor(s); s *= 10.0)
    ++precision;
}

void IParamDef::DefineInt(const char* paramName, int defaultVal, int minVal, int maxVal, const char* unitLabel)
{
  if (kind == KindNone)
    kind = KindInt;
  DefineReal(paramName, defaultVal, minVal, maxVal, 1.0, unitLabel);
}

void IParamDef::DefineList(const char* paramName, int defaultVal, int count, const char* unitLabel)
{
  if (kind == KindNone)
    kind = KindList;
  DefineReal(paramName, defaultVal, 0.0, static_cast<double>(count) - 1.0, 1.0, unitLabel);
}

void IParamDef::SetShapeExponent(double exponent)
{
  if (exponent > 0.0 && std::isfinite(exponent))
    shape = exponent;
}

void IParamDef::AddDisplayText(int v, const char* text)
{
  constexpr std::size_t kPerStep = 4096 / sizeof(IDisplayText);
  if (displayTexts.size() == displayTexts.capacity())
    displayTexts.reserve(displayTexts.capacity() + kPerStep);
  IDisplayText entry;
  entry.value = v;
  CopyText(entry.text, text, kTextSize);
  displayTexts.push_back(entry);
}

double IParamDef::FromNormalized(double x) const
{
  return std::pow(ClampNormalized(x), shape) * (max - min) + min;
}

double IParamDef::ToNormalized(double v) const
{
  const double range = max - min;
  if (!(range > 0.0) || !(v > min))
    return 0.0;
  if (v >= max)
    return 1.0;
  return std::pow((v - min) / range, 1.0 / shape);
}

void IParamDef::SetFromNormalized(double x)
{
  double v = FromNormalized(x);
  if (kind != KindReal && step > 0.0)
    v = std::floor(v / step + 0.5) * step;
  if (v >= max)
    v = max;
  value = v;
}

int IParamDef::GetInt() const
{
  return RoundToInt(value);
}

const char* IParamDef::GetDisplayTextAtIdx(int i, int* v) const
{
  if (i < 0 || i >= NDisplayTexts())
    return nullptr;
  const IDisplayText& entry = displayTexts[static_cast<std::size_t>(i)];
  if (v)
    *v = entry.value;
  return entry.text;
}

const char* IParamDef::DisplayTextFor(int v) const
{
  for (const IDisplayText& entry : displayTexts)
  {
    if (entry.value == v)
      return entry.text;
  }
  return "";
}

bool IParamDef::ValueForDisplayText(const char* text, double* v) const
{
  if (!text)
    return false;
  for (const IDisplayText& entry : displayTexts)
  {
    if (std::strcmp(entry.text, text) == 0)
    {
      *v = entry.value;
      return true;
    }
  }
  return false;
}

void IParamDef::FormatForHost(double x, bool normalized, char* out) const
{
  if (normalized)
    x = FromNormalized(x);
  const int r = RoundToInt(x);
  const char* text = DisplayTextFor(r);
  if (text[0])
    CopyText(out, text, kFormatSize);
  else if (x == 0.0)
    CopyText(out, "0", kFormatSize);
  else if (precision == 0)
    std::snprintf(out, kFormatSize, "%d", r);
  else
    std::snprintf(out, kFormatSize, "%.*f", static_cast<int>(precision), x);
}
