// Each control's input maths and drawing rules, and the host edits a gesture
// produces.

#include <gtest/gtest.h>

#include <cmath>

#include "controls/IBitmapControl.h"
#include "controls/IButton.h"
#include "controls/IKnobArc.h"
#include "controls/IKnobArcImg.h"
#include "controls/ISlider.h"
#include "controls/ISwitchControl.h"
#include "controls/ISwitchLbl.h"
#include "controls/IURLControl.h"
#include "tests/graphics/GuiTestSupport.h"

using namespace guitest;

namespace
{
constexpr double kDeg = 3.14159265358979323846 / 180.0;
const ITextStyle kNoLabel("Arial", 0, IArgb(0, 0, 0, 0));
const IArgb kArc(255, 100, 200, 255);

// Antialiased rings overlap; a pixel in the middle of the ring ends up at or
// very near the arc colour.
bool NearColour(LICE_PixelWord a, LICE_PixelWord b)
{
  for (int shift = 0; shift < 32; shift += 8)
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 24) return false;
  return true;
}

IKnobArc* SmallKnob(IPlugBase* plug, int param, int cx, int cy)
{
  return new IKnobArc(plug, param, cx, cy, kNoLabel, kArc, 25.0f, 5.0f, -4, 4, 2, 300, 4.0, 0, 0.2f);
}
}  // namespace

TEST(Knob, BoundsFollowCentreRadiusThicknessAndMargin)
{
  FakePlug plug;
  const IKnobArc large(&plug, kReal, 77, 133, kNoLabel, kArc, 33.0f, 6.3f, -4, 4, 2, 300, 4.0, 0, 0.2f);
  EXPECT_EQ(large.Bounds(), IBounds(35, 92, 119, 174));
  EXPECT_EQ(large.HitBounds(), large.Bounds());
  std::unique_ptr<IKnobArc> small(SmallKnob(&plug, kVolume, 145, 299));
  EXPECT_EQ(small->Bounds(), IBounds(112, 267, 178, 331));
  // Label mode 5 adds the label below.
  const IKnobArc labelled(&plug, kReal, 77, 133, ITextStyle("Arial", 15, IArgb()), kArc, 33.0f, 6.3f, 3, 5, 2, 300,
                          4.0, 0, 0.2f);
  EXPECT_EQ(labelled.Bounds().bottom, 174 + 18);
}

TEST(Knob, GearingWithAndWithoutModifiers)
{
  Gui gui;
  struct Case
  {
    int direction;
    int dx, dy;
    IPointerMods mods;
    double change;
  } cases[] = {
    {0, 0, -82, Left(), 0.25},     // four control heights for the range
    {0, 0, 82, Left(), -0.25},     // down decreases
    {0, 0, -82, Shift(), 0.025},   // ten times finer
    {0, 500, 0, Left(), 0.0},      // vertical knobs ignore x
    {1, 84, 0, Left(), 0.25},      // horizontal knobs use the width
  };
  for (const Case& c : cases)
  {
    IKnobArc knob(gui.plug.get(), kVolume, 100, 75, kNoLabel, kArc, 33.0f, 6.3f, -4, 4, 2, 300, 4.0, c.direction,
                  0.2f);
    knob.SetValue(0.5);
    knob.DragBy(0, 0, c.dx, c.dy, c.mods);
    EXPECT_NEAR(knob.GetValue(), 0.5 + c.change, 1e-12) << c.dx << "," << c.dy;
  }
  IKnobArc knob(gui.plug.get(), kVolume, 100, 75, kNoLabel, kArc, 33.0f, 6.3f, -4, 4, 2, 300, 4.0, 0, 0.2f);
  knob.DragBy(0, 0, 0, -100000, Left());
  EXPECT_DOUBLE_EQ(knob.GetValue(), 1.0);  // clamped, and sent clamped
  EXPECT_DOUBLE_EQ(gui.plug->edits.back().value, 1.0);
}

