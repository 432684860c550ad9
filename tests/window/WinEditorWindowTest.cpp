// The instrument's editor in a real window of our test host: opened through
// its VST3 view, driven by window messages, painted by its own timer and
// read back from the window. Needs a display (under Wine, an X server).

#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "controls/IControl.h"
#include "graphics/IGraphicsWin.h"
#include "host/HostEditorView.h"
#include "host/HostWindow.h"
#include "raster/LICE_Bitmap.h"
#include "synth/ThrumwellParameters.h"
#include "tools/snapshot/EditorSession.h"
#include "tools/snapshot/HeadlessSnapshot.h"
#include "tools/snapshot/WindowSnapshot.h"
#include "vst3/sdk/IAudioProcessor.h"
#include "vst3/sdk/IEditController.h"
#include "vst3/sdk/IPtr.h"

using namespace Steinberg;
using Steinberg::Vst::ParamID;
using ThrumwellHost::HostComponentHandler;
using ThrumwellHost::HostEditorView;
using ThrumwellHost::HostWindow;

namespace
{
constexpr int kTimeoutMs = 5000;

// Centres of controls in editor pixels.
constexpr POINT kCarrierKnob = {75, 130};  // "Tuning Freq" or, in Generator mode, "Frequency"
constexpr POINT kBeatKnob = {180, 130};
constexpr POINT kWaveSwitch = {62, 300};
constexpr POINT kVolumeKnob = {305, 300};

bool ClassRegistered()
{
  WNDCLASSEXA info = {};
  info.cbSize = sizeof info;
  return GetClassInfoExA(GetModuleHandleA(nullptr), IGraphicsWin::kWindowClass, &info) != 0;
}

using EditKind = HostComponentHandler::Edit::Kind;

int Count(const std::vector<HostComponentHandler::Edit>& edits, EditKind kind, int id)
{
  return static_cast<int>(std::count_if(edits.begin(), edits.end(), [&](const HostComponentHandler::Edit& e) {
    return e.kind == kind && int(e.id) == id;
  }));
}

// One instrument, a host window and the view that opens the editor in it.
struct WindowedEditor
{
  WindowedEditor() : window(HostWindow::Create(368, 370, "Thrumwell test")) {}

  bool Open()
  {
    view = std::make_unique<HostEditorView>(session.Host(), *window);
    // The first paint, before any tick.
    return view->Open() && window->PumpTicks(0, kTimeoutMs) == 0;
  }
  bool Close() { return view->Close(); }

  IGraphicsWin& Editor() { return static_cast<IGraphicsWin&>(session.Editor()); }
  HWND EditorWindow() { return static_cast<HWND>(Editor().NativeWindow()); }
  HWND Box() { return static_cast<HWND>(Editor().BoxWindow()); }
  double Normalized(int param) { return session.Host().Controller()->getParamNormalized(ParamID(param)); }
  double Plain(int param) { return session.Host().Controller()->normalizedParamToPlain(ParamID(param), Normalized(param)); }
  std::vector<HostComponentHandler::Edit> Edits() { return session.Handler().Edits(); }
  void Ticks(int n) { ASSERT_EQ(window->PumpTicks(n, kTimeoutMs), n); }
  void RightClick(POINT at)
  {
    window->Press(at.x, at.y, HostWindow::kRight);
    window->Release(at.x, at.y, HostWindow::kRight);
  }
  // Right-clicks a control and lets one tick pass; the box it opened, or null.
  HWND OpenBox(POINT at)
  {
    RightClick(at);
    Ticks(1);
    return Box();
  }
  std::string BoxClass()
  {
    char kind[16] = {};
    GetClassNameA(Box(), kind, sizeof kind);
    return kind;
  }
  // Sets a parameter by name, as the host's automation does.
  void HostSets(const std::string& assignment)
  {
    std::string error;
    ASSERT_TRUE(session.QueueParam(assignment, error)) << error;
    ASSERT_TRUE(session.ProcessBlock());
  }

