// The editor core: rectangles, images, mirroring, change collection and
// painting, pointer dispatch with its host edits, typed values, and bad input.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "controls/IBitmapControl.h"
#include "controls/IKnobArc.h"
#include "controls/ITextControl.h"
#include "graphics/ImageCache.h"
#include "tests/graphics/GuiTestSupport.h"

using namespace guitest;

namespace
{
// A control that records what reaches it.
class Probe : public IControl
{
public:
  Probe(IPlugBase* plug, IBounds b, int param = -1) : IControl(plug, b, param) {}
  bool Render(IGraphics&) override { ++renders; return true; }
  void PressAt(int x, int y, const IPointerMods& m) override { log += "press "; IControl::PressAt(x, y, m); }
  void ReleaseAt(int, int, const IPointerMods&) override { log += "release "; }
  void DragBy(int, int, int dx, int dy, const IPointerMods&) override
  {
    log += "drag ";
    lastDx = dx;
    lastDy = dy;
  }
  void PointerEnter(int, int, const IPointerMods&) override { log += "enter "; }
  void PointerExit() override { log += "exit "; }
  void KeyAt(int, int, int key) override { lastKey = key; }
  void PopupChoice(const char* text, int index) override
  {
    choiceText = text;
    choiceIndex = index;
  }
  int renders = 0;
  std::string log;
  int lastDx = 0, lastDy = 0, lastKey = -1;
  std::string choiceText = "unset";
  int choiceIndex = -99;
};

IKnobArc* MakeKnob(IPlugBase* plug, int param, int cx, int cy)
{
  return new IKnobArc(plug, param, cx, cy, ITextStyle("Arial", 0, IArgb()), IArgb(255, 100, 200, 255), 25.0f, 5.0f,
                      -4, 4, 2, 300, 4.0, 0, 0.2f);
}
}  // namespace

TEST(IBounds, EmptyMeetUnionAndIntersection)
{
  const IBounds empty;
  const IBounds a(0, 0, 10, 10), b(5, 5, 20, 20), touching(10, 0, 20, 10), inverted(5, 5, 1, 1);
  EXPECT_TRUE(empty.Empty());
  EXPECT_FALSE(inverted.Empty());
  EXPECT_TRUE(a.Meets(b));
  EXPECT_FALSE(a.Meets(touching));  // strict: shared edge only
  EXPECT_FALSE(a.Meets(empty));
  EXPECT_FALSE(empty.Meets(a));
  EXPECT_EQ(empty.Union(a), a);
  EXPECT_EQ(a.Union(b), IBounds(0, 0, 20, 20));
  EXPECT_EQ(a.Intersect(b), IBounds(5, 5, 10, 10));
  EXPECT_TRUE(a.Intersect(touching).Empty());
  EXPECT_TRUE(a.Holds(10, 10));  // hit tests include every edge
  EXPECT_FALSE(a.Holds(11, 10));
}

TEST(Images, FetchLoadsOncePerProcess)
{
  Gui gui;
  const IImage first = gui.g->FetchImage(kImgSquare, "square.png", 1);
  const int loads = gui.g->loads;
  const IImage again = gui.g->FetchImage(kImgSquare, "square.png", 3);
  EXPECT_EQ(gui.g->loads, loads);
  EXPECT_EQ(first.bitmap, again.bitmap);
  EXPECT_EQ(again.width, 40);
  EXPECT_EQ(again.height, 40);
  EXPECT_EQ(again.frames, 3);
  EXPECT_EQ(again.cacheId, 0);

  Gui other;  // a second editor in the process shares the cache
  EXPECT_EQ(other.g->FetchImage(kImgSquare, "square.png").bitmap, first.bitmap);
  EXPECT_EQ(other.g->loads, 0);
}

