// The host's top-level window on Linux: an Xlib window on a connection of its
// own, its run loop (HostRunLoop, its own or the host's) handed to the
// plug-in through the frame, the window manager's close and the keys typed
// on the window itself remembered for the host,
// the embedder's half of XEmbed, input through the XTEST extension (real
// events, as if from the devices) and capture with XGetImage.

#include "host/HostWindow.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/HostRunLoop.h"

// Per-connection error hook of Xlib (Xlibint.h, whose min and max macros
// cannot meet the standard headers): the hook decides whether an error
// reaches the process-wide handler.
extern "C" Bool (*XESetWireToError(Display* display, int errorNumber,
                                   Bool (*hook)(Display*, XErrorEvent*, xError*)))(Display*, XErrorEvent*, xError*);

namespace ThrumwellHost
{

namespace
{
// XEmbed messages and flags.
constexpr long kEmbeddedNotify = 0;
constexpr long kWindowActivate = 1;
constexpr long kFocusIn = 4;
constexpr long kFocusCurrent = 0;
constexpr long kMappedFlag = 1;
constexpr long kXEmbedVersion = 0;

std::int64_t NowMs()
{
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Errors on the host's connection (a child destroyed between two requests)
// are expected in tests of a misbehaving editor; they must not end the test.
Bool IgnoreError(Display*, XErrorEvent*, xError*)
{
  return False;
}

void KeepRunning(Display*, void*) {}

// Windows opened so far: each new one is placed beside the last, so that two
// open windows never cover each other.
std::atomic<int> windowsOpened{0};

class X11HostWindow final : public HostWindow
{
public:
  X11HostWindow(Display* display, int width, int height, const char* title, HostRunLoop* external)
    : display(display), width(width), height(height), loop(external ? external : &ownLoop)
  {
    for (int code = 1; code < 256; ++code) XESetWireToError(display, code, &IgnoreError);
    XSetIOErrorExitHandler(display, &KeepRunning, nullptr);
    const int screen = DefaultScreen(display);
    const int n = windowsOpened++ % 6;
    XSetWindowAttributes a{};
    a.background_pixel = BlackPixel(display, screen);
    a.event_mask = StructureNotifyMask | SubstructureNotifyMask | KeyPressMask;
    window = XCreateWindow(display, RootWindow(display, screen), 10 + (n % 3) * 410, 10 + (n / 3) * 460,
                           static_cast<unsigned>(std::max(width, 1)), static_cast<unsigned>(std::max(height, 1)), 0,
                           CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &a);
    // The title both as the old Latin-1 name and as the UTF-8 name window
    // managers and tools read first.
    const char* name = title ? title : "";
    XStoreName(display, window, name);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(name), static_cast<int>(std::strlen(name)));
    // The window manager's close becomes a message to us, not a killed connection.
    wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
    wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &wmDeleteWindow, 1);
    xembed = XInternAtom(display, "_XEMBED", False);
    xembedInfo = XInternAtom(display, "_XEMBED_INFO", False);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    hasXTest = XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);
    XSync(display, False);
  }

  ~X11HostWindow() override
  {
    XDestroyWindow(display, window);
    XCloseDisplay(display);
  }

