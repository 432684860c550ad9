#pragma once

#include <cstdint>
#include <vector>

#include "plug/RelaxedAtomic.h"

enum IParamKind : std::int32_t
{
  KindNone = 0,
  KindInt = 2,
  KindList = 3,
  KindReal = 4
};

// A text shown instead of the number for one integer value.
struct IDisplayText
{
  std::int32_t value = 0;
  char text[32] = {};
};

// One automatable parameter: kind, range, step, shape exponent, default,
// current real value, name, unit label and display texts. Converts between
// the real value (the parameter's own units) and the normalized value 0..1
// through a power curve with the shape exponent, and formats values for
// display.
//
// The class does no locking: the value is written under the plug-in lock
// (audio thread and editor thread) and read from any thread, so it is a
// relaxed atomic; everything else is fixed once the parameter has been
// defined while the plug-in is constructed.
class IParamDef
{
public:
  static constexpr int kTextSize = 32;
  static constexpr int kMaxPrecision = 6;
  // Size of the buffer FormatForHost writes into.
  static constexpr int kFormatSize = 128;

  // Definition, once per parameter while the plug-in object is constructed.
  // Texts longer than 31 characters are cut to fit their fields.
  void DefineReal(const char* name, double defaultValue, double minValue, double maxValue,
                  double stepValue = 1.0, const char* label = "");
  void DefineInt(const char* name, int defaultValue, int minValue, int maxValue, const char* label = "");
  void DefineList(const char* name, int defaultValue, int count, const char* label = "");
  // Stores the exponent of the normalized mapping. Only positive finite
  // exponents map 0..1 onto the whole range; others are ignored.
  void SetShapeExponent(double exponent);
  // Appends a display text; an earlier entry for the same value shadows it.
  void AddDisplayText(int value, const char* text);

  // Normalized values come from hosts and controls: anything outside 0..1 is
  // held at the nearer end and a NaN counts as 0, so the power curve always
  // sees a value it is defined for.
  static double ClampNormalized(double x);

  // x^shape * (max - min) + min, not stepped and not clamped to the range.
  // x is first clamped to 0..1, a NaN counting as 0.
  double FromNormalized(double x) const;
  // v clamped to the range (a NaN counting as min), mapped back to 0..1.
  double ToNormalized(double v) const;
  double GetNormalized() const { return ToNormalized(value); }
  // Sets the value from a normalized one: shape curve, snapped to the step
  // unless the kind is KindReal, held at max. x is clamped to 0..1 first.
  void SetFromNormalized(double x);

  double GetValue() const { return value; }
  void SetValue(double v) { value = v; }
  // The value as an integer, halves away from zero (0 for a NaN).
  int GetInt() const;
  IParamKind GetKind() const { return kind; }
  double GetMin() const { return min; }
  double GetMax() const { return max; }
  double GetStep() const { return step; }
  double GetShape() const { return shape; }
  double GetDefault() const { return defaultValue; }
  int GetPrecision() const { return precision; }
  const char* GetName() const { return name; }
  const char* GetLabel() const { return label; }
  bool GetAutomatable() const { return automatable; }
  void SetAutomatable(bool canAutomate) { automatable = canAutomate; }

  int NDisplayTexts() const { return static_cast<int>(displayTexts.size()); }
  // Entry i of the display texts (value into *value when given); null when i
  // is out of range.
  const char* GetDisplayTextAtIdx(int i, int* value = nullptr) const;
  // The text of the first entry for v; "" when there is none.
  const char* DisplayTextFor(int v) const;
  // The value of the first entry whose text equals text byte for byte; false
  // and *value untouched when none does.
  bool ValueForDisplayText(const char* text, double* value) const;

  // The text hosts and the editor show for x (normalized when normalized is
  // true, else real): the display text of the nearest integer if it has a
  // non-empty one, "0" for exactly zero, else the number with the parameter's
  // precision. out holds at least kFormatSize bytes.
  void FormatForHost(double x, bool normalized, char* out) const;

private:
  IParamKind kind = KindNone;
  RelaxedAtomic<double> value = 0.0;
  double min = 0.0;
  double max = 1.0;
  double step = 1.0;
  double shape = 1.0;
  double defaultValue = 0.0;
  std::int32_t precision = 0;
  char name[kTextSize] = {};
  char label[kTextSize] = {};
  bool automatable = true;
  std::vector<IDisplayText> displayTexts;
};
