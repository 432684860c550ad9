// StringListParameter: a parameter whose values are the entries of a list of
// strings; the plain value is the entry index.
#pragma once

#include "vst3/sdk/Parameter.h"

#include <string>
#include <vector>

namespace Steinberg {
namespace Vst {

class StringListParameter : public Parameter {
public:
  // The list starts empty (stepCount -1); each appended string adds a step.
  explicit StringListParameter(const ParameterInfo& info);
  StringListParameter(const TChar* title, ParamID tag, const TChar* units = nullptr,
                      int32 flags = ParameterInfo::kCanAutomate | ParameterInfo::kIsList,
                      UnitID unitID = kRootUnitId, const TChar* shortTitle = nullptr);

  const char* isA() const override { return "StringListParameter"; }
  bool isTypeOf(const char* name) const override;

  void appendString(const TChar* string);
  bool replaceString(int32 index, const TChar* string);
  void clear();
  int32 getStringCount() const { return static_cast<int32>(strings.size()); }

  // The entry at the value's index; an empty list shows an empty string.
  void toString(ParamValue valueNormalized, String128 string) const override;
  // Exact, case-sensitive match against the entries in order.
  bool fromString(const TChar* string, ParamValue& valueNormalized) const override;
  ParamValue toPlain(ParamValue valueNormalized) const override;
  ParamValue toNormalized(ParamValue plainValue) const override;

protected:
  std::vector<std::u16string> strings;
};

} // namespace Vst
} // namespace Steinberg