TEST(Images, SplitKeepsTheRightHalfNamingTheLeft)
{
  Gui gui;
  IImage knob = gui.g->FetchImage(kImgKnob, "knob.png");
  LICE_IBitmap* source = knob.bitmap;
  const IImage left = gui.g->SplitImage(knob, 0.5f);
  EXPECT_EQ(left.width, 32);
  EXPECT_EQ(knob.width, 32);
  EXPECT_EQ(knob.height, 32);
  EXPECT_LT(knob.cacheId, -1);
  EXPECT_EQ(left.cacheId, 0);
  EXPECT_EQ(gui.g->ImageById(knob.cacheId).bitmap, left.bitmap);
  EXPECT_EQ(gui.g->FetchImage(kImgKnob, "knob.png").bitmap, source);  // source untouched in the cache
  // The halves hold the source's columns: the dot at x 14 on the left, the face from x 40 - 32 on the right.
  EXPECT_EQ(PixelAt(left.bitmap, 15, 3), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(knob.bitmap, 8, 8), 0xFF808080u);
  EXPECT_EQ(PixelAt(knob.bitmap, 7, 8), 0u);

  IImage again = gui.g->FetchImage(kImgKnob, "knob.png");
  gui.g->SplitImage(again, 0.25f);
  EXPECT_EQ(again.width, 48);
  EXPECT_EQ(again.cacheId, knob.cacheId - 1);  // ids keep counting down, per process

  IImage odd = gui.g->FetchImage(kImgKnob, "knob.png");
  EXPECT_EQ(gui.g->SplitImage(odd, std::nanf("")).width, 0);  // fractions are held to 0..1
  EXPECT_EQ(odd.width, 64);

  IImage broken;
  EXPECT_EQ(gui.g->SplitImage(broken, 0.5f).bitmap, nullptr);
  EXPECT_EQ(broken.cacheId, 0);
}

TEST(Mirror, FirstValueBecomesDefaultAndOnlyChangesRedraw)
{
  Gui gui;
  auto* knob = MakeKnob(gui.plug.get(), kVolume, 50, 50);
  auto* other = MakeKnob(gui.plug.get(), kWave, 120, 50);
  gui.g->AddControl(knob);
  gui.g->AddControl(other);
  gui.g->MirrorParameter(kVolume, 0.3, true);
  EXPECT_DOUBLE_EQ(knob->DefaultValue(), 0.3);
  EXPECT_DOUBLE_EQ(other->DefaultValue(), -1.0);
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  EXPECT_FALSE(knob->NeedsDrawing());

  gui.g->MirrorParameter(kVolume, 0.3, true);
  EXPECT_FALSE(knob->NeedsDrawing());
  gui.g->MirrorParameter(kVolume, 50.0, false);  // real value, converted
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.5);
  EXPECT_TRUE(knob->NeedsDrawing());
  EXPECT_TRUE(gui.plug->edits.empty());  // values from the host never go back to it

  gui.g->MirrorParameter(kNumParams + 3, 5.0, false);  // unknown parameter: ignored
}

TEST(Painting, ChangesAreCollectedAndPaintedInTwoPasses)
{
  Gui gui;
  auto* a = new Probe(gui.plug.get(), {10, 10, 30, 30}, kVolume);
  auto* b = new Probe(gui.plug.get(), {100, 100, 120, 120}, kWave);
  gui.g->AddControl(a);
  gui.g->AddControl(b);
  IBounds region;
  ASSERT_TRUE(gui.g->CollectChanges(region));  // new controls need drawing
  EXPECT_EQ(region, IBounds(10, 10, 120, 120));
  gui.g->PaintPass(region);
  EXPECT_FALSE(gui.g->CollectChanges(region));
  EXPECT_TRUE(region.Empty());

  a->ValueFromUser(0.4);
  ASSERT_TRUE(gui.g->CollectChanges(region));
  EXPECT_EQ(region, IBounds(10, 10, 30, 30));
  gui.g->PaintPass(region);
  EXPECT_EQ(a->renders, 2);
  EXPECT_EQ(b->renders, 1);  // outside the region
  ASSERT_TRUE(gui.g->CollectChanges(region));  // painted once more
  gui.g->PaintPass(region);
  EXPECT_EQ(a->renders, 3);
  EXPECT_FALSE(gui.g->CollectChanges(region));
  EXPECT_EQ(gui.g->shown.back(), IBounds(10, 10, 30, 30));

  // An empty region renders nothing but still clears every flag.
  b->SetHidden(false);
  gui.g->PaintPass(IBounds());
  gui.g->PaintPass(IBounds());
  EXPECT_EQ(b->renders, 1);
  EXPECT_FALSE(b->NeedsDrawing());

  // Hidden controls are not rendered; RefreshAll repaints the whole list.
  a->SetHidden(true);
  gui.g->RefreshAll();
  ASSERT_TRUE(gui.g->CollectChanges(region));
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  EXPECT_EQ(a->renders, 3);
  EXPECT_EQ(b->renders, 2);
}

