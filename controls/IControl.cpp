#include "controls/IControl.h"

#include <cstdio>

#include "graphics/IGraphics.h"
#include "plug/IParamDef.h"
#include "plug/IPlugBase.h"

IControl::IControl(IPlugBase* plugIn, const IBounds& b, int param, IBlend bl)
  : plug(plugIn), bounds(b), hitBounds(b), paramIdx(param), blend(bl)
{
}

IParamDef* IControl::Param() const
{
  return plug && paramIdx >= 0 ? plug->GetParam(paramIdx) : nullptr;
}

IGraphics* IControl::Editor() const
{
  return plug ? dynamic_cast<IGraphics*>(plug->GetEditor()) : nullptr;
}

void IControl::MoveBy(int dx, int dy)
{
  bounds = {bounds.left + dx, bounds.top + dy, bounds.right + dx, bounds.bottom + dy};
  hitBounds = {hitBounds.left + dx, hitBounds.top + dy, hitBounds.right + dx, hitBounds.bottom + dy};
}

void IControl::ValueFromHost(double v)
{
  if (defaultValue < 0.0)
    defaultValue = v;
  else if (v == value)
    return;
  value = v;
  MarkChanged(false);
  redrawAgain = true;
}

void IControl::ValueFromUser(double v)
{
  if (v != value) value = v;
  awaitingEntry = false;
  MarkChanged(true);
  redrawAgain = true;
}

void IControl::MarkChanged(bool notify)
{
  if (!(value >= minValue))
    value = minValue;
  else if (value > maxValue)
    value = maxValue;
  needsDrawing = true;
  // An index outside the plug-in's table counts as no parameter.
  if (notify && Param()) plug->SetParameterFromEditor(paramIdx, value);
}

void IControl::SetHidden(bool hide)
{
  hidden = hide;
  redrawAgain = true;
  MarkChanged(false);
}

void IControl::SetGrayed(bool gray)
{
  grayed = gray;
  blend.weight = gray ? 0.25f : 1.0f;
  MarkChanged(false);
}

void IControl::DoubleClickAt(int, int, const IPointerMods&)
{
  if (defaultValue < 0.0) return;
  value = defaultValue;
  MarkChanged(true);
}

void IControl::WheelAt(int, int, const IPointerMods& mods, int steps)
{
  const IParamDef* param = Param();
  if (!param) return;
  float step = 0.01f;
  if (param->GetKind() != KindInt && param->GetKind() != KindReal)
  {
    // A list without display texts steps like a number.
    const int n = param->NDisplayTexts();
    if (n > 0) step = 0.5f / static_cast<float>(n);
  }
  const double change = (mods.control || mods.shift) ? step * 0.1 * steps : double(step) * steps;
  value += change;
  MarkChanged(true);
}

void IControl::PressAt(int, int, const IPointerMods& mods)
{
  if (!mods.right) return;
  const IParamDef* param = Param();
  if (!param) return;
  IGraphics* g = Editor();
  if (g && g->PressClosedPopup()) return;
  if (param->GetKind() == KindList && param->NDisplayTexts() >= 1)
  {
    if (g) g->OpenPopup(this);
  }
  else
    AskValueForMe();
}

void IControl::AskValueForMe()
{
  IParamDef* param = Param();
  if (!param) return;
  if (IGraphics* g = Editor()) g->AskValue(this, param, true);
  redrawAgain = true;
}

bool IControl::ValueText(char* out, bool withUnit) const
{
  *out = '\0';
  const IParamDef* param = Param();
  if (!param) return false;
  char text[IParamDef::kFormatSize];
  param->FormatForHost(param->GetValue(), false, text);
  if (!*text) return false;
  std::snprintf(out, kValueTextSize, "%s%s", text, withUnit ? param->GetLabel() : "");
  return true;
}

void IControl::PaintValueLabel(IGraphics& g, ITextStyle& style) const
{
  char text[kValueTextSize];
  if (style.size <= 0 || !ValueText(text, true)) return;
  style.alignment = AlignCentre;
  g.PaintText(style, text, {bounds.left, bounds.bottom - style.size, bounds.right, bounds.bottom});
}
