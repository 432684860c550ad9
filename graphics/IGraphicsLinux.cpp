#include "graphics/IGraphicsLinux.h"

#include <dlfcn.h>
#include <spawn.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "controls/IControl.h"
#include "plug/IParamDef.h"
#include "plug/IPlugBase.h"
#include "raster/LICE_Bitmap.h"

extern char** environ;

// Per-connection error hook of Xlib (declared in Xlibint.h, which defines
// min and max as macros and so cannot meet the standard headers): the hook
// decides whether an error reaches the process-wide error handler.
extern "C" Bool (*XESetWireToError(Display* display, int errorNumber,
                                   Bool (*hook)(Display*, XErrorEvent*, xError*)))(Display*, XErrorEvent*, xError*);

namespace
{
// Folder queries answer at most this many characters, like the Windows editor.
constexpr int kPathMax = 256;

// Two presses of the left button make a double click when the second comes
// within this time and distance of the first (the Windows defaults).
constexpr unsigned long kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 2;

// XEmbed: _XEMBED_INFO holds {protocol version, flags}; flag 1 says mapped.
// The embedder's messages (ClientMessage _XEMBED, the message in data.l[1]).
constexpr long kXEmbedVersion = 0;
constexpr long kXEmbedMapped = 1;
constexpr long kEmbeddedNotify = 0;
constexpr long kWindowActivate = 1;
constexpr long kWindowDeactivate = 2;
constexpr long kFocusIn = 4;
constexpr long kFocusOut = 5;

// The text up to and including the last slash; empty without one before the
// last character.
void FolderOf(const char* path, char* out)
{
  *out = '\0';
  if (!path) return;
  const size_t n = std::strlen(path);
  if (n == 0 || n >= kPathMax) return;
  const char* slash = std::strrchr(path, '/');
  if (!slash || slash == path + n - 1) return;
  const size_t keep = static_cast<size_t>(slash - path) + 1;
  std::memcpy(out, path, keep);
  out[keep] = '\0';
}

bool IsWebAddress(const char* address)
{
  return strncasecmp(address, "http://", 7) == 0 || strncasecmp(address, "https://", 8) == 0;
}

// Key codes of the Windows window for the same keys: space, arrows, digits,
// letters, and what Windows numbers 0x61-0x7A (keypad 1-9 and operators, F1-F11).
int EditorKeyCode(KeySym sym)
{
  switch (sym)
  {
    case XK_space: return 0;
    case XK_Up: return 1;
    case XK_Down: return 2;
    case XK_Left: return 3;
    case XK_Right: return 4;
    default: break;
  }
  if (sym >= XK_0 && sym <= XK_9) return 6 + static_cast<int>(sym - XK_0);
  if (sym >= XK_a && sym <= XK_z) return 16 + static_cast<int>(sym - XK_a);
  if (sym >= XK_A && sym <= XK_Z) return 16 + static_cast<int>(sym - XK_A);
  if (sym >= XK_KP_1 && sym <= XK_KP_9) return 16 + static_cast<int>(sym - XK_KP_1);
  static const KeySym tail[] = {XK_KP_Multiply, XK_KP_Add, XK_KP_Separator, XK_KP_Subtract, XK_KP_Decimal,
                                XK_KP_Divide, XK_F1, XK_F2, XK_F3, XK_F4, XK_F5, XK_F6, XK_F7, XK_F8, XK_F9, XK_F10,
                                XK_F11};
  for (size_t i = 0; i < sizeof tail / sizeof tail[0]; ++i)
    if (sym == tail[i]) return 25 + static_cast<int>(i);
  return -1;
}

IDrawnEntry::Key EntryKey(KeySym sym)
{
  switch (sym)
  {
    case XK_BackSpace: return IDrawnEntry::KeyBackspace;
    case XK_Delete: case XK_KP_Delete: return IDrawnEntry::KeyDelete;
    case XK_Left: case XK_KP_Left: return IDrawnEntry::KeyLeft;
    case XK_Right: case XK_KP_Right: return IDrawnEntry::KeyRight;
    case XK_Up: case XK_KP_Up: return IDrawnEntry::KeyUp;
    case XK_Down: case XK_KP_Down: return IDrawnEntry::KeyDown;
    case XK_Home: case XK_KP_Home: return IDrawnEntry::KeyHome;
    case XK_End: case XK_KP_End: return IDrawnEntry::KeyEnd;
    case XK_Return: case XK_KP_Enter: return IDrawnEntry::KeyEnter;
    case XK_Escape: return IDrawnEntry::KeyEscape;
    default: return IDrawnEntry::KeyOther;
  }
}

IPointerMods ModsOf(unsigned int state)
{
  IPointerMods m;
  m.left = (state & Button1Mask) != 0;
  m.right = (state & Button3Mask) != 0;
  m.shift = (state & ShiftMask) != 0;
  m.control = (state & ControlMask) != 0;
  m.alt = (state & Mod1Mask) != 0;
  return m;
}
}  // namespace

