// Parameter: one controller parameter as the host sees it, holding its
// ParameterInfo and current normalized value.
//
// The base class has no plain range: toPlain and toNormalized are identity
// and toString prints the normalized value. Subclasses give real ranges.
// Controller calls come on the UI thread; nothing here takes a lock.
#pragma once

#include "vst3/sdk/FObject.h"
#include "vst3/sdk/IEditController.h"

namespace Steinberg {
namespace Vst {

class Parameter : public FObject {
public:
  Parameter();
  // Current value = info.defaultNormalizedValue.
  explicit Parameter(const ParameterInfo& info);
  // Strings are truncated to 127 characters; the default is not clamped.
  Parameter(const TChar* title, ParamID tag, const TChar* units = nullptr, ParamValue defaultValueNormalized = 0.,
            int32 stepCount = 0, int32 flags = ParameterInfo::kCanAutomate, UnitID unitID = kRootUnitId,
            const TChar* shortTitle = nullptr);

  const char* isA() const override { return "Parameter"; }
  bool isTypeOf(const char* name) const override;

  const ParameterInfo& getInfo() const { return info; }
  ParameterInfo& getInfo() { return info; }
  UnitID getUnitID() const { return info.unitId; }
  void setUnitID(UnitID id) { info.unitId = id; }
  int32 getPrecision() const { return precision; }
  void setPrecision(int32 digits) { precision = digits; }
  ParamValue getNormalized() const { return valueNormalized; }

  // Clamps to [0, 1] (NaN is refused). True when the stored value changed;
  // a change is announced with changed().
  virtual bool setNormalized(ParamValue v);
  // The normalized value with `precision` decimals; a toggle (stepCount 1)
  // shows "On" above 0.5, else "Off".
  virtual void toString(ParamValue valueNormalized, String128 string) const;
  // Reads a decimal number; false when the text holds none.
  virtual bool fromString(const TChar* string, ParamValue& valueNormalized) const;
  virtual ParamValue toPlain(ParamValue valueNormalized) const;
  virtual ParamValue toNormalized(ParamValue plainValue) const;

protected:
  ParameterInfo info;
  ParamValue valueNormalized = 0.;
  int32 precision = 4;
};

// Parses the leading decimal number of a UTF-16 text the way scanf's %lf
// does; false when there is none.
bool parseDecimal(const TChar* text, double& value);

} // namespace Vst
} // namespace Steinberg
