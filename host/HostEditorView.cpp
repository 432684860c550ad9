#include "host/HostEditorView.h"

#include "host/HostPlugin.h"
#include "host/HostWindow.h"
#include "vst3/sdk/IEditController.h"

using namespace Steinberg;

namespace ThrumwellHost
{

tresult PLUGIN_API HostPlugFrame::queryInterface(const TUID iid, void** obj)
{
  if (obj && window && window->RunLoop() && iidEqual(iid, Linux::IRunLoop::iid))
  {
    // The run loop is the window's own host object; the plug-in's reference
    // is counted there.
    window->RunLoop()->addRef();
    *obj = window->RunLoop();
    return kResultOk;
  }
  return HostObject<IPlugFrame>::queryInterface(iid, obj);
}

tresult PLUGIN_API HostPlugFrame::resizeView(IPlugView* view, ViewRect* newSize)
{
  if (!view || !newSize || newSize->getWidth() <= 0 || newSize->getHeight() <= 0)
    return kInvalidArgument;
  resizes.push_back(*newSize);
  if (window && !window->Resize(newSize->getWidth(), newSize->getHeight()))
    return kResultFalse;
  ViewRect applied(0, 0, newSize->getWidth(), newSize->getHeight());
  ++onSizes;
  view->onSize(&applied);
  return kResultTrue;
}

HostEditorView::HostEditorView(HostPlugin& plugin, HostWindow& window)
  : plugin(plugin), window(window), frame(&window)
{
}

HostEditorView::~HostEditorView()
{
  Close();
}

bool HostEditorView::Open()
{
  if (view)
    return attachedNow;
  Vst::IEditController* controller = plugin.Controller();
  if (!controller)
  {
    plugin.Violation("editor opened without a controller");
    return false;
  }
  view = controller->createView(Vst::ViewType::kEditor);
  if (!view)
  {
    plugin.Violation("createView(\"editor\") returned no view");
    return false;
  }
  const char* type = window.PlatformType();
  if (!plugin.Expect(view->isPlatformTypeSupported(type), kResultTrue, std::string("isPlatformTypeSupported(") + type + ")"))
    return false;
  if (!plugin.Expect(view->setFrame(&frame), kResultTrue, "setFrame"))
    return false;
  if (contentScale != 0.0f)
    SetContentScale(contentScale);
  if (!plugin.Expect(view->getSize(&size), kResultTrue, "getSize"))
    return false;
  if (size.getWidth() <= 0 || size.getHeight() <= 0 || size.getWidth() > 16384 || size.getHeight() > 16384)
  {
    plugin.Violation("getSize gave an unusable size");
    return false;
  }
  window.Resize(size.getWidth(), size.getHeight());
  if (!plugin.Expect(view->attached(window.ParentHandle(), type), kResultTrue, "attached"))
    return false;
  attachedNow = true;
  window.Show();
  return true;
}

tresult HostEditorView::SetContentScale(float factor)
{
  if (!view)
  {
    contentScale = factor;
    return kResultTrue;
  }
  IPlugViewContentScaleSupport* scaling = nullptr;
  if (view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)) != kResultOk ||
      !scaling)
  {
    if (factor != 1.0f)
      plugin.Violation("the view does not answer IPlugViewContentScaleSupport");
    return kNoInterface;
  }
  const tresult result = scaling->setContentScaleFactor(factor);
  scaling->release();
  return result;
}

bool HostEditorView::Close()
{
  if (!view)
    return true;
  bool ok = true;
  if (attachedNow)
    ok = plugin.Expect(view->removed(), kResultTrue, "removed") && ok;
  attachedNow = false;
  ok = plugin.Expect(view->setFrame(nullptr), kResultTrue, "setFrame(null)") && ok;
  const uint32 left = view->release();
  view = nullptr;
  if (left != 0)
  {
    plugin.Violation("the view is still referenced after the host released it");
    ok = false;
  }
  if (frame.References() != 0)
  {
    plugin.Violation("the frame is still referenced after the view was released");
    ok = false;
  }
  return ok;
}

}  // namespace ThrumwellHost