TEST(Knob, ArcAnglesOverTheSweep)
{
  struct Case
  {
    double v, divisor, start, end;
  } cases[] = {
    {0.0, 75.0, -148, -148}, {0.5, 75.0, -148, 0}, {1.0, 75.0, -148, 150},
    {0.0, 50.0, -147, -147}, {0.5, 50.0, -147, 0}, {1.0, 50.0, -147, 150},
  };
  for (const Case& c : cases)
  {
    float a0, a1;
    IKnobArc::ArcAngles(300, c.v, c.divisor, a0, a1);
    EXPECT_NEAR(a0, c.start * kDeg, 1e-5) << c.v;
    EXPECT_NEAR(a1, c.end * kDeg, 1e-5) << c.v;
  }
}

TEST(Knob, ArcColourFollowsTheValueOnTheCanvas)
{
  Gui gui;
  gui.WithBackdrop();
  IKnobArc* knob = SmallKnob(gui.plug.get(), kVolume, 100, 75);
  gui.g->AddControl(knob);
  // Centre: left + round(radius + thickness) + margin = 67 + 30 + 2.
  const int cx = 99, cy = 75;
  struct Case
  {
    double value;
    bool right, left;  // arc passes 90 degrees (right), -90 degrees (left)
  } cases[] = {{1.0, true, true}, {0.25, false, true}, {0.0, false, false}};
  for (const Case& c : cases)
  {
    knob->ValueFromHost(c.value);
    gui.g->PaintPass(IBounds(0, 0, 200, 150));
    EXPECT_EQ(NearColour(PixelAt(gui.g->Canvas(), cx + 28, cy), kArc.Word()), c.right) << c.value;
    EXPECT_EQ(NearColour(PixelAt(gui.g->Canvas(), cx - 28, cy), kArc.Word()), c.left) << c.value;
    EXPECT_EQ(PixelAt(gui.g->Canvas(), cx, cy), 0xFF404040u);  // inside the ring
  }
  // Hovering marks the knob for drawing (its arc is then drawn at 0.8).
  gui.g->EnableHover(true);
  gui.g->PointerHover(cx, cy, IPointerMods());
  EXPECT_TRUE(knob->IsHovered());
  EXPECT_TRUE(knob->NeedsDrawing());
  gui.g->PointerLeave();
  EXPECT_FALSE(knob->IsHovered());
}

TEST(Knob, PictureKnobDrawsFaceAndDotWithoutCrashingOnABrokenImage)
{
  Gui gui;
  gui.WithBackdrop();
  IImage face = gui.g->FetchImage(kImgKnob, "knob.png");
  gui.g->SplitImage(face, 0.5f);
  auto* knob = new IKnobArcImg(gui.plug.get(), kVolume, 100, 75, kNoLabel, kArc, 25.0f, 5.0f, -4, 4, 2, 300, 4.0,
                               0, 0.2f, face);
  gui.g->AddControl(knob);
  auto* broken = new IKnobArcImg(gui.plug.get(), kReal, 40, 40, kNoLabel, kArc, 25.0f, 5.0f, -4, 4, 2, 300, 4.0,
                                 0, 0.2f, gui.g->FetchImage(kImgBroken, "broken.png"));
  gui.g->AddControl(broken);
  knob->ValueFromHost(0.5);
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  // The 32 x 32 face is centred on (99, 75): its grey square spans 8..23 of it.
  EXPECT_EQ(PixelAt(gui.g->Canvas(), 99, 75), 0xFF808080u);
}

TEST(Knob, RightClickHidesTheLabelUntilTheBoxCloses)
{
  Gui gui;
  gui.WithBackdrop();
  auto* knob = new IKnobArc(gui.plug.get(), kVolume, 100, 75, ITextStyle("Arial", 15, IArgb(255, 255, 255, 255)),
                            kArc, 25.0f, 5.0f, -4, 4, 2, 300, 4.0, 0, 0.2f);
  gui.g->AddControl(knob);
  auto labelPixels = [&] {
    gui.g->PaintPass(IBounds(0, 0, 200, 150));
    int lit = 0;
    for (int y = 60; y < 90; ++y)
      for (int x = 84; x < 116; ++x) lit += PixelAt(gui.g->Canvas(), x, y) != 0xFF404040u;
    return lit;
  };
  EXPECT_GT(labelPixels(), 10);  // "90" in the middle of the ring
  gui.g->PointerDown(100, 75, Right());
  gui.g->PointerUp(100, 75, Right());
  EXPECT_TRUE(knob->IsEditing());
  EXPECT_TRUE(knob->AwaitingEntry());
  EXPECT_EQ(labelPixels(), 0);
  gui.g->PointerDown(100, 75, Right());  // a second right press ends the editing state
  EXPECT_FALSE(knob->IsEditing());
  gui.g->PointerUp(100, 75, Right());
}

