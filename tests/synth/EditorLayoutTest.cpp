// The instrument's editor: its controls and their places, the readout, the
// controls each mode shows, the edits a host receives for a gesture, and a few
// pixels of the painted editor.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "controls/IControl.h"
#include "controls/ITextControl.h"
#include "controls/IURLControl.h"
#include "graphics/IGraphicsPlatform.h"
#include "raster/LICE_Bitmap.h"
#include "synth/CLS_THRUMWELL.h"
#include "synth/GRAPH.h"
#include "synth/ThrumwellParameters.h"
#include "tools/snapshot/EditorSession.h"
#include "vst3/IPlugVST3View.h"

using ThrumwellHost::HostComponentHandler;

namespace
{
// Indices in the editor's control list (0 is the background).
enum Control
{
  kReadout = 1,
  kVersion,
  kLogo,
  kFrequencyKnob,
  kTuningKnob,
  kLabelImage,
  kBinauralKnob,
  kPanButton,
  kBeatsButton,
  kFadeSlider,
  kModeButton,
  kWaveSwitch,
  kAttackKnob,
  kReleaseKnob,
  kVolumeKnob,
  kCenterSwitch,
  kFirstOverlay,
  kSecondOverlay,
  kControlCount,
};

IPointerMods LeftButton()
{
  IPointerMods mods;
  mods.left = true;
  return mods;
}

struct Rgb
{
  int r, g, b;
};

Rgb PixelAt(LICE_IBitmap* bitmap, int x, int y)
{
  const LICE_PixelWord p = bitmap->Pixels()[y * bitmap->RowStride() + x];
  return {int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)};
}