// ---- The window and its connection. ----

struct IGraphicsLinux::X11Window
{
  Display* display = nullptr;
  Window window = 0;
  Window parent = 0;
  Window root = 0;
  Atom xembed = None;
  Atom xembedInfo = None;
  // What the embedder said last: its window is active; we have its focus.
  bool active = false;
  bool focused = false;
  // Destroyed under us (by the embedder, or with its window): nothing more
  // is drawn, and closing leaves the connection only.
  bool gone = false;
  Visual* visual = nullptr;
  int depth = 0;
  // The canvas's pixel words can go to the server as they are.
  bool directPut = false;
  bool lost = false;
  int errors = 0;
  // A press of ours holds the pointer (Windows' capture) until its release;
  // grabbed says whether the explicit grab that backs it was granted.
  bool captured = false;
  bool grabbed = false;
  // Presses the box took (left and right), whose releases reach no control.
  bool swallowed[2] = {false, false};
  Time lastPressTime = 0;
  int lastPressX = 0;
  int lastPressY = 0;
  bool lastPressCounts = false;
  IBounds exposed;
  // Where the keyboard was before the typed-entry box took it, given back
  // when the box closes (the host's window, so its keys work again).
  bool focusTaken = false;
  Window focusBefore = None;
  int revertBefore = RevertToParent;

  // Errors on our connection are counted here instead of reaching the
  // process-wide error handler (whose default ends the process): a parent
  // destroyed under us must not take the host down.
  static Bool OnWireError(Display* display, XErrorEvent* error, xError* wire);
  // The connection broke (the display went away): remember it and return,
  // instead of Xlib's default of ending the process. Xlib's handler for this
  // is process-wide: ours is installed while an editor window is open, and
  // passes the connections of others on to the handler it replaced.
  static int OnIOError(Display* display);
  static void OnConnectionLost(Display* display, void* self);
  static XIOErrorHandler& ReplacedIOHandler()
  {
    static XIOErrorHandler replaced = nullptr;
    return replaced;
  }

  void WriteEmbedInfo(long flags)
  {
    const long embed[2] = {kXEmbedVersion, flags};
    XChangeProperty(display, window, xembedInfo, xembedInfo, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(embed), 2);
  }

  static std::mutex& RegistryLock()
  {
    static std::mutex lock;
    return lock;
  }
  static std::vector<X11Window*>& Registry()
  {
    static std::vector<X11Window*> windows;
    return windows;
  }
  void Register()
  {
    std::lock_guard<std::mutex> guard(RegistryLock());
    if (Registry().empty()) ReplacedIOHandler() = XSetIOErrorHandler(&OnIOError);
    Registry().push_back(this);
  }
  void Unregister()
  {
    std::lock_guard<std::mutex> guard(RegistryLock());
    auto& r = Registry();
    r.erase(std::remove(r.begin(), r.end(), this), r.end());
    if (!r.empty()) return;
    // Put the replaced handler back, unless someone has set one over ours.
    const XIOErrorHandler current = XSetIOErrorHandler(ReplacedIOHandler());
    if (current != &OnIOError) XSetIOErrorHandler(current);
    ReplacedIOHandler() = nullptr;
  }
};