TEST(Control, WheelStepsByKindAndModifier)
{
  Gui gui;
  IPointerMods none, control;
  control.control = true;
  struct Case
  {
    int param;
    IPointerMods mods;
    int steps;
    double change;
  } cases[] = {
    {kReal, none, 1, 0.01},       {kReal, Shift(), 1, 0.001}, {kVolume, control, 3, 0.003},
    {kWave, none, 1, 0.125},      {kToggle, none, -1, -0.25}, {kMany, none, 2, 1.0 / 12.0},
  };
  for (const Case& c : cases)
  {
    std::unique_ptr<IKnobArc> knob(SmallKnob(gui.plug.get(), c.param, 50, 50));
    knob->SetValue(0.5);
    knob->WheelAt(50, 50, c.mods, c.steps);
    EXPECT_NEAR(knob->GetValue(), 0.5 + c.change, 1e-6) << c.param;
  }
}

TEST(Control, BitmapFrameFromValue)
{
  FakePlug plug;
  IImage strip;
  strip.width = 30;
  strip.height = 150;
  struct Case
  {
    int frames;
    double value;
    int frame;
  } cases[] = {{5, 0.49, 3}, {5, 0.0, 1}, {5, 1.0, 5}, {5, 0.124, 1}, {5, 0.125, 2}, {1, 0.9, 1}, {3, 7.0, 3}};
  for (const Case& c : cases)
  {
    strip.frames = c.frames;
    IBitmapControl control(&plug, 0, 0, -1, strip);
    control.SetValue(c.value);
    EXPECT_EQ(control.CurrentFrame(), c.frame) << c.frames << " " << c.value;
  }
  strip.frames = 5;
  EXPECT_EQ(IBitmapControl(&plug, 3, 4, -1, strip).Bounds(), IBounds(3, 4, 33, 34));
  EXPECT_EQ(IBitmapControl(&plug, 3, 4, -1, strip, IBlend(), false).Bounds(), IBounds(3, 4, 9, 154));
}

TEST(Control, SwitchCyclesThroughItsFramesAndWraps)
{
  Gui gui;
  IImage three = gui.g->FetchImage(kImgStripV, "strip.png", 3);
  auto* sw = new ISwitchControl(gui.plug.get(), 10, 10, kWave, three);
  gui.g->AddControl(sw);
  EXPECT_EQ(sw->Bounds(), IBounds(10, 10, 40, 40));
  const double expected[] = {0.5, 1.0, 0.0, 0.5};
  for (double v : expected)
  {
    gui.g->PointerDown(20, 20, Left());
    gui.g->PointerUp(20, 20, Left());
    EXPECT_DOUBLE_EQ(sw->GetValue(), v);
  }
  EXPECT_EQ(gui.plug->Kinds(), "bpebpebpebpe");
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  EXPECT_EQ(PixelAt(gui.g->Canvas(), 20, 20), 0xFF220000u);  // the second of three stacked frames
}

