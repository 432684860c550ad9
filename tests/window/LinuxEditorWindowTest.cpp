// The editor of the built bundle, embedded in a host window on an X server
// and used as a person would: real pointer and key events through XTEST,
// the host's run loop driving the editor's connection and timer, the
// window's pixels read back and compared with the editor painted headless.
// Needs DISPLAY (tools/test-all.sh starts an Xvfb).

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <dirent.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "graphics/IGraphicsLinux.h"
#include "graphics/IGraphicsPlatform.h"
#include "host/HostEditorView.h"
#include "host/HostModule.h"
#include "host/HostObject.h"
#include "host/HostParameterChanges.h"
#include "host/HostPlugin.h"
#include "host/HostRunLoop.h"
#include "host/HostWindow.h"
#include "raster/LICE_Bitmap.h"
#include "raster/LICE_PngWrite.h"
#include "tools/snapshot/EditorSession.h"
#include "tools/snapshot/HeadlessSnapshot.h"
#include "tools/snapshot/WindowSnapshot.h"
#include "vst3/sdk/IPluginBase.h"
#include "vst3/sdk/IPlugView.h"

namespace
{

// The one child window of a host window, as another client sees it.
::testing::AssertionResult OnlyChild(Display* d, void* parentHandle, Window& child)
{
  const Window parent = static_cast<Window>(reinterpret_cast<std::uintptr_t>(parentHandle));
  Window root = 0, up = 0, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(d, parent, &root, &up, &children, &n))
    return ::testing::AssertionFailure() << "XQueryTree failed";
  child = n > 0 ? children[0] : 0;
  if (children)
    XFree(children);
  if (n != 1)
    return ::testing::AssertionFailure() << n << " children, expected 1";
  return ::testing::AssertionSuccess();
}

// The flags of a window's _XEMBED_INFO (bit 0: mapped), or -1 when it has no
// well-formed one.
long EmbedFlags(Display* d, Window w)
{
  Atom type = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  const Atom info = XInternAtom(d, "_XEMBED_INFO", False);
  long flags = -1;
  if (XGetWindowProperty(d, w, info, 0, 2, False, AnyPropertyType, &type, &format, &items, &after, &data) == Success &&
      data && type == info && format == 32 && items == 2)
    flags = reinterpret_cast<long*>(data)[1];
  if (data) XFree(data);
  return flags;
}

