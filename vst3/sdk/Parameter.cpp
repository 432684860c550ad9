#include "vst3/sdk/Parameter.h"

#include "vst3/sdk/UString.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace Steinberg {
namespace Vst {

Parameter::Parameter() : info{} {}

Parameter::Parameter(const ParameterInfo& parameterInfo) : info(parameterInfo) {
  valueNormalized = info.defaultNormalizedValue;
}

Parameter::Parameter(const TChar* title, ParamID tag, const TChar* units, ParamValue defaultValueNormalized,
                     int32 stepCount, int32 flags, UnitID unitID, const TChar* shortTitle)
    : info{} {
  info.id = tag;
  strncpy16(info.title, title, 128);
  strncpy16(info.shortTitle, shortTitle, 128);
  strncpy16(info.units, units, 128);
  info.stepCount = stepCount;
  info.defaultNormalizedValue = defaultValueNormalized;
  info.unitId = unitID;
  info.flags = flags;
  valueNormalized = defaultValueNormalized;
}

bool Parameter::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "Parameter") == 0) || FObject::isTypeOf(name);
}

bool Parameter::setNormalized(ParamValue v) {
  if (std::isnan(v))
    return false;
  v = v > 1. ? 1. : (v < 0. ? 0. : v);
  if (v == valueNormalized)
    return false;
  valueNormalized = v;
  changed();
  return true;
}

void Parameter::toString(ParamValue value, String128 string) const {
  if (info.stepCount == 1) {
    widen(string, value > 0.5 ? "On" : "Off", 128);
    return;
  }
  char text[128];
  if (std::snprintf(text, sizeof(text), "%.*f", precision, value) < 0)
    text[0] = 0;
  widen(string, text, 128);
}

bool Parameter::fromString(const TChar* string, ParamValue& value) const {
  return parseDecimal(string, value);
}

ParamValue Parameter::toPlain(ParamValue value) const {
  return value;
}

ParamValue Parameter::toNormalized(ParamValue plain) const {
  return plain;
}

bool parseDecimal(const TChar* text, double& value) {
  // Units outside ASCII become '?': keeping their low byte could turn a
  // foreign character into a digit.
  char narrowed[128] = {};
  for (int32 i = 0; text && i < 127 && text[i] != 0; ++i)
    narrowed[i] = text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
  double parsed;
  if (std::sscanf(narrowed, "%lf", &parsed) != 1)
    return false;
  value = parsed;
  return true;
}

} // namespace Vst
} // namespace Steinberg