  // Declared in the order they must outlive each other.
  EditorSession session;
  std::unique_ptr<HostWindow> window;
  std::unique_ptr<HostEditorView> view;
};

// The "Binaural" value the tests' drag of the beat knob (up 20, then to 3
// right and 45 up) gives headless.
double HeadlessBeatDrag()
{
  EditorSession headless;
  IPointerMods left;
  left.left = true;
  headless.Editor().PointerDown(kBeatKnob.x, kBeatKnob.y, left);
  headless.Editor().PointerDrag(kBeatKnob.x, kBeatKnob.y - 20, left);
  headless.Editor().PointerDrag(kBeatKnob.x + 3, kBeatKnob.y - 45, left);
  headless.Editor().PointerUp(kBeatKnob.x + 3, kBeatKnob.y - 45, IPointerMods());
  return headless.Host().Controller()->getParamNormalized(kParamBinaural);
}

class EditorWindow : public ::testing::Test
{
protected:
  void SetUp() override
  {
    if (!ed.window) GTEST_SKIP() << "no window system (under Wine, set DISPLAY to an X server such as Xvfb)";
    ASSERT_TRUE(ed.session.Connected());
  }
  void TearDown() override
  {
    if (ed.window)
    {
      EXPECT_TRUE(ed.session.Handler().Complaints().empty()) << ed.session.Handler().Complaints().front();
    }
  }

  WindowedEditor ed;
};

TEST_F(EditorWindow, ADragIsOneGestureEndingAtTheHeadlessValue)
{
  ASSERT_TRUE(ed.Open());
  ed.window->Press(kBeatKnob.x, kBeatKnob.y);
  ed.Ticks(1);
  ed.window->MoveTo(kBeatKnob.x, kBeatKnob.y - 20);
  ed.Ticks(1);
  ed.window->MoveTo(kBeatKnob.x + 3, kBeatKnob.y - 45);
  ed.window->Release(kBeatKnob.x + 3, kBeatKnob.y - 45);
  ed.Ticks(1);

  const int beat = kParamBinaural;
  EXPECT_EQ(Count(ed.Edits(), EditKind::kBegin, beat), 1);
  EXPECT_GE(Count(ed.Edits(), EditKind::kPerform, beat), 2);
  EXPECT_EQ(Count(ed.Edits(), EditKind::kEnd, beat), 1);
  EXPECT_EQ(ed.Edits().back().kind, EditKind::kEnd);

  const double expected = HeadlessBeatDrag();
  EXPECT_NE(expected, 0.0);
  EXPECT_DOUBLE_EQ(ed.Normalized(beat), expected);
}

TEST_F(EditorWindow, ADoubleClickRestoresTheDefault)
{
  const double initial = ed.Normalized(kParamBinaural);
  ed.HostSets("Binaural=12");
  ASSERT_NE(ed.Normalized(kParamBinaural), initial);
  ASSERT_TRUE(ed.Open());
  ed.window->DoubleClick(kBeatKnob.x, kBeatKnob.y);
  ed.Ticks(1);
  EXPECT_DOUBLE_EQ(ed.Normalized(kParamBinaural), initial);
  EXPECT_EQ(Count(ed.Edits(), EditKind::kBegin, kParamBinaural), Count(ed.Edits(), EditKind::kEnd, kParamBinaural));
}

TEST_F(EditorWindow, TypedValueIsSetOnTheTickAfterEnter)
{
  ed.HostSets("Mode=Generator");
  ASSERT_TRUE(ed.Open());
  ASSERT_NE(ed.OpenBox(kCarrierKnob), nullptr);
  EXPECT_EQ(ed.window->ChildCount(), 2);
  EXPECT_STRCASEEQ(ed.BoxClass().c_str(), "Edit");
  // Where the editor put it: centred on the knob, 16 high.
  RECT boxRect;
  GetWindowRect(ed.Box(), &boxRect);
  MapWindowPoints(nullptr, ed.EditorWindow(), reinterpret_cast<POINT*>(&boxRect), 2);
  const IBounds& planned = ed.Editor().Box().rect;
  EXPECT_EQ(IBounds(boxRect.left, boxRect.top, boxRect.right, boxRect.bottom), planned);
  EXPECT_EQ(planned.H(), 16);
  const IBounds& knob = ed.Editor().BoxControl()->Bounds();
  EXPECT_LE(std::abs((planned.left + planned.right) - (knob.left + knob.right)), 2);
  EXPECT_EQ(GetDlgCtrlID(ed.Box()), IGraphicsWin::kBoxId);
  EXPECT_EQ(GetWindowLongPtrA(ed.Box(), GWLP_USERDATA), LONG_PTR(IGraphicsWin::kBoxMarker));
  EXPECT_EQ(GetFocus(), ed.Box());

  const double before = ed.Plain(kParamFrequency);
  ed.window->Type("440");
  ed.window->Key("Return");
  ed.Ticks(0);
  // Committed, not yet applied: that waits for the timer.
  EXPECT_EQ(ed.Plain(kParamFrequency), before);
  EXPECT_NE(ed.Box(), nullptr);
  ed.Ticks(1);
  EXPECT_NEAR(ed.Plain(kParamFrequency), 440.0, 1e-3);
  EXPECT_EQ(ed.Box(), nullptr);
  EXPECT_EQ(ed.window->ChildCount(), 1);
  // The right click's own gesture, then the typed value's.
  EXPECT_EQ(Count(ed.Edits(), EditKind::kBegin, kParamFrequency), 2);
  EXPECT_EQ(Count(ed.Edits(), EditKind::kEnd, kParamFrequency), 2);
  EXPECT_EQ(ed.Edits().back().kind, EditKind::kEnd);
}

TEST_F(EditorWindow, ChoosingFromTheDropDownListCommits)
{
  ASSERT_TRUE(ed.Open());
  ASSERT_NE(ed.OpenBox(kWaveSwitch), nullptr);
  EXPECT_STRCASEEQ(ed.BoxClass().c_str(), "ComboBox");
  EXPECT_EQ(SendMessageA(ed.Box(), CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessageA(ed.Box(), CB_GETCURSEL, 0, 0), 0);

  // Click the box to drop the list down, then click its third entry.
  RECT boxRect;
  GetWindowRect(ed.Box(), &boxRect);
  POINT boxAt = {(boxRect.left + boxRect.right) / 2, boxRect.top + 8};
  ScreenToClient(static_cast<HWND>(ed.window->ParentHandle()), &boxAt);
  ed.window->Press(boxAt.x, boxAt.y);
  ed.window->Release(boxAt.x, boxAt.y);
  ed.Ticks(0);
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(ed.Box(), &info));
  ASSERT_TRUE(IsWindowVisible(info.hwndList)) << "the list did not drop down";
  RECT item;
  ASSERT_NE(SendMessageA(info.hwndList, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item)), LB_ERR);
  POINT itemAt = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  MapWindowPoints(info.hwndList, static_cast<HWND>(ed.window->ParentHandle()), &itemAt, 1);
  ed.window->Press(itemAt.x, itemAt.y);
  ed.window->Release(itemAt.x, itemAt.y);
  ed.Ticks(1);

