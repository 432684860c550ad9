#include "vst3/sdk/StringListParameter.h"

#include "vst3/sdk/UString.h"

#include <cmath>
#include <cstring>

namespace Steinberg {
namespace Vst {

StringListParameter::StringListParameter(const ParameterInfo& parameterInfo) : Parameter(parameterInfo) {
  info.stepCount = -1;
}

StringListParameter::StringListParameter(const TChar* title, ParamID tag, const TChar* units, int32 flags,
                                         UnitID unitID, const TChar* shortTitle)
    : Parameter(title, tag, units, 0., -1, flags, unitID, shortTitle) {}

bool StringListParameter::isTypeOf(const char* name) const {
  return (name && std::strcmp(name, "StringListParameter") == 0) || Parameter::isTypeOf(name);
}

void StringListParameter::appendString(const TChar* string) {
  strings.emplace_back(string ? string : u"");
  ++info.stepCount;
}

bool StringListParameter::replaceString(int32 index, const TChar* string) {
  if (index < 0 || index >= getStringCount())
    return false;
  strings[static_cast<size_t>(index)] = string ? string : u"";
  return true;
}

void StringListParameter::clear() {
  strings.clear();
  info.stepCount = -1;
}

void StringListParameter::toString(ParamValue value, String128 string) const {
  const int32 index = static_cast<int32>(toPlain(value));
  strncpy16(string, index < getStringCount() ? strings[static_cast<size_t>(index)].c_str() : nullptr, 128);
}

bool StringListParameter::fromString(const TChar* string, ParamValue& value) const {
  for (int32 i = 0; i < getStringCount(); ++i) {
    if (strEqual16(strings[static_cast<size_t>(i)].c_str(), string)) {
      value = toNormalized(i);
      return true;
    }
  }
  return false;
}

ParamValue StringListParameter::toPlain(ParamValue value) const {
  const int32 steps = info.stepCount;
  if (steps <= 0 || !(value > 0.))
    return 0.;
  return std::fmin(static_cast<double>(steps), std::trunc(value * (steps + 1)));
}

ParamValue StringListParameter::toNormalized(ParamValue plain) const {
  const int32 steps = info.stepCount;
  if (steps <= 0)
    return 0.;
  return plain / steps;
}

} // namespace Vst
} // namespace Steinberg