// An XEmbed message to the editor's window, as an embedder sends it.
void SendXEmbed(Display* d, Window child, long message)
{
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = child;
  ev.xclient.message_type = XInternAtom(d, "_XEMBED", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = CurrentTime;
  ev.xclient.data.l[1] = message;
  XSendEvent(d, child, False, NoEventMask, &ev);
  XSync(d, False);
}

// Keys pressed and released on the editor's window by XSendEvent, as an
// embedder that holds the keyboard forwards them: text, then one named key.
void ForwardKeys(Display* d, Window child, const std::string& text, const std::string& last)
{
  std::vector<KeySym> syms;
  for (char c : text) syms.push_back(static_cast<unsigned char>(c));
  syms.push_back(XStringToKeysym(last.c_str()));
  for (KeySym sym : syms)
    for (int type : {KeyPress, KeyRelease})
    {
      XEvent ev{};
      ev.xkey.type = type;
      ev.xkey.display = d;
      ev.xkey.window = child;
      ev.xkey.root = DefaultRootWindow(d);
      ev.xkey.time = CurrentTime;
      ev.xkey.same_screen = True;
      ev.xkey.keycode = XKeysymToKeycode(d, sym);
      XSendEvent(d, child, False, NoEventMask, &ev);
    }
  XSync(d, False);
}

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace ThrumwellHost;
using Edit = HostComponentHandler::Edit;
using Embedder = HostWindow::Embedder;

// Parameter ids of the instrument, and where their controls sit.
constexpr ParamID kBinaural = 1;
constexpr ParamID kVolume = 9;
constexpr ParamID kMode = 10;
constexpr int kBinauralX = 181, kBinauralY = 133;
constexpr int kVolumeX = 305, kVolumeY = 299;
constexpr int kWaveX = 60, kWaveY = 295;
constexpr int kWidth = 368, kHeight = 370;
// Time for the run loop to deliver input and for a few frames to paint.
constexpr int kSettleMs = 150;

std::string Lines(const std::vector<std::string>& lines)
{
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

HostModule& SharedModule()
{
  static HostModule module;
  if (!module.IsLoaded())
  {
    const char* path = std::getenv("THRUMWELL_BUNDLE");
    module.Load(path ? path : "");
  }
  return module;
}

// The test's own connection, open for the whole run: an X server started
// without -noreset resets whenever its last client leaves, and refuses
// connections meanwhile.
Display* TestDisplay()
{
  static Display* display = [] {
    const char* name = std::getenv("DISPLAY");
    return name && *name ? XOpenDisplay(nullptr) : nullptr;
  }();
  return display;
}

bool HaveDisplay()
{
  return TestDisplay() != nullptr;
}

int OpenDescriptors()
{
  int n = 0;
  if (DIR* dir = opendir("/proc/self/fd"))
  {
    while (readdir(dir)) ++n;
    closedir(dir);
  }
  return n;
}

// The edits of one kind for one parameter, as a string of b/p/e.
std::string Kinds(const std::vector<Edit>& edits, ParamID id)
{
  std::string s;
  for (const Edit& e : edits)
  {
    if (e.kind == Edit::kRestart || e.id != id) continue;
    s += e.kind == Edit::kBegin ? 'b' : e.kind == Edit::kPerform ? 'p' : 'e';
  }
  return s;
}

// A plug-in instance set up as a host sets it up, with a window for its editor.
struct Instance
{
  explicit Instance(Embedder embedder = Embedder::kMapsChild)
  {
    plugin = std::make_unique<HostPlugin>(SharedModule());
    created = plugin->Create() && plugin->ActivateDefaultBuses() && plugin->SetupProcessing(48000.0, 512) &&
              plugin->SetActive(true) && plugin->SetProcessing(true);
    window = HostWindow::Create(kWidth, kHeight, "Thrumwell test host");
    if (window) window->SetEmbedder(embedder);
    if (window) view = std::make_unique<HostEditorView>(*plugin, *window);
  }
  ~Instance()
  {
    view.reset();
    window.reset();
    plugin->Destroy();
  }
  HostRunLoop& Loop() { return *static_cast<HostRunLoop*>(window->RunLoop()); }
  // One block carrying a change of each parameter given.
  void Send(const std::vector<std::pair<ParamID, double>>& values)
  {
    HostParameterChanges changes;
    for (const auto& [id, value] : values) changes.Add(id, 0, value);
    plugin->Process(512, &changes);
  }
  double Value(ParamID id) { return plugin->Controller()->getParamNormalized(id); }

  std::unique_ptr<HostPlugin> plugin;
  std::unique_ptr<HostWindow> window;
  std::unique_ptr<HostEditorView> view;
  bool created = false;
};

// Writes pixels for a person to look at when a comparison fails.
void WritePicture(const std::vector<std::uint32_t>& pixels, const std::string& name)
{
  LICE_MemBitmap bitmap(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      bitmap.Pixels()[y * bitmap.RowStride() + x] = pixels[static_cast<size_t>(y) * kWidth + x];
  const char* dir = std::getenv("THRUMWELL_BINARY_DIR");
  LICE_WritePng(((dir ? std::string(dir) + "/" : std::string()) + name).c_str(), &bitmap, false);
}

class LinuxEditorWindow : public ::testing::Test
{
protected:
  void SetUp() override
  {
    if (!HaveDisplay()) GTEST_SKIP() << "no X display (set DISPLAY, e.g. to an Xvfb)";
    ASSERT_TRUE(SharedModule().IsLoaded()) << SharedModule().Error();
    host = std::make_unique<Instance>(Kind());
    ASSERT_TRUE(host->created) << Lines(host->plugin->Violations());
    ASSERT_TRUE(host->window);
  }
  void TearDown() override
  {
    if (!host) return;
    if (host->view) host->view->Close();
    EXPECT_EQ(host->Loop().EventHandlerCount(), 0u);
    EXPECT_EQ(host->Loop().TimerCount(), 0u);
    EXPECT_TRUE(host->Loop().Complaints().empty()) << Lines(host->Loop().Complaints());
    EXPECT_TRUE(host->window->Complaints().empty()) << Lines(host->window->Complaints());
    EXPECT_TRUE(host->plugin->Handler().Complaints().empty()) << Lines(host->plugin->Handler().Complaints());
    const std::vector<std::string> violations = host->plugin->Violations();
    host.reset();
    EXPECT_TRUE(violations.empty()) << Lines(violations);
  }

  void Open()
  {
    ASSERT_TRUE(host->view->Open()) << Lines(host->plugin->Violations());
    host->window->Pump(kSettleMs);
    host->plugin->Handler().Clear();
  }
  HostWindow& Win() { return *host->window; }
  std::vector<Edit> Edits() { return host->plugin->Handler().Edits(); }
  // How the host window embeds the editor.
  virtual Embedder Kind() const { return Embedder::kMapsChild; }

  std::vector<std::uint32_t> Capture()
  {
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    EXPECT_TRUE(Win().Capture(pixels, w, h));
    EXPECT_EQ(w, kWidth);
    EXPECT_EQ(h, kHeight);
    return pixels;
  }

  std::unique_ptr<Instance> host;
};

// The same tests in each kind of embedder real hosts have.
class LinuxEditorEmbedding : public LinuxEditorWindow, public ::testing::WithParamInterface<Embedder>
{
protected:
  Embedder Kind() const override { return GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(Embedders, LinuxEditorEmbedding,
                         ::testing::Values(Embedder::kMapsChild, Embedder::kXEmbed, Embedder::kNotifyOnly),
                         [](const ::testing::TestParamInfo<Embedder>& info) {
                           return std::string(HostWindow::EmbedderName(info.param));
                         });

// ---- Embedding. ----

// The child is made unmapped with _XEMBED_INFO {0, 0}, as the SDK's editor
// host insists; once the embedder's notice arrives it flags itself mapped and
// shows itself, whatever the embedder does about mapping.
TEST_P(LinuxEditorEmbedding, ChildWaitsForTheNoticeThenShowsItselfWithin200Ms)
{
  IPlugView* view = host->plugin->Controller()->createView("editor");
  ASSERT_NE(view, nullptr);
  HostPlugFrame frame(host->window.get());
  EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported("HWND"), kResultFalse);
  ASSERT_EQ(view->setFrame(&frame), kResultTrue);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(view->attached(Win().ParentHandle(), "X11EmbedWindowID"), kResultTrue);
  EXPECT_EQ(Win().ChildCount(), 1);
  EXPECT_EQ(host->Loop().EventHandlerCount(), 1u);
  EXPECT_EQ(host->Loop().TimerCount(), 1u);

  // Seen from another client: the child has the property, not mapped yet.
  Display* d = TestDisplay();
  Window child = 0;
  ASSERT_TRUE(OnlyChild(d, Win().ParentHandle(), child));
  EXPECT_EQ(EmbedFlags(d, child), 0);
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(d, child, &a));
  EXPECT_EQ(a.map_state, IsUnmapped);
  EXPECT_EQ(a.width, kWidth);
  EXPECT_EQ(a.height, kHeight);

  // On screen, and flagged so by the editor, soon after attached.
  Win().Show();
  long elapsedMs = 0;
  long flags = -1;
  for (;;)
  {
    ASSERT_TRUE(XGetWindowAttributes(d, child, &a));
    flags = EmbedFlags(d, child);
    elapsedMs = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
    if ((a.map_state == IsViewable && flags == 1) || elapsedMs > 2000) break;
    Win().Pump(2);
  }
  EXPECT_EQ(a.map_state, IsViewable) << "never shown in " << elapsedMs << " ms";
  EXPECT_EQ(flags, 1);
  EXPECT_LE(elapsedMs, 200) << "shown only after " << elapsedMs << " ms";

  EXPECT_EQ(view->setFrame(nullptr), kResultTrue);
  EXPECT_EQ(view->removed(), kResultTrue);
  EXPECT_EQ(view->release(), 0u);
  EXPECT_EQ(Win().ChildCount(), 0);
}

// The embedder's activation and focus messages reach the editor, and its
// typed-entry box keeps working across them.
TEST_P(LinuxEditorEmbedding, ActivationAndFocusFollowTheEmbeddersMessages)
{
  EditorSession session;
  ASSERT_TRUE(session.Connected());
  session.ProcessBlock();
  HostEditorView view(session.Host(), Win());
  ASSERT_TRUE(view.Open());
  Win().Pump(kSettleMs);
  auto& editor = static_cast<IGraphicsLinux&>(session.Editor());
  // Only the notice-only embedder neither activates nor focuses its client.
  const bool told = Kind() != Embedder::kNotifyOnly;
  EXPECT_EQ(editor.EmbedderActive(), told);
  EXPECT_EQ(editor.EmbedderFocus(), told);
  Window child = 0;
  ASSERT_TRUE(OnlyChild(TestDisplay(), Win().ParentHandle(), child));
  constexpr long kActivate = 1, kDeactivate = 2, kFocusIn = 4, kFocusOut = 5;
  struct Step
  {
    long message;
    bool active, focus;
  };
  for (const Step& step : {Step{kDeactivate, false, told}, Step{kFocusOut, false, false}, Step{kActivate, true, false},
                           Step{kFocusIn, true, true}, Step{kFocusOut, true, false}})
  {
    SCOPED_TRACE(step.message);
    SendXEmbed(TestDisplay(), child, step.message);
    Win().Pump(30);
    EXPECT_EQ(editor.EmbedderActive(), step.active);
    EXPECT_EQ(editor.EmbedderFocus(), step.focus);
  }
  EXPECT_TRUE(view.Close());
}

// An embedder may hide the editor's window, take it out of its own, or
// destroy it or its own window before it calls removed. The host process
// lives on, removed is clean, nothing stays on the screen, and the editor
// opens again (and, shown again after hiding, shows what it shows freshly
// opened).
TEST_P(LinuxEditorEmbedding, SurvivesAnEmbedderThatUnmapsReparentsOrDestroysIt)
{
  Display* d = TestDisplay();
  enum Act { kUnmap, kReparent, kDestroyChild, kDestroyParent };
  const std::pair<const char*, Act> cases[] = {
      {"unmaps", kUnmap}, {"reparents to the root", kReparent}, {"destroys the child", kDestroyChild},
      {"destroys its own window", kDestroyParent}};
  for (const auto& [name, act] : cases)
  {
    SCOPED_TRACE(name);
    Instance inst(Kind());
    ASSERT_TRUE(inst.created);
    ASSERT_TRUE(inst.window);
    ASSERT_TRUE(inst.view->Open()) << Lines(inst.plugin->Violations());
    inst.window->Pump(kSettleMs);
    Window child = 0;
    ASSERT_TRUE(OnlyChild(d, inst.window->ParentHandle(), child));
    const Window parent = static_cast<Window>(reinterpret_cast<std::uintptr_t>(inst.window->ParentHandle()));
    switch (act)
    {
      case kUnmap: XUnmapWindow(d, child); break;
      case kReparent: XReparentWindow(d, child, DefaultRootWindow(d), 0, 0); break;
      case kDestroyChild: XDestroyWindow(d, child); break;
      case kDestroyParent: XDestroyWindow(d, parent); break;
    }
    XSync(d, False);
    // Something to paint and some input meanwhile.
    inst.Send({{kVolume, 0.3}});
    inst.window->Pump(kSettleMs);
    inst.window->Wheel(kVolumeX, kVolumeY, 120);
    inst.window->Pump(kSettleMs);

    std::vector<std::uint32_t> shownAgain;
    int w = 0, h = 0;
    if (act == kUnmap)
    {
      XMapWindow(d, child);
      XSync(d, False);
      inst.window->Pump(kSettleMs);
      ASSERT_TRUE(inst.window->Capture(shownAgain, w, h));
    }
    if (act == kReparent)
    {
      // Out of its embedder, it withdraws rather than stand on the desktop.
      XWindowAttributes a{};
      ASSERT_TRUE(XGetWindowAttributes(d, child, &a));
      EXPECT_EQ(a.map_state, IsUnmapped);
      EXPECT_EQ(EmbedFlags(d, child), 0);
    }
    EXPECT_TRUE(inst.view->Close()) << Lines(inst.plugin->Violations());
    EXPECT_EQ(inst.Loop().EventHandlerCount() + inst.Loop().TimerCount(), 0u);
    if (act == kReparent)
    {
      Window root = 0, up = 0, *children = nullptr;
      unsigned n = 0;
      ASSERT_TRUE(XQueryTree(d, DefaultRootWindow(d), &root, &up, &children, &n));
      EXPECT_EQ(std::count(children, children + n, child), 0) << "the window outlived removed";
      if (children) XFree(children);
    }
    if (act != kDestroyParent)
    {
      ASSERT_TRUE(inst.view->Open()) << Lines(inst.plugin->Violations());
      inst.window->Pump(kSettleMs);
      ASSERT_TRUE(OnlyChild(d, inst.window->ParentHandle(), child));
      XWindowAttributes a{};
      ASSERT_TRUE(XGetWindowAttributes(d, child, &a));
      EXPECT_EQ(a.map_state, IsViewable);
      if (act == kUnmap)
      {
        std::vector<std::uint32_t> fresh;
        ASSERT_TRUE(inst.window->Capture(fresh, w, h));
        EXPECT_EQ(shownAgain, fresh);
      }
      EXPECT_TRUE(inst.view->Close());
    }
    EXPECT_TRUE(inst.plugin->Violations().empty()) << Lines(inst.plugin->Violations());
    EXPECT_TRUE(inst.window->Complaints().empty()) << Lines(inst.window->Complaints());
    EXPECT_TRUE(inst.Loop().Complaints().empty()) << Lines(inst.Loop().Complaints());
  }
}

// ---- Pictures. ----

// The window shows exactly what the editor paints headless for the same
// state, in each mode.
TEST_P(LinuxEditorEmbedding, CaptureEqualsTheHeadlessPictureInBothModes)
{
  Open();
  for (const char* mode : {"Generator", "Synthesizer"})
  {
    SCOPED_TRACE(mode);
    const double modeValue = std::string(mode) == "Generator" ? 0.0 : 1.0;
    host->Send({{kMode, modeValue}});
    Win().Pump(kSettleMs);
    const std::vector<std::uint32_t> window = Capture();

    EditorSession session;
    ASSERT_TRUE(session.Connected());
    std::string error;
    ASSERT_TRUE(session.QueueParam(std::string("Mode=") + mode, error)) << error;
    session.ProcessBlock();
    session.ProcessBlock();
    IGraphicsPlatform& editor = session.Editor();
    editor.RefreshAll();
    session.Tick(3);
    LICE_IBitmap* canvas = &session.Screen();
    ASSERT_EQ(canvas->Width(), kWidth);
    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if ((canvas->Pixels()[y * canvas->RowStride() + x] & 0xFFFFFF) !=
            (window[static_cast<size_t>(y) * kWidth + x] & 0xFFFFFF))
          ++differing;
    EXPECT_EQ(differing, 0);
    if (differing)
      WritePicture(window, std::string("linux-window-") + HostWindow::EmbedderName(Kind()) + "-" + mode + ".png");
  }
}

// The snapshot tool's window mode against its headless mode: real input in,
// the window's pixels out, for gestures that change what is drawn.
TEST_F(LinuxEditorWindow, WindowSnapshotsEqualHeadlessOnes)
{
  using P = SnapshotPointer;
  const std::vector<std::pair<const char*, std::vector<P>>> cases = {
      {"drag", {{P::kPress, kBinauralX, kBinauralY, 0}, {P::kDrag, kBinauralX, 90, 0}, {P::kRelease, kBinauralX, 90, 0}}},
      {"wheel", {{P::kWheel, kVolumeX, kVolumeY, 3}}},
      {"hover then wheel down", {{P::kHover, kBinauralX, kBinauralY, 0}, {P::kWheel, kBinauralX, kBinauralY, -2}}},
      {"switch", {{P::kPress, kWaveX, kWaveY, 0}, {P::kRelease, kWaveX, kWaveY, 0}}},
  };
  for (const auto& [name, pointer] : cases)
  {
    SCOPED_TRACE(name);
    EditorSession headless;
    ASSERT_TRUE(headless.Connected());
    headless.ProcessBlock();
    SnapshotHeadless(headless, pointer);

    EditorSession windowed;
    ASSERT_TRUE(windowed.Connected());
    windowed.ProcessBlock();
    WindowPicture picture;
    std::string error;
    ASSERT_TRUE(SnapshotInWindow(windowed, pointer, picture, error)) << error;
    ASSERT_EQ(picture.width, kWidth);
    LICE_IBitmap& screen = headless.Screen();
    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        differing += (screen.Pixels()[y * screen.RowStride() + x] & 0xFFFFFF) !=
                     (picture.pixels[static_cast<size_t>(y) * kWidth + x] & 0xFFFFFF);
    EXPECT_EQ(differing, 0);
    if (differing) WritePicture(picture.pixels, std::string("linux-snapshot-") + name + ".png");
  }
}

// A frame with nothing to paint sends nothing to the X server; a change does.
TEST_F(LinuxEditorWindow, IdleFramesSendNothing)
{
  EditorSession session;
  ASSERT_TRUE(session.Connected());
  session.ProcessBlock();
  HostEditorView view(session.Host(), Win());
  ASSERT_TRUE(view.Open());
  ASSERT_EQ(Win().PumpTicks(3, 2000), 3);
  auto& editor = static_cast<IGraphicsLinux&>(session.Editor());
  const unsigned long before = editor.RequestsSent();
  ASSERT_GT(before, 0u);
  EXPECT_EQ(Win().PumpTicks(5, 2000), 5);
  EXPECT_EQ(editor.RequestsSent(), before);
  std::string error;
  ASSERT_TRUE(session.QueueParam("Volume=20", error)) << error;
  session.ProcessBlock();
  EXPECT_EQ(Win().PumpTicks(2, 2000), 2);
  EXPECT_GT(editor.RequestsSent(), before);
  EXPECT_TRUE(view.Close());
}

// Only web addresses go to the desktop's opener, as one argument.
TEST_F(LinuxEditorWindow, OpenLinkRefusesAnythingButWebAddresses)
{
  EditorSession session;
  IGraphicsPlatform& editor = session.Editor();
  for (const char* address : {"", "file:///etc/passwd", "javascript:alert(1)", "ftp://example.org/",
                              "HTTP//missing-colon", "--help", "; rm -rf /"})
    EXPECT_FALSE(editor.OpenLink(address, "", nullptr, nullptr)) << address;
  EXPECT_FALSE(editor.OpenLink(nullptr, "", nullptr, nullptr));
}

// A resize the editor asks for goes through the host's frame, and the child
// window takes the new size.
TEST_F(LinuxEditorWindow, ResizeGoesThroughTheFrameAndResizesTheChild)
{
  EditorSession session;
  ASSERT_TRUE(session.Connected());
  HostEditorView view(session.Host(), Win());
  ASSERT_TRUE(view.Open());
  Win().Pump(kSettleMs);
  session.Editor().ResizeEditor(400, 300);
  Win().Pump(kSettleMs);
  ASSERT_EQ(view.Frame().Resizes().size(), 1u);
  EXPECT_EQ(view.Frame().Resizes().front().getWidth(), 400);
  EXPECT_EQ(view.Frame().Resizes().front().getHeight(), 300);
  Display* d = TestDisplay();
  Window child = 0;
  ASSERT_TRUE(OnlyChild(d, Win().ParentHandle(), child));
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(d, child, &a));
  EXPECT_EQ(a.width, 400);
  EXPECT_EQ(a.height, 300);
  EXPECT_TRUE(view.Close());
}

// ---- Pointer. ----

TEST_F(LinuxEditorWindow, DragIsOneBeginPerformsAndOneEnd)
{
  Open();
  const double before = host->Value(kBinaural);
  Win().Press(kBinauralX, kBinauralY);
  for (int i = 1; i <= 5; ++i) Win().MoveTo(kBinauralX, kBinauralY - 8 * i);
  Win().Pump(kSettleMs);
  Win().Release(kBinauralX, kBinauralY - 40);
  Win().Pump(kSettleMs);
  const std::string kinds = Kinds(Edits(), kBinaural);
  ASSERT_GE(kinds.size(), 3u) << kinds;
  EXPECT_EQ(kinds.front(), 'b');
  EXPECT_EQ(kinds.back(), 'e');
  EXPECT_EQ(kinds.find_first_not_of('p', 1), kinds.size() - 1) << kinds;
  EXPECT_GT(host->Value(kBinaural), before);
}

TEST_F(LinuxEditorWindow, DoubleClickSetsTheDefault)
{
  Open();
  const double defaultValue = host->Value(kBinaural);
  host->Send({{kBinaural, 0.5}});
  Win().Pump(kSettleMs);
  ASSERT_NE(host->Value(kBinaural), defaultValue);
  host->plugin->Handler().Clear();
  Win().DoubleClick(kBinauralX, kBinauralY);
  Win().Pump(kSettleMs);
  EXPECT_NEAR(host->Value(kBinaural), defaultValue, 1e-9);
  const std::string kinds = Kinds(Edits(), kBinaural);
  ASSERT_FALSE(kinds.empty());
  EXPECT_EQ(kinds.back(), 'e') << kinds;
}

TEST_F(LinuxEditorWindow, WheelStepsEndTheirEditHalfASecondLater)
{
  Open();
  const double before = host->Value(kVolume);
  Win().Wheel(kVolumeX, kVolumeY, 240);
  Win().Pump(60);
  EXPECT_GT(host->Value(kVolume), before);
  std::string kinds = Kinds(Edits(), kVolume);
  ASSERT_FALSE(kinds.empty());
  EXPECT_EQ(kinds.front(), 'b');
  EXPECT_EQ(kinds.find('e'), std::string::npos) << "end of edit came at once: " << kinds;
  Win().Wheel(kVolumeX, kVolumeY, -120);
  // Twelve frames of 41 ms after the last step.
  Win().Pump(700);
  kinds = Kinds(Edits(), kVolume);
  EXPECT_EQ(kinds.back(), 'e') << kinds;
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 'b'), 1) << kinds;
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 'e'), 1) << kinds;
}