TEST(Control, LabelledSwitchStepsWrapsAndCentresItsFrame)
{
  Gui gui;
  IImage strip = gui.g->FetchImage(kImgStripH, "strip.png", 2);
  auto* sw = new ISwitchLbl(gui.plug.get(), kToggle, 20, 30, strip, kNoLabel, false, 58, 0.2f);
  gui.g->AddControl(sw);
  EXPECT_EQ(sw->Bounds(), IBounds(20, 30, 78, 50));
  EXPECT_EQ(sw->FrameRect(), IBounds(29, 30, 69, 50));  // 40-pixel frame inset by 9 in a 58 box
  EXPECT_EQ(sw->CurrentFrame(), 1);
  gui.g->PointerDown(30, 40, Left());
  gui.g->PointerUp(30, 40, Left());
  EXPECT_DOUBLE_EQ(sw->GetValue(), 1.0);
  EXPECT_EQ(sw->CurrentFrame(), 2);
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  EXPECT_EQ(PixelAt(gui.g->Canvas(), 40, 40), 0xFF0000FFu);
  gui.g->PointerDown(30, 40, Left());
  gui.g->PointerUp(30, 40, Left());
  EXPECT_DOUBLE_EQ(sw->GetValue(), 0.0);
  sw->WheelAt(30, 40, IPointerMods(), 5);
  EXPECT_DOUBLE_EQ(sw->GetValue(), 0.0);

  const ISwitchLbl flush(gui.plug.get(), kToggle, 0, 0, strip, ITextStyle("Arial", 12, IArgb()), false, 40, 0.2f);
  EXPECT_EQ(flush.FrameRect(), IBounds(0, 0, 40, 20));
  EXPECT_EQ(flush.Bounds().bottom, 20 + 12);  // room for the label
}

TEST(Control, ButtonTogglesAndRightClickOnlyResends)
{
  Gui gui;
  gui.WithBackdrop();
  auto* button = new IButton(gui.plug.get(), kToggle, 10, 10, gui.g->FetchImage(kImgSquare, "sq.png"), 0.0f);
  gui.g->AddControl(button);
  EXPECT_EQ(button->Bounds(), IBounds(10, 10, 50, 50));
  button->SetValue(0.5);  // counts as off
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  EXPECT_EQ(PixelAt(gui.g->Canvas(), 20, 20), 0xFF404040u);
  gui.g->PointerDown(20, 20, Left());
  gui.g->PointerUp(20, 20, Left());
  EXPECT_DOUBLE_EQ(button->GetValue(), 1.0);
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  EXPECT_EQ(PixelAt(gui.g->Canvas(), 20, 20), 0xFFFF0000u);

  gui.plug->edits.clear();
  gui.g->PointerDown(20, 20, Right());
  gui.g->PointerUp(20, 20, Right());
  EXPECT_DOUBLE_EQ(button->GetValue(), 1.0);
  ASSERT_EQ(gui.plug->Kinds(), "bpe");
  EXPECT_DOUBLE_EQ(gui.plug->edits[1].value, 1.0);
  gui.plug->edits.clear();
  gui.g->PointerWheel(20, 20, IPointerMods(), 3);
  EXPECT_DOUBLE_EQ(button->GetValue(), 1.0);
  EXPECT_EQ(gui.plug->Kinds().find('p'), std::string::npos);
}

TEST(Slider, TrackPositionsAndLimits)
{
  Gui gui;
  const IImage handle = gui.g->FetchImage(kImgHandle, "handle.png");
  auto* slider = new ISlider(gui.plug.get(), kVolume, IBounds(134, 118, 224, 140), handle, kNoLabel,
                             IArgb(255, 120, 120, 120), 84, 6, 1, 1, false, 0.1f);
  gui.g->AddControl(slider);
  gui.g->MirrorParameter(kVolume, 0.9, true);
  EXPECT_EQ(slider->Track(), IBounds(137, 118, 221, 134));
  EXPECT_EQ(slider->Travel(), 68);

  gui.g->PointerDown(135, 125, Left());  // left of the track, inside the bounds: nothing
  gui.g->PointerUp(135, 125, Left());
  EXPECT_FALSE(slider->IsDragging());
  EXPECT_DOUBLE_EQ(slider->GetValue(), 0.9);  // the host's value, untouched

  gui.g->PointerDown(179, 125, Left());  // the track's centre
  EXPECT_TRUE(slider->IsDragging());
  EXPECT_DOUBLE_EQ(slider->GetValue(), 0.5);
  gui.g->PointerDrag(5000, 125, Left());
  EXPECT_DOUBLE_EQ(slider->GetValue(), 1.0);
  gui.g->PointerDrag(-5000, 125, Left());
  EXPECT_DOUBLE_EQ(slider->GetValue(), 0.0);
  gui.g->PointerUp(-5000, 125, Left());
  EXPECT_FALSE(slider->IsDragging());
  EXPECT_EQ(gui.plug->edits.front().kind, 'b');
  EXPECT_EQ(gui.plug->edits.back().kind, 'e');

  EXPECT_EQ(slider->HandleRect(0.5), IBounds(171, 118, 187, 140));
  slider->SetValue(0.5);
  EXPECT_EQ(slider->FillRect(), IBounds(138, 123, 179, 129));
  slider->SetValue(0.0);
  EXPECT_EQ(slider->FillRect(), IBounds(138, 123, 145, 129));
}

