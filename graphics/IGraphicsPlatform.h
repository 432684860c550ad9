#pragma once
//! The window-independent half of the native editors (IGraphicsWin on
//! Windows, IGraphicsLinux elsewhere): images from the module's resources,
//! the end-of-edit countdown, the typed-entry box's bookkeeping and the
//! timer tick that commits typed values, repaints changes and runs the
//! countdown. The native window, its timer and messages live in the platform
//! classes; without a window the editor is driven by calling Tick and the
//! Pointer* operations, and paints into its canvas.

#include <string>

#include "graphics/IGraphics.h"

class IGraphicsPlatform : public IGraphics
{
public:
  //! States of the typed-entry box.
  enum EditBoxState : int
  {
    BoxIdle = 0,
    BoxActive = 1,
    BoxCancel = 2,
    BoxCommit = 3,
  };

  //! What a typed-entry box shows: an edit field, or a drop-down list of the
  //! parameter's display texts.
  struct IEditBox
  {
    bool list = false;
    IBounds rect;
    std::string text;
    //! List only: the entry shown as chosen, -1 for none.
    int selection = -1;
  };

  IGraphicsPlatform(IPlugBase* plug, int width, int height, int frameRate = 0);

  //! The module whose image resources the editor shows (an HINSTANCE on Windows).
  void SetModuleInstance(void* instance) { moduleInstance = instance; }
  void* ModuleInstance() const { return moduleInstance; }

  //! The VST3 platform type of the parent window OpenIn expects ("HWND",
  //! "X11EmbedWindowID"); null when this editor opens no native window.
  virtual const char* PlatformType() const { return nullptr; }

  bool ShowRegion(const IBounds&) override { return true; }
  //! Forgets an open box, resizes as the core does, then the canvas takes
  //! the new size.
  void ResizeEditor(int width, int height) override;
  void AskText(IControl*) override {}
  //! Opens the typed-entry box for a parameter; ignored without control or
  //! parameter, or while a box is open.
  void AskValue(IControl* control, IParamDef* param, bool centred) override;
  void HostFolder(char* out) override { if (out) *out = '\0'; }
  void ModuleFolder(char* out) override { if (out) *out = '\0'; }
  void AskFile(char* path, int, const char*, const char*) override { if (path) *path = '\0'; }
  bool AskColour(IArgb*, const char*) override { return false; }
  bool OpenLink(const char*, const char*, const char*, const char*) override { return false; }
  void StartEditEndTimer(int ticks) override { endEditCountdown = ticks; }
  void StopEditEndTimer() override { endEditCountdown = 0; }
  void* OpenIn(void*) override { return nullptr; }
  //! Flushes a running end-of-edit countdown; the native window goes later.
  void CloseNative() override;
  void* NativeWindow() override { return nullptr; }
  void HideTipUnlessEnabled() override {}
  LICE_IBitmap* LoadImageResource(int number, const char* fileName) override;

  //! A new content scale: a gesture in progress ends (its host edit closes;
  //! positions before and after the change cannot be compared), an open
  //! box is cancelled, then the core takes the factor.
  void SetScale(float factor) override;
  //! Whether the host has told the editor its scale (setContentScaleFactor);
  //! until then the window may follow the system's.
  bool ScaleFromHost() const { return scaleFromHost; }
  void SetScaleFromHost(bool fromHost) { scaleFromHost = fromHost; }
  //! The scale the system gives the open window (the monitor's or the
  //! desktop's), 0 when it says none.
  virtual float SystemScale() { return 0.0f; }

  //! One frame of the editor's timer: commits or cancels a closed box, paints
  //! what changed, and counts the end-of-edit countdown down.
  void Tick();

  bool BoxOpen() const { return boxControl != nullptr; }
  const IEditBox& Box() const { return box; }
  IControl* BoxControl() const { return boxControl; }
  int BoxState() const { return boxState; }
  //! What the box's window reports: focus, Enter, a choice, a click elsewhere.
  void SetBoxState(int state) { boxState = state; }
  //! The text the user typed or picked (the window reads it from the box).
  void SetBoxText(const char* text) { box.text = text ? text : ""; }
  int EndEditCountdown() const { return endEditCountdown; }

protected:
  //! Repaints a changed region; a window invalidates and paints it, the
  //! headless editor paints the canvas at once.
  virtual void RepaintRegion(const IBounds& region) { PaintPass(region); }
  //! Forgets the box (the window destroys its child here).
  virtual void CloseBox();
  //! Closes the box as a commit or cancel does: its control stops waiting
  //! for the entry and is drawn again.
  void FinishBox();
  //! Ends the host edit of a gesture whose release can no longer come (the
  //! window closes under a held button) and forgets the pointer.
  void EndHeldGesture();

  void* moduleInstance = nullptr;
  IEditBox box;
  IControl* boxControl = nullptr;
  IParamDef* boxParam = nullptr;
  int boxState = BoxIdle;
  int endEditCountdown = 0;
  bool scaleFromHost = false;
};

//! Makes the editor of this platform: IGraphicsWin on Windows, IGraphicsLinux
//! elsewhere. frameRate 0 selects the default of 24 frames per second.
IGraphicsPlatform* MakePlatformGraphics(IPlugBase* plug, int width, int height, int frameRate, void* moduleInstance);
