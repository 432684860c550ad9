// CPluginView: the common part of an editor view: reference counting, the
// stored size, the parent window while attached and the host's frame.
// Every call comes on the host's UI thread.
#pragma once

#include "vst3/sdk/FObject.h"
#include "vst3/sdk/IPlugView.h"
#include "vst3/sdk/IPtr.h"

namespace Steinberg {

class CPluginView : public FObject, public IPlugView {
public:
  explicit CPluginView(const ViewRect* rect = nullptr);

  uint32 PLUGIN_API addRef() override { return FObject::addRef(); }
  uint32 PLUGIN_API release() override { return FObject::release(); }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  const char* isA() const override { return "CPluginView"; }

  // A real view overrides this; the base supports no platform.
  tresult PLUGIN_API isPlatformTypeSupported(FIDString type) override;
  tresult PLUGIN_API attached(void* parent, FIDString type) override;
  tresult PLUGIN_API removed() override;
  tresult PLUGIN_API onWheel(float distance) override;
  tresult PLUGIN_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) override;
  tresult PLUGIN_API onKeyUp(char16 key, int16 keyCode, int16 modifiers) override;
  tresult PLUGIN_API getSize(ViewRect* size) override;
  tresult PLUGIN_API onSize(ViewRect* newSize) override;
  tresult PLUGIN_API onFocus(TBool state) override;
  // Keeps a counted reference to the frame (null forgets it).
  tresult PLUGIN_API setFrame(IPlugFrame* frame) override;
  tresult PLUGIN_API canResize() override;
  tresult PLUGIN_API checkSizeConstraint(ViewRect* rect) override;

  const ViewRect& getRect() const { return rect; }
  void setRect(const ViewRect& newRect) { rect = newRect; }
  bool isAttached() const { return systemWindow != nullptr; }
  void* getSystemWindow() const { return systemWindow; }
  IPlugFrame* getFrame() const { return plugFrame.get(); }

  // Hooks called after the parent window was remembered / forgotten.
  virtual void attachedToParent() {}
  virtual void removedFromParent() {}

protected:
  ViewRect rect;
  void* systemWindow = nullptr;
  IPtr<IPlugFrame> plugFrame;
};

} // namespace Steinberg