  EXPECT_EQ(ed.Box(), nullptr);
  EXPECT_DOUBLE_EQ(ed.Normalized(kParamWave), 2.0 / 3.0);
  EXPECT_EQ(Count(ed.Edits(), EditKind::kEnd, kParamWave), 2);
  EXPECT_EQ(ed.Edits().back().kind, EditKind::kEnd);
}

TEST_F(EditorWindow, ARightClickWithTheBoxOpenCancelsAndReachesNoControl)
{
  ASSERT_TRUE(ed.Open());
  ASSERT_NE(ed.OpenBox(kBeatKnob), nullptr);
  const double beat = ed.Normalized(kParamBinaural);
  const double volume = ed.Normalized(kParamVolume);
  ed.session.Handler().Clear();

  ed.window->Type("9");
  ed.RightClick(kVolumeKnob);
  ed.Ticks(1);
  EXPECT_EQ(ed.Box(), nullptr);
  EXPECT_EQ(ed.window->ChildCount(), 1);
  EXPECT_TRUE(ed.Edits().empty());
  EXPECT_EQ(ed.Normalized(kParamBinaural), beat);
  EXPECT_EQ(ed.Normalized(kParamVolume), volume);
}

TEST_F(EditorWindow, RepaintingLeavesTheOpenBoxAlone)
{
  ASSERT_TRUE(ed.Open());
  ed.RightClick(kBeatKnob);
  ed.Ticks(2);
  HWND box = ed.Box();
  ASSERT_NE(box, nullptr);
  std::vector<std::uint32_t> before, after;
  int w = 0, h = 0;
  ASSERT_TRUE(ed.window->Capture(before, w, h));

  // The host moves the knob under the box: the knob is repainted around it.
  ed.HostSets("Binaural=30");
  ed.Ticks(2);
  ASSERT_TRUE(ed.window->Capture(after, w, h));
  RECT r;
  GetWindowRect(box, &r);
  MapWindowPoints(nullptr, static_cast<HWND>(ed.window->ParentHandle()), reinterpret_cast<POINT*>(&r), 2);

  LICE_IBitmap* canvas = ed.Editor().Canvas();
  int inBox = 0, likeCanvas = 0, changedOutside = 0;
  for (int y = kBeatKnob.y - 45; y < kBeatKnob.y + 45; ++y)
    for (int x = kBeatKnob.x - 45; x < kBeatKnob.x + 45; ++x)
    {
      const std::uint32_t shown = after[std::size_t(y) * w + x];
      if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
      {
        ++inBox;
        likeCanvas += (shown & 0xFFFFFF) == (canvas->Pixels()[y * canvas->RowStride() + x] & 0xFFFFFF);
      }
      else
        changedOutside += shown != before[std::size_t(y) * w + x];
    }
  ASSERT_GT(inBox, 0);
  EXPECT_LT(likeCanvas, inBox / 10) << "the editor painted over the box";
  EXPECT_GT(changedOutside, 0) << "the knob around the box was not repainted";
}