TEST(Slider, VerticalTrackAndCentredFill)
{
  FakePlug plug;
  IImage handle;
  handle.width = 10;
  handle.height = 20;
  ISlider vertical(&plug, kVolume, IBounds(0, 10, 30, 130), handle, kNoLabel, IArgb(), 100, 4, 0, 2, false, 0.0f);
  EXPECT_EQ(vertical.Track(), IBounds(10, 10, 20, 110));
  EXPECT_EQ(vertical.Travel(), 80);
  EXPECT_EQ(vertical.HandleRect(1.0), IBounds(10, 10, 20, 30));
  EXPECT_EQ(vertical.HandleRect(0.0), IBounds(10, 90, 20, 110));
  vertical.SetValue(0.25);
  EXPECT_EQ(vertical.FillRect(), IBounds(13, 80, 17, 108));

  ISlider centred(&plug, kVolume, IBounds(0, 0, 100, 20), handle, kNoLabel, IArgb(), 90, 4, 1, 0, true, 0.0f);
  centred.SetValue(0.25);
  const IBounds left = centred.FillRect();
  centred.SetValue(0.75);
  const IBounds right = centred.FillRect();
  EXPECT_EQ(left.right, right.left);  // the bar grows from the middle
  EXPECT_LT(left.left, left.right);
}

TEST(Slider, HandleDimsUnlessHoveredOrDragged)
{
  Gui gui;
  gui.WithBackdrop();
  gui.g->EnableHover(true);
  const IImage handle = gui.g->FetchImage(kImgHandle, "handle.png");
  auto* slider = new ISliderImg(gui.plug.get(), kVolume, IBounds(20, 20, 120, 36), handle, kNoLabel, 100, 1, 0.5f);
  gui.g->AddControl(slider);
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  const LICE_PixelWord dimmed = PixelAt(gui.g->Canvas(), 100, 28);  // value 0.9: handle near the right
  EXPECT_NE(dimmed, 0xFFC0C0C0u);
  gui.g->PointerHover(100, 28, IPointerMods());
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  EXPECT_EQ(PixelAt(gui.g->Canvas(), 100, 28), 0xFFC0C0C0u);
  gui.g->PointerDown(100, 28, Left());
  EXPECT_FALSE(slider->IsHovered());
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  EXPECT_EQ(PixelAt(gui.g->Canvas(), 100, 28), 0xFFC0C0C0u);
}

TEST(Control, LinkFallsBackToTheSecondAddress)
{
  Gui gui;
  auto* link = new IURLControl(gui.plug.get(), IBounds(0, 0, 50, 20), "https://one.example/", "https://two.example/");
  gui.g->AddControl(link);
  gui.g->PointerDown(5, 5, Left());
  gui.g->PointerUp(5, 5, Left());
  ASSERT_EQ(gui.g->links.size(), 1u);
  gui.g->linkWorks = false;
  gui.g->PointerDown(5, 5, Right());
  gui.g->PointerUp(5, 5, Right());
  ASSERT_EQ(gui.g->links.size(), 3u);
  EXPECT_EQ(gui.g->links[2], "https://two.example/");
  EXPECT_TRUE(gui.plug->edits.empty());

  auto* empty = new IURLControl(gui.plug.get(), IBounds(100, 0, 150, 20), "", nullptr);
  gui.g->AddControl(empty);
  gui.g->PointerDown(120, 5, Left());
  EXPECT_EQ(gui.g->links.size(), 3u);
}
