#pragma once
//! The editor on Linux: an X11 child window embedded (XEmbed) in the window
//! the host gives the view, on an X connection of its own. It has no thread
//! and no event loop of its own: the host's run loop calls HandleEvents when
//! the connection's descriptor is readable and OnTimer at the frame rate
//! (the view registers both), all on the host's user-interface thread.
//!
//! XEmbed as every kind of host embeds: the window is made unmapped and says
//! so; when the embedder's notice arrives it flags itself mapped and maps
//! itself (hosts that map their client, hosts that map it only on the flag,
//! hosts that do neither). Activation and logical focus are followed; an
//! embedder that hides it, takes it out to the root window (it withdraws) or
//! destroys it or its own window before `removed` is survived.
//!
//! Native events are turned into the core's dispatch operations as the
//! Windows window turns its messages: presses with a pointer grab for
//! capture, drags, releases, double clicks (by time and distance), buttons
//! 4/5 as wheel steps, leave, keys by the same map. The typed-entry box is
//! drawn into the canvas (IDrawnEntry) at the geometry of the Windows box.
//!
//! Without a window it runs headless like the other platform editors.

#include <memory>
#include <vector>

#include <sys/types.h>

#include "graphics/IDrawnEntry.h"
#include "graphics/IGraphicsPlatform.h"

class IGraphicsLinux : public IGraphicsPlatform
{
public:
  IGraphicsLinux(IPlugBase* plug, int width, int height, int frameRate = 0);
  //! Closes the window if open.
  ~IGraphicsLinux() override;

  const char* PlatformType() const override { return "X11EmbedWindowID"; }

  //! Copies the region of the canvas (with an open box drawn over it) to the
  //! window.
  bool ShowRegion(const IBounds& region) override;
  //! The core's resize, then the window takes the new size.
  void ResizeEditor(int width, int height) override;
  //! The platform's scale change (a held gesture ends and lets the pointer
  //! go), then the window takes the scaled size. Window pixels map to layout
  //! pixels by the factor in every event.
  void SetScale(float factor) override;
  //! Xft.dpi / 96 from the X resources of the window's display; 0 without it.
  float SystemScale() override;
  //! Opens the box as every platform does and, with a window, draws it.
  void AskValue(IControl* control, IParamDef* param, bool centred) override;
  //! Wheel steps the host passes on: to the editor only when the pointer is
  //! over its window, at the pointer's place, with the keyboard's modifiers.
  bool WheelFromHost(int steps) override;
  //! Folder of the host executable, with its trailing slash; empty when unknown.
  void HostFolder(char* out) override;
  //! Folder of the file holding this code (the plug-in module), likewise.
  void ModuleFolder(char* out) override;
  //! Starts xdg-open with an http or https address as its single argument
  //! (no shell, no waiting); true when it started. Other addresses: false.
  bool OpenLink(const char* address, const char* caption, const char* confirm, const char* failure) override;

  //! Creates the child window inside the X window whose id is `parent`, on a
  //! new connection to the display named by DISPLAY, unmapped with
  //! _XEMBED_INFO {0, 0}; the host's XEMBED_EMBEDDED_NOTIFY maps it. Null
  //! when the display or the parent cannot be had; an open window is closed
  //! first. The first paint is a full one.
  void* OpenIn(void* parent) override;
  //! Flushes a pending end of edit, destroys the window and closes the
  //! connection.
  void CloseNative() override;
  //! The window id as a pointer; null when closed.
  void* NativeWindow() override;

  // ---- What the host's run loop drives. ----

  //! Descriptor of the window's X connection; -1 when closed.
  int ConnectionFd() const;
  //! Reads and handles every event waiting on the connection.
  void HandleEvents();
  //! One frame: the platform tick (box, repaint, end-of-edit countdown),
  //! then whatever the tick left in the output buffer goes to the server.
  void OnTimer();
  //! The timer period: trunc(1000 / frame rate) milliseconds.
  int TimerIntervalMs() const;
  //! True once the X connection failed (the display went away); the window is
  //! gone then and only CloseNative is left to do.
  bool ConnectionLost() const;

  //! Requests sent on the window's connection so far (0 when closed): what
  //! a frame cost the X server, for tests and the benchmark.
  unsigned long RequestsSent() const;

  //! What the embedder last said (XEMBED_WINDOW_ACTIVATE/DEACTIVATE,
  //! XEMBED_FOCUS_IN/OUT): its window is active; the editor has the logical
  //! focus. False until it says so, and again once the window is out of it.
  bool EmbedderActive() const;
  bool EmbedderFocus() const;

  //! The drawn box (for tests and the benchmark).
  const IDrawnEntry& DrawnEntry() const { return entry; }

protected:
  void CloseBox() override;
  void RepaintRegion(const IBounds& region) override;

private:
  struct X11Window;

  //! One XEmbed message of the embedder (XEMBED_EMBEDDED_NOTIFY, activation,
  //! focus); others are ignored.
  void HandleEmbedMessage(long message);
  //! Sizes the open window to the scaled editor.
  void FitWindow();
  //! Holds the pointer for a press, as SetCapture does on Windows.
  void Capture(unsigned long time);
  //! Copies a region of the canvas to the window as it is.
  bool PutRegion(const IBounds& region);

  //! Draws the box again and shows the part of the editor it covers.
  void ShowEntry();
  //! What the box's outcome asks for.
  void EntryOutcome(IDrawnEntry::Outcome outcome);
  void ReapOpeners();

  std::unique_ptr<X11Window> x;
  IDrawnEntry entry;
  //! Where a closed box was, not yet painted over.
  IBounds uncovered;
  std::vector<pid_t> openers;  // xdg-open children not yet reaped
};