Bool IGraphicsLinux::X11Window::OnWireError(Display* display, XErrorEvent*, xError*)
{
  std::lock_guard<std::mutex> guard(RegistryLock());
  for (X11Window* w : Registry())
    if (w->display == display) ++w->errors;
  return False;
}

int IGraphicsLinux::X11Window::OnIOError(Display* display)
{
  XIOErrorHandler replaced = nullptr;
  {
    std::lock_guard<std::mutex> guard(RegistryLock());
    for (X11Window* w : Registry())
      if (w->display == display)
      {
        w->lost = true;
        return 0;
      }
    replaced = ReplacedIOHandler();
  }
  return replaced ? replaced(display) : 0;
}

void IGraphicsLinux::X11Window::OnConnectionLost(Display*, void* self)
{
  static_cast<X11Window*>(self)->lost = true;
}

// ---- IGraphicsLinux. ----

IGraphicsLinux::IGraphicsLinux(IPlugBase* plugIn, int w, int h, int rate) : IGraphicsPlatform(plugIn, w, h, rate) {}

IGraphicsLinux::~IGraphicsLinux()
{
  CloseNative();
}

void* IGraphicsLinux::NativeWindow()
{
  return x && !x->lost ? reinterpret_cast<void*>(static_cast<std::uintptr_t>(x->window)) : nullptr;
}

int IGraphicsLinux::ConnectionFd() const
{
  return x && !x->lost ? ConnectionNumber(x->display) : -1;
}

bool IGraphicsLinux::ConnectionLost() const
{
  return x && x->lost;
}

unsigned long IGraphicsLinux::RequestsSent() const
{
  return x && !x->lost ? XNextRequest(x->display) - 1 : 0;
}

bool IGraphicsLinux::EmbedderActive() const
{
  return x && x->active;
}

bool IGraphicsLinux::EmbedderFocus() const
{
  return x && x->focused;
}

int IGraphicsLinux::TimerIntervalMs() const
{
  return static_cast<int>(1000.0 / frameRate);
}

void* IGraphicsLinux::OpenIn(void* parent)
{
  if (x) CloseNative();
  const Window parentId = static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent));
  if (!parentId) return nullptr;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;

  auto w = std::make_unique<X11Window>();
  w->display = display;
  w->Register();
  for (int code = 1; code < 256; ++code) XESetWireToError(display, code, &X11Window::OnWireError);
  XSetIOErrorExitHandler(display, &X11Window::OnConnectionLost, w.get());

  auto fail = [&]() -> void* {
    if (w->window && !w->lost) XDestroyWindow(display, w->window);
    XCloseDisplay(display);
    w->Unregister();
    return nullptr;
  };

  XWindowAttributes parentAttributes{};
  if (!XGetWindowAttributes(display, parentId, &parentAttributes) || w->errors || w->lost) return fail();
  const int screen = XScreenNumberOfScreen(parentAttributes.screen);
  w->parent = parentId;
  w->root = parentAttributes.root;
  w->visual = DefaultVisual(display, screen);
  w->depth = DefaultDepth(display, screen);

  // Canvas words are blue, green, red, alpha in memory: the server takes them
  // as they are from a 24- or 32-bit true-colour visual of 32 bits per pixel.
  int formats = 0;
  XPixmapFormatValues* list = XListPixmapFormats(display, &formats);
  int bitsPerPixel = 0;
  for (int i = 0; i < formats; ++i)
    if (list[i].depth == w->depth) bitsPerPixel = list[i].bits_per_pixel;
  if (list) XFree(list);
  w->directPut = w->visual->c_class == TrueColor && bitsPerPixel == 32 && w->visual->red_mask == 0xFF0000 &&
                 w->visual->green_mask == 0xFF00 && w->visual->blue_mask == 0xFF;

  XSetWindowAttributes a{};
  a.background_pixmap = None;
  a.border_pixel = 0;
  a.colormap = DefaultColormap(display, screen);
  a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                 EnterWindowMask | LeaveWindowMask | StructureNotifyMask;
  w->window = XCreateWindow(display, parentId, 0, 0, static_cast<unsigned>(ScaledWidth()),
                            static_cast<unsigned>(ScaledHeight()), 0,
                            w->depth, InputOutput, w->visual, CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask,
                            &a);
  // Embedding: made unmapped and flagged so (a host may refuse a child that
  // says mapped before it has embedded it); the host's XEMBED_EMBEDDED_NOTIFY
  // shows it (HandleEmbedMessage).
  w->xembed = XInternAtom(display, "_XEMBED", False);
  w->xembedInfo = XInternAtom(display, "_XEMBED_INFO", False);
  w->WriteEmbedInfo(0);
  XSync(display, False);
  if (w->errors || w->lost) return fail();

  x = std::move(w);
  entry.Close();
  // The first paint draws everything.
  RefreshAll();
  return NativeWindow();
}