// ---- Typed entry. ----

TEST_P(LinuxEditorEmbedding, TypedEntryCommitsOnEnterAndCancelsOnEscapeOrRightClick)
{
  Open();
  struct Case
  {
    const char* name;
    const char* typed;
    const char* finish;  // a key, or "right" for a right click beside the box
    bool commits;
    // The host's window holds the keyboard and the embedder forwards the keys.
    bool forwarded = false;
  };
  const Case cases[] = {
      {"enter", "50", "Return", true},
      {"left click elsewhere", "25", "left", true},
      {"escape", "12", "Escape", false},
      {"right click", "12", "right", false},
      {"enter, forwarded by the embedder", "44", "Return", true, true},
      {"escape, forwarded by the embedder", "12", "Escape", false, true},
  };
  const Window parent = static_cast<Window>(reinterpret_cast<std::uintptr_t>(Win().ParentHandle()));
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    // The keyboard follows the pointer, as on a screen without a window
    // manager; the box takes it and must give it back when it closes.
    XSetInputFocus(TestDisplay(), PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(TestDisplay(), False);
    host->Send({{kVolume, 0.9}});
    Win().Pump(kSettleMs);
    host->plugin->Handler().Clear();
    Win().Press(kVolumeX, kVolumeY, HostWindow::kRight);
    Win().Release(kVolumeX, kVolumeY, HostWindow::kRight);
    Win().Pump(kSettleMs);
    // The right click was a gesture of its own.
    host->plugin->Handler().Clear();
    // The box is drawn at the geometry of the Windows box, centred on the knob.
    const std::vector<std::uint32_t> open = Capture();
    EXPECT_EQ(open[static_cast<size_t>(kVolumeY) * kWidth + kVolumeX - 14] & 0xFFFFFF, 0xFFFFFFu);
    const std::string finish = c.finish;
    if (c.forwarded)
    {
      // The keyboard goes to the host's window, with the pointer away from
      // the editor so that nothing reaches it directly.
      Win().MoveTo(-5, -5);
      XSetInputFocus(TestDisplay(), parent, RevertToParent, CurrentTime);
      XSync(TestDisplay(), False);
      Window child = 0;
      ASSERT_TRUE(OnlyChild(TestDisplay(), Win().ParentHandle(), child));
      if (Kind() == Embedder::kXEmbed)
      {
        // Typed on the host's window, which forwards them as GTK does.
        Win().Type(c.typed);
        Win().Key(finish);
      }
      else
        ForwardKeys(TestDisplay(), child, c.typed, finish);
    }
    else
    {
      Win().Type(c.typed);
      if (finish == "right" || finish == "left")
      {
        const auto button = finish == "right" ? HostWindow::kRight : HostWindow::kLeft;
        Win().Press(10, 360, button);
        Win().Release(10, 360, button);
      }
      else
        Win().Key(finish);
    }
    Win().Pump(kSettleMs);
    if (c.commits)
    {
      EXPECT_NEAR(host->Value(kVolume), std::atof(c.typed) / 100.0, 1e-9);
      EXPECT_EQ(Kinds(Edits(), kVolume), "bpe");
    }
    else
    {
      EXPECT_NEAR(host->Value(kVolume), 0.9, 1e-9);
      EXPECT_EQ(Kinds(Edits(), kVolume), "");
    }
    // The box is gone: the knob shows again where it was.
    const std::vector<std::uint32_t> closed = Capture();
    EXPECT_NE(closed[static_cast<size_t>(kVolumeY) * kWidth + kVolumeX - 14] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Win().ChildCount(), 1);
    Window focus = None;
    int revert = 0;
    XGetInputFocus(TestDisplay(), &focus, &revert);
    EXPECT_EQ(focus, c.forwarded ? parent : static_cast<Window>(PointerRoot)) << "the box kept the keyboard";
  }
}

