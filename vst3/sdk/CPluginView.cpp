#include "vst3/sdk/CPluginView.h"

namespace Steinberg {

CPluginView::CPluginView(const ViewRect* initialRect) {
  if (initialRect)
    rect = *initialRect;
}

tresult PLUGIN_API CPluginView::queryInterface(const TUID iid, void** obj) {
  if (queryInterfaceAs<IPlugView>(this, iid, obj))
    return kResultOk;
  return FObject::queryInterface(iid, obj);
}

tresult PLUGIN_API CPluginView::isPlatformTypeSupported(FIDString) {
  return kNotImplemented;
}

tresult PLUGIN_API CPluginView::attached(void* parent, FIDString) {
  systemWindow = parent;
  attachedToParent();
  return kResultOk;
}

tresult PLUGIN_API CPluginView::removed() {
  systemWindow = nullptr;
  removedFromParent();
  return kResultOk;
}

tresult PLUGIN_API CPluginView::onWheel(float) {
  return kResultFalse;
}

tresult PLUGIN_API CPluginView::onKeyDown(char16, int16, int16) {
  return kResultFalse;
}

tresult PLUGIN_API CPluginView::onKeyUp(char16, int16, int16) {
  return kResultFalse;
}

tresult PLUGIN_API CPluginView::getSize(ViewRect* size) {
  if (!size)
    return kInvalidArgument;
  *size = rect;
  return kResultTrue;
}

tresult PLUGIN_API CPluginView::onSize(ViewRect* newSize) {
  if (newSize)
    rect = *newSize;
  return kResultTrue;
}

tresult PLUGIN_API CPluginView::onFocus(TBool) {
  return kResultFalse;
}

tresult PLUGIN_API CPluginView::setFrame(IPlugFrame* frame) {
  plugFrame = frame;
  return kResultTrue;
}

tresult PLUGIN_API CPluginView::canResize() {
  return kResultFalse;
}

tresult PLUGIN_API CPluginView::checkSizeConstraint(ViewRect*) {
  return kResultFalse;
}

} // namespace Steinberg