void IGraphicsLinux::CloseNative()
{
  IGraphicsPlatform::CloseNative();
  ReapOpeners();
  if (!x) return;
  if (!x->lost)
  {
    if (x->grabbed) XUngrabPointer(x->display, CurrentTime);
    if (!x->gone) XDestroyWindow(x->display, x->window);
  }
  XCloseDisplay(x->display);
  x->Unregister();
  x.reset();
}

void IGraphicsLinux::ResizeEditor(int w, int h)
{
  IGraphicsPlatform::ResizeEditor(w, h);
  FitWindow();
}

void IGraphicsLinux::SetScale(float factor)
{
  const float before = scale;
  if (x && !x->lost && x->grabbed)
  {
    // The gesture ends with the scale change; so does its hold on the pointer.
    XUngrabPointer(x->display, CurrentTime);
    x->grabbed = x->captured = false;
  }
  IGraphicsPlatform::SetScale(factor);
  if (scale != before) FitWindow();
}

void IGraphicsLinux::FitWindow()
{
  if (x && !x->lost && !x->gone && ScaledWidth() > 0 && ScaledHeight() > 0)
  {
    XResizeWindow(x->display, x->window, static_cast<unsigned>(ScaledWidth()), static_cast<unsigned>(ScaledHeight()));
    XFlush(x->display);
  }
}

float IGraphicsLinux::SystemScale()
{
  // Xft.dpi of the X resources, the desktop's font scale: dpi / 96.
  if (!x || x->lost) return 0.0f;
  const char* resources = XResourceManagerString(x->display);
  if (!resources) return 0.0f;
  const char* at = std::strstr(resources, "Xft.dpi:");
  if (!at) return 0.0f;
  const double dpi = std::strtod(at + 8, nullptr);
  return dpi > 0.0 ? static_cast<float>(dpi / 96.0) : 0.0f;
}

bool IGraphicsLinux::ShowRegion(const IBounds& region)
{
  if (!x || x->lost || !canvas) return true;
  // The box lies over the controls: it is drawn again over whatever the pass
  // just painted beneath it.
  if (entry.IsOpen() && entry.Covered().Meets(region)) entry.Draw(*this);
  return PutRegion(region);
}

void IGraphicsLinux::RepaintRegion(const IBounds& region)
{
  // What a box just closed covered is painted with the changes.
  const IBounds r = region.Union(uncovered);
  uncovered = IBounds();
  PaintPass(r);
}