// A list parameter's box is a drop-down list: a key that moves the choice
// commits it, as does a click on an entry. Near the bottom of the editor the
// entries drop above the field, which sits at the control's vertical centre.
TEST_F(LinuxEditorWindow, ListEntryByKeyAndByClick)
{
  constexpr ParamID kWave = 3;
  constexpr int kFieldTop = 300;  // the wave switch's vertical centre
  constexpr int kSawRowY = kFieldTop - (18 * 4 + 2) + 1 + 2 * 18 + 9;
  Open();
  host->Send({{kWave, 0.0}});
  Win().Pump(kSettleMs);
  struct Case
  {
    const char* name;
    bool byKey;
    double chosen;
  };
  for (const Case& c : {Case{"down key", true, 1.0 / 3.0}, Case{"click on Saw", false, 2.0 / 3.0}})
  {
    SCOPED_TRACE(c.name);
    const std::vector<std::uint32_t> closed = Capture();
    Win().Press(kWaveX, kWaveY, HostWindow::kRight);
    Win().Release(kWaveX, kWaveY, HostWindow::kRight);
    Win().Pump(kSettleMs);
    EXPECT_NE(Capture(), closed);  // the list is drawn
    host->plugin->Handler().Clear();
    if (c.byKey)
      Win().Key("Down");
    else
    {
      Win().Press(kWaveX, kSawRowY);
      Win().Release(kWaveX, kSawRowY);
    }
    Win().Pump(kSettleMs);
    EXPECT_NEAR(host->Value(kWave), c.chosen, 1e-9);
    EXPECT_EQ(Kinds(Edits(), kWave), "bpe");
  }
}

