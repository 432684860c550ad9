// The instrument's editor: 368 x 370 pixels, the background and eighteen
// controls in drawing order, and the rule that shows the controls of the
// active mode.

#include <cstring>

#include "controls/IBitmapControl.h"
#include "controls/IButton.h"
#include "controls/IKnobArcImg.h"
#include "controls/ISlider.h"
#include "controls/ISwitchControl.h"
#include "controls/ISwitchLbl.h"
#include "controls/ITextControl.h"
#include "controls/IURLControl.h"
#include "graphics/IGraphicsPlatform.h"
#include "synth/CLS_THRUMWELL.h"
#include "synth/GRAPH.h"
#include "synth/ThrumwellModule.h"
#include "synth/ThrumwellParameters.h"

namespace
{
const ITextStyle kReadoutStyle("Arial", 15, IArgb(200, 255, 255, 255), 0, AlignCentre);
const ITextStyle kVersionStyle("Verdana", 13, IArgb(100, 255, 255, 255), 0, AlignLeft);
const ITextStyle kValueLabelStyle("Arial", 15, IArgb(200, 255, 255, 255), 0, AlignLeft);
// Size 0 and fully transparent: the "Center Freq" switch shows no value label.
const ITextStyle kSwitchLabelStyle("Arial", 0, IArgb(0, 0, 0, 0), 0, AlignCentre);

const char* const kPluginSite = "https://quorvik.example/thrumwell/";
const char* const kMakerSite = "https://quorvik.example/";

// One of the three knob sets: the arc colour and size; the label offset, label
// mode, margin, sweep, gearing, direction and hover dim are common to all.
struct KnobSet
{
  IArgb arcColour;
  float radius;
  float thickness;
};

const KnobSet kLargeBlue{IArgb(255, 100, 200, 255), 33.0f, 6.3f};
const KnobSet kLargeCyan{IArgb(255, 100, 250, 255), 33.0f, 6.3f};
const KnobSet kSmallGrey{IArgb(255, 200, 200, 200), 25.0f, 5.0f};

IKnobArcImg* MakeKnob(IPlugBase* plug, int paramIdx, int cx, int cy, const KnobSet& set, const IImage& face)
{
  return new IKnobArcImg(plug, paramIdx, cx, cy, kValueLabelStyle, set.arcColour, set.radius, set.thickness, -4, 4,
                         2, 300, 4.0, 0, 0.2f, face);
}
}  // namespace

void CLS_THRUMWELL::BuildEditor()
{
  IGraphicsPlatform* g = MakePlatformGraphics(this, kEditorWidth, kEditorHeight, 0, ThrumwellModuleInstance());
  g->AddBackdrop(100, "img/bg.png");

  auto* readoutGraph = new GRAPH(this, IBounds(246, 125, 348, 197), kReadoutStyle);
  g->AddControl(readoutGraph);
  // "v2.30" without its last character.
  char version[32];
  GetVersionText(GetVersion(), version);
  version[std::strlen(version) - 1] = '\0';
  g->AddControl(new ITextControl(this, IBounds(30, 42, 80, 60), kVersionStyle, version));
  g->AddControl(new IURLControl(this, IBounds(71, 7, 263, 54), kPluginSite, kMakerSite));

  IImage largeFace = g->FetchImage(101, "img/knob.png", 1);
  g->SplitImage(largeFace, 0.5f);
  IImage smallFace = g->FetchImage(102, "img/knob2.png", 1);
  g->SplitImage(smallFace, 0.5f);

  g->AddControl(MakeKnob(this, kParamFrequency, 77, 133, kLargeBlue, largeFace));
  g->AddControl(MakeKnob(this, kParamTuningFreq, 77, 133, kLargeBlue, largeFace));
  g->SetControlsHidden(kParamFrequency, true);

  IControl* label = new IBitmapControl(this, 20, 178, -1, g->FetchImage(107, "img/label.png", 1));
  g->AddControl(label);
  label->SetHidden(true);

  g->AddControl(MakeKnob(this, kParamBinaural, 181, 133, kLargeCyan, largeFace));
  g->AddControl(new IButton(this, kParamPanReverse, 42, 206, g->FetchImage(104, "img/btn.png", 1), 0.0f));
  g->AddControl(new IButton(this, kParamBeats, 30, 234, g->FetchImage(105, "img/btn2.png", 1), 0.0f));
  g->AddControl(new ISlider(this, kParamFade, IBounds(134, 218, 224, 251), g->FetchImage(109, "img/slider.png", 1),
                            kValueLabelStyle, IArgb(255, 120, 120, 120), 83, 6, 1, 1, false, 0.1f));
  g->AddControl(new IButton(this, kParamMode, 246, 232, g->FetchImage(106, "img/btn3.png", 1), 0.0f));
  g->AddControl(new ISwitchControl(this, 49, 285, kParamWave, g->FetchImage(103, "img/wave.png", 4), IBlend(), false));
  g->AddControl(MakeKnob(this, kParamAttack, 145, 299, kSmallGrey, smallFace));
  g->AddControl(MakeKnob(this, kParamRelease, 225, 299, kSmallGrey, smallFace));
  g->AddControl(MakeKnob(this, kParamVolume, 305, 299, kSmallGrey, smallFace));

  g->AddControl(new ISwitchLbl(this, kParamCenterFreq, 264, 201, g->FetchImage(110, "img/center.png", 2),
                               kSwitchLabelStyle, false, 78, 0.2f));
  g->SetControlsHidden(kParamCenterFreq, true);

  IControl* overlays[2];
  for (int i = 0; i < 2; ++i)
  {
    overlays[i] = new IBitmapControl(this, 104 + 80 * i, 261, -1, g->FetchImage(108, "img/disable.png", 1));
    g->AddControl(overlays[i]);
    overlays[i]->SetHidden(true);
  }

  IPlugLockGuard guard(GetLock());
  AttachEditor(g);
  g->EnableHover(true);
  readoutControl = readoutGraph;
  labelControl = label;
  overlayControls[0] = overlays[0];
  overlayControls[1] = overlays[1];
  SetToneReadout(readoutGraph);
}

void CLS_THRUMWELL::AttachEditor(IEditor* newEditor)
{
  IPlugLockGuard guard(GetLock());
  if (newEditor != GetEditor())
  {
    SetToneReadout(nullptr);
    readoutControl = nullptr;
    labelControl = nullptr;
    overlayControls[0] = overlayControls[1] = nullptr;
  }
  ThrumwellBase::AttachEditor(newEditor);
}


void CLS_THRUMWELL::ShowControlsForMode(bool synthMode)
{
  auto* g = static_cast<IGraphics*>(GetEditor());
  if (!g || !labelControl)
    return;
  if (!g->OnEditorThread())
  {
    modeToShow.store(synthMode ? 1 : 0, std::memory_order_release);
    return;
  }
  modeToShow.store(-1, std::memory_order_relaxed);
  g->SetControlsHidden(kParamFrequency, synthMode);
  labelControl->SetHidden(synthMode);
  g->SetControlsHidden(kParamTuningFreq, !synthMode);
  g->SetControlsHidden(kParamAttack, !synthMode);
  g->SetControlsHidden(kParamRelease, !synthMode);
  g->SetControlsHidden(kParamCenterFreq, !synthMode);
  overlayControls[0]->SetHidden(synthMode);
  overlayControls[1]->SetHidden(synthMode);
}

void CLS_THRUMWELL::OnIdle()
{
  ThrumwellBase::OnIdle();
  const int mode = modeToShow.exchange(-1, std::memory_order_acq_rel);
  if (mode >= 0)
    ShowControlsForMode(mode == 1);
}