TEST(Painting, LaterControlsDrawOnTopAndTheBackdropFirst)
{
  Gui gui;
  gui.g->AddControl(new IBitmapControl(gui.plug.get(), 20, 20, -1, gui.g->FetchImage(kImgSquare, "sq.png")));
  gui.g->AddControl(new IBitmapControl(gui.plug.get(), 40, 40, -1, gui.g->FetchImage(kImgHandle, "h.png")));
  gui.g->AddBackdrop(kImgBackground, "bg.png");
  ASSERT_EQ(gui.g->NControls(), 3);
  EXPECT_EQ(gui.g->GetControl(0)->Bounds(), IBounds(0, 0, 200, 150));
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  LICE_IBitmap* canvas = gui.g->Canvas();
  EXPECT_EQ(PixelAt(canvas, 5, 5), 0xFF404040u);
  EXPECT_EQ(PixelAt(canvas, 25, 25), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(canvas, 45, 45), 0xFFC0C0C0u);  // the later control covers the square

  // Drawing is clipped to the painted region.
  gui.g->GetControl(1)->SetHidden(true);
  gui.g->PaintPass(IBounds(0, 0, 30, 30));
  EXPECT_EQ(PixelAt(canvas, 25, 25), 0xFF404040u);
  EXPECT_EQ(PixelAt(canvas, 35, 35), 0xFFFF0000u);
}

TEST(Painting, AnImageThatDoesNotDecodeDrawsNothing)
{
  Gui gui;
  const IImage broken = gui.g->FetchImage(kImgBroken, "broken.png", 4);
  EXPECT_EQ(broken.bitmap, nullptr);
  EXPECT_EQ(broken.width, 0);
  gui.g->AddBackdrop(kImgBroken, "broken.png");
  gui.g->AddControl(new IBitmapControl(gui.plug.get(), IBounds(10, 10, 50, 50), kWave, broken));
  gui.g->MirrorParameter(kWave, 1.0, true);
  IBounds region;
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  gui.g->RefreshAll();  // the backdrop without its picture still spans the editor
  ASSERT_TRUE(gui.g->CollectChanges(region));
  EXPECT_EQ(region, IBounds(0, 0, 200, 150));
  EXPECT_TRUE(gui.g->PaintPass(IBounds(0, 0, 200, 150)));
  EXPECT_EQ(gui.g->ControlAt(20, 20), 1);
}

TEST(Text, TextControlDrawsAndSkipsUnchangedText)
{
  Gui gui;
  gui.WithBackdrop();
  auto* text = new ITextControl(gui.plug.get(), {10, 10, 150, 40}, ITextStyle("Arial", 15, IArgb(255, 255, 255, 255)),
                                "v2.3");
  gui.g->AddControl(text);
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  int lit = 0;
  for (int y = 10; y < 40; ++y)
    for (int x = 10; x < 150; ++x) lit += PixelAt(gui.g->Canvas(), x, y) != 0xFF404040u;
  EXPECT_GT(lit, 10);
  gui.g->PaintPass(IBounds(0, 0, 200, 150));
  text->SetText("v2.3");
  EXPECT_FALSE(text->NeedsDrawing());
  text->SetText("v2.4");
  EXPECT_TRUE(text->NeedsDrawing());
  EXPECT_STREQ(text->Text(), "v2.4");
}