TEST_F(LinuxEditorWindow, RepaintNeverCoversAnOpenBox)
{
  Open();
  Win().Press(kVolumeX, kVolumeY, HostWindow::kRight);
  Win().Release(kVolumeX, kVolumeY, HostWindow::kRight);
  Win().Pump(kSettleMs);
  const std::vector<std::uint32_t> before = Capture();
  // The host moves the knob under the box; the knob repaints, the box stays.
  host->Send({{kVolume, 0.1}});
  Win().Pump(kSettleMs);
  const std::vector<std::uint32_t> after = Capture();
  for (int y = kVolumeY - 8; y < kVolumeY + 8; ++y)
    for (int x = kVolumeX - 16; x < kVolumeX + 16; ++x)
      ASSERT_EQ(after[static_cast<size_t>(y) * kWidth + x], before[static_cast<size_t>(y) * kWidth + x])
          << x << "," << y;
  Win().Key("Escape");
  Win().Pump(kSettleMs);
}

// ---- Delivery, lifetime, threads. ----

// A run loop that calls late and then in bursts changes nothing the user sees.
TEST_F(LinuxEditorWindow, LateAndBurstyRunLoopKeepsGesturesWhole)
{
  Open();
  host->Loop().SetLateness(120);
  Win().Press(kBinauralX, kBinauralY);
  for (int i = 1; i <= 4; ++i) Win().MoveTo(kBinauralX, kBinauralY - 10 * i);
  Win().Release(kBinauralX, kBinauralY - 40);
  Win().Wheel(kVolumeX, kVolumeY, 120);
  Win().Pump(900);
  const std::string drag = Kinds(Edits(), kBinaural);
  ASSERT_GE(drag.size(), 3u) << drag;
  EXPECT_EQ(drag.front(), 'b');
  EXPECT_EQ(drag.back(), 'e');
  EXPECT_EQ(Kinds(Edits(), kVolume).back(), 'e');
  EXPECT_EQ(std::count(drag.begin(), drag.end(), 'b'), 1) << drag;
}

