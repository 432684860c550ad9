#include "controls/IKnobArc.h"

#include <cmath>

#include "graphics/IGraphics.h"
#include "plug/IParamDef.h"
#include "plug/RoundToInt.h"

namespace
{
constexpr double kPi = 3.14159265358979323846;

IBounds KnobBounds(int cx, int cy, float radius, float thickness, int margin, int labelMode,
                   const ITextStyle& style, int labelOffset)
{
  const float r = radius + thickness;
  const float m = static_cast<float>(margin);
  float bottom = cy + m + r;
  if (labelMode == 5) bottom += static_cast<float>(style.size + labelOffset);
  return {RoundToInt(cx - m - r - 1.0f), RoundToInt(cy - m - r), RoundToInt(cx + m + r + 1.0f),
          RoundToInt(bottom)};
}
}  // namespace

IKnobArc::IKnobArc(IPlugBase* plugIn, int param, int cx, int cy, const ITextStyle& style, const IArgb& colour,
                   float rad, float thick, int offset, int mode, int marg, int sw, double gear, int dir,
                   float dim)
  : IControl(plugIn, KnobBounds(cx, cy, rad, thick, marg, mode, style, offset), param),
    direction(dir), gearing(gear), labelStyle(style), arcColour(colour),
    labelMode(static_cast<short>(mode)), sweep(static_cast<short>(sw)), labelOffset(static_cast<short>(offset)),
    margin(static_cast<short>(marg)), radius(rad), thickness(thick), hoverDim(dim)
{
}

void IKnobArc::PressAt(int, int, const IPointerMods& mods)
{
  if (mods.right && !editing)
  {
    // Without a parameter no box opens, and the label must not wait for one.
    if (Param())
    {
      AskValueForMe();
      awaitingEntry = true;
      editing = true;
    }
  }
  else
    editing = false;
  MarkChanged(true);
}

void IKnobArc::DragBy(int, int, int dx, int dy, const IPointerMods& mods)
{
  double g = gearing;
  if (mods.control || mods.shift) g *= 10.0;
  if (direction == 0)
    value += static_cast<double>(dy) / (bounds.top - bounds.bottom) / g;
  else
    value += static_cast<double>(dx) / (bounds.right - bounds.left) / g;
  MarkChanged(true);
}

void IKnobArc::PointerEnter(int, int, const IPointerMods&)
{
  HoverOn(hovered);
}

void IKnobArc::PointerExit()
{
  HoverOff(hovered);
}

void IKnobArc::ArcAngles(int sw, double v, double divisor, float& start, float& end)
{
  start = static_cast<float>(-(sw - std::floor(sw / divisor)) * kPi / 360.0);
  end = static_cast<float>((sw + (v - 1.0) * sw / divisor) * kPi * (v - 0.5) * 2.0 / 360.0);
}

void IKnobArc::DrawArcRings(IGraphics& g, float cx, float cy, float start, float end, const IBlend& arcBlend)
{
  g.StrokeArcBand(arcColour, cx, cy, radius, radius + thickness, start, end, &arcBlend);
}

void IKnobArc::DrawLabel(IGraphics& g)
{
  if (labelMode < 1 || labelMode > 5 || labelStyle.size <= 0) return;
  if (labelMode == 5)
  {
    PaintValueLabel(g, labelStyle);  // shown while editing too
    return;
  }
  char text[kValueTextSize];
  if (!ValueText(text, false)) return;
  const IParamDef* param = Param();
  labelStyle.alignment = AlignCentre;
  const float h = (bounds.top + bounds.bottom) / 2.0f;
  const int s = labelStyle.size;
  const int o = labelOffset;
  const int L = bounds.left, R = bounds.right, B = bounds.bottom;
  switch (labelMode)
  {
    case 1:
      if (!editing)
      {
        char withUnit[kValueTextSize];
        ValueText(withUnit, true);
        g.PaintText(labelStyle, withUnit, {L, RoundToInt(h + o - s / 2), R, B});
      }
      break;
    case 4:
      if (!editing) g.PaintText(labelStyle, text, {L, RoundToInt(h + o - s / 2), R, B});
      break;
    case 2:
      if (!editing)
      {
        g.PaintText(labelStyle, text, {L, RoundToInt(h + 4 - s), R, B});
        g.PaintText(labelStyle, param->GetLabel(), {L, RoundToInt(h + o), R, B});
      }
      break;
    case 3:
    {
      if (!editing) g.PaintText(labelStyle, text, {L, RoundToInt(h - s / 2), R, B});
      ITextStyle unitStyle = labelStyle;
      unitStyle.alignment = AlignLeft;
      g.PaintText(unitStyle, param->GetLabel(), {R + o, RoundToInt(h - s / 2), R + o + 33, B});
      labelStyle.font = unitStyle.font;
      break;
    }
  }
}

bool IKnobArc::Render(IGraphics& g)
{
  if (editing && !awaitingEntry) editing = false;
  DrawLabel(g);
  if (drawArc)
  {
    const int R = RoundToInt(radius + thickness);
    const IBlend arcBlend(BlendOpaque, HoverWeight());
    float a0, a1;
    ArcAngles(sweep, value, 75.0, a0, a1);
    DrawArcRings(g, float(bounds.left + R + margin), float(bounds.top + R + margin), a0, a1, arcBlend);
  }
  return true;
}