bool IGraphicsLinux::PutRegion(const IBounds& region)
{
  if (!x || x->lost || x->gone || !canvas) return true;
  const IBounds r = ToDevice(region).Intersect({0, 0, canvas->Width(), canvas->Height()});
  if (r.Empty() || r.W() <= 0 || r.H() <= 0) return true;

  GC gc = DefaultGC(x->display, DefaultScreen(x->display));
  LICE_PixelWord* bits = canvas->Pixels();
  const int stride = canvas->RowStride();
  if (x->directPut)
  {
    XImage image{};
    image.width = canvas->Width();
    image.height = canvas->Height();
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(bits);
    image.byte_order = LSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = LSBFirst;
    image.bitmap_pad = 32;
    image.depth = x->depth;
    image.bytes_per_line = stride * 4;
    image.bits_per_pixel = 32;
    image.red_mask = x->visual->red_mask;
    image.green_mask = x->visual->green_mask;
    image.blue_mask = x->visual->blue_mask;
    if (XInitImage(&image))
      XPutImage(x->display, x->window, gc, &image, r.left, r.top, r.left, r.top, static_cast<unsigned>(r.W()),
                static_cast<unsigned>(r.H()));
    return true;
  }

  // Any other visual: convert the region pixel by pixel through its masks.
  XImage* image = XCreateImage(x->display, x->visual, static_cast<unsigned>(x->depth), ZPixmap, 0, nullptr,
                               static_cast<unsigned>(r.W()), static_cast<unsigned>(r.H()), 32, 0);
  if (!image) return false;
  image->data = static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) * r.H()));
  if (!image->data)
  {
    XDestroyImage(image);
    return false;
  }
  auto channel = [](LICE_PixelWord value, unsigned long mask) -> unsigned long {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    int bits = 0;
    while ((mask >> (shift + bits)) & 1) ++bits;
    return ((static_cast<unsigned long>(value) >> (8 - std::min(bits, 8))) << shift) & mask;
  };
  for (int yy = 0; yy < r.H(); ++yy)
    for (int xx = 0; xx < r.W(); ++xx)
    {
      const LICE_PixelWord p = bits[static_cast<size_t>(r.top + yy) * stride + r.left + xx];
      XPutPixel(image, xx, yy,
                channel((p >> 16) & 0xFF, x->visual->red_mask) | channel((p >> 8) & 0xFF, x->visual->green_mask) |
                    channel(p & 0xFF, x->visual->blue_mask));
    }
  XPutImage(x->display, x->window, gc, image, 0, 0, r.left, r.top, static_cast<unsigned>(r.W()),
            static_cast<unsigned>(r.H()));
  XDestroyImage(image);
  return true;
}

void IGraphicsLinux::OnTimer()
{
  if (!openers.empty()) ReapOpeners();
  if (x && x->lost) return;
  const unsigned long before = x ? XNextRequest(x->display) : 0;
  Tick();
  if (!x || x->lost) return;
  // A frame that changed nothing sent nothing, and nothing is flushed or read:
  // an idle editor costs the server and the socket nothing.
  if (XNextRequest(x->display) == before && uncovered.Empty()) return;
  // A box closed without a change to paint: its place is painted next frame.
  if (!uncovered.Empty())
  {
    uncovered = IBounds();
    RefreshAll();
  }
  XFlush(x->display);
  // Replies read meanwhile may have queued events the descriptor no longer
  // announces.
  if (XEventsQueued(x->display, QueuedAlready) > 0) HandleEvents();
}

void IGraphicsLinux::AskValue(IControl* control, IParamDef* param, bool centred)
{
  const bool wasOpen = BoxOpen();
  IGraphicsPlatform::AskValue(control, param, centred);
  if (wasOpen || !BoxOpen() || !x || x->lost) return;
  std::vector<std::string> texts;
  if (box.list)
    for (int i = 0; i < param->NDisplayTexts(); ++i) texts.emplace_back(param->GetDisplayTextAtIdx(i));
  entry.Open(box, texts, width, height);
  boxState = BoxActive;
  // Keys go to the box from now on, as focus goes to the Windows box.
  XWindowAttributes attributes{};
  if (!x->gone && XGetWindowAttributes(x->display, x->window, &attributes) && attributes.map_state == IsViewable)
  {
    if (!x->focusTaken) XGetInputFocus(x->display, &x->focusBefore, &x->revertBefore);
    x->focusTaken = true;
    XSetInputFocus(x->display, x->window, RevertToParent, CurrentTime);
  }
  ShowEntry();
}