  void* ParentHandle() const override { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)); }
  const char* PlatformType() const override { return "X11EmbedWindowID"; }
  float SystemScale() const override
  {
    // Read from the root window each time (Xlib keeps the copy it read at
    // connection), so that a change of the desktop's scale is seen.
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    double dpi = 0.0;
    if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, "RESOURCE_MANAGER", False), 0,
                           65536, False, XA_STRING, &type, &format, &items, &after, &data) == Success &&
        data && format == 8)
    {
      const std::string text(reinterpret_cast<const char*>(data), items);
      const std::size_t at = text.find("Xft.dpi:");
      if (at != std::string::npos) dpi = std::strtod(text.c_str() + at + 8, nullptr);
    }
    if (data) XFree(data);
    return dpi > 0.0 ? static_cast<float>(dpi / 96.0) : 1.0f;
  }
  Steinberg::Linux::IRunLoop* RunLoop() override { return loop; }

  void Show() override
  {
    // The pointer waits outside the window, so that the editor sees only the
    // input a test gives it (a window mapped under the pointer would hear of
    // it being there).
    if (hasXTest && parkPointer)
    {
      const Screen* screen = DefaultScreenOfDisplay(display);
      XTestFakeMotionEvent(display, DefaultScreen(display), WidthOfScreen(screen) - 1, HeightOfScreen(screen) - 1,
                           CurrentTime);
    }
    XMapWindow(display, window);
    XSync(display, False);
    DrainOwnEvents();
    // The embedder's half of XEmbed for each child the editor created.
    for (Window child : Children())
    {
      if (embedded.end() != std::find(embedded.begin(), embedded.end(), child)) continue;
      embedded.push_back(child);
      long info[2] = {0, 0};
      if (!ReadEmbedInfo(child, info))
      {
        complaints.push_back("the editor's window carries no _XEMBED_INFO");
        continue;
      }
      if (info[1] & kMappedFlag) complaints.push_back("the editor's _XEMBED_INFO says mapped before the host mapped it");
      XWindowAttributes attributes{};
      if (XGetWindowAttributes(display, child, &attributes) && attributes.map_state != IsUnmapped)
        complaints.push_back("the editor mapped its window itself");
      switch (embedder)
      {
        case Embedder::kMapsChild:
          SendEmbed(child, kEmbeddedNotify, 0, static_cast<long>(window), kXEmbedVersion);
          XMapWindow(display, child);
          SendEmbed(child, kWindowActivate, 0, 0, 0);
          SendEmbed(child, kFocusIn, kFocusCurrent, 0, 0);
          break;
        case Embedder::kXEmbed:
          // Watching the property before the notification goes out: the
          // child's answer to it cannot be missed.
          XSelectInput(display, child, PropertyChangeMask);
          SendEmbed(child, kEmbeddedNotify, 0, static_cast<long>(window), kXEmbedVersion);
          SendEmbed(child, kWindowActivate, 0, 0, 0);
          SendEmbed(child, kFocusIn, kFocusCurrent, 0, 0);
          focused = child;
          FollowEmbedInfo(child);
          break;
        case Embedder::kNotifyOnly:
          SendEmbed(child, kEmbeddedNotify, 0, static_cast<long>(window), kXEmbedVersion);
          break;
      }
    }
    XSync(display, False);
  }

  bool Resize(int w, int h) override
  {
    if (w <= 0 || h <= 0) return false;
    width = w;
    height = h;
    // A larger (scaled) editor is moved back onto the screen where it would
    // reach past its edge: pixels off the screen cannot be captured.
    XWindowAttributes a{};
    if (XGetWindowAttributes(display, window, &a) && a.screen)
    {
      const int x = std::max(0, std::min(a.x, WidthOfScreen(a.screen) - w));
      const int y = std::max(0, std::min(a.y, HeightOfScreen(a.screen) - (h + footerHeight)));
      if (x != a.x || y != a.y) XMoveWindow(display, window, x, y);
    }
    XResizeWindow(display, window, static_cast<unsigned>(w), static_cast<unsigned>(h + footerHeight));
    if (footer) XMoveResizeWindow(display, footer, 0, h, static_cast<unsigned>(w), static_cast<unsigned>(footerHeight));
    XSync(display, False);
    return true;
  }

  void SetFooter(void* child, int h) override
  {
    footer = static_cast<Window>(reinterpret_cast<std::uintptr_t>(child));
    footerHeight = footer ? std::max(h, 0) : 0;
    Resize(width, height);
  }

  bool CloseRequested() const override { return closeRequested; }

  int TakeKey() override
  {
    DrainOwnEvents();
    if (keys.empty()) return -1;
    const int key = keys.front();
    keys.erase(keys.begin());
    return key;
  }

  void Pump(int milliseconds) override
  {
    const std::int64_t end = NowMs() + std::max(milliseconds, 0);
    do
    {
      DrainOwnEvents();
      const std::int64_t left = end - NowMs();
      loop->RunOnce(static_cast<int>(std::clamp<std::int64_t>(left, 0, 5)));
    } while (NowMs() < end);
    DrainOwnEvents();
  }

  int PumpTicks(int ticks, int timeoutMs) override
  {
    const std::int64_t end = NowMs() + std::max(timeoutMs, 0);
    const std::uint64_t start = loop->TimerCalls();
    DeliverInput();
    while (loop->TimerCalls() - start < static_cast<std::uint64_t>(std::max(ticks, 0)) && NowMs() < end)
    {
      DrainOwnEvents();
      loop->RunOnce(static_cast<int>(std::clamp<std::int64_t>(end - NowMs(), 0, 5)));
    }
    DeliverInput();
    return static_cast<int>(loop->TimerCalls() - start);
  }

  void MoveTo(int x, int y, int modifiers) override
  {
    WithModifiers(modifiers, [&] { Motion(x, y); });
  }
  void Press(int x, int y, Button button, int modifiers) override
  {
    WithModifiers(modifiers, [&] {
      Motion(x, y);
      FakeButton(button == kLeft ? 1 : 3, true);
    });
  }
  void Release(int x, int y, Button button, int modifiers) override
  {
    WithModifiers(modifiers, [&] {
      Motion(x, y);
      FakeButton(button == kLeft ? 1 : 3, false);
    });
  }
  void DoubleClick(int x, int y, int modifiers) override
  {
    WithModifiers(modifiers, [&] {
      Motion(x, y);
      for (int i = 0; i < 2; ++i)
      {
        FakeButton(1, true);
        FakeButton(1, false);
      }
    });
  }
  void Wheel(int x, int y, int delta, int modifiers) override
  {
    const int steps = delta / 120;
    WithModifiers(modifiers, [&] {
      Motion(x, y);
      for (int i = 0; i < std::abs(steps); ++i)
      {
        FakeButton(steps > 0 ? 4 : 5, true);
        FakeButton(steps > 0 ? 4 : 5, false);
      }
    });
  }
  void Type(const std::string& text) override
  {
    for (char c : text)
    {
      const KeySym sym = static_cast<unsigned char>(c);
      FakeKeySym(sym, 0);
    }
  }
  void Key(const std::string& name, int modifiers) override
  {
    const KeySym sym = XStringToKeysym(name.c_str());
    if (sym != NoSymbol) FakeKeySym(sym, modifiers);
  }

  bool Capture(std::vector<std::uint32_t>& pixels, int& w, int& h) override
  {
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height + footerHeight), AllPlanes, ZPixmap);
    if (!image) return false;
    w = width;
    h = height + footerHeight;
    pixels.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
      {
        const unsigned long p = XGetPixel(image, x, y);
        const auto channel = [&](unsigned long mask) -> std::uint32_t {
          if (!mask) return 0;
          int shift = 0;
          while (!((mask >> shift) & 1)) ++shift;
          const unsigned long v = (p & mask) >> shift;
          const unsigned long max = mask >> shift;
          return static_cast<std::uint32_t>((v * 255 + max / 2) / max);
        };
        pixels[static_cast<size_t>(y) * w + x] = 0xFF000000u | channel(image->red_mask) << 16 |
                                                 channel(image->green_mask) << 8 | channel(image->blue_mask);
      }
    XDestroyImage(image);
    return true;
  }

  int ChildCount() const override { return static_cast<int>(Children().size()); }
  std::vector<std::string> Complaints() const override { return complaints; }