TEST_F(LinuxEditorWindow, TwoEditorsInOneProcessKeepToThemselves)
{
  Open();
  Instance second;
  ASSERT_TRUE(second.created);
  ASSERT_TRUE(second.window);
  ASSERT_TRUE(second.view->Open()) << Lines(second.plugin->Violations());
  second.window->Pump(kSettleMs);
  second.plugin->Handler().Clear();

  second.window->Press(kBinauralX, kBinauralY);
  second.window->MoveTo(kBinauralX, kBinauralY - 30);
  second.window->Release(kBinauralX, kBinauralY - 30);
  // Each window's loop runs its own editor only.
  second.window->Pump(kSettleMs);
  Win().Pump(kSettleMs);
  EXPECT_EQ(Kinds(second.plugin->Handler().Edits(), kBinaural).front(), 'b');
  EXPECT_EQ(Kinds(second.plugin->Handler().Edits(), kBinaural).back(), 'e');
  EXPECT_TRUE(Edits().empty());

  Win().Press(kBinauralX, kBinauralY);
  Win().MoveTo(kBinauralX, kBinauralY - 30);
  Win().Release(kBinauralX, kBinauralY - 30);
  Win().Pump(kSettleMs);
  EXPECT_EQ(Kinds(Edits(), kBinaural).back(), 'e');

  EXPECT_TRUE(second.view->Close());
  EXPECT_EQ(second.Loop().EventHandlerCount() + second.Loop().TimerCount(), 0u);
  EXPECT_TRUE(second.plugin->Violations().empty()) << Lines(second.plugin->Violations());
}

// Opening and closing again and again leaves no window, descriptor,
// registration or memory behind.
TEST_F(LinuxEditorWindow, ManyOpenCloseCyclesLeakNothing)
{
  Open();
  ASSERT_TRUE(host->view->Close());
  const int descriptors = OpenDescriptors();
  const size_t heap = mallinfo2().uordblks;
  for (int i = 0; i < 1000; ++i)
  {
    ASSERT_TRUE(host->view->Open()) << i << "\n" << Lines(host->plugin->Violations());
    if (i % 100 == 0) Win().Pump(50);  // now and then long enough to paint
    ASSERT_EQ(Win().ChildCount(), 1);
    ASSERT_TRUE(host->view->Close()) << i;
    ASSERT_EQ(Win().ChildCount(), 0);
    ASSERT_EQ(host->Loop().EventHandlerCount() + host->Loop().TimerCount(), 0u);
  }
  EXPECT_EQ(OpenDescriptors(), descriptors);
  // Allocator slack only: a leak of even a few hundred bytes a cycle shows.
  EXPECT_LT(mallinfo2().uordblks, heap + 64 * 1024);
}

TEST_F(LinuxEditorWindow, OpeningAndClosingWhileAudioRuns)
{
  // The processor is called directly: the host's own checks after a block
  // read what the user-interface thread writes.
  ProcessData& data = host->plugin->PrepareData(256);
  IAudioProcessor* processor = host->plugin->Processor();
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  std::thread audio([&] {
    while (!stop.load())
    {
      processor->process(data);
      ++blocks;
    }
  });
  for (int i = 0; i < 40; ++i)
  {
    ASSERT_TRUE(host->view->Open());
    Win().Wheel(kVolumeX, kVolumeY, 120);
    Win().Pump(20);
    ASSERT_TRUE(host->view->Close());
  }
  stop = true;
  audio.join();
  EXPECT_GT(blocks.load(), 0);
}

TEST_F(LinuxEditorWindow, RemovedDuringADragEndsItsEdit)
{
  Open();
  Win().Press(kBinauralX, kBinauralY);
  Win().MoveTo(kBinauralX, kBinauralY - 20);
  Win().Pump(kSettleMs);
  ASSERT_EQ(Kinds(Edits(), kBinaural).front(), 'b');
  ASSERT_TRUE(host->view->Close());
  EXPECT_EQ(Kinds(Edits(), kBinaural).back(), 'e');
  Win().Release(kBinauralX, kBinauralY - 20);
  Win().Pump(20);
}

// ---- Bad input. ----

// A stand-in frame that offers no run loop.
class BareFrame final : public HostObject<IPlugFrame>
{
public:
  tresult PLUGIN_API resizeView(IPlugView*, ViewRect*) override { return kResultFalse; }
};

// A run loop that refuses, as the SDK validator's does.
class RefusingLoop final : public HostObject<Linux::IRunLoop>
{
public:
  tresult PLUGIN_API registerEventHandler(Linux::IEventHandler*, Linux::FileDescriptor) override { return kNotImplemented; }
  tresult PLUGIN_API unregisterEventHandler(Linux::IEventHandler*) override { return kNotImplemented; }
  tresult PLUGIN_API registerTimer(Linux::ITimerHandler*, Linux::TimerInterval) override { return kNotImplemented; }
  tresult PLUGIN_API unregisterTimer(Linux::ITimerHandler*) override { return kNotImplemented; }
};

class RefusingFrame final : public HostObject<IPlugFrame>
{
public:
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
  {
    if (obj && iidEqual(iid, Linux::IRunLoop::iid))
    {
      loop.addRef();
      *obj = static_cast<Linux::IRunLoop*>(&loop);
      return kResultOk;
    }
    return HostObject<IPlugFrame>::queryInterface(iid, obj);
  }
  tresult PLUGIN_API resizeView(IPlugView*, ViewRect*) override { return kResultFalse; }
  RefusingLoop loop;
};

