#pragma once
// HostEditorView: opens a plug-in's editor the way hosts do, strictly.
// Open: createView("editor") → isPlatformTypeSupported(the window's type) →
// setFrame(our frame) → getSize → size the window → attached(parent, type).
// Close: removed → setFrame(null) → release. Every answer is checked and what
// the plug-in does wrong is recorded as a violation on the HostPlugin; the
// frame records each resizeView and resizes the window as a host would.
//
// On Linux the frame answers IRunLoop with the window's run loop.

#include <string>
#include <vector>

#include "host/HostObject.h"
#include "vst3/sdk/IPlugView.h"

namespace ThrumwellHost
{

class HostPlugin;
class HostWindow;

class HostPlugFrame final : public HostObject<Steinberg::IPlugFrame>
{
public:
  explicit HostPlugFrame(HostWindow* window) : window(window) {}

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  // Resizes the window and answers onSize, as hosts do; recorded.
  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override;

  const std::vector<Steinberg::ViewRect>& Resizes() const { return resizes; }
  // The onSize calls the frame made in answer.
  int OnSizes() const { return onSizes; }

private:
  HostWindow* window;
  std::vector<Steinberg::ViewRect> resizes;
  int onSizes = 0;
};

class HostEditorView
{
public:
  HostEditorView(HostPlugin& plugin, HostWindow& window);
  // Closes the view if still open.
  ~HostEditorView();
  HostEditorView(const HostEditorView&) = delete;
  HostEditorView& operator=(const HostEditorView&) = delete;

  // The open sequence; false (with a violation recorded) when any step failed.
  bool Open();
  // The close sequence; true when every answer was right.
  bool Close();
  bool IsOpen() const { return attachedNow; }
  // Tells the view the screen's scale through IPlugViewContentScaleSupport:
  // before Open it is told between setFrame and getSize (factor 0 tells
  // nothing), when open at once. The view's answer, or kNoInterface when it
  // does not support scaling (recorded as a violation when a factor other
  // than 1 was asked).
  Steinberg::tresult SetContentScale(float factor);

  Steinberg::IPlugView* View() const { return view; }
  HostPlugFrame& Frame() { return frame; }
  Steinberg::ViewRect Size() const { return size; }

private:
  HostPlugin& plugin;
  HostWindow& window;
  HostPlugFrame frame;
  Steinberg::IPlugView* view = nullptr;
  Steinberg::ViewRect size;
  bool attachedNow = false;
  float contentScale = 0.0f;
};

}  // namespace ThrumwellHost