class Dispatch : public ::testing::Test
{
protected:
  void SetUp() override
  {
    gui.WithBackdrop();
    below = new Probe(gui.plug.get(), {10, 10, 60, 60}, kVolume);
    above = new Probe(gui.plug.get(), {40, 40, 90, 90}, kReal);
    gui.g->AddControl(below);
    gui.g->AddControl(above);
    gui.g->EnableHover(true);
  }
  Gui gui;
  Probe* below = nullptr;
  Probe* above = nullptr;
};

TEST_F(Dispatch, OverlapsHiddenAndGrayedControls)
{
  EXPECT_EQ(gui.g->ControlAt(50, 50), 2);  // the later control is on top
  above->SetHidden(true);
  EXPECT_EQ(gui.g->ControlAt(50, 50), 1);
  above->SetHidden(false);
  above->SetGrayed(true);
  EXPECT_EQ(gui.g->ControlAt(50, 50), 1);
  EXPECT_FLOAT_EQ(above->Blend().weight, 0.25f);
  above->SetGrayed(false);
  EXPECT_FLOAT_EQ(above->Blend().weight, 1.0f);
  EXPECT_EQ(gui.g->ControlAt(60, 60), 2);
  EXPECT_EQ(gui.g->ControlAt(95, 95), 0);  // the backdrop
  EXPECT_EQ(gui.g->ControlAt(-5, 95), -1);
}

TEST_F(Dispatch, CaptureHoldsAcrossTheEdgeAndTheReleaseEndsTheEdit)
{
  gui.g->PointerDown(20, 20, Left());
  gui.g->PointerDrag(20, 20, Left());  // no movement, no drag
  gui.g->PointerDrag(150, 5, Left());  // far outside, over nothing
  gui.g->PointerUp(150, 5, Left());
  EXPECT_EQ(below->log, "press drag release ");
  EXPECT_EQ(below->lastDx, 130);
  EXPECT_EQ(below->lastDy, -15);
  EXPECT_EQ(gui.plug->Kinds(), "be");
  EXPECT_EQ(gui.plug->edits[0].param, kVolume);
  EXPECT_EQ(gui.g->CaptureIndex(), -1);

  gui.plug->edits.clear();
  gui.g->PointerDown(150, 140, Left());  // the backdrop has no parameter
  gui.g->PointerUp(20, 20, Left());      // a release over another control ends nothing
  EXPECT_TRUE(gui.plug->edits.empty());
  EXPECT_EQ(below->log, "press drag release ");
}

TEST_F(Dispatch, HoverEntersAndExitsAndLeaveClearsAll)
{
  IPointerMods none;
  EXPECT_TRUE(gui.g->PointerHover(20, 20, none));
  EXPECT_TRUE(gui.g->PointerHover(80, 80, none));
  EXPECT_EQ(below->log, "enter exit ");
  EXPECT_EQ(above->log, "enter ");
  EXPECT_EQ(gui.g->HoverIndex(), 2);
  EXPECT_TRUE(gui.g->PointerHover(-1000, -1000, none));  // nothing under it: no change
  EXPECT_EQ(gui.g->HoverIndex(), 2);
  gui.g->PointerLeave();
  EXPECT_EQ(gui.g->HoverIndex(), -1);
  EXPECT_EQ(above->log, "enter exit ");

  gui.g->EnableHover(false);
  EXPECT_FALSE(gui.g->PointerHover(20, 20, none));
}

TEST_F(Dispatch, DoubleClickRestoresTheDefaultInOneEdit)
{
  gui.g->MirrorParameter(kVolume, 0.3, true);
  gui.g->MirrorParameter(kVolume, 0.7, true);
  EXPECT_FALSE(gui.g->PointerDoubleClick(20, 20, Left()));
  gui.g->PointerUp(20, 20, Left());
  EXPECT_DOUBLE_EQ(below->GetValue(), 0.3);
  EXPECT_EQ(gui.plug->Kinds(), "bpe");
  EXPECT_DOUBLE_EQ(gui.plug->edits[1].value, 0.3);
  EXPECT_EQ(gui.plug->GetParam(kVolume)->GetValue(), 30.0);

  gui.plug->edits.clear();
  above->SetValue(0.9);  // never had a host value: no default to restore
  gui.g->PointerDoubleClick(50, 50, Left());
  gui.g->PointerUp(50, 50, Left());
  EXPECT_DOUBLE_EQ(above->GetValue(), 0.9);
  EXPECT_EQ(gui.plug->Kinds(), "be");
}

