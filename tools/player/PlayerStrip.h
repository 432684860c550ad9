#pragma once
// PlayerStrip: the transport strip under the instrument's editor in the
// player's window, drawn with the editor's own graphics and controls: a
// Play/Stop button (the space bar too, while the pointer is over the strip),
// the time played, the output device with its sample rate, and the count of
// drop-outs once there are any.
//
// The strip is an editor of a small plug-in frame of its own (one parameter,
// "Play"); its button's edits reach the engine's transport as that frame's
// host edits. It lives on the window's thread: the main thread makes it,
// opens it in the host window, updates it from the engine's counters and
// closes it. On Linux its window runs on the host's run loop (registered
// here, as the VST3 view registers an editor); on Windows the editor's
// window has its own timer and the thread's message loop drives it.

#include <memory>
#include <string>

class IGraphicsPlatform;
class PlayerEngine;
class PlayButton;
class ITextControl;

namespace ThrumwellHost
{
class HostRunLoop;
class HostWindow;
}  // namespace ThrumwellHost

class PlayerStrip
{
public:
  static constexpr int kHeight = 48;
  // The button, in strip coordinates.
  static constexpr int kButtonLeft = 10;
  static constexpr int kButtonTop = 9;
  static constexpr int kButtonRight = 86;
  static constexpr int kButtonBottom = 39;

  // width: the editor's unscaled width. device: what the strip names the
  // output. scale: the content scale the strip is drawn at (the editor's);
  // its band is round(kHeight x scale) pixels high.
  PlayerStrip(PlayerEngine& engine, int width, const std::string& device, int rate, float scale = 1.0f);
  ~PlayerStrip();
  PlayerStrip(const PlayerStrip&) = delete;
  PlayerStrip& operator=(const PlayerStrip&) = delete;

  // Opens the strip's window in the host window as its footer and shows it;
  // on Linux registers it with `loop`. False when it cannot be opened.
  bool Open(ThrumwellHost::HostWindow& window, ThrumwellHost::HostRunLoop& loop);
  // Shows the engine's transport, time and drop-outs; cheap when nothing
  // changed (a changed text is painted on the strip's next frame).
  void Update(bool playing, double seconds, int dropOuts);
  // Draws the strip at another content scale (the editor's new one) and
  // gives the window's footer its new height.
  void SetScale(ThrumwellHost::HostWindow& window, float scale);
  // Closes the window (Linux: leaves the run loop). Safe to call twice.
  void Close();

  // The texts shown, for tests and the terminal's line.
  static std::string ClockText(double seconds);

private:
  // Platform halves (PlayerStrip_linux.cpp, PlayerStrip_win.cpp): after the
  // window is open, hook it to the loop; before it closes, unhook it.
  bool Attach(ThrumwellHost::HostRunLoop& loop);
  void Detach();

  class Frame;
  struct LoopLink;

  std::unique_ptr<Frame> frame;
  IGraphicsPlatform* graphics = nullptr;  // owned by the frame
  PlayButton* button = nullptr;           // owned by the graphics
  ITextControl* clock = nullptr;
  ITextControl* dropOutText = nullptr;
  LoopLink* link = nullptr;  // made by Attach, deleted by Detach
  int shownDropOuts = 0;
  bool open = false;
};
