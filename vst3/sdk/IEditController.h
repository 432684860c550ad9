// IEditController and its companions: the parameter side of a plug-in, and
// the component handler through which the plug-in reports edits to the host.
#pragma once

#include "vst3/sdk/IPluginBase.h"
#include "vst3/sdk/VstTypes.h"

#include <cstddef>

namespace Steinberg {

class IBStream;
class IPlugView;

namespace Vst {

struct ParameterInfo {
  enum ParameterFlags : int32 {
    kNoFlags = 0,
    kCanAutomate = 1 << 0,
    kIsReadOnly = 1 << 1,
    kIsWrapAround = 1 << 2,
    kIsList = 1 << 3,
    kIsHidden = 1 << 4,
    kIsProgramChange = 1 << 15,
    kIsBypass = 1 << 16
  };

  ParamID id;
  String128 title;
  String128 shortTitle;
  String128 units;
  int32 stepCount; // 0 continuous, 1 toggle, n: n + 1 discrete values
  ParamValue defaultNormalizedValue;
  UnitID unitId;
  int32 flags;
};

static_assert(sizeof(ParameterInfo) == 792 && alignof(ParameterInfo) == 8, "ParameterInfo layout");
static_assert(offsetof(ParameterInfo, title) == 4 && offsetof(ParameterInfo, shortTitle) == 260 &&
                  offsetof(ParameterInfo, units) == 516 && offsetof(ParameterInfo, stepCount) == 772 &&
                  offsetof(ParameterInfo, defaultNormalizedValue) == 776 && offsetof(ParameterInfo, unitId) == 784 &&
                  offsetof(ParameterInfo, flags) == 788,
              "ParameterInfo offsets");

enum RestartFlags : int32 {
  kReloadComponent = 1 << 0,
  kIoChanged = 1 << 1,
  kParamValuesChanged = 1 << 2,
  kLatencyChanged = 1 << 3,
  kParamTitlesChanged = 1 << 4,
  kMidiCCAssignmentChanged = 1 << 5,
  kNoteExpressionChanged = 1 << 6,
  kIoTitlesChanged = 1 << 7,
  kPrefetchableSupportChanged = 1 << 8,
  kRoutingInfoChanged = 1 << 9,
  kKeyswitchChanged = 1 << 10,
  kParamIDMappingChanged = 1 << 11
};

enum KnobModes { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

namespace ViewType {
constexpr const char8* kEditor = "editor";
}

// Host object; every call on the UI thread.
class IComponentHandler : public FUnknown {
public:
  virtual tresult PLUGIN_API beginEdit(ParamID id) = 0;
  virtual tresult PLUGIN_API performEdit(ParamID id, ParamValue valueNormalized) = 0;
  virtual tresult PLUGIN_API endEdit(ParamID id) = 0;
  virtual tresult PLUGIN_API restartComponent(int32 flags) = 0;

  static constexpr FUID iid{0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6};
};

class IComponentHandler2 : public FUnknown {
public:
  virtual tresult PLUGIN_API setDirty(TBool state) = 0;
  virtual tresult PLUGIN_API requestOpenEditor(FIDString name) = 0;
  virtual tresult PLUGIN_API startGroupEdit() = 0;
  virtual tresult PLUGIN_API finishGroupEdit() = 0;

  static constexpr FUID iid{0xF040B4B3, 0xA36045EC, 0xABCDC045, 0xB4D5A2CC};
};

class IEditController : public IPluginBase {
public:
  virtual tresult PLUGIN_API setComponentState(IBStream* state) = 0;
  // Controller-only state; see IComponent for the processor state.
  virtual tresult PLUGIN_API setState(IBStream* state) = 0;
  virtual tresult PLUGIN_API getState(IBStream* state) = 0;
  virtual int32 PLUGIN_API getParameterCount() = 0;
  virtual tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
  virtual tresult PLUGIN_API getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) = 0;
  virtual tresult PLUGIN_API getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) = 0;
  virtual ParamValue PLUGIN_API normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
  virtual ParamValue PLUGIN_API plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
  virtual ParamValue PLUGIN_API getParamNormalized(ParamID id) = 0;
  virtual tresult PLUGIN_API setParamNormalized(ParamID id, ParamValue value) = 0;
  virtual tresult PLUGIN_API setComponentHandler(IComponentHandler* handler) = 0;
  // Returns an owned view, or null.
  virtual IPlugView* PLUGIN_API createView(FIDString name) = 0;

  static constexpr FUID iid{0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E};
};

class IEditController2 : public FUnknown {
public:
  virtual tresult PLUGIN_API setKnobMode(KnobMode mode) = 0;
  virtual tresult PLUGIN_API openHelp(TBool onlyCheck) = 0;
  virtual tresult PLUGIN_API openAboutBox(TBool onlyCheck) = 0;

  static constexpr FUID iid{0x7F4EFE59, 0xF3204967, 0xAC27A3AE, 0xAFB63038};
};

class IMidiMapping : public FUnknown {
public:
  virtual tresult PLUGIN_API getMidiControllerAssignment(int32 busIndex, int16 channel,
                                                         CtrlNumber midiControllerNumber, ParamID& id) = 0;

  static constexpr FUID iid{0xDF0FF9F7, 0x49B74669, 0xB63AB732, 0x7ADBF5E5};
};

} // namespace Vst
} // namespace Steinberg
