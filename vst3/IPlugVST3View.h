#pragma once
// IPlugVST3View: the editor view a host gets from createView("editor"). It
// opens the plug-in's editor window inside the host's parent window while
// attached; the editor itself belongs to the plug-in and outlives the view.
//
// The view holds one reference on its plug-in from construction to
// destruction and is listed among the plug-in's open views meanwhile.
// Every call comes on the host's UI thread.

#include "vst3/sdk/CPluginView.h"

class IGraphicsPlatform;
class IPlugVST3;

class IPlugVST3View : public Steinberg::CPluginView, public Steinberg::IPlugViewContentScaleSupport
{
public:
  explicit IPlugVST3View(IPlugVST3* plug);
  ~IPlugVST3View() override;

  const char* isA() const override { return "IPlugVST3View"; }
  Steinberg::uint32 PLUGIN_API addRef() override { return CPluginView::addRef(); }
  Steinberg::uint32 PLUGIN_API release() override { return CPluginView::release(); }
  // IPlugView, IPlugViewContentScaleSupport and the base interfaces.
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

  // The host's screen scale. Zero, negative and non-finite factors are
  // refused (kResultFalse); others are clamped to 1..4. Not attached, the
  // editor takes the factor at once (getSize reports the scaled size).
  // Attached, the view asks the frame to resize it to round(width x f) x
  // round(height x f) and the editor takes the factor in the onSize that
  // answers; a frame that refuses leaves the old factor. kResultFalse
  // without an editor.
  Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;

  // kResultTrue exactly for the editor's platform type ("HWND" on Windows,
  // "X11EmbedWindowID" on Linux), when the plug-in has an editor.
  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
  // Opens the editor window in parent. kResultFalse without an editor, for
  // another platform type, or when the window cannot run (no window; on Linux
  // no run loop from the frame or the factory's host context that takes the
  // window's connection and timer), leaving nothing open or registered.
  // Attached again, the window moves to the new parent.
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
  // Closes the window this view opened and unregisters what it registered.
  Steinberg::tresult PLUGIN_API removed() override;
  Steinberg::tresult PLUGIN_API onWheel(float distance) override;
  Steinberg::tresult PLUGIN_API onKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode,
                                          Steinberg::int16 modifiers) override;
  Steinberg::tresult PLUGIN_API onKeyUp(Steinberg::char16 key, Steinberg::int16 keyCode,
                                        Steinberg::int16 modifiers) override;
  // (0, 0, scaled editor width, scaled editor height), the size of a factor
  // still waiting for its onSize included; kResultFalse without an editor.
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  // Stores the size; completes a resize the plug-in asked for, and applies
  // a waiting content scale when the size is the one it asked for.
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;
  Steinberg::tresult PLUGIN_API onFocus(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API setFrame(Steinberg::IPlugFrame* frame) override;
  Steinberg::tresult PLUGIN_API canResize() override;
  Steinberg::tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect* rect) override;

  // Set by the plug-in just before it asks the frame to resize this view.
  void SetResizePending(bool pending) { resizePending = pending; }
  bool IsResizePending() const { return resizePending; }
  IPlugVST3* GetPlug() const { return plug; }

private:
  // The platform part of opening and closing the editor window for this view
  // (IPlugVST3View_win.cpp, IPlugVST3View_linux.cpp). Open answers whether the
  // window is open and running; Close undoes all of it.
  bool OpenWindow(IGraphicsPlatform& editor, void* parent);
  void CloseWindow(IGraphicsPlatform& editor);
  // Another view takes the one editor window: forget it without closing it.
  void LetGoOfWindow();

  // Linux: the handlers this view registered with the host's run loop.
  struct RunLoopLink;

  IPlugVST3* plug;
  RunLoopLink* runLoopLink = nullptr;
  // This view opened the editor window and has not closed it.
  bool ownsWindow = false;
  bool resizePending = false;
  // A content scale asked of the frame, applied by the onSize that answers.
  float pendingScale = 0.0f;
};
