#include "vst3/IPlugParameter.h"

#include <cmath>
#include <cstring>

#include "vst3/sdk/UString.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

IPlugParameter::IPlugParameter(IParamDef* param, ParamID id) : paramDef(param)
{
  info.id = id;
  widen(info.title, param->GetName(), 128);
  widen(info.units, param->GetLabel(), 128);
  const double range = param->GetMax() - param->GetMin();
  info.stepCount = param->GetKind() == KindReal ? 0 : static_cast<int32>(range);
  const double fraction = range != 0.0 ? (param->GetDefault() - param->GetMin()) / range : 0.0;
  info.defaultNormalizedValue = std::pow(fraction, 1.0 / param->GetShape());
  info.flags = param->GetAutomatable() ? ParameterInfo::kCanAutomate : ParameterInfo::kNoFlags;
  info.unitId = kRootUnitId;
  precision = param->GetPrecision();
  valueNormalized = info.defaultNormalizedValue;
}

bool IPlugParameter::isTypeOf(const char* name) const
{
  return (name && std::strcmp(name, "IPlugParameter") == 0) || Parameter::isTypeOf(name);
}

void IPlugParameter::toString(ParamValue value, String128 string) const
{
  char text[IParamDef::kFormatSize];
  paramDef->FormatForHost(value, true, text);
  widen(string, text, 128);
}

bool IPlugParameter::fromString(const TChar* string, ParamValue& value) const
{
  value = paramDef->ToNormalized(ReadDecimal(string));
  return true;
}

ParamValue IPlugParameter::toPlain(ParamValue value) const
{
  return paramDef->FromNormalized(value);
}

ParamValue IPlugParameter::toNormalized(ParamValue plain) const
{
  return paramDef->ToNormalized(plain);
}

double IPlugParameter::ReadDecimal(const TChar* text)
{
  if (!text)
    return 0.0;
  while (*text == u' ' || *text == u'\t')
    ++text;
  double sign = 1.0;
  if (*text == u'+' || *text == u'-')
    sign = *text++ == u'-' ? -1.0 : 1.0;
  const auto digit = [](TChar c) { return c >= u'0' && c <= u'9'; };
  // Digits are gathered as an integer mantissa and a decimal exponent, so
  // the result does not depend on the decimal point of the C locale.
  double mantissa = 0.0;
  int exponent = 0;
  bool any = false;
  for (; digit(*text); ++text, any = true)
    mantissa = mantissa * 10.0 + (*text - u'0');
  if (*text == u'.')
    for (++text; digit(*text); ++text, any = true, --exponent)
      mantissa = mantissa * 10.0 + (*text - u'0');
  if (!any)
    return 0.0;
  if ((*text == u'e' || *text == u'E') && (digit(text[1]) || ((text[1] == u'+' || text[1] == u'-') && digit(text[2]))))
  {
    ++text;
    const int expSign = *text == u'-' ? -1 : 1;
    if (*text == u'+' || *text == u'-')
      ++text;
    int written = 0;
    for (; digit(*text); ++text)
      written = written < 10000 ? written * 10 + (*text - u'0') : written;
    exponent += expSign * written;
  }
  // Dividing by an exact power of ten keeps "90.5" exact.
  const double scale = std::pow(10.0, std::abs(exponent));
  const double value = sign * (exponent < 0 ? mantissa / scale : mantissa * scale);
  return std::isfinite(value) ? value : sign * HUGE_VAL;
}