TEST_F(LinuxEditorWindow, BadParentsAndRunLoopsLeaveNothingOpen)
{
  Display* d = TestDisplay();
  const Window gone = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 10, 10, 0, 0, 0);
  XDestroyWindow(d, gone);
  XSync(d, False);
  HostPlugFrame frame(host->window.get());
  BareFrame bare;
  RefusingFrame refusing;
  struct Case
  {
    const char* name;
    void* parent;
    IPlugFrame* frame;
    bool noDisplay;
  };
  const Case cases[] = {
      {"no such window", reinterpret_cast<void*>(std::uintptr_t{0x7ffffff0}), &frame, false},
      {"destroyed window", reinterpret_cast<void*>(static_cast<std::uintptr_t>(gone)), &frame, false},
      {"null parent", nullptr, &frame, false},
      {"no display", Win().ParentHandle(), &frame, true},
      {"no run loop", Win().ParentHandle(), &bare, false},
      {"run loop refuses", Win().ParentHandle(), &refusing, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    IPlugView* view = host->plugin->Controller()->createView("editor");
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->setFrame(c.frame), kResultTrue);
    std::string display = std::getenv("DISPLAY");
    if (c.noDisplay) unsetenv("DISPLAY");
    EXPECT_EQ(view->attached(c.parent, "X11EmbedWindowID"), kResultFalse);
    if (c.noDisplay) setenv("DISPLAY", display.c_str(), 1);
    Win().Pump(20);
    EXPECT_EQ(Win().ChildCount(), 0);
    EXPECT_EQ(host->Loop().EventHandlerCount() + host->Loop().TimerCount(), 0u);
    EXPECT_EQ(view->removed(), kResultTrue);
    EXPECT_EQ(view->setFrame(nullptr), kResultTrue);
    EXPECT_EQ(view->release(), 0u);
  }
  EXPECT_EQ(frame.References() + bare.References() + refusing.References() + refusing.loop.References(), 0);
}

TEST_F(LinuxEditorWindow, AttachedTwiceAndRemovedWithoutAttachedAreHarmless)
{
  IPlugView* view = host->plugin->Controller()->createView("editor");
  ASSERT_NE(view, nullptr);
  HostPlugFrame frame(host->window.get());
  ASSERT_EQ(view->setFrame(&frame), kResultTrue);
  EXPECT_EQ(view->removed(), kResultTrue);
  EXPECT_EQ(view->attached(Win().ParentHandle(), "X11EmbedWindowID"), kResultTrue);
  EXPECT_EQ(view->attached(Win().ParentHandle(), "X11EmbedWindowID"), kResultTrue);
  EXPECT_EQ(Win().ChildCount(), 1);
  EXPECT_EQ(host->Loop().EventHandlerCount(), 1u);
  EXPECT_EQ(host->Loop().TimerCount(), 1u);
  Win().Show();
  Win().Pump(kSettleMs);
  EXPECT_EQ(view->removed(), kResultTrue);
  EXPECT_EQ(view->removed(), kResultTrue);
  EXPECT_EQ(Win().ChildCount(), 0);
  EXPECT_EQ(view->setFrame(nullptr), kResultTrue);
  EXPECT_EQ(view->release(), 0u);
}

// The server drops the editor's connection (as when the display goes away):
// the host lives on and the editor leaves the run loop.
TEST_F(LinuxEditorWindow, LosingTheDisplayUnderAnOpenEditor)
{
  Open();
  Display* d = TestDisplay();
  Window root = 0, up = 0, *children = nullptr;
  unsigned n = 0;
  const Window parent = static_cast<Window>(reinterpret_cast<std::uintptr_t>(Win().ParentHandle()));
  ASSERT_TRUE(XQueryTree(d, parent, &root, &up, &children, &n));
  ASSERT_EQ(n, 1u);
  XKillClient(d, children[0]);
  XFree(children);
  XSync(d, False);
  Win().Pump(kSettleMs);
  EXPECT_EQ(host->Loop().EventHandlerCount() + host->Loop().TimerCount(), 0u);
  EXPECT_EQ(Win().ChildCount(), 0);
  // The host closes the view as usual; the editor opens again.
  EXPECT_TRUE(host->view->Close());
  Open();
  EXPECT_EQ(Win().ChildCount(), 1);
}

// A frame without a run loop: the one the host gave the factory serves.
TEST_F(LinuxEditorWindow, FallsBackToTheFactoryHostContextsRunLoop)
{
  HostRunLoop factoryLoop;
  ASSERT_EQ(SharedModule().SetHostContext(&factoryLoop), kResultTrue);
  IPlugView* view = host->plugin->Controller()->createView("editor");
  ASSERT_NE(view, nullptr);
  BareFrame bare;
  ASSERT_EQ(view->setFrame(&bare), kResultTrue);
  EXPECT_EQ(view->attached(Win().ParentHandle(), "X11EmbedWindowID"), kResultTrue);
  EXPECT_EQ(factoryLoop.EventHandlerCount(), 1u);
  EXPECT_EQ(factoryLoop.TimerCount(), 1u);
  EXPECT_EQ(host->Loop().EventHandlerCount() + host->Loop().TimerCount(), 0u);
  Win().Show();
  factoryLoop.RunFor(kSettleMs);
  EXPECT_EQ(view->removed(), kResultTrue);
  EXPECT_EQ(factoryLoop.EventHandlerCount() + factoryLoop.TimerCount(), 0u);
  EXPECT_EQ(view->setFrame(nullptr), kResultTrue);
  EXPECT_EQ(view->release(), 0u);
  SharedModule().SetHostContext(nullptr);
  EXPECT_TRUE(factoryLoop.Complaints().empty()) << Lines(factoryLoop.Complaints());
}

// ---- Content scale. ----

// The child window's size, seen from another client.
bool ChildSize(void* parent, int& width, int& height)
{
  Display* d = TestDisplay();
  Window child = 0;
  if (!OnlyChild(d, parent, child)) return false;
  XWindowAttributes a{};
  if (!XGetWindowAttributes(d, child, &a)) return false;
  width = a.width;
  height = a.height;
  return true;
}