TEST_F(EditorWindow, WheelStepsAndTheEndOfEditTwelveTicksLater)
{
  ASSERT_TRUE(ed.Open());
  EditorSession headless;
  struct Case
  {
    int delta;
    int steps;
  };
  const Case cases[] = {{240, 2}, {-120, -1}, {60, 0}};
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.delta);
    ed.window->Wheel(kVolumeKnob.x, kVolumeKnob.y, c.delta);
    ed.Ticks(1);
    headless.Editor().PointerWheel(kVolumeKnob.x, kVolumeKnob.y, IPointerMods(), c.steps);
    EXPECT_DOUBLE_EQ(ed.Normalized(kParamVolume), headless.Host().Controller()->getParamNormalized(kParamVolume));
  }
  EXPECT_EQ(Count(ed.Edits(), EditKind::kBegin, kParamVolume), 1);
  // One tick has passed since the last step.
  ed.Ticks(10);
  EXPECT_EQ(Count(ed.Edits(), EditKind::kEnd, kParamVolume), 0);
  ed.Ticks(1);
  EXPECT_EQ(Count(ed.Edits(), EditKind::kEnd, kParamVolume), 1);
}

TEST_F(EditorWindow, AttachingAgainKeepsOneWindowInItsPlace)
{
  ASSERT_TRUE(ed.Open());
  RECT first;
  GetWindowRect(ed.EditorWindow(), &first);
  EXPECT_EQ(ed.view->View()->attached(ed.window->ParentHandle(), "HWND"), kResultOk);
  ed.Ticks(1);
  RECT second;
  GetWindowRect(ed.EditorWindow(), &second);
  EXPECT_EQ(ed.window->ChildCount(), 1);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
  EXPECT_TRUE(EqualRect(&first, &second));
  EXPECT_TRUE(ed.Close());
  EXPECT_EQ(ed.window->ChildCount(), 0);
  EXPECT_FALSE(ClassRegistered());
}

TEST_F(EditorWindow, TwoEditorsShareOneClassRegistration)
{
  WindowedEditor other;
  ASSERT_TRUE(other.window);
  EXPECT_FALSE(ClassRegistered());
  ASSERT_TRUE(ed.Open());
  ASSERT_TRUE(other.Open());
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 2);
  ed.Ticks(1);
  EXPECT_TRUE(ed.Close());
  EXPECT_TRUE(ClassRegistered());
  other.Ticks(2);  // the second editor still runs
  EXPECT_TRUE(other.Close());
  EXPECT_FALSE(ClassRegistered());
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
}

