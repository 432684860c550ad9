#pragma once
// HostWindow: a host's top-level window that holds a plug-in's editor, with
// the means a test needs to use it as a person would: real input delivered
// through the window system (window messages on Windows, X events on Linux),
// the event loop pumped on the calling thread, and the window's pixels read
// back. One implementation per platform (HostWindow_win.cpp,
// HostWindow_linux.cpp); everything else in host/ is shared.
//
// All calls come on the thread that created the window (the host's
// user-interface thread).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Steinberg::Linux
{
class IRunLoop;
}

namespace ThrumwellHost
{

class HostRunLoop;

class HostWindow
{
public:
  // Pointer buttons and key modifiers for the input calls.
  enum Button { kLeft = 0, kRight = 1 };
  enum Modifier { kShift = 1, kControl = 2, kAlt = 4 };

  // How the window embeds the editor's window on Linux, as the hosts people
  // use do it (XEmbed); Windows has one way and ignores the choice. Each
  // sends XEMBED_EMBEDDED_NOTIFY to the child once it is shown; then:
  enum class Embedder
  {
    // maps the child itself, then activates it and gives it the focus (the
    // SDK's editor host; what the host library always did);
    kMapsChild,
    // GTK's embedder (Ardour): activates and focuses the child, maps it only
    // while its _XEMBED_INFO flags say mapped and follows every change of
    // them (set: map, cleared: unmap), never maps on its own; keys typed on
    // the window while the child has the focus are forwarded to it;
    kXEmbed,
    // nothing more: maps nothing, tracks nothing, sends nothing else.
    kNotifyOnly,
  };
  // The names a command line gives them: "maps", "xembed", "notify".
  static const char* EmbedderName(Embedder kind)
  {
    return kind == Embedder::kXEmbed ? "xembed" : kind == Embedder::kNotifyOnly ? "notify" : "maps";
  }
  static bool EmbedderNamed(const std::string& name, Embedder& kind)
  {
    for (Embedder k : {Embedder::kMapsChild, Embedder::kXEmbed, Embedder::kNotifyOnly})
      if (name == EmbedderName(k))
      {
        kind = k;
        return true;
      }
    return false;
  }

  // Opens a top-level window with a client area of width × height; null when
  // the window system is not reachable (no display). Not shown until Show.
  // On Linux the window's events and the plug-in's run on `loop` when one is
  // given (a host with one loop for everything), else on a loop of its own;
  // Windows has one message queue per thread and ignores it.
  static std::unique_ptr<HostWindow> Create(int width, int height, const char* title, HostRunLoop* loop = nullptr);
  virtual ~HostWindow() = default;

  // The parent handle for IPlugView::attached: an HWND on Windows, an X11
  // window id (cast to a pointer) on Linux.
  virtual void* ParentHandle() const = 0;
  // The platform type string for that handle: "HWND" or "X11EmbedWindowID".
  virtual const char* PlatformType() const = 0;
  // The run loop a Linux plug-in finds on our frame; null on Windows.
  virtual Steinberg::Linux::IRunLoop* RunLoop() { return nullptr; }
  // The screen's scale, what a host tells a view with setContentScaleFactor:
  // the window's monitor DPI / 96 on Windows (1 where Windows cannot say),
  // Xft.dpi / 96 on Linux (1 without it).
  virtual float SystemScale() const { return 1.0f; }

  // Maps the window and embeds the children the editor made. For tests the
  // pointer is first moved off the window, so that only the input a test
  // sends reaches the editor; a window a person uses leaves it alone.
  virtual void Show() = 0;
  void LeavePointerAlone() { parkPointer = false; }
  // How the next Show embeds the editor's window (kMapsChild until set).
  void SetEmbedder(Embedder kind) { embedder = kind; }
  // Resizes the editor's part of the client area (what IPlugFrame::resizeView
  // asks for); a footer keeps its band below it.
  virtual bool Resize(int width, int height) = 0;
  // Keeps a band `height` pixels high under the editor for a window of the
  // host's own (a transport strip), made as a child of ParentHandle(): the
  // client area grows by the band, and the child is placed at its top-left
  // corner now and after every Resize. Shown with the next Show.
  virtual void SetFooter(void* child, int height) = 0;
  // Whether the user asked to close the window (the window manager's close,
  // WM_CLOSE). The window stays until its owner destroys it.
  virtual bool CloseRequested() const = 0;
  // The next character typed while the window itself (not a child) had the
  // keyboard, or -1 when none is waiting.
  virtual int TakeKey() = 0;
  // Delivers what is pending and keeps the loop running for the given time,
  // so the editor's timer fires and paints.
  virtual void Pump(int milliseconds) = 0;
  // Runs the loop until the editor's timer has fired `ticks` more times (as
  // the loop counts the timer calls it makes to the plug-in's window or
  // handler), then delivers what is pending apart from further ticks, and
  // returns; gives up after timeoutMs. ticks 0 delivers what is pending (input,
  // paints) without letting a tick through. Returns the ticks counted, or -1
  // where the loop cannot tell the editor's ticks apart (it then only pumps
  // for the time a 24-frame timer needs).
  virtual int PumpTicks(int ticks, int timeoutMs)
  {
    (void)timeoutMs;
    Pump(ticks * 42 + 10);
    return -1;
  }

  // Real input at client coordinates of this window (the editor sits at 0,0).
  virtual void MoveTo(int x, int y, int modifiers = 0) = 0;
  virtual void Press(int x, int y, Button button = kLeft, int modifiers = 0) = 0;
  virtual void Release(int x, int y, Button button = kLeft, int modifiers = 0) = 0;
  virtual void DoubleClick(int x, int y, int modifiers = 0) = 0;
  // Wheel in raw units of 120 per step, as Windows reports them (Linux turns
  // whole steps into button 4/5 presses).
  virtual void Wheel(int x, int y, int delta, int modifiers = 0) = 0;
  // Typed text (characters) and single keys by name ("Return", "Escape",
  // "BackSpace", "Up", "Down", "Left", "Right", "Tab", ...), to the window
  // with the keyboard focus. Each key is delivered before the next is sent
  // (no timer tick runs meanwhile), as a person types.
  virtual void Type(const std::string& text) = 0;
  virtual void Key(const std::string& name, int modifiers = 0) = 0;

  // The client area's pixels (footer included) as 0xAARRGGBB words, row by row (alpha 255);
  // false when they cannot be read.
  virtual bool Capture(std::vector<std::uint32_t>& pixels, int& width, int& height) = 0;
  // Number of child windows under this one (an open editor is one; its
  // typed-entry box adds one on Windows).
  virtual int ChildCount() const = 0;
  // What the window saw the plug-in's window do wrong (on Linux: the XEmbed
  // handshake), one line each.
  virtual std::vector<std::string> Complaints() const { return {}; }

protected:
  bool parkPointer = true;
  Embedder embedder = Embedder::kMapsChild;
};

}  // namespace ThrumwellHost
