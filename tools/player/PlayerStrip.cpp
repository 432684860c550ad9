#include "tools/player/PlayerStrip.h"

#include <algorithm>
#include <cstdio>

#include "controls/IControl.h"
#include "controls/ITextControl.h"
#include "graphics/IGraphicsPlatform.h"
#include "host/HostWindow.h"
#include "plug/IPlugBase.h"
#include "tools/player/PlayerEngine.h"

namespace
{
constexpr int kParamPlay = 0;

const IArgb kPanel(255, 36, 38, 44);
const IArgb kRule(255, 70, 74, 84);
const IArgb kButtonFace(255, 62, 120, 170);
const IArgb kButtonFaceStop(255, 150, 70, 62);
const IArgb kInk(255, 240, 240, 240);
const ITextStyle kButtonStyle("Arial", 15, kInk, 1, AlignLeft);
const ITextStyle kClockStyle("Arial", 17, IArgb(255, 235, 235, 235), 1, AlignLeft);
const ITextStyle kDeviceStyle("Arial", 12, IArgb(255, 170, 176, 188), 0, AlignLeft);
const ITextStyle kDropOutStyle("Arial", 12, IArgb(255, 240, 170, 80), 0, AlignRight);

// Text that takes no input: presses and keys fall through to the strip below.
class StripText final : public ITextControl
{
public:
  using ITextControl::ITextControl;
  bool Contains(int, int) const override { return false; }
};
}  // namespace

// Play/Stop: a press or the space bar turns the transport over. Shows what a
// press will do: "Play" with a triangle while stopped, "Stop" with a square
// while playing.
class PlayButton final : public IControl
{
public:
  PlayButton(IPlugBase* plug, const IBounds& bounds) : IControl(plug, bounds, kParamPlay) {}

  void Toggle() { ValueFromUser(value > 0.5 ? 0.0 : 1.0); }

  void PressAt(int, int, const IPointerMods& mods) override
  {
    if (!mods.right) Toggle();
  }
  void DoubleClickAt(int, int, const IPointerMods&) override { Toggle(); }
  void WheelAt(int, int, const IPointerMods&, int) override {}
  void KeyAt(int, int, int key) override
  {
    if (key == 0) Toggle();
  }

  bool Render(IGraphics& g) override
  {
    const bool playing = value > 0.5;
    g.FillRoundedRect(playing ? kButtonFaceStop : kButtonFace, bounds, 5, 4, nullptr, true);
    const int cy = (bounds.top + bounds.bottom) / 2;
    const int x = bounds.left + 12;
    if (playing)
      g.FillBox(kInk, IBounds(x, cy - 5, x + 11, cy + 6), nullptr);
    else
      // A triangle pointing right, one row at a time.
      for (int dy = -6; dy <= 6; ++dy)
      {
        const float reach = 11.0f * (1.0f - static_cast<float>(std::abs(dy)) / 6.5f);
        g.FillBox(kInk, IBounds(x, cy + dy, x + static_cast<int>(reach + 0.5f), cy + dy + 1), nullptr);
      }
    ITextStyle style = kButtonStyle;
    return g.PaintText(style, playing ? "Stop" : "Play", IBounds(x + 20, bounds.top, bounds.right, bounds.bottom));
  }
};

namespace
{
// The strip's background and rule; the space bar anywhere on the strip.
class StripPanel final : public IControl
{
public:
  StripPanel(IPlugBase* plug, const IBounds& bounds, PlayButton& button) : IControl(plug, bounds), button(button) {}

  void PressAt(int, int, const IPointerMods&) override {}
  void DoubleClickAt(int, int, const IPointerMods&) override {}
  void WheelAt(int, int, const IPointerMods&, int) override {}
  void KeyAt(int x, int y, int key) override { button.KeyAt(x, y, key); }

  bool Render(IGraphics& g) override
  {
    g.FillBox(kPanel, bounds, nullptr);
    g.FillBox(kRule, IBounds(bounds.left, bounds.top, bounds.right, bounds.top + 1), nullptr);
    return true;
  }

private:
  PlayButton& button;
};
}  // namespace

