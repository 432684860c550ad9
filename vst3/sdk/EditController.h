// EditController: the parameter side of a plug-in over a ParameterContainer,
// with the host's component handler for reporting edits.
//
// IEditController's controller-state slots (setState/getState) are filled
// here by final thunks that call setEditorState/getEditorState. An object
// that is also an IComponent has a second pair of state slots with the same
// C++ signature; the distinct names keep the two pairs apart.
// All calls on the UI thread.
#pragma once

#include "vst3/sdk/ComponentBase.h"
#include "vst3/sdk/IEditController.h"
#include "vst3/sdk/ParameterContainer.h"

namespace Steinberg {
namespace Vst {

class EditController : public ComponentBase, public IEditController, public IEditController2 {
public:
  uint32 PLUGIN_API addRef() override { return ComponentBase::addRef(); }
  uint32 PLUGIN_API release() override { return ComponentBase::release(); }
  // Answers IEditController and IEditController2, then ComponentBase's.
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  const char* isA() const override { return "EditController"; }

  tresult PLUGIN_API initialize(FUnknown* context) override;
  // Removes every parameter and both component handlers, then
  // ComponentBase::terminate.
  tresult PLUGIN_API terminate() override;

  tresult PLUGIN_API setComponentState(IBStream* state) override;
  tresult PLUGIN_API setState(IBStream* state) final { return setEditorState(state); }
  tresult PLUGIN_API getState(IBStream* state) final { return getEditorState(state); }
  int32 PLUGIN_API getParameterCount() override;
  // kResultFalse for an index out of range.
  tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) override;
  tresult PLUGIN_API getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) override;
  tresult PLUGIN_API getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) override;
  // Unknown IDs give the argument back unchanged.
  ParamValue PLUGIN_API normalizedParamToPlain(ParamID id, ParamValue valueNormalized) override;
  ParamValue PLUGIN_API plainParamToNormalized(ParamID id, ParamValue plainValue) override;
  // Unknown IDs give 0.
  ParamValue PLUGIN_API getParamNormalized(ParamID id) override;
  // Stores the clamped value; never calls back into the host.
  tresult PLUGIN_API setParamNormalized(ParamID id, ParamValue value) override;
  tresult PLUGIN_API setComponentHandler(IComponentHandler* handler) override;
  // No editor by default.
  IPlugView* PLUGIN_API createView(FIDString name) override;

  tresult PLUGIN_API setKnobMode(KnobMode mode) override;
  tresult PLUGIN_API openHelp(TBool onlyCheck) override;
  tresult PLUGIN_API openAboutBox(TBool onlyCheck) override;

  // Controller-only state; kNotImplemented by default.
  virtual tresult setEditorState(IBStream* state);
  virtual tresult getEditorState(IBStream* state);

  // Edits reported to the host; kResultFalse without a component handler.
  tresult beginEdit(ParamID id);
  tresult performEdit(ParamID id, ParamValue valueNormalized);
  tresult endEdit(ParamID id);
  // Through IComponentHandler2; kNotImplemented when the host has none.
  tresult startGroupEdit();
  tresult finishGroupEdit();
  tresult setDirty(TBool state);
  tresult requestOpenEditor(FIDString name = ViewType::kEditor);

  IComponentHandler* getComponentHandler() const { return componentHandler.get(); }
  Parameter* getParameterObject(ParamID id) const { return parameters.getParameter(id); }
  tresult getParameterInfoByTag(ParamID id, ParameterInfo& info) const;

  static KnobMode getHostKnobMode() { return hostKnobMode; }

protected:
  ParameterContainer parameters;
  IPtr<IComponentHandler> componentHandler;
  IPtr<IComponentHandler2> componentHandler2;

  static KnobMode hostKnobMode;
};

} // namespace Vst
} // namespace Steinberg
