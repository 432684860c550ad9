#include "tools/snapshot/WindowSnapshot.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphics/IGraphicsPlatform.h"
#include "host/HostEditorView.h"
#include "host/HostWindow.h"
#include "tools/snapshot/EditorSession.h"

using ThrumwellHost::HostEditorView;
using ThrumwellHost::HostWindow;

namespace
{
// Generous: a loaded machine may hold the timer back, never for this long.
constexpr int kTimeoutMs = 5000;
// A wheel message carries at most this many steps of 120 in its 16 bits.
constexpr int kMaxStepsPerMessage = 273;

// The window pixel at the middle of a layout pixel, at the window's scale.
int OnWindow(int v, float scale)
{
  return static_cast<int>(std::floor((double(v) + 0.5) * scale));
}

void Send(HostWindow& window, const SnapshotPointer& layout, float scale)
{
  SnapshotPointer p = layout;
  p.x = OnWindow(layout.x, scale);
  p.y = OnWindow(layout.y, scale);
  switch (p.kind)
  {
    case SnapshotPointer::kHover:
    case SnapshotPointer::kDrag:
      // A move is a drag while the button pressed before is held.
      window.MoveTo(p.x, p.y);
      break;
    case SnapshotPointer::kPress:
      window.Press(p.x, p.y, HostWindow::kLeft);
      break;
    case SnapshotPointer::kRelease:
      window.Release(p.x, p.y, HostWindow::kLeft);
      break;
    case SnapshotPointer::kWheel:
    {
      // At least one message: a turn of no whole step still reaches the editor.
      int left = p.steps;
      do
      {
        const int chunk = std::clamp(left, -kMaxStepsPerMessage, kMaxStepsPerMessage);
        window.Wheel(p.x, p.y, chunk * 120);
        left -= chunk;
      } while (left != 0);
      break;
    }
    case SnapshotPointer::kRight:
      window.Press(p.x, p.y, HostWindow::kRight);
      window.Release(p.x, p.y, HostWindow::kRight);
      break;
  }
}

bool Ticks(HostWindow& window, int ticks, std::string& error)
{
  const int seen = window.PumpTicks(ticks, kTimeoutMs);
  if (seen >= 0 && seen < ticks)
  {
    error = "the editor's timer did not run";
    return false;
  }
  return true;
}
}  // namespace

bool SnapshotInWindow(EditorSession& session, const std::vector<SnapshotPointer>& pointer, WindowPicture& picture,
                      std::string& error, float scale, HostWindow::Embedder embedder)
{
  const IGraphicsPlatform& editor = session.Editor();
  std::unique_ptr<HostWindow> window = HostWindow::Create(editor.Width(), editor.Height(), "Thrumwell");
  if (!window)
  {
    error = "no window system to open the editor in";
    return false;
  }
  window->SetEmbedder(embedder);
  HostEditorView view(session.Host(), *window);
  // Told before the view opens, as hosts that know the screen's scale do.
  view.SetContentScale(scale);
  if (!view.Open())
  {
    const auto& seen = session.Host().Violations();
    error = "the editor did not open" + (seen.empty() ? std::string() : ": " + seen.back());
    return false;
  }
  // The window's first paint draws everything, before any tick.
  bool ok = Ticks(*window, 0, error);
  for (const SnapshotPointer& p : pointer)
  {
    if (!ok) break;
    Send(*window, p, scale);
    ok = Ticks(*window, 1, error);
  }
  // A drawing raised by the last frame is painted in the next.
  ok = ok && Ticks(*window, 2, error);
  if (ok && !window->Capture(picture.pixels, picture.width, picture.height))
  {
    error = "the window's pixels cannot be read";
    ok = false;
  }
  if (!view.Close() && ok)
  {
    error = "the editor did not close cleanly: " + session.Host().Violations().back();
    ok = false;
  }
  return ok;
}