void IGraphicsLinux::ShowEntry()
{
  if (!entry.IsOpen() || !x || x->lost || !canvas) return;
  // The box fills every pixel it covers, so nothing beneath needs painting.
  entry.Draw(*this);
  PutRegion(entry.Covered());
  XFlush(x->display);
}

void IGraphicsLinux::CloseBox()
{
  // What the box covered shows the controls again at the next paint.
  if (entry.IsOpen()) uncovered = uncovered.Union(entry.Covered());
  entry.Close();
  IGraphicsPlatform::CloseBox();
  if (x && !x->lost && x->focusTaken)
  {
    // Only while the keyboard is still ours: the user may have moved it on.
    // A window that has gone meanwhile is one more caught error.
    Window focus = None;
    int revert = 0;
    XGetInputFocus(x->display, &focus, &revert);
    if (focus == x->window) XSetInputFocus(x->display, x->focusBefore, x->revertBefore, CurrentTime);
    x->focusTaken = false;
  }
}

void IGraphicsLinux::EntryOutcome(IDrawnEntry::Outcome outcome)
{
  switch (outcome)
  {
    case IDrawnEntry::Changed:
      SetBoxText(entry.Text().c_str());
      boxState = BoxActive;
      ShowEntry();
      break;
    case IDrawnEntry::Commit:
      SetBoxText(entry.Text().c_str());
      boxState = BoxCommit;
      ShowEntry();
      break;
    case IDrawnEntry::Cancel:
      boxState = BoxCancel;
      break;
    case IDrawnEntry::Unchanged:
      if (boxState == BoxIdle) boxState = BoxActive;
      break;
    case IDrawnEntry::Ignored:
      break;
  }
}

void IGraphicsLinux::HandleEmbedMessage(long message)
{
  switch (message)
  {
    case kEmbeddedNotify:
      // Shown by ourselves, the flag saying so: an embedder that maps its
      // client maps it anyway, one that follows the flag (GTK's) maps it on
      // seeing it, and one that does neither still shows it.
      x->WriteEmbedInfo(kXEmbedMapped);
      XMapWindow(x->display, x->window);
      break;
    case kWindowActivate: x->active = true; break;
    case kWindowDeactivate: x->active = false; break;
    // Logical focus: the embedder keeps the real one and forwards its keys,
    // which reach an open box as typed on it. The box's state follows focus
    // as the Windows box's does.
    case kFocusIn:
      x->focused = true;
      if (BoxOpen() && boxState == BoxIdle) boxState = BoxActive;
      break;
    case kFocusOut:
      x->focused = false;
      if (boxState == BoxActive) boxState = BoxIdle;
      break;
    default: break;
  }
}

void IGraphicsLinux::Capture(unsigned long time)
{
  x->captured = true;
  x->grabbed = XGrabPointer(x->display, x->window, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                            GrabModeAsync, GrabModeAsync, None, None, time) == GrabSuccess;
}