TEST_F(Dispatch, WheelEndsItsEditTwelveTicksAfterTheLastStep)
{
  gui.g->PointerWheel(20, 20, IPointerMods(), 2);
  EXPECT_NEAR(below->GetValue(), 0.02, 1e-9);
  EXPECT_EQ(gui.plug->Kinds(), "bp");
  for (int i = 0; i < 6; ++i) gui.g->Tick();
  gui.g->PointerWheel(20, 20, IPointerMods(), -1);  // restarts the countdown, same edit
  EXPECT_EQ(gui.plug->Kinds(), "bpp");
  for (int i = 0; i < 11; ++i) gui.g->Tick();
  EXPECT_EQ(gui.plug->Kinds(), "bpp");
  gui.g->Tick();
  EXPECT_EQ(gui.plug->Kinds(), "bppe");
  EXPECT_EQ(gui.g->EndEditCountdown(), 0);

  // Closing the editor sends a pending end at once.
  gui.plug->edits.clear();
  gui.g->PointerWheel(50, 50, IPointerMods(), 1);
  gui.g->CloseNative();
  EXPECT_EQ(gui.plug->Kinds(), "bpe");

  // So does a button still held: its release can no longer come.
  gui.plug->edits.clear();
  gui.g->PointerDown(20, 20, Left());
  gui.g->PointerDrag(20, 30, Left());
  gui.g->CloseNative();
  gui.g->PointerUp(20, 30, IPointerMods());
  const std::string kinds = gui.plug->Kinds();
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 'b'), 1) << kinds;
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 'e'), 1) << kinds;
  EXPECT_EQ(kinds.back(), 'e') << kinds;
}

TEST_F(Dispatch, KeysGoToTheControlUnderThePointer)
{
  gui.g->KeyPressed(50, 50, 16);
  EXPECT_EQ(above->lastKey, 16);
  gui.g->KeyPressed(-50, 50, 1);
  EXPECT_EQ(below->lastKey, -1);
}

TEST_F(Dispatch, PointerPositionsFarOutsideAreHarmless)
{
  gui.g->PointerDown(INT_MIN, INT_MAX, Left());
  gui.g->PointerUp(INT_MAX, INT_MIN, Left());
  gui.g->PointerDown(20, 20, Left());
  gui.g->PointerDrag(INT_MIN, INT_MIN, Left());
  EXPECT_EQ(below->lastDx, INT_MIN);
  gui.g->PointerDrag(INT_MAX, INT_MAX, Left());
  EXPECT_EQ(below->lastDx, INT_MAX);
  gui.g->PointerUp(INT_MAX, INT_MAX, Left());
  gui.g->PointerWheel(INT_MIN, 0, IPointerMods(), INT_MAX);
  gui.g->PointerDoubleClick(INT_MAX, 0, Left());
  EXPECT_EQ(gui.plug->Kinds(), "be");
}

TEST_F(Dispatch, ParameterIndexOutOfRangeActsAsNone)
{
  auto* stray = MakeKnob(gui.plug.get(), 57, 150, 100);
  gui.g->AddControl(stray);
  gui.g->MirrorParameter(57, 0.5, true);
  gui.g->PointerDown(150, 100, Left());
  gui.g->PointerDrag(150, 60, Left());
  gui.g->PointerUp(150, 60, Left());
  gui.g->PointerWheel(150, 100, IPointerMods(), 3);
  gui.g->PointerDown(150, 100, Right());
  gui.g->PointerUp(150, 100, Right());
  gui.g->PointerDoubleClick(150, 100, Left());
  gui.g->PointerUp(150, 100, Left());
  for (int i = 0; i < 20; ++i) gui.g->Tick();
  EXPECT_TRUE(gui.plug->edits.empty());
  EXPECT_FALSE(gui.g->BoxOpen());
  EXPECT_GT(stray->GetValue(), 0.0);  // the knob still moves by itself
}