TEST_F(EditorWindow, ClosingEndsEveryGestureStillOpen)
{
  struct Case
  {
    const char* name;
    void (*start)(WindowedEditor&);
    int param;
  };
  const Case cases[] = {
    {"wheel waiting for its end", [](WindowedEditor& e) { e.window->Wheel(kVolumeKnob.x, kVolumeKnob.y, 120); },
     kParamVolume},
    {"button held on a knob",
     [](WindowedEditor& e) {
       e.window->Press(kBeatKnob.x, kBeatKnob.y);
       e.window->MoveTo(kBeatKnob.x, kBeatKnob.y - 10);
     },
     kParamBinaural},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    ed.session.Handler().Clear();
    ASSERT_TRUE(ed.Open());
    c.start(ed);
    ed.Ticks(1);
    ASSERT_EQ(Count(ed.Edits(), EditKind::kBegin, c.param), 1);
    ASSERT_EQ(Count(ed.Edits(), EditKind::kEnd, c.param), 0);
    EXPECT_TRUE(ed.Close());
    EXPECT_EQ(Count(ed.Edits(), EditKind::kEnd, c.param), 1);
    ed.window->Release(kBeatKnob.x, kBeatKnob.y);
    ed.window->Pump(100);
    EXPECT_EQ(Count(ed.Edits(), EditKind::kEnd, c.param), 1);
  }
}

// Process-wide counts that a leak in opening and closing would raise.
struct Footprint
{
  DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  // Committed private memory (Wine reports it as the page-file usage only).
  SIZE_T privateBytes = []() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  }();
};

TEST_F(EditorWindow, AThousandOpeningsLeaveNothingBehind)
{
  // Each cycle opens the editor, paints it, opens and cancels a typed-entry
  // box (a window and a font of its own) and closes it again; every window
  // and font it made must be gone afterwards. (Wine counts no GUI objects,
  // so there the handles themselves are checked.)
  int objectsLeft = 0;
  auto cycle = [&] {
    ASSERT_TRUE(ed.Open());
    ed.RightClick(kBeatKnob);
    ed.window->PumpTicks(0, kTimeoutMs);
    HWND editor = ed.EditorWindow();
    HWND box = ed.Box();
    ASSERT_NE(box, nullptr);
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(box, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    ASSERT_TRUE(ed.Close());
    objectsLeft += IsWindow(editor) + IsWindow(box) + (GetObjectType(font) != 0);
  };
  for (int i = 0; i < 20; ++i) cycle();
  const Footprint start;
  for (int i = 0; i < 1000 && !HasFatalFailure(); ++i) cycle();
  const Footprint end;
  EXPECT_EQ(objectsLeft, 0);
  EXPECT_EQ(end.gdi, start.gdi);
  EXPECT_EQ(end.user, start.user);
  EXPECT_LT(end.privateBytes, start.privateBytes + 1024 * 1024);
  EXPECT_EQ(ed.window->ChildCount(), 0);
  EXPECT_FALSE(ClassRegistered());
  RecordProperty("private_bytes", std::to_string(start.privateBytes) + " -> " + std::to_string(end.privateBytes));
}

TEST_F(EditorWindow, OpeningAndClosingWhileAudioRuns)
{
  // The audio thread calls process directly, as a host's does: our host's
  // own Process also checks its user-interface objects, which only that
  // thread may do.
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  Vst::IAudioProcessor* processor = ed.session.Host().Processor();
  ASSERT_NE(processor, nullptr);
  std::thread audio([&] {
    constexpr int n = EditorSession::kBlock;
    std::vector<float> in(2 * n, 0.0f), out(2 * n, 0.0f);
    float* inChannels[2] = {in.data(), in.data() + n};
    float* outChannels[2] = {out.data(), out.data() + n};
    Vst::AudioBusBuffers inBus = {}, outBus = {};
    inBus.numChannels = outBus.numChannels = 2;
    inBus.channelBuffers32 = inChannels;
    outBus.channelBuffers32 = outChannels;
    Vst::ProcessData data = {};
    data.processMode = Vst::kRealtime;
    data.symbolicSampleSize = Vst::kSample32;
    data.numSamples = n;
    data.numInputs = data.numOutputs = 1;
    data.inputs = &inBus;
    data.outputs = &outBus;
    while (!stop)
    {
      if (processor->process(data) == kResultOk) ++blocks;
    }
  });
  for (int i = 0; i < 100; ++i)
  {
    ASSERT_TRUE(ed.Open());
    ed.window->Wheel(kVolumeKnob.x, kVolumeKnob.y, 120);
    ed.Ticks(1);
    ASSERT_TRUE(ed.Close());
  }
  stop = true;
  audio.join();
  EXPECT_GT(blocks.load(), 0);
  EXPECT_TRUE(ed.session.Host().Violations().empty()) << ed.session.Host().Violations().front();
}

TEST_F(EditorWindow, ResizingGoesThroughTheHostsFrame)
{
  ASSERT_TRUE(ed.Open());
  ed.Editor().ResizeEditor(400, 300);
  ASSERT_EQ(ed.view->Frame().Resizes().size(), 1u);
  const ViewRect asked = ed.view->Frame().Resizes().front();
  EXPECT_EQ(asked.getWidth(), 400);
  EXPECT_EQ(asked.getHeight(), 300);
  RECT client, editor;
  GetClientRect(static_cast<HWND>(ed.window->ParentHandle()), &client);
  GetWindowRect(ed.EditorWindow(), &editor);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 300);
  EXPECT_EQ(editor.right - editor.left, 400);
  EXPECT_EQ(editor.bottom - editor.top, 300);
  // The editor has no controls left; its window still settles and ticks.
  ed.Ticks(2);
}