private:
  std::vector<Window> Children() const
  {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &root, &parent, &children, &n))
    {
      result.assign(children, children + n);
      if (children) XFree(children);
    }
    return result;
  }

  bool ReadEmbedInfo(Window child, long info[2]) const
  {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const int status =
        XGetWindowProperty(display, child, xembedInfo, 0, 2, False, AnyPropertyType, &type, &format, &items, &after, &data);
    const bool ok = status == Success && data && format == 32 && items >= 2;
    if (ok)
    {
      // Format 32 properties come back as longs.
      const long* values = reinterpret_cast<const long*>(data);
      info[0] = values[0];
      info[1] = values[1];
    }
    if (data) XFree(data);
    return ok;
  }

  void SendEmbed(Window child, long message, long detail, long data1, long data2)
  {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = child;
    ev.xclient.message_type = xembed;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = CurrentTime;
    ev.xclient.data.l[1] = message;
    ev.xclient.data.l[2] = detail;
    ev.xclient.data.l[3] = data1;
    ev.xclient.data.l[4] = data2;
    XSendEvent(display, child, False, NoEventMask, &ev);
  }

  bool Embedded(Window child) const
  {
    return embedded.end() != std::find(embedded.begin(), embedded.end(), child);
  }

  // Strict XEmbed: the child is shown exactly while its flags say mapped.
  void FollowEmbedInfo(Window child)
  {
    long info[2] = {0, 0};
    if (ReadEmbedInfo(child, info) && (info[1] & kMappedFlag))
      XMapWindow(display, child);
    else
      XUnmapWindow(display, child);
  }

  // Everything waiting on the editor's connection, and no frame.
  void DeliverInput()
  {
    DrainOwnEvents();
    while (loop->RunOnce(0, false) > 0) {}
  }

  void DrainOwnEvents()
  {
    while (XPending(display) > 0)
    {
      XEvent ev;
      XNextEvent(display, &ev);
      // A destroyed child's id may come back for a later editor window.
      if (ev.type == DestroyNotify)
      {
        embedded.erase(std::remove(embedded.begin(), embedded.end(), ev.xdestroywindow.window), embedded.end());
        if (ev.xdestroywindow.window == footer) footer = 0;
        if (ev.xdestroywindow.window == focused) focused = 0;
      }
      else if (ev.type == ReparentNotify && ev.xreparent.parent != window)
      {
        // Taken out of the window: no longer ours to embed.
        embedded.erase(std::remove(embedded.begin(), embedded.end(), ev.xreparent.window), embedded.end());
        if (ev.xreparent.window == focused) focused = 0;
      }
      else if (ev.type == PropertyNotify && embedder == Embedder::kXEmbed && ev.xproperty.atom == xembedInfo &&
               Embedded(ev.xproperty.window))
        FollowEmbedInfo(ev.xproperty.window);
      else if (ev.type == KeyPress && ev.xkey.window == window && embedder == Embedder::kXEmbed && focused)
      {
        // The window holds the keyboard for the child it embeds.
        ev.xkey.window = focused;
        ev.xkey.subwindow = None;
        XSendEvent(display, focused, False, NoEventMask, &ev);
        XFlush(display);
      }
      else if (ev.type == ClientMessage && ev.xclient.message_type == wmProtocols &&
               static_cast<Atom>(ev.xclient.data.l[0]) == wmDeleteWindow)
        closeRequested = true;
      else if (ev.type == KeyPress && ev.xkey.window == window)
      {
        char text[8] = {};
        KeySym sym = NoSymbol;
        if (XLookupString(&ev.xkey, text, sizeof text, &sym, nullptr) == 1 && keys.size() < kMaxKeys)
          keys.push_back(static_cast<unsigned char>(text[0]));
      }
    }
  }

  void Motion(int x, int y)
  {
    int rx = 0, ry = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rx, &ry, &child);
    if (hasXTest) XTestFakeMotionEvent(display, DefaultScreen(display), rx, ry, CurrentTime);
    XSync(display, False);
  }

  void FakeButton(unsigned int button, bool down)
  {
    if (hasXTest) XTestFakeButtonEvent(display, button, down ? True : False, CurrentTime);
    XSync(display, False);
  }

  void FakeKey(KeyCode code, bool down)
  {
    if (hasXTest && code) XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
    XSync(display, False);
  }

  // Presses the modifier keys, runs the action, releases them.
  template <class Action>
  void WithModifiers(int modifiers, Action action)
  {
    const KeySym keys[] = {XK_Shift_L, XK_Control_L, XK_Alt_L};
    const int bits[] = {kShift, kControl, kAlt};
    for (int i = 0; i < 3; ++i)
      if (modifiers & bits[i]) FakeKey(XKeysymToKeycode(display, keys[i]), true);
    action();
    for (int i = 2; i >= 0; --i)
      if (modifiers & bits[i]) FakeKey(XKeysymToKeycode(display, keys[i]), false);
  }

  void FakeKeySym(KeySym sym, int modifiers)
  {
    const KeyCode code = XKeysymToKeycode(display, sym);
    if (!code) return;
    // A symbol on the shifted level of its key needs shift held.
    const bool shifted = XkbKeycodeToKeysym(display, code, 0, 0) != sym && XkbKeycodeToKeysym(display, code, 0, 1) == sym;
    WithModifiers(modifiers | (shifted ? kShift : 0), [&] {
      FakeKey(code, true);
      FakeKey(code, false);
    });
  }

  Display* display;
  Window window = 0;
  int width;
  int height;
  Atom xembed = 0;
  Atom xembedInfo = 0;
  Atom wmProtocols = 0;
  Atom wmDeleteWindow = 0;
  bool hasXTest = false;
  bool closeRequested = false;
  Window footer = 0;
  int footerHeight = 0;
  // Typed on the window itself, oldest first; a host that never asks keeps
  // only the first few.
  static constexpr std::size_t kMaxKeys = 64;
  std::vector<int> keys;
  HostRunLoop ownLoop;
  HostRunLoop* loop;
  std::vector<Window> embedded;
  // The child given the focus by XEmbed (strict embedder only), or 0.
  Window focused = 0;
  std::vector<std::string> complaints;
};
}  // namespace

std::unique_ptr<HostWindow> HostWindow::Create(int width, int height, const char* title, HostRunLoop* loop)
{
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  return std::make_unique<X11HostWindow>(display, width, height, title, loop);
}

}  // namespace ThrumwellHost