TEST(TypedValues, DisplayTextsNumbersAndGarbage)
{
  Gui gui;
  auto* wave = new Probe(gui.plug.get(), {0, 0, 10, 10}, kWave);
  auto* volume = new Probe(gui.plug.get(), {0, 0, 10, 10}, kVolume);
  gui.g->AddControl(wave);
  gui.g->AddControl(volume);
  struct Case
  {
    Probe* control;
    IParamDef* param;
    const char* text;
    double normalized;
  } cases[] = {
    {wave, gui.plug->GetParam(kWave), "Saw", 2.0 / 3.0},
    {wave, gui.plug->GetParam(kWave), "3", 1.0},
    {volume, gui.plug->GetParam(kVolume), "42.4%", 0.424},
    {volume, gui.plug->GetParam(kVolume), "loud", 0.0},
    {volume, gui.plug->GetParam(kVolume), "1e9", 1.0},
    {volume, gui.plug->GetParam(kVolume), "nan", 0.0},
    {volume, gui.plug->GetParam(kVolume), "", 0.0},
  };
  for (const Case& c : cases)
  {
    gui.plug->edits.clear();
    c.control->SetValue(0.5);
    gui.g->ApplyTypedValue(c.control, c.param, c.text);
    EXPECT_NEAR(c.control->GetValue(), c.normalized, 1e-12) << c.text;
    EXPECT_EQ(gui.plug->Kinds(), "bpe") << c.text;
  }
  gui.plug->edits.clear();
  gui.g->ApplyTypedValue(volume, nullptr, "5");
  gui.g->ApplyTypedValue(nullptr, gui.plug->GetParam(kVolume), "5");
  EXPECT_TRUE(gui.plug->edits.empty());
}

TEST(TypedValues, TheBoxCommitsOnTheNextTickOrCancels)
{
  Gui gui;
  auto* knob = MakeKnob(gui.plug.get(), kVolume, 50, 50);
  gui.g->AddControl(knob);
  gui.g->PointerDown(50, 50, Right());
  gui.g->PointerUp(50, 50, Right());
  ASSERT_TRUE(gui.g->BoxOpen());
  EXPECT_TRUE(knob->IsEditing());
  EXPECT_FALSE(gui.g->Box().list);
  EXPECT_EQ(gui.g->Box().text, "90");
  // Centred: 7 x length of "100" + 6 = 27, at least 32 wide, 16 high.
  EXPECT_EQ(gui.g->Box().rect, IBounds(50 - 16, 50 - 8, 50 + 16, 50 + 8));

  gui.g->AskValue(knob, gui.plug->GetParam(kWave), true);  // one box at a time
  EXPECT_EQ(gui.g->Box().text, "90");

  gui.plug->edits.clear();
  gui.g->SetBoxText("25");
  gui.g->SetBoxState(IGraphicsPlatform::BoxActive);
  gui.g->Tick();
  EXPECT_TRUE(gui.g->BoxOpen());  // still typing
  gui.g->SetBoxState(IGraphicsPlatform::BoxCommit);
  gui.g->Tick();
  EXPECT_FALSE(gui.g->BoxOpen());
  EXPECT_DOUBLE_EQ(gui.plug->GetParam(kVolume)->GetValue(), 25.0);
  EXPECT_FALSE(knob->AwaitingEntry());
  // The typed value in one bracket; closing the box redraws without sending
  // the value again outside it.
  EXPECT_EQ(gui.plug->Kinds(), "bpe");
  EXPECT_FALSE(knob->IsEditing());       // the paint after the close noticed it

  gui.g->AskValue(knob, gui.plug->GetParam(kWave), true);
  EXPECT_TRUE(gui.g->Box().list);
  EXPECT_EQ(gui.g->Box().selection, 0);
  EXPECT_EQ(gui.g->Box().rect.H(), 36 * 4 + 36);
  EXPECT_EQ(gui.g->Box().rect.W(), 8 * 8 + 24);  // "Triangle"
  gui.plug->edits.clear();
  gui.g->SetBoxState(IGraphicsPlatform::BoxCancel);
  gui.g->Tick();
  EXPECT_FALSE(gui.g->BoxOpen());
  EXPECT_DOUBLE_EQ(gui.plug->GetParam(kWave)->GetValue(), 0.0);
  EXPECT_EQ(gui.plug->Kinds(), "");  // a cancelled box tells the host nothing
}