TEST_F(LinuxEditorWindow, ScaleBeforeAttachedSizesTheWindowAndAfterItResizesThroughTheFrame)
{
  host->view->SetContentScale(2.0f);
  Open();
  int w = 0, h = 0;
  ASSERT_TRUE(ChildSize(Win().ParentHandle(), w, h));
  EXPECT_EQ(w, 736);
  EXPECT_EQ(h, 740);
  EXPECT_EQ(host->view->Size().getWidth(), 736);
  EXPECT_TRUE(host->view->Frame().Resizes().empty());

  // Attached: one resizeView, one onSize, and the child follows.
  EXPECT_EQ(host->view->SetContentScale(3.0f), kResultTrue);
  Win().Pump(kSettleMs);
  ASSERT_EQ(host->view->Frame().Resizes().size(), 1u);
  EXPECT_EQ(host->view->Frame().Resizes()[0].getWidth(), 1104);
  EXPECT_EQ(host->view->Frame().OnSizes(), 1);
  ASSERT_TRUE(ChildSize(Win().ParentHandle(), w, h));
  EXPECT_EQ(w, 1104);
  EXPECT_EQ(h, 1110);
  EXPECT_EQ(host->view->SetContentScale(3.0f), kResultTrue);
  EXPECT_EQ(host->view->Frame().Resizes().size(), 1u);
  EXPECT_EQ(host->view->SetContentScale(NAN), kResultFalse);
  EXPECT_EQ(host->view->SetContentScale(0.0f), kResultFalse);
  EXPECT_EQ(host->view->Frame().Resizes().size(), 1u);
}

// At 2 the window shows the headless picture at 2, after real input given
// in window pixels.
TEST_F(LinuxEditorWindow, WindowSnapshotsAtTwiceTheSizeEqualHeadlessOnes)
{
  using P = SnapshotPointer;
  const std::vector<P> pointer = {
      {P::kPress, kBinauralX, kBinauralY, 0}, {P::kDrag, kBinauralX, 90, 0}, {P::kRelease, kBinauralX, 90, 0}};
  EditorSession headless;
  ASSERT_TRUE(headless.Connected());
  headless.ProcessBlock();
  headless.Editor().SetScale(2.0f);
  SnapshotHeadless(headless, pointer);

  EditorSession windowed;
  ASSERT_TRUE(windowed.Connected());
  windowed.ProcessBlock();
  WindowPicture picture;
  std::string error;
  ASSERT_TRUE(SnapshotInWindow(windowed, pointer, picture, error, 2.0f)) << error;
  ASSERT_EQ(picture.width, 736);
  ASSERT_EQ(picture.height, 740);
  LICE_IBitmap& screen = headless.Screen();
  ASSERT_EQ(screen.Width(), 736);
  int differing = 0;
  for (int y = 0; y < 740; ++y)
    for (int x = 0; x < 736; ++x)
      differing += (screen.Pixels()[y * screen.RowStride() + x] & 0xFFFFFF) !=
                   (picture.pixels[static_cast<size_t>(y) * 736 + x] & 0xFFFFFF);
  EXPECT_EQ(differing, 0);
}

// The same drag in layout pixels moves the knob to the same value at 1 and
// at 2, where it spans twice the window pixels.
TEST_F(LinuxEditorWindow, ADragAtTwiceTheSizeMovesTheKnobAsAtOne)
{
  auto drag = [&](Instance& instance, int factor) {
    if (factor != 1) instance.view->SetContentScale(float(factor));
    EXPECT_TRUE(instance.view->Open());
    instance.window->Pump(kSettleMs);
    const int x = kBinauralX * factor + factor / 2, y = kBinauralY * factor + factor / 2;
    instance.window->Press(x, y);
    for (int i = 1; i <= 5; ++i) instance.window->MoveTo(x, y - 8 * factor * i);
    instance.window->Pump(kSettleMs);
    instance.window->Release(x, y - 40 * factor);
    instance.window->Pump(kSettleMs);
    const std::string kinds = Kinds(instance.plugin->Handler().Edits(), kBinaural);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 'b'), 1) << kinds;
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 'e'), 1) << kinds;
    const double value = instance.Value(kBinaural);
    instance.view->Close();
    return value;
  };
  const double atOne = drag(*host, 1);
  Instance twice;
  ASSERT_TRUE(twice.created);
  const double atTwo = drag(twice, 2);
  EXPECT_GT(atOne, 0.0);
  EXPECT_DOUBLE_EQ(atTwo, atOne);
  EXPECT_TRUE(twice.plugin->Violations().empty()) << Lines(twice.plugin->Violations());
}

// A host that never tells the scale: the desktop's Xft.dpi gives it.
TEST_F(LinuxEditorWindow, WithoutTheHostsScaleXftDpiGivesIt)
{
  Display* d = TestDisplay();
  const Window root = DefaultRootWindow(d);
  const Atom resources = XInternAtom(d, "RESOURCE_MANAGER", False);
  const std::string dpi = "Xft.dpi:\t192\n";
  XChangeProperty(d, root, resources, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(dpi.data()), static_cast<int>(dpi.size()));
  XSync(d, False);
  Open();
  XDeleteProperty(d, root, resources);
  XSync(d, False);
  Win().Pump(kSettleMs);
  ASSERT_EQ(host->view->Frame().Resizes().size(), 1u);
  EXPECT_EQ(host->view->Frame().Resizes()[0].getWidth(), 736);
  int w = 0, h = 0;
  ASSERT_TRUE(ChildSize(Win().ParentHandle(), w, h));
  EXPECT_EQ(w, 736);
  EXPECT_EQ(h, 740);
}

// The right click's box at 2 covers the scaled place of the box at 1.
TEST_F(LinuxEditorWindow, TheTypedEntryBoxIsDrawnAtTheScaledPlace)
{
  host->view->SetContentScale(2.0f);
  Open();
  Win().Show();
  Win().Pump(kSettleMs);
  const std::vector<std::uint32_t> before = [&] {
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    EXPECT_TRUE(Win().Capture(pixels, w, h));
    return pixels;
  }();
  Win().Press(kVolumeX * 2 + 1, kVolumeY * 2 + 1, HostWindow::kRight);
  Win().Release(kVolumeX * 2 + 1, kVolumeY * 2 + 1, HostWindow::kRight);
  Win().Pump(kSettleMs);
  std::vector<std::uint32_t> after;
  int w = 0, h = 0;
  ASSERT_TRUE(Win().Capture(after, w, h));
  ASSERT_EQ(w, 736);
  // The 1x box is centred on the knob, 16 pixels high: at 2 it is 32 rows
  // around row 598, and the rows well above and below are untouched.
  auto changedRow = [&](int y) {
    int n = 0;
    for (int x = kVolumeX * 2 - 40; x < kVolumeX * 2 + 40; ++x)
      n += (before[static_cast<size_t>(y) * 736 + x] & 0xFFFFFF) != (after[static_cast<size_t>(y) * 736 + x] & 0xFFFFFF);
    return n;
  };
  EXPECT_GT(changedRow(kVolumeY * 2 - 14), 40);
  EXPECT_GT(changedRow(kVolumeY * 2 + 13), 40);
  EXPECT_EQ(changedRow(kVolumeY * 2 - 40), 0);
  Win().Key("Escape");
  Win().Pump(kSettleMs);
}

}  // namespace