bool Near(const Rgb& a, const Rgb& b, int tolerance)
{
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

class EditorLayoutTest : public ::testing::Test
{
protected:
  EditorSession session;

  IGraphicsPlatform& Editor() { return session.Editor(); }
  IControl* At(int index) { return Editor().GetControl(index); }
  GRAPH& Readout() { return *static_cast<GRAPH*>(At(kReadout)); }

  void SetNormalized(int paramIdx, double normalized)
  {
    session.QueueParamNormalized(paramIdx, normalized);
    ASSERT_TRUE(session.ProcessBlock());
  }
  void SetMode(int mode) { SetNormalized(kParamMode, mode); }

  std::string NoteText()
  {
    char text[GRAPH::kNoteTextSize];
    Readout().NoteText(text);
    return text;
  }

  // Indices of the hidden controls.
  std::vector<int> Hidden()
  {
    std::vector<int> hidden;
    for (int i = 1; i < Editor().NControls(); ++i)
      if (At(i)->IsHidden())
        hidden.push_back(i);
    return hidden;
  }

  // The editor as its window would show it after a full repaint.
  LICE_IBitmap* Paint()
  {
    Editor().RefreshAll();
    session.Tick(2);
    return Editor().Canvas();
  }

  // Edits the host received, without restart requests.
  std::vector<HostComponentHandler::Edit> Edits()
  {
    std::vector<HostComponentHandler::Edit> edits;
    for (const HostComponentHandler::Edit& e : session.Handler().Edits())
      if (e.kind != HostComponentHandler::Edit::kRestart)
        edits.push_back(e);
    return edits;
  }
};

TEST_F(EditorLayoutTest, ControlsSitWhereTheLayoutPutsThem)
{
  ASSERT_TRUE(session.Connected());
  ASSERT_EQ(Editor().NControls(), kControlCount);
  EXPECT_EQ(Editor().Width(), 368);
  EXPECT_EQ(Editor().Height(), 370);

  struct Expected
  {
    int index;
    int paramIdx;
    IBounds bounds;
  };
  const Expected table[] = {
    {kReadout, -1, {246, 125, 348, 197}},       {kVersion, -1, {30, 42, 80, 60}},
    {kLogo, -1, {71, 7, 263, 54}},              {kFrequencyKnob, kParamFrequency, {35, 92, 119, 174}},
    {kTuningKnob, kParamTuningFreq, {35, 92, 119, 174}}, {kLabelImage, -1, {20, 178, 134, 206}},
    {kBinauralKnob, kParamBinaural, {139, 92, 223, 174}}, {kPanButton, kParamPanReverse, {42, 206, 110, 224}},
    {kBeatsButton, kParamBeats, {30, 234, 122, 252}},   {kFadeSlider, kParamFade, {134, 218, 224, 251}},
    {kModeButton, kParamMode, {246, 232, 338, 257}},    {kWaveSwitch, kParamWave, {49, 285, 79, 315}},
    {kAttackKnob, kParamAttack, {112, 267, 178, 331}},  {kReleaseKnob, kParamRelease, {192, 267, 258, 331}},
    {kVolumeKnob, kParamVolume, {272, 267, 338, 331}},  {kCenterSwitch, kParamCenterFreq, {264, 201, 342, 221}},
    {kFirstOverlay, -1, {104, 261, 184, 357}},          {kSecondOverlay, -1, {184, 261, 264, 357}},
  };
  for (const Expected& e : table)
  {
    SCOPED_TRACE(e.index);
    EXPECT_EQ(At(e.index)->ParamIdx(), e.paramIdx);
    EXPECT_EQ(At(e.index)->Bounds(), e.bounds);
  }
  EXPECT_STREQ(static_cast<ITextControl*>(At(kVersion))->Text(), "v2.3");
  auto* logo = static_cast<IURLControl*>(At(kLogo));
  EXPECT_STRNE(logo->Address(), "");
  EXPECT_STRNE(logo->Fallback(), "");
  EXPECT_TRUE(Editor().HoverEnabled());
}

TEST(EditorBeforeModeTest, ConstructorHidesFrequencyLabelCentreAndOverlays)
{
  CLS_THRUMWELL synth;
  auto* g = static_cast<IGraphics*>(synth.GetEditor());
  ASSERT_NE(g, nullptr);
  std::vector<int> hidden;
  for (int i = 1; i < g->NControls(); ++i)
    if (g->GetControl(i)->IsHidden())
      hidden.push_back(i);
  EXPECT_EQ(hidden, (std::vector<int>{kFrequencyKnob, kLabelImage, kCenterSwitch, kFirstOverlay, kSecondOverlay}));
}

TEST_F(EditorLayoutTest, EachModeShowsItsOwnControls)
{
  const std::vector<int> synthHidden{kFrequencyKnob, kLabelImage, kFirstOverlay, kSecondOverlay};
  const std::vector<int> generatorHidden{kTuningKnob, kAttackKnob, kReleaseKnob, kCenterSwitch};
  // Connecting applies "Mode" at its default, Synthesizer.
  EXPECT_EQ(Hidden(), synthHidden);
  SetMode(kModeGenerator);
  EXPECT_EQ(Hidden(), generatorHidden);
  SetMode(kModeSynthesizer);
  EXPECT_EQ(Hidden(), synthHidden);
}

// "Mode" applied in process on the audio thread: the editor's controls
// change only on its own thread's next tick, with the values that process
// mirrored.
TEST_F(EditorLayoutTest, AModeSwitchedOnTheAudioThreadShowsOnTheNextTick)
{
  const std::vector<int> synthHidden{kFrequencyKnob, kLabelImage, kFirstOverlay, kSecondOverlay};
  const std::vector<int> generatorHidden{kTuningKnob, kAttackKnob, kReleaseKnob, kCenterSwitch};
  ASSERT_EQ(Hidden(), synthHidden);
  session.QueueParamNormalized(kParamMode, kModeGenerator);
  session.QueueParamNormalized(kParamVolume, 0.25);
  std::thread audio([&] { EXPECT_TRUE(session.ProcessBlock()); });
  audio.join();
  EXPECT_EQ(Hidden(), synthHidden);
  EXPECT_NE(At(kVolumeKnob)->GetValue(), 0.25);
  session.Tick();
  EXPECT_EQ(Hidden(), generatorHidden);
  EXPECT_DOUBLE_EQ(At(kVolumeKnob)->GetValue(), 0.25);
}

TEST(GraphBandTest, BandNamesFollowTheBeat)
{
  const struct
  {
    float beat;
    const char* band;
  } table[] = {
    {0.2f, "EPSILON"}, {0.49f, "EPSILON"}, {0.5f, "DELTA"},  {3.99f, "DELTA"},   {4.0f, "THETA"},
    {7.83f, "THETA"},  {8.0f, "ALPHA"},    {13.9f, "ALPHA"}, {14.0f, "BETA"},    {29.9f, "BETA"},
    {30.0f, "GAMMA"},  {59.9f, "GAMMA"},   {60.0f, "LAMBDA"}, {199.9f, "LAMBDA"}, {200.0f, ""},
    {1000.0f, ""},
  };
  for (const auto& row : table)
    EXPECT_STREQ(GRAPH::BandName(row.beat), row.band) << row.beat;
}

TEST_F(EditorLayoutTest, ReadoutTakesTheBeatAndTheNote)
{
  std::string error;
  ASSERT_TRUE(session.QueueParam("Binaural=7.83", error)) << error;
  ASSERT_TRUE(session.QueueParam("Tuning Freq=440", error)) << error;
  ASSERT_TRUE(session.ProcessBlock());
  EXPECT_FLOAT_EQ(Readout().beatReadout.load(), 7.83f);
  EXPECT_STREQ(GRAPH::BandName(Readout().beatReadout.load()), "THETA");
  EXPECT_EQ(&session.Synth().GetToneReadout(), static_cast<const ToneReadout*>(&Readout()));

  EXPECT_EQ(NoteText(), "0.00 Hz");
  session.QueueNoteOn(69);
  ASSERT_TRUE(session.ProcessBlock());
  EXPECT_EQ(NoteText(), "440.00 Hz");
  SetMode(kModeGenerator);
  EXPECT_EQ(NoteText(), "off");
}

TEST_F(EditorLayoutTest, KnobDragReachesTheHostAsOneEdit)
{
  // Binaural knob, centre (181, 133): up raises the value.
  Editor().PointerDown(181, 133, LeftButton());
  Editor().PointerDrag(181, 123, LeftButton());
  Editor().PointerDrag(181, 113, LeftButton());
  Editor().PointerUp(181, 113, IPointerMods());
  // One bracket: begin, the values as the pointer moved (rising), end.
  const std::vector<HostComponentHandler::Edit> edits = Edits();
  ASSERT_GE(edits.size(), 4u);
  EXPECT_EQ(edits.front().kind, HostComponentHandler::Edit::kBegin);
  EXPECT_EQ(edits.back().kind, HostComponentHandler::Edit::kEnd);
  for (std::size_t i = 1; i + 1 < edits.size(); ++i)
  {
    EXPECT_EQ(edits[i].kind, HostComponentHandler::Edit::kPerform);
    if (i > 1)
    {
      EXPECT_LE(edits[i - 1].value, edits[i].value);
    }
  }
  for (const HostComponentHandler::Edit& e : edits)
    EXPECT_EQ(e.id, unsigned(kParamBinaural));
  const double last = edits[edits.size() - 2].value;
  EXPECT_LT(edits[1].value, last);
  EXPECT_DOUBLE_EQ(session.Synth().GetParam(kParamBinaural)->GetNormalized(), last);
  EXPECT_TRUE(session.Handler().Complaints().empty());
}

TEST_F(EditorLayoutTest, ModeButtonClickSwitchesTheEditor)
{
  Editor().PointerDown(290, 244, LeftButton());
  Editor().PointerUp(290, 244, IPointerMods());
  const std::vector<HostComponentHandler::Edit> edits = Edits();
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[0].kind, HostComponentHandler::Edit::kBegin);
  EXPECT_EQ(edits[1].kind, HostComponentHandler::Edit::kPerform);
  EXPECT_EQ(edits[1].id, unsigned(kParamMode));
  EXPECT_EQ(edits[1].value, 0.0);
  EXPECT_EQ(edits[2].kind, HostComponentHandler::Edit::kEnd);
  EXPECT_FALSE(At(kFrequencyKnob)->IsHidden());
  EXPECT_TRUE(At(kTuningKnob)->IsHidden());
}

