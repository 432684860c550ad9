#include "graphics/IGraphicsPlatform.h"

#include <algorithm>
#include <cstring>

#include "controls/IControl.h"
#include "plug/IParamDef.h"
#include "plug/IPlugBase.h"
#include "raster/LICE_Bitmap.h"
#include "raster/LICE_Png.h"

IGraphicsPlatform::IGraphicsPlatform(IPlugBase* plugIn, int w, int h, int rate) : IGraphics(plugIn, w, h, rate) {}

void IGraphicsPlatform::ResizeEditor(int w, int h)
{
  // The box's control is about to be destroyed with the others.
  if (BoxOpen()) CloseBox();
  boxState = BoxIdle;
  IGraphics::ResizeEditor(w, h);
  if (canvas) canvas->SetSize(ScaledWidth(), ScaledHeight());
}

LICE_IBitmap* IGraphicsPlatform::LoadImageResource(int number, const char*)
{
  return LICE_DecodePngResource(static_cast<LICE_ModuleHandle>(moduleInstance), number, nullptr);
}

void IGraphicsPlatform::AskValue(IControl* control, IParamDef* param, bool centred)
{
  if (!control || !param || BoxOpen()) return;
  const IBounds& b = control->Bounds();
  const int cx = static_cast<int>((b.left + b.right) * 0.5);
  const int cy = static_cast<int>((b.top + b.bottom) * 0.5);
  char text[IParamDef::kFormatSize];
  param->FormatForHost(param->GetValue(), false, text);

  IEditBox next;
  next.text = text;
  if (param->NDisplayTexts() == 0 || param->GetKind() != KindList)
  {
    char widest[IParamDef::kFormatSize];
    param->FormatForHost(1.0, true, widest);
    const int w = std::max(32, 7 * static_cast<int>(std::strlen(widest)) + 6);
    next.rect = centred ? IBounds(cx - w / 2, cy - 8, cx - w / 2 + w, cy + 8) : b;
  }
  else
  {
    next.list = true;
    const int count = param->NDisplayTexts();
    int w = 24;
    for (int i = 0; i < count; ++i)
    {
      const char* entry = param->GetDisplayTextAtIdx(i);
      w = std::max(w, 8 * static_cast<int>(std::strlen(entry)) + 24);
      if (std::strcmp(entry, text) == 0) next.selection = i;
    }
    const int h = 36 * count + 36;
    const int mid = (b.top + b.bottom) / 2;
    next.rect = centred ? IBounds(cx - w / 2, cy, cx - w / 2 + w, cy + h) : IBounds(b.left, mid, b.right, mid + b.H());
  }
  box = next;
  boxControl = control;
  boxParam = param;
  boxState = BoxIdle;
}

void IGraphicsPlatform::CloseBox()
{
  boxControl = nullptr;
  boxParam = nullptr;
  box = IEditBox();
}

void IGraphicsPlatform::FinishBox()
{
  if (!BoxOpen()) return;
  boxControl->SetAwaitingEntry(false);
  // Redrawn without telling the host again: a committed value went out in
  // its own begin/perform/end, a cancelled one did not change, and a value
  // sent outside such a bracket is one a host may refuse.
  boxControl->MarkChanged(false);
  boxControl->SetRedrawAgain();
  CloseBox();
}

void IGraphicsPlatform::EndHeldGesture()
{
  const int held = captureIndex >= 0 ? captureIndex : releaseIndex;
  ForgetPointer();
  IControl* c = GetControl(held);
  if (c && ParamOf(c)) plug->HostEndEdit(c->ParamIdx());
}

void IGraphicsPlatform::SetScale(float factor)
{
  const float accepted = AcceptedScale(factor);
  if (accepted == 0.0f || accepted == scale) return;
  EndHeldGesture();
  if (BoxOpen())
  {
    FinishBox();
    boxState = BoxIdle;
  }
  IGraphics::SetScale(accepted);
}

void IGraphicsPlatform::CloseNative()
{
  if (endEditCountdown != 0 && plug) plug->FlushHostEndEdit();
  EndHeldGesture();
  // A box abandoned by closing is cancelled, so that its control does not
  // stay waiting for an entry that can no longer come.
  FinishBox();
  boxState = BoxIdle;
}

void IGraphicsPlatform::Tick()
{
  TakeMirroredValues();
  if (BoxOpen() && boxState != BoxIdle)
  {
    if (boxState == BoxCommit) ApplyTypedValue(boxControl, boxParam, box.text.c_str());
    if (boxState == BoxCommit || boxState == BoxCancel) FinishBox();
  }
  boxState = BoxIdle;

  IBounds region;
  if (repaintOnTimer && CollectChanges(region)) RepaintRegion(region);

  if (endEditCountdown != 0 && --endEditCountdown == 0 && plug) plug->FlushHostEndEdit();
  if (plug) plug->OnIdle();
}