void IGraphicsLinux::HandleEvents()
{
  if (!x || x->lost) return;
  Display* d = x->display;
  while (!x->lost && XPending(d) > 0)
  {
    XEvent ev;
    XNextEvent(d, &ev);
    if (ev.xany.window != x->window) continue;
    switch (ev.type)
    {
      case Expose:
      {
        // Exposed window pixels, as the layout pixels that cover them.
        const IBounds r{FromDevice(ev.xexpose.x), FromDevice(ev.xexpose.y),
                        FromDevice(ev.xexpose.x + ev.xexpose.width - 1) + 1,
                        FromDevice(ev.xexpose.y + ev.xexpose.height - 1) + 1};
        x->exposed = x->exposed.Union(r);
        // Painted as the Windows window paints on WM_PAINT: the first
        // exposure after opening draws everything.
        if (ev.xexpose.count == 0)
        {
          const IBounds region = x->exposed;
          x->exposed = IBounds();
          PaintPass(region);
        }
        break;
      }
      case MotionNotify:
      {
        // Only the latest position of a run of motions counts.
        while (XCheckTypedWindowEvent(d, x->window, MotionNotify, &ev)) {}
        const IPointerMods mods = ModsOf(ev.xmotion.state);
        if (mods.left || mods.right)
        {
          if (x->captured) PointerDrag(FromDevice(ev.xmotion.x), FromDevice(ev.xmotion.y), mods);
          break;
        }
        // A move that a press at the same place follows at once is part of
        // that press, as a click arrives on Windows: no hover of its own.
        if (XEventsQueued(d, QueuedAlready) > 0)
        {
          XEvent next;
          XPeekEvent(d, &next);
          if (next.type == ButtonPress && next.xbutton.window == x->window && next.xbutton.x == ev.xmotion.x &&
              next.xbutton.y == ev.xmotion.y)
            break;
        }
        PointerHover(FromDevice(ev.xmotion.x), FromDevice(ev.xmotion.y), mods);
        break;
      }
      case LeaveNotify:
        if (ev.xcrossing.mode == NotifyNormal && ev.xcrossing.detail != NotifyInferior) PointerLeave();
        break;
      case ButtonPress:
      {
        const XButtonEvent& b = ev.xbutton;
        // Window pixels to layout pixels; the double-click distance stays in
        // window pixels.
        const int bx = FromDevice(b.x), by = FromDevice(b.y);
        IPointerMods mods = ModsOf(b.state);
        if (b.button == Button4 || b.button == Button5)
        {
          PointerWheel(bx, by, mods, b.button == Button4 ? 1 : -1);
          break;
        }
        if (b.button != Button1 && b.button != Button3) break;
        const int which = b.button == Button1 ? 0 : 1;
        x->swallowed[which] = false;
        if (BoxOpen())
        {
          // A click on the box edits it; elsewhere the left button takes the
          // value and goes on, the right one drops it and goes nowhere.
          const IDrawnEntry::Outcome onBox =
              which == 0 ? entry.Click(*this, bx, by)
                         : (entry.Covers(bx, by) ? IDrawnEntry::Unchanged : IDrawnEntry::Ignored);
          if (onBox != IDrawnEntry::Ignored)
          {
            EntryOutcome(onBox);
            x->swallowed[which] = true;
            break;
          }
          if (which == 1)
          {
            boxState = BoxCancel;
            x->swallowed[which] = true;
            break;
          }
          boxState = BoxCommit;
        }
        if (which == 0)
        {
          mods.left = true;
          const bool isDouble = x->lastPressCounts && b.time - x->lastPressTime <= kDoubleClickMs &&
                                std::abs(b.x - x->lastPressX) <= kDoubleClickDistance &&
                                std::abs(b.y - x->lastPressY) <= kDoubleClickDistance;
          // A third press starts over.
          x->lastPressCounts = !isDouble;
          x->lastPressTime = b.time;
          x->lastPressX = b.x;
          x->lastPressY = b.y;
          if (isDouble)
          {
            if (PointerDoubleClick(bx, by, mods)) Capture(b.time);
            break;
          }
        }
        else
        {
          mods.right = true;
          x->lastPressCounts = false;
        }
        Capture(b.time);
        PointerDown(bx, by, mods);
        break;
      }
      case ButtonRelease:
      {
        const XButtonEvent& b = ev.xbutton;
        if (b.button != Button1 && b.button != Button3) break;
        const int which = b.button == Button1 ? 0 : 1;
        if (x->grabbed) XUngrabPointer(d, b.time);
        x->grabbed = x->captured = false;
        if (x->swallowed[which])
        {
          x->swallowed[which] = false;
          break;
        }
        IPointerMods mods = ModsOf(b.state);
        if (which == 0)
          mods.left = false;
        else
          mods.right = false;
        PointerUp(FromDevice(b.x), FromDevice(b.y), mods);
        break;
      }
      case ClientMessage:
        if (ev.xclient.message_type == x->xembed && ev.xclient.format == 32) HandleEmbedMessage(ev.xclient.data.l[1]);
        break;
      case ReparentNotify:
        if (ev.xreparent.window != x->window || ev.xreparent.parent == x->parent) break;
        x->parent = ev.xreparent.parent;
        // Taken out to the root window, the way an embedder ends embedding:
        // withdrawn rather than left standing on the desktop, until a new
        // embedder's notice. Another parent is a host's own affair.
        if (x->parent == x->root)
        {
          XUnmapWindow(d, x->window);
          x->WriteEmbedInfo(0);
          x->active = x->focused = false;
        }
        break;
      case DestroyNotify:
        if (ev.xdestroywindow.window != x->window) break;
        x->gone = true;
        x->active = x->focused = false;
        x->captured = x->grabbed = false;
        break;
      case KeyPress:
      {
        char text[8] = {};
        KeySym sym = NoSymbol;
        const int n = XLookupString(&ev.xkey, text, sizeof text, &sym, nullptr);
        if (BoxOpen())
        {
          if (!entry.IsOpen()) break;
          IDrawnEntry::Key key = EntryKey(sym);
          char c = 0;
          if (key == IDrawnEntry::KeyOther && n == 1 && static_cast<unsigned char>(text[0]) >= 0x20 &&
              text[0] != 0x7F)
          {
            key = IDrawnEntry::KeyCharacter;
            c = text[0];
          }
          EntryOutcome(entry.KeyPressed(key, c));
          break;
        }
        const int code = EditorKeyCode(sym);
        if (code >= 0) KeyPressed(FromDevice(ev.xkey.x), FromDevice(ev.xkey.y), code);
        break;
      }
      default:
        break;
    }
  }
  if (x && !x->lost) XFlush(d);
}