TEST_F(EditorWindow, AnIdleTickPaintsAndCopiesNothing)
{
  ASSERT_TRUE(ed.Open());
  ed.Ticks(3);
  // Mark the whole canvas: any paint would copy some of it to the window.
  LICE_IBitmap* canvas = ed.Editor().Canvas();
  constexpr std::uint32_t kMark = 0xFF13F1E5;
  for (int y = 0; y < canvas->Height(); ++y)
    std::fill_n(canvas->Pixels() + y * canvas->RowStride(), canvas->Width(), kMark);
  ed.Ticks(5);
  std::vector<std::uint32_t> shown;
  int w = 0, h = 0;
  ASSERT_TRUE(ed.window->Capture(shown, w, h));
  EXPECT_EQ(std::count(shown.begin(), shown.end(), kMark), 0);
}

TEST_F(EditorWindow, MessagesWithForeignUserDataGoToTheDefaultProcedure)
{
  ASSERT_TRUE(ed.Open());
  HWND hwnd = ed.EditorWindow();
  const LONG_PTR ours = GetWindowLongPtrA(hwnd, GWLP_USERDATA);
  const LONG_PTR foreign[] = {0, 0x12345678, ours + 8};
  for (const LONG_PTR data : foreign)
  {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, data);
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kBeatKnob.x, kBeatKnob.y));
    SendMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(kBeatKnob.x, 20));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(kBeatKnob.x, 20));
    SendMessageA(hwnd, WM_TIMER, IGraphicsWin::kFrameTimer, 0);
    SendMessageA(hwnd, WM_KEYDOWN, 'A', 0);
  }
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, ours);
  EXPECT_TRUE(ed.Edits().empty());
  ed.Ticks(1);
  EXPECT_TRUE(ed.Close());
}

TEST_F(EditorWindow, BadParentsAndCallOrdersHaveDefinedResults)
{
  IPtr<IPlugView> view = IPtr<IPlugView>::adopt(ed.session.Host().Controller()->createView("editor"));
  ASSERT_TRUE(view);
  // Removed before anything was attached.
  EXPECT_EQ(view->removed(), kResultOk);

  HWND gone = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(gone);
  DestroyWindow(gone);
  void* const parents[] = {nullptr, gone};
  for (void* parent : parents)
  {
    EXPECT_EQ(view->attached(parent, "HWND"), kResultFalse);
    EXPECT_EQ(ed.Editor().NativeWindow(), nullptr);
    EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
    EXPECT_FALSE(ClassRegistered());
    EXPECT_EQ(view->removed(), kResultOk);
  }
  // A host that destroys the parent before removing the view: the editor's
  // window goes with it, and removed still balances the class registration.
  HWND doomed = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(doomed);
  EXPECT_EQ(view->attached(doomed, "HWND"), kResultOk);
  DestroyWindow(doomed);
  EXPECT_EQ(ed.Editor().NativeWindow(), nullptr);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  EXPECT_FALSE(ClassRegistered());

  // After all that, a good parent still works.
  EXPECT_EQ(view->attached(ed.window->ParentHandle(), "HWND"), kResultOk);
  EXPECT_EQ(ed.window->ChildCount(), 1);
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(ed.window->ChildCount(), 0);
  EXPECT_FALSE(ClassRegistered());
}

