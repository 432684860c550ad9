#include "vst3/sdk/EditController.h"

namespace Steinberg {
namespace Vst {

KnobMode EditController::hostKnobMode = kCircularMode;

tresult PLUGIN_API EditController::queryInterface(const TUID iid, void** obj) {
  if (queryInterfaceAs<IEditController>(this, iid, obj) || queryInterfaceAs<IEditController2>(this, iid, obj))
    return kResultOk;
  return ComponentBase::queryInterface(iid, obj);
}

tresult PLUGIN_API EditController::initialize(FUnknown* context) {
  return ComponentBase::initialize(context);
}

tresult PLUGIN_API EditController::terminate() {
  parameters.removeAll();
  componentHandler.reset();
  componentHandler2.reset();
  return ComponentBase::terminate();
}

tresult PLUGIN_API EditController::setComponentState(IBStream*) {
  return kNotImplemented;
}

tresult EditController::setEditorState(IBStream*) {
  return kNotImplemented;
}

tresult EditController::getEditorState(IBStream*) {
  return kNotImplemented;
}

int32 PLUGIN_API EditController::getParameterCount() {
  return parameters.getParameterCount();
}

tresult PLUGIN_API EditController::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
  Parameter* parameter = parameters.getParameterByIndex(paramIndex);
  if (!parameter)
    return kResultFalse;
  info = parameter->getInfo();
  return kResultTrue;
}

tresult PLUGIN_API EditController::getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) {
  Parameter* parameter = parameters.getParameter(id);
  if (!parameter || !string)
    return kResultFalse;
  parameter->toString(valueNormalized, string);
  return kResultTrue;
}

tresult PLUGIN_API EditController::getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) {
  Parameter* parameter = parameters.getParameter(id);
  if (!parameter || !string)
    return kResultFalse;
  return parameter->fromString(string, valueNormalized) ? kResultTrue : kResultFalse;
}

ParamValue PLUGIN_API EditController::normalizedParamToPlain(ParamID id, ParamValue valueNormalized) {
  Parameter* parameter = parameters.getParameter(id);
  return parameter ? parameter->toPlain(valueNormalized) : valueNormalized;
}

ParamValue PLUGIN_API EditController::plainParamToNormalized(ParamID id, ParamValue plainValue) {
  Parameter* parameter = parameters.getParameter(id);
  return parameter ? parameter->toNormalized(plainValue) : plainValue;
}

ParamValue PLUGIN_API EditController::getParamNormalized(ParamID id) {
  Parameter* parameter = parameters.getParameter(id);
  return parameter ? parameter->getNormalized() : 0.;
}

tresult PLUGIN_API EditController::setParamNormalized(ParamID id, ParamValue value) {
  Parameter* parameter = parameters.getParameter(id);
  if (!parameter)
    return kResultFalse;
  parameter->setNormalized(value);
  return kResultTrue;
}

tresult PLUGIN_API EditController::setComponentHandler(IComponentHandler* handler) {
  if (componentHandler == handler)
    return kResultTrue;
  componentHandler = handler;
  componentHandler2 = FUnknownPtr<IComponentHandler2>(handler).get();
  return kResultTrue;
}

IPlugView* PLUGIN_API EditController::createView(FIDString) {
  return nullptr;
}

tresult PLUGIN_API EditController::setKnobMode(KnobMode mode) {
  hostKnobMode = mode;
  return kResultTrue;
}

tresult PLUGIN_API EditController::openHelp(TBool) {
  return kResultFalse;
}

tresult PLUGIN_API EditController::openAboutBox(TBool) {
  return kResultFalse;
}

tresult EditController::beginEdit(ParamID id) {
  return componentHandler ? componentHandler->beginEdit(id) : kResultFalse;
}

tresult EditController::performEdit(ParamID id, ParamValue valueNormalized) {
  return componentHandler ? componentHandler->performEdit(id, valueNormalized) : kResultFalse;
}

tresult EditController::endEdit(ParamID id) {
  return componentHandler ? componentHandler->endEdit(id) : kResultFalse;
}

tresult EditController::startGroupEdit() {
  return componentHandler2 ? componentHandler2->startGroupEdit() : kNotImplemented;
}

tresult EditController::finishGroupEdit() {
  return componentHandler2 ? componentHandler2->finishGroupEdit() : kNotImplemented;
}

tresult EditController::setDirty(TBool state) {
  return componentHandler2 ? componentHandler2->setDirty(state) : kNotImplemented;
}

tresult EditController::requestOpenEditor(FIDString name) {
  return componentHandler2 ? componentHandler2->requestOpenEditor(name) : kNotImplemented;
}

tresult EditController::getParameterInfoByTag(ParamID id, ParameterInfo& info) const {
  Parameter* parameter = parameters.getParameter(id);
  if (!parameter)
    return kResultFalse;
  info = parameter->getInfo();
  return kResultTrue;
}

} // namespace Vst
} // namespace Steinberg