bool IGraphicsLinux::WheelFromHost(int steps)
{
  if (!x || x->lost) return false;
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned int state = 0;
  if (!XQueryPointer(x->display, x->window, &root, &child, &rootX, &rootY, &winX, &winY, &state)) return false;
  if (winX < 0 || winY < 0 || winX >= ScaledWidth() || winY >= ScaledHeight()) return false;
  IPointerMods mods = ModsOf(state);
  mods.left = mods.right = false;
  PointerWheel(FromDevice(winX), FromDevice(winY), mods, steps);
  return true;
}

// ---- Folders and links. ----

void IGraphicsLinux::HostFolder(char* out)
{
  if (!out) return;
  char path[kPathMax] = {};
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0)
    *out = '\0';
  else
    FolderOf(path, out);
}

void IGraphicsLinux::ModuleFolder(char* out)
{
  if (!out) return;
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&MakePlatformGraphics), &info) && info.dli_fname)
    FolderOf(info.dli_fname, out);
  else
    *out = '\0';
}

bool IGraphicsLinux::OpenLink(const char* address, const char*, const char*, const char*)
{
  if (!address || !IsWebAddress(address)) return false;
  char opener[] = "xdg-open";
  char* argv[] = {opener, const_cast<char*>(address), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, opener, nullptr, nullptr, argv, environ) != 0) return false;
  // Reaped on a later tick: the user-interface thread never waits for it.
  openers.push_back(pid);
  return true;
}

void IGraphicsLinux::ReapOpeners()
{
  openers.erase(std::remove_if(openers.begin(), openers.end(),
                               [](pid_t pid) {
                                 int status = 0;
                                 const pid_t r = waitpid(pid, &status, WNOHANG);
                                 // Gone (reaped by us, or by a host that reaps
                                 // every child) or never ours.
                                 return r == pid || r < 0;
                               }),
                openers.end());
}

IGraphicsPlatform* MakePlatformGraphics(IPlugBase* plug, int width, int height, int frameRate, void* moduleInstance)
{
  auto* g = new IGraphicsLinux(plug, width, height, frameRate);
  g->SetModuleInstance(moduleInstance);
  return g;
}