struct SnapshotCase
{
  const char* name;
  const char* mode;
  std::vector<SnapshotPointer> pointer;
};

TEST(EditorWindowPicture, TheWindowShowsWhatTheHeadlessSnapshotShows)
{
  using P = SnapshotPointer;
  const SnapshotCase cases[] = {
    {"opened", "Synthesizer", {}},
    {"drag", "Synthesizer", {{P::kPress, 180, 130}, {P::kDrag, 180, 100}, {P::kDrag, 185, 60}, {P::kRelease, 185, 60}}},
    {"hover and wheel", "Synthesizer", {{P::kHover, 180, 130}, {P::kHover, 305, 300}, {P::kWheel, 305, 300, -3}}},
    {"mode switch", "Generator", {{P::kPress, 290, 242}, {P::kRelease, 290, 242}}},
    {"generator drag and wheel", "Generator",
     {{P::kPress, 75, 130}, {P::kDrag, 60, 100}, {P::kRelease, 60, 100}, {P::kWheel, 145, 300, -3}}},
    // More steps than one wheel message carries, and a turn of none.
    {"long and empty wheel", "Synthesizer", {{P::kWheel, 305, 300, -600}, {P::kWheel, 180, 130, 0}}},
  };
  for (const SnapshotCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    std::string error;
    EditorSession windowed, headless;
    for (EditorSession* s : {&windowed, &headless})
    {
      ASSERT_TRUE(s->QueueParam(std::string("Mode=") + c.mode, error)) << error;
      ASSERT_TRUE(s->ProcessBlock());
    }
    WindowPicture picture;
    if (!SnapshotInWindow(windowed, c.pointer, picture, error))
    {
      if (error == "no window system to open the editor in") GTEST_SKIP() << error;
      FAIL() << error;
    }
    SnapshotHeadless(headless, c.pointer);
    LICE_IBitmap& screen = headless.Screen();
    ASSERT_EQ(picture.width, screen.Width());
    ASSERT_EQ(picture.height, screen.Height());
    int differing = 0;
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x)
        differing += (picture.pixels[std::size_t(y) * picture.width + x] & 0xFFFFFF) !=
                     (screen.Pixels()[y * screen.RowStride() + x] & 0xFFFFFF);
    EXPECT_EQ(differing, 0);
  }
}

// ---- Content scale. ----

// A layout point at its place in a window of twice the size.
POINT Doubled(POINT p) { return {2 * p.x + 1, 2 * p.y + 1}; }