// The strip's plug-in frame: one parameter, "Play", whose edits start and
// stop the engine's transport. Edits come on the window's thread, under this
// frame's own lock; the engine takes them as one atomic store.
class PlayerStrip::Frame final : public IPlugBase
{
public:
  explicit Frame(PlayerEngine& engine)
    : IPlugBase(1, "", 0, "Thrumwell transport", "Thrumwell", "Quorvik", 0x00010000, 0, 0, 0, false, false, false,
                0),
      engine(engine)
  {
    params[kParamPlay].DefineList("Play", 0, 2);
    params[kParamPlay].AddDisplayText(0, "Stopped");
    params[kParamPlay].AddDisplayText(1, "Playing");
  }

  void HostPerformEdit(int paramIdx, double normalized) override
  {
    if (paramIdx == kParamPlay) engine.SetPlaying(normalized > 0.5);
  }

private:
  PlayerEngine& engine;
};

PlayerStrip::PlayerStrip(PlayerEngine& engine, int width, const std::string& device, int rate, float scale)
  : frame(std::make_unique<Frame>(engine))
{
  graphics = MakePlatformGraphics(frame.get(), width, kHeight, 0, nullptr);
  button = new PlayButton(frame.get(), IBounds(kButtonLeft, kButtonTop, kButtonRight, kButtonBottom));
  graphics->AddControl(new StripPanel(frame.get(), IBounds(0, 0, width, kHeight), *button));
  graphics->AddControl(button);
  clock = new StripText(frame.get(), IBounds(kButtonRight + 14, 7, kButtonRight + 114, 26), kClockStyle,
                        ClockText(0.0).c_str());
  graphics->AddControl(clock);
  const std::string where = device + ", " + std::to_string(rate) + " Hz";
  graphics->AddControl(
    new StripText(frame.get(), IBounds(kButtonRight + 14, 26, width - 8, 42), kDeviceStyle, where.c_str()));
  dropOutText = new StripText(frame.get(), IBounds(kButtonRight + 120, 9, width - 10, 25), kDropOutStyle, "");
  graphics->AddControl(dropOutText);
  frame->AttachEditor(graphics);
  graphics->SetScaleFromHost(true);
  graphics->SetScale(scale);
}

PlayerStrip::~PlayerStrip()
{
  Close();
  // The frame deletes its editor, and the editor its controls.
  frame->AttachEditor(nullptr);
}

bool PlayerStrip::Open(ThrumwellHost::HostWindow& window, ThrumwellHost::HostRunLoop& loop)
{
  if (open) return true;
  void* child = graphics->OpenIn(window.ParentHandle());
  if (!child) return false;
  if (!Attach(loop))
  {
    graphics->CloseNative();
    return false;
  }
  window.SetFooter(child, graphics->ScaledHeight());
  window.Show();
  open = true;
  return true;
}

void PlayerStrip::Update(bool playing, double seconds, int dropOuts)
{
  if ((button->GetValue() > 0.5) != playing)
  {
    button->SetValue(playing ? 1.0 : 0.0);
    button->MarkChanged(false);
  }
  clock->SetText(ClockText(seconds).c_str());
  if (dropOuts > 0 && dropOuts != shownDropOuts)
  {
    shownDropOuts = dropOuts;
    dropOutText->SetText(("drop-outs: " + std::to_string(dropOuts)).c_str());
  }
}

void PlayerStrip::SetScale(ThrumwellHost::HostWindow& window, float scale)
{
  graphics->SetScale(scale);
  if (open) window.SetFooter(graphics->NativeWindow(), graphics->ScaledHeight());
}

void PlayerStrip::Close()
{
  if (!open) return;
  Detach();
  graphics->CloseNative();
  open = false;
}

std::string PlayerStrip::ClockText(double seconds)
{
  const long whole = static_cast<long>(std::max(seconds, 0.0));
  char text[32];
  std::snprintf(text, sizeof(text), "%02ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
  return text;
}