TEST(Editor, ResizeDestroysControlsAndAsksThePlugIn)
{
  Gui gui;
  gui.WithBackdrop();
  gui.g->AddControl(new Probe(gui.plug.get(), {0, 0, 5, 5}));
  auto* knob = MakeKnob(gui.plug.get(), kVolume, 100, 75);
  gui.g->AddControl(knob);
  knob->AskValueForMe();
  Probe owner(gui.plug.get(), {0, 0, 5, 5}, kWave);  // outside the list, outlives the editor's controls
  gui.g->OpenPopup(&owner);
  ASSERT_TRUE(gui.g->BoxOpen());
  ASSERT_NE(gui.g->OpenPopupControl(), nullptr);
  gui.g->PointerDown(1, 1, Left());
  gui.g->ResizeEditor(300, 200);
  EXPECT_FALSE(gui.g->BoxOpen());  // its control is gone
  EXPECT_EQ(gui.g->OpenPopupControl(), nullptr);
  gui.g->SetBoxState(IGraphicsPlatform::BoxCommit);
  gui.g->Tick();
  gui.g->ClosePopup(false);
  EXPECT_EQ(gui.g->NControls(), 0);
  EXPECT_EQ(gui.g->Width(), 300);
  EXPECT_EQ(gui.g->Canvas()->Width(), 300);
  EXPECT_EQ(gui.g->CaptureIndex(), -1);
  gui.g->PointerUp(1, 1, Left());
  EXPECT_TRUE(gui.g->PaintPass(IBounds(0, 0, 10, 10)));
}

TEST(Editor, FactoryMakesThePlatformEditor)
{
  FakePlug plug;
  IGraphicsPlatform* g = MakePlatformGraphics(&plug, 368, 370, 0, nullptr);
  plug.AttachEditor(g);
  EXPECT_EQ(g->GetFrameRate(), 24);
  EXPECT_FALSE(g->IsOpen());
  ASSERT_NE(g->Canvas(), nullptr);
  EXPECT_EQ(g->Canvas()->Width(), 368);
  // Resource 9099 is not in this module: loading fails cleanly.
  EXPECT_EQ(g->FetchImage(kImgBroken, "none.png").bitmap, nullptr);
  char folder[256] = "x";
  g->HostFolder(folder);
  EXPECT_NE(folder[0], 'x');
}

TEST(Editor, ImagesComeFromTheModuleResources)
{
  // This test program carries the instrument's images under 100 to 110.
  FakePlug plug;
  IGraphicsPlatform* g = MakePlatformGraphics(&plug, 368, 370, 0, nullptr);
  plug.AttachEditor(g);
  const IImage bg = g->FetchImage(100, "img/bg.png");
  ASSERT_NE(bg.bitmap, nullptr);
  EXPECT_EQ(bg.width, 368);
  EXPECT_EQ(bg.height, 370);
  IImage knob = g->FetchImage(101, "img/knob.png");
  ASSERT_NE(knob.bitmap, nullptr);
  const IImage dot = g->SplitImage(knob, 0.5f);
  EXPECT_EQ(knob.width, 84);
  EXPECT_EQ(dot.width, 84);
  EXPECT_EQ(knob.height, 84);
  g->AddBackdrop(100, "img/bg.png");
  EXPECT_TRUE(g->PaintPass(IBounds(0, 0, 368, 370)));
  EXPECT_EQ(PixelAt(g->Canvas(), 10, 10), PixelAt(bg.bitmap, 10, 10));
}
