#pragma once
// IPlugParameter: one IParamDef of the plug-in base as the host's parameter
// object. Its ID is the parameter's index; every conversion goes through the
// IParamDef, whose value is the one the instrument uses.

#include "plug/IParamDef.h"
#include "vst3/sdk/Parameter.h"

class IPlugParameter : public Steinberg::Vst::Parameter
{
public:
  // Fills the parameter information from param (title and units widened byte
  // by byte, at most 127 characters).
  IPlugParameter(IParamDef* param, Steinberg::Vst::ParamID id);

  const char* isA() const override { return "IPlugParameter"; }
  bool isTypeOf(const char* name) const override;

  // FormatForHost of the normalized value, widened.
  void toString(Steinberg::Vst::ParamValue valueNormalized, Steinberg::Vst::String128 string) const override;
  // Reads a decimal number (no number reads as 0) and gives its normalized
  // value; always true.
  bool fromString(const Steinberg::Vst::TChar* string, Steinberg::Vst::ParamValue& valueNormalized) const override;
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue valueNormalized) const override;
  Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plainValue) const override;

  // Reads a plain decimal number the way a user types one: leading spaces,
  // optional sign, digits, decimal point, exponent; 0 when there is none.
  // Independent of the process's locale.
  static double ReadDecimal(const Steinberg::Vst::TChar* text);

private:
  IParamDef* paramDef;
};