TEST_F(EditorLayoutTest, WheelEndsItsEditTwelveTicksLater)
{
  Editor().PointerWheel(305, 299, IPointerMods(), 3);
  ASSERT_EQ(Edits().size(), 2u);
  session.Tick(11);
  EXPECT_EQ(Edits().size(), 2u);
  session.Tick();
  const std::vector<HostComponentHandler::Edit> edits = Edits();
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[2].kind, HostComponentHandler::Edit::kEnd);
  EXPECT_EQ(edits[2].id, unsigned(kParamVolume));
}

// Without a run loop from the host, the open editor's timer is what tells the
// host that a program chosen in process changed every value: once, on the
// editor's next frame.
TEST_F(EditorLayoutTest, TheEditorsTimerTellsTheHostOfAProgramChange)
{
  std::string error;
  ASSERT_TRUE(session.QueueProgram("1", error)) << error;
  ASSERT_TRUE(session.ProcessBlock());
  EXPECT_TRUE(session.Handler().Restarts().empty());
  session.Tick(3);
  EXPECT_EQ(session.Handler().Restarts(), std::vector<Steinberg::int32>{Steinberg::Vst::kParamValuesChanged});
}

// A program chosen on the host's user-interface thread: the controls show its
// values at the editor's next frame, before process applies it; the controls
// of the other mode follow once process has, and the editor's timer does not
// tell the host a second time.
TEST_F(EditorLayoutTest, TheControlsFollowAProgramTheHostChooses)
{
  const double program1 = 1.0 / 129;  // "Higher frequencies": Generator, 400 Hz, Center Freq Yes
  std::string error;
  ASSERT_TRUE(session.QueueProgram("1", error)) << error;
  ASSERT_EQ(session.Host().Controller()->setParamNormalized(IPlugVST3::kPresetParamId, program1), Steinberg::kResultOk);
  EXPECT_EQ(session.Handler().Restarts(), std::vector<Steinberg::int32>{Steinberg::Vst::kParamValuesChanged});
  session.Tick();
  EXPECT_DOUBLE_EQ(At(kCenterSwitch)->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(At(kFrequencyKnob)->GetValue(),
                   session.Host().Controller()->plainParamToNormalized(kParamFrequency, 400));
  EXPECT_TRUE(At(kFrequencyKnob)->IsHidden());
  ASSERT_TRUE(session.ProcessBlock());
  session.Tick(3);
  EXPECT_FALSE(At(kFrequencyKnob)->IsHidden());
  EXPECT_TRUE(At(kTuningKnob)->IsHidden());
  // (The host's checks after the block took what the handler had recorded.)
  EXPECT_TRUE(session.Handler().Restarts().empty()) << "told a second time";
}

TEST_F(EditorLayoutTest, PointerFarOutsideChangesNothing)
{
  for (int x : {-1000000, 1000000})
  {
    Editor().PointerDown(x, -x, LeftButton());
    Editor().PointerDrag(x / 2, x, LeftButton());
    Editor().PointerUp(x, x, IPointerMods());
    Editor().PointerWheel(x, x, IPointerMods(), 5);
  }
  session.Tick(13);
  EXPECT_TRUE(Edits().empty());
}

TEST_F(EditorLayoutTest, RemovedEditorLeavesTheReadoutToTheInstrument)
{
  session.QueueNoteOn(69);
  ASSERT_TRUE(session.ProcessBlock());
  session.Synth().AttachEditor(nullptr);
  ASSERT_EQ(session.Synth().GetEditor(), nullptr);
  EXPECT_FLOAT_EQ(session.Synth().GetToneReadout().noteFrequency.load(), 440.0f);
  // The tone and the mode switch no longer reach the editor's controls.
  session.QueueNoteOn(81);
  ASSERT_TRUE(session.ProcessBlock());
  SetMode(kModeGenerator);
  EXPECT_FLOAT_EQ(session.Synth().GetToneReadout().noteFrequency.load(), 880.0f);
}

// Point on a knob's arc track at an angle (degrees, 0 up, clockwise).
void ArcPoint(int cx, int cy, double radius, double degrees, int& x, int& y)
{
  const double a = degrees * 3.14159265358979 / 180.0;
  x = int(std::lround(cx + radius * std::sin(a)));
  y = int(std::lround(cy - radius * std::cos(a)));
}

TEST_F(EditorLayoutTest, KnobArcIsPaintedUpToItsValue)
{
  // The Binaural knob's arc runs from -150 degrees clockwise; at half value it
  // reaches 0 (straight up). Just before that the track is the arc colour,
  // just after it the background shows.
  SetNormalized(kParamBinaural, 0.5);
  LICE_IBitmap* canvas = Paint();
  int x = 0, y = 0;
  ArcPoint(181, 133, 36.0, -60.0, x, y);
  EXPECT_TRUE(Near(PixelAt(canvas, x, y), {100, 250, 255}, 40));
  ArcPoint(181, 133, 36.0, 60.0, x, y);
  EXPECT_FALSE(Near(PixelAt(canvas, x, y), {100, 250, 255}, 80));
  SetNormalized(kParamBinaural, 1.0);
  canvas = Paint();
  EXPECT_TRUE(Near(PixelAt(canvas, x, y), {100, 250, 255}, 40));
}

TEST_F(EditorLayoutTest, HiddenControlsShowTheBackground)
{
  const IImage background = Editor().FetchImage(100, "img/bg.png");
  ASSERT_NE(background.bitmap, nullptr);
  // Inside the first overlay, beside the Attack knob; inside the Center Freq switch.
  const int overlayX = 106, overlayY = 350;
  const int switchX = 300, switchY = 210;

  LICE_IBitmap* canvas = Paint();
  EXPECT_TRUE(Near(PixelAt(canvas, overlayX, overlayY), PixelAt(background.bitmap, overlayX, overlayY), 0));
  EXPECT_FALSE(Near(PixelAt(canvas, switchX, switchY), PixelAt(background.bitmap, switchX, switchY), 0));

  SetMode(kModeGenerator);
  canvas = Paint();
  EXPECT_FALSE(Near(PixelAt(canvas, overlayX, overlayY), PixelAt(background.bitmap, overlayX, overlayY), 0));
  EXPECT_TRUE(Near(PixelAt(canvas, switchX, switchY), PixelAt(background.bitmap, switchX, switchY), 0));
}

TEST_F(EditorLayoutTest, EditorViewAnswersForTheEditor)
{
  Steinberg::IPlugView* view = session.Synth().createView("editor");
  ASSERT_NE(view, nullptr);
  // The editor opens in this platform's kind of window and no other.
  const std::string own = Editor().PlatformType();
  for (const char* type : {"HWND", "X11EmbedWindowID"})
    EXPECT_EQ(view->isPlatformTypeSupported(type), own == type ? Steinberg::kResultTrue : Steinberg::kResultFalse)
      << type;
  Steinberg::ViewRect rect;
  EXPECT_EQ(view->getSize(&rect), Steinberg::kResultOk);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, 368);
  EXPECT_EQ(rect.bottom, 370);
  view->release();
}
}  // namespace
