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

class IPlugVST3View : public Steinberg::CPluginView
{
public:
  explicit IPlugVST3View(IPlugVST3* plug);
  ~IPlugVST3View() override;

  const char* isA() const override { return "IPlugVST3View"; }

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
  // (0, 0, editor width, editor height); kResultFalse without an editor.
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  // Stores the size; completes a resize the plug-in asked for.
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
};
