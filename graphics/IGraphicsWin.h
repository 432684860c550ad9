#pragma once
//! The editor on Windows: a child window inside the host's parent window,
//! its frame timer, the translation of mouse and keyboard messages into the
//! core's dispatch operations, the copy of the canvas to the screen, and the
//! typed-entry box as a native edit field or drop-down list. Also the
//! services that go through the shell and the common dialogs: folders,
//! opening a web address, the colour chooser and the file dialogs.
//!
//! Without a window (never opened, or closed) it behaves as the headless
//! editor of IGraphicsPlatform: Tick and the Pointer* operations drive it and
//! the canvas holds the picture.
//!
//! Everything runs on the thread that owns the window (the host's
//! user-interface thread); so does the process-wide count of open windows
//! that keeps the window class registered.

#include <cstdint>
#include <memory>

#include "graphics/IGraphicsPlatform.h"

class IGraphicsWin : public IGraphicsPlatform
{
public:
  //! The window class every editor window of this module belongs to.
  static constexpr const char* kWindowClass = "IPlugWndClass";
  //! Timer id of the frame timer, and the control id and user-data marker of
  //! the typed-entry box.
  static constexpr unsigned kFrameTimer = 2;
  static constexpr int kBoxId = 99;
  static constexpr std::uintptr_t kBoxMarker = 0xDEADF00B;

  using IGraphicsPlatform::IGraphicsPlatform;
  ~IGraphicsWin() override;

  const char* PlatformType() const override { return "HWND"; }

  //! Copies the region from the canvas inside BeginPaint/EndPaint.
  bool ShowRegion(const IBounds& region) override;
  //! The core's resize and the canvas; an open window, and its parent and
  //! grandparent when they are plain child windows, grow or shrink by the
  //! difference.
  void ResizeEditor(int width, int height) override;
  //! The platform's scale change (a held gesture ends, the capture goes),
  //! then the window takes the scaled size. Messages' window pixels map to
  //! layout pixels by the factor; the box and its font are scaled.
  void SetScale(float factor) override;
  //! The scale of the monitor the parent window is on: GetDpiForWindow / 96
  //! where Windows has it, 1 (96 dpi) otherwise.
  float SystemScale() override;
  //! The monitor's scale changed under the window (per-monitor aware
  //! top-level window): without a factor from the host, the editor follows
  //! it and asks the host for the new size.
  void FollowSystemScale();
  //! With a window: the native box over the control (see IGraphicsPlatform
  //! for its geometry), focused, its procedure replaced by the box procedure.
  void AskValue(IControl* control, IParamDef* param, bool centred) override;
  void HostFolder(char* out) override;
  void ModuleFolder(char* out) override;
  //! Open (action other than 1) or save (action 1) dialog for the
  //! space-separated extensions; path (room for 256 characters) becomes the
  //! choice, or empty.
  void AskFile(char* path, int action, const char* folder, const char* extensions) override;
  //! The colour dialog titled with the prompt; false without a window or
  //! when cancelled, otherwise red, green and blue are written back.
  bool AskColour(IArgb* colour, const char* prompt) override;
  //! Asks the confirm text first when given; ShellExecute "open"; the failure
  //! text is shown when the address cannot be opened.
  bool OpenLink(const char* address, const char* caption, const char* confirm, const char* failure) override;
  //! A wheel the host passes on: steps at the cursor when the cursor is over
  //! the editor window; false otherwise.
  bool WheelFromHost(int steps) override;
  //! Opens the child window in parent at (0, 0) with the editor's size; an
  //! open window moves to the new parent keeping its place. Null when the
  //! window cannot be made (no parent, a destroyed parent).
  void* OpenIn(void* parent) override;
  //! Flushes a running end-of-edit countdown, destroys the window and the
  //! box, and unregisters the window class with the last open window.
  void CloseNative() override;
  void* NativeWindow() override { return window; }

  //! The open typed-entry box's window, or null.
  void* BoxWindow() const { return boxWindow; }
  //! Number of editor windows open in this module.
  static int OpenWindowCount();

protected:
  //! Invalidates the region, keeps an open box out of it and paints at once.
  void RepaintRegion(const IBounds& region) override;
  //! Puts the box's own procedure back and destroys it, with its font.
  void CloseBox() override;

private:
  struct Native;
  friend struct Native;

  //! The frame timer: reads a committed box's text, then runs the tick.
  void TimerTick();
  //! Everything closing does but destroying the window: pending ends of
  //! edit go out, the box closes, the window is forgotten.
  void LetWindowGo();

  void* window = nullptr;      // HWND
  void* parent = nullptr;      // HWND given to OpenIn
  void* boxWindow = nullptr;   // HWND of the typed-entry box
  void* boxOldProc = nullptr;  // WNDPROC the box came with
  void* boxFont = nullptr;     // HFONT made for the box
  std::unique_ptr<unsigned long[]> customColours;  // COLORREF[16], on first colour dialog
};
