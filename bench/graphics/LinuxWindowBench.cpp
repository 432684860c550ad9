// The instrument's editor in a real X window (needs DISPLAY), each figure
// beside its baseline measured in the same run, in this thread's processor
// time (the X server's own work is not counted):
// - attached to the first complete paint: the view opened in a host window
//   (connection, child window, XEmbed, mapping), the first exposure painted
//   and copied to the server, and closed again; beside a headless full
//   repaint (goal: within 2x), at content scales 100 and 200 % (the
//   argument; the baseline at the same scale);
// - an idle frame, nothing changed: the editor's timer call beside
//   CollectChanges alone (goal: within 2x); "requests" counts what a frame
//   sends to the X server, and must be 0.

#include <X11/Xlib.h>

#include <memory>

#include "bench/AgainstMemcpy.h"
#include "graphics/IGraphicsLinux.h"
#include "host/HostEditorView.h"
#include "host/HostWindow.h"
#include "tools/snapshot/EditorSession.h"

namespace
{
using ThrumwellHost::HostEditorView;
using ThrumwellHost::HostWindow;

// One connection of our own for the whole run: an X server started without
// -noreset resets whenever its last client leaves, and refuses connections
// meanwhile.
const bool kDisplayKept = [] {
  static Display* kept = XOpenDisplay(nullptr);
  return kept != nullptr;
}();

template <typename Body> double MicrosecondsPer(int rounds, Body body)
{
  const double start = ThreadMicroseconds();
  for (int i = 0; i < rounds; ++i) body();
  return (ThreadMicroseconds() - start) / rounds;
}

double HeadlessFullRepaint(IGraphicsPlatform& editor)
{
  return MicrosecondsPer(50, [&] {
    editor.RefreshAll();
    IBounds region;
    editor.CollectChanges(region);
    editor.PaintPass(region);
  });
}

// The instrument made in this process and a host window for its editor.
struct Rig
{
  EditorSession session;
  std::unique_ptr<HostWindow> window = HostWindow::Create(368, 370, "Thrumwell bench");

  explicit Rig(benchmark::State& state)
  {
    session.ProcessBlock();
    if (!kDisplayKept || !window || !session.Connected()) state.SkipWithError("no X display");
  }
  bool Usable() const { return kDisplayKept && window && session.Connected(); }
};

void BM_AttachedToFirstPaint(benchmark::State& state)
{
  Rig rig(state);
  if (!rig.Usable()) return;
  EditorSession& session = rig.session;
  HostWindow* window = rig.window.get();
  const float scale = state.range(0) / 100.0f;
  session.Editor().SetScale(scale);
  const double baseline = HeadlessFullRepaint(session.Editor());
  double total = 0.0;
  for (auto _ : state)
  {
    const double start = ThreadMicroseconds();
    HostEditorView view(session.Host(), *window);
    view.SetContentScale(scale);
    view.Open();
    // The first exposure paints everything and copies it to the server.
    window->PumpTicks(0, 1000);
    total += ThreadMicroseconds() - start;
    state.PauseTiming();
    view.Close();
    state.ResumeTiming();
  }
  const double us = total / double(state.iterations());
  state.counters["op_us"] = us;
  state.counters["full_repaint_us"] = baseline;
  state.counters["x_full_repaint"] = us / baseline;
}

void BM_IdleFrame(benchmark::State& state)
{
  Rig rig(state);
  if (!rig.Usable()) return;
  EditorSession& session = rig.session;
  HostWindow* window = rig.window.get();
  HostEditorView view(session.Host(), *window);
  view.Open();
  window->PumpTicks(3, 1000);
  auto& editor = static_cast<IGraphicsLinux&>(session.Editor());
  const double baseline = MicrosecondsPer(20000, [&] {
    IBounds region;
    benchmark::DoNotOptimize(editor.CollectChanges(region));
  });
  const unsigned long requestsBefore = editor.RequestsSent();
  const double start = ThreadMicroseconds();
  for (auto _ : state) editor.OnTimer();
  const double us = (ThreadMicroseconds() - start) / double(state.iterations());
  state.counters["op_us"] = us;
  state.counters["collect_us"] = baseline;
  state.counters["x_collect"] = us / baseline;
  state.counters["requests"] = double(editor.RequestsSent() - requestsBefore) / double(state.iterations());
  view.Close();
}
}  // namespace

BENCHMARK(BM_AttachedToFirstPaint)->Arg(100)->Arg(200)->Iterations(100);
BENCHMARK(BM_IdleFrame);