SIZE WindowSize(HWND hwnd)
{
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

TEST_F(EditorWindow, ScaleBeforeAttachedSizesTheWindowAndAfterItResizesThroughTheFrame)
{
  ed.view = std::make_unique<HostEditorView>(ed.session.Host(), *ed.window);
  ed.view->SetContentScale(2.0f);
  ASSERT_TRUE(ed.view->Open());
  ed.Ticks(1);
  EXPECT_EQ(WindowSize(ed.EditorWindow()).cx, 736);
  EXPECT_EQ(WindowSize(ed.EditorWindow()).cy, 740);
  EXPECT_TRUE(ed.view->Frame().Resizes().empty());

  EXPECT_EQ(ed.view->SetContentScale(3.0f), kResultTrue);
  ASSERT_EQ(ed.view->Frame().Resizes().size(), 1u);
  EXPECT_EQ(ed.view->Frame().Resizes()[0].getWidth(), 1104);
  EXPECT_EQ(ed.view->Frame().OnSizes(), 1);
  EXPECT_EQ(WindowSize(ed.EditorWindow()).cx, 1104);
  EXPECT_EQ(WindowSize(ed.EditorWindow()).cy, 1110);
  EXPECT_EQ(ed.view->SetContentScale(0.0f), kResultFalse);
  EXPECT_EQ(ed.view->Frame().Resizes().size(), 1u);
  ed.Ticks(1);
}

// Without a factor from the host, the monitor's (96 dpi here) stands.
TEST_F(EditorWindow, WithoutTheHostsScaleTheMonitorsStands)
{
  ASSERT_TRUE(ed.Open());
  const float system = ed.Editor().SystemScale();
  EXPECT_GE(system, 1.0f);
  EXPECT_EQ(ed.Editor().Scale(), system);
  EXPECT_EQ(WindowSize(ed.EditorWindow()).cx, ed.Editor().ScaledWidth());
}

TEST_F(EditorWindow, ADragAtTwiceTheSizeEndsAtTheValueOfTheSameDragAtOne)
{
  ed.view = std::make_unique<HostEditorView>(ed.session.Host(), *ed.window);
  ed.view->SetContentScale(2.0f);
  ASSERT_TRUE(ed.view->Open());
  ed.Ticks(1);
  const POINT at = Doubled(kBeatKnob);
  ed.window->Press(at.x, at.y);
  ed.Ticks(1);
  ed.window->MoveTo(at.x, at.y - 40);
  ed.Ticks(1);
  ed.window->MoveTo(at.x + 6, at.y - 90);
  ed.window->Release(at.x + 6, at.y - 90);
  ed.Ticks(1);
  EXPECT_EQ(Count(ed.Edits(), EditKind::kBegin, kParamBinaural), 1);
  EXPECT_EQ(Count(ed.Edits(), EditKind::kEnd, kParamBinaural), 1);

  const double expected = HeadlessBeatDrag();
  EXPECT_NE(expected, 0.0);
  EXPECT_DOUBLE_EQ(ed.Normalized(kParamBinaural), expected);
}

// The right click's box at 2: twice the place and size of the box at 1, its
// font twice as high.
TEST_F(EditorWindow, TheTypedEntryBoxAndItsFontScale)
{
  ASSERT_TRUE(ed.Open());
  HWND box = ed.OpenBox(kVolumeKnob);
  ASSERT_NE(box, nullptr);
  RECT one{};
  GetWindowRect(box, &one);
  MapWindowPoints(nullptr, ed.EditorWindow(), reinterpret_cast<POINT*>(&one), 2);
  ed.RightClick({10, 360});  // off the box: cancels it
  ed.Ticks(2);
  ASSERT_EQ(ed.Box(), nullptr);

  EXPECT_EQ(ed.view->SetContentScale(2.0f), kResultTrue);
  ed.Ticks(1);
  box = ed.OpenBox(Doubled(kVolumeKnob));
  ASSERT_NE(box, nullptr);
  RECT two{};
  GetWindowRect(box, &two);
  MapWindowPoints(nullptr, ed.EditorWindow(), reinterpret_cast<POINT*>(&two), 2);
  EXPECT_EQ(two.left, 2 * one.left);
  EXPECT_EQ(two.top, 2 * one.top);
  EXPECT_EQ(two.right - two.left, 2 * (one.right - one.left));
  EXPECT_EQ(two.bottom - two.top, 2 * (one.bottom - one.top));
  LOGFONTA font{};
  ASSERT_NE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0)), sizeof font, &font), 0);
  EXPECT_EQ(font.lfHeight, 28);
  ed.RightClick(Doubled({10, 360}));
  ed.Ticks(2);
  EXPECT_EQ(ed.Box(), nullptr);
}

TEST(EditorWindowPicture, AtTwiceTheSizeTheWindowShowsWhatTheHeadlessSnapshotShows)
{
  using P = SnapshotPointer;
  const std::vector<P> pointer = {{P::kPress, 180, 130}, {P::kDrag, 180, 100}, {P::kDrag, 185, 60},
                                  {P::kRelease, 185, 60}, {P::kWheel, 305, 300, -3}};
  std::string error;
  EditorSession windowed, headless;
  for (EditorSession* s : {&windowed, &headless}) ASSERT_TRUE(s->ProcessBlock());
  WindowPicture picture;
  if (!SnapshotInWindow(windowed, pointer, picture, error, 2.0f))
  {
    if (error == "no window system to open the editor in") GTEST_SKIP() << error;
    FAIL() << error;
  }
  headless.Editor().SetScale(2.0f);
  SnapshotHeadless(headless, pointer);
  LICE_IBitmap& screen = headless.Screen();
  ASSERT_EQ(picture.width, 736);
  ASSERT_EQ(picture.height, 740);
  ASSERT_EQ(screen.Width(), 736);
  int differing = 0;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      differing += (picture.pixels[std::size_t(y) * picture.width + x] & 0xFFFFFF) !=
                   (screen.Pixels()[y * screen.RowStride() + x] & 0xFFFFFF);
  EXPECT_EQ(differing, 0);
}
}  // namespace
