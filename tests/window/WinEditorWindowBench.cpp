// thrumwell-window-bench: what the editor's real window costs, each figure
// beside a baseline measured in the same run. Reports, never judges.
//
//   open:  attached → first complete paint of the window (view attached, host
//          window shown, the paint that follows) against a headless full
//          repaint of the same editor (RefreshAll + PaintPass of everything).
//   idle:  one timer tick with nothing changed against CollectChanges alone;
//          also the whole WM_TIMER message sent to the editor's window.
//   cpu:   processor time the process spends while an open editor idles,
//          as a share of one core.
//
// Run under Wine with a display: cmake/wine-run.sh thrumwell-window-bench.exe [rounds]

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "graphics/IGraphicsWin.h"
#include "host/HostEditorView.h"
#include "host/HostWindow.h"
#include "tools/snapshot/EditorSession.h"
#include "vst3/sdk/IEditController.h"

using namespace Steinberg;
using ThrumwellHost::HostPlugFrame;
using ThrumwellHost::HostWindow;

namespace
{
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v)
{
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

double Microseconds(Clock::time_point from, Clock::time_point to)
{
  return std::chrono::duration<double, std::micro>(to - from).count();
}

double ProcessCpuSeconds()
{
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return ((std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 1e-7;
  };
  return seconds(kernel) + seconds(user);
}
}  // namespace

int main(int argc, char** argv)
{
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  EditorSession session;
  std::unique_ptr<HostWindow> window = HostWindow::Create(368, 370, "Thrumwell bench");
  if (!session.Connected() || !window)
  {
    std::fprintf(stderr, "thrumwell-window-bench: %s\n", window ? "the instrument could not be set up" : "no display");
    return 2;
  }
  auto& editor = static_cast<IGraphicsWin&>(session.Editor());
  const IBounds everything(0, 0, editor.Width(), editor.Height());

  // ---- open: attached to the first complete paint, against a headless full repaint.
  std::vector<double> opened, attaching, headless;
  HostPlugFrame frame(window.get());
  IPlugView* view = session.Host().Controller()->createView("editor");
  view->setFrame(&frame);
  for (int i = 0; i < rounds; ++i)
  {
    auto start = Clock::now();
    editor.RefreshAll();
    editor.PaintPass(everything);
    headless.push_back(Microseconds(start, Clock::now()));

    start = Clock::now();
    if (view->attached(window->ParentHandle(), "HWND") != kResultOk) return 2;
    attaching.push_back(Microseconds(start, Clock::now()));
    window->Show();
    window->PumpTicks(0, 5000);  // the window's first paint, no tick
    opened.push_back(Microseconds(start, Clock::now()));
    RECT pending;
    if (GetUpdateRect(static_cast<HWND>(editor.NativeWindow()), &pending, FALSE))
      std::fprintf(stderr, "thrumwell-window-bench: the first paint was not complete\n");
    view->removed();
  }
  std::printf("open   attached to first full paint  %9.1f us   headless full repaint  %9.1f us   ratio %.2f"
              "   (attached alone %.1f us)\n",
              Median(opened), Median(headless), Median(opened) / Median(headless), Median(attaching));

  // ---- idle: a tick with nothing changed, against CollectChanges alone.
  view->attached(window->ParentHandle(), "HWND");
  window->Show();
  window->PumpTicks(3, 5000);
  const HWND hwnd = static_cast<HWND>(editor.NativeWindow());
  const IBounds lastPaint = editor.PaintedRegion();
  constexpr int kTicks = 20000;
  std::vector<double> tick, message, collect;
  for (int r = 0; r < 5; ++r)
  {
    auto start = Clock::now();
    for (int i = 0; i < kTicks; ++i) SendMessageA(hwnd, WM_TIMER, IGraphicsWin::kFrameTimer, 0);
    message.push_back(Microseconds(start, Clock::now()) * 1000.0 / kTicks);
    start = Clock::now();
    for (int i = 0; i < kTicks; ++i) editor.Tick();
    tick.push_back(Microseconds(start, Clock::now()) * 1000.0 / kTicks);
    start = Clock::now();
    IBounds region;
    int any = 0;
    for (int i = 0; i < kTicks; ++i) any += editor.CollectChanges(region);
    collect.push_back(Microseconds(start, Clock::now()) * 1000.0 / kTicks);
    if (any) std::fprintf(stderr, "thrumwell-window-bench: the idle editor had changes\n");
  }
  const bool painted = !(editor.PaintedRegion() == lastPaint) || GetUpdateRect(hwnd, nullptr, FALSE);
  std::printf("idle   tick with nothing changed     %9.1f ns   CollectChanges alone   %9.1f ns   ratio %.2f   painted: %s\n"
              "       the same tick as a WM_TIMER message sent to the window: %.1f ns\n",
              Median(tick), Median(collect), Median(tick) / Median(collect), painted ? "yes" : "no", Median(message));

  // ---- cpu: an open editor left alone for two seconds.
  const double cpuBefore = ProcessCpuSeconds();
  const auto wallBefore = Clock::now();
  window->Pump(2000);
  const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
  std::printf("cpu    open idle editor              %9.2f %% of one core over %.1f s\n",
              100.0 * (ProcessCpuSeconds() - cpuBefore) / wall, wall);

  view->removed();
  view->setFrame(nullptr);
  view->release();
  return 0;
}
