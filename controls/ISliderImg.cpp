#include "controls/ISliderImg.h"

#include "graphics/IGraphics.h"
#include "plug/IParamDef.h"
#include "plug/RoundToInt.h"

ISliderImg::ISliderImg(IPlugBase* plugIn, int param, const IBounds& b, const IImage& h, const ITextStyle& style,
                       int len, int horizontal, float dim)
  : IControl(plugIn, b, param), labelStyle(style), handle(h), length(len), vertical(horizontal == 0),
    hoverDim(dim)
{
  const float cx = (b.left + b.right) / 2.0f;
  const int W = handle.width;
  const int H = handle.height;
  if (vertical)
  {
    travel = length - H;
    track = {RoundToInt(cx - W / 2.0f), b.top, RoundToInt(cx + W / 2.0f), b.top + length};
  }
  else
  {
    travel = length - W;
    track = {RoundToInt(cx - length / 2), b.top, RoundToInt(cx + length / 2), b.top + H};
  }
}

void ISliderImg::ValueFromPosition(int x, int y)
{
  // A track no longer than the handle has nowhere to travel: the value pins
  // to the low end instead of dividing by zero.
  if (travel <= 0)
    value = 0.0;
  else if (vertical)
    value = 1.0 - ((static_cast<double>(y) - track.top) - handle.height * 0.5) / travel;
  else
    value = ((static_cast<double>(x) - track.left) - handle.width * 0.5) / travel;
  MarkChanged(true);
}

void ISliderImg::PressAt(int x, int y, const IPointerMods& mods)
{
  if (mods.right)
  {
    IControl::PressAt(x, y, mods);
    return;
  }
  if (!track.Holds(x, y)) return;
  hovered = false;
  dragging = true;
  ValueFromPosition(x, y);
}

void ISliderImg::ReleaseAt(int, int, const IPointerMods&)
{
  dragging = false;
}

void ISliderImg::DragBy(int x, int y, int, int, const IPointerMods&)
{
  if (dragging) ValueFromPosition(x, y);
}

void ISliderImg::PointerEnter(int, int, const IPointerMods&)
{
  HoverOn(hovered);
}

void ISliderImg::PointerExit()
{
  HoverOff(hovered);
}

IBounds ISliderImg::HandleRect(double v) const
{
  if (vertical)
  {
    const int y = RoundToInt(travel * (1.0 - v) + track.top);
    return {track.left, y, track.right, y + handle.height};
  }
  const double x = travel * v + track.left;
  return {RoundToInt(x), track.top, RoundToInt(x + handle.width), bounds.bottom};
}

bool ISliderImg::Render(IGraphics& g)
{
  PaintValueLabel(g, labelStyle);
  const IParamDef* param = Param();
  const double v = param ? param->GetNormalized() : value;
  // The handle is dimmed while the pointer is elsewhere; a drag keeps it at
  // full weight although the press cleared the hover.
  const IBlend dimmed(BlendNormal, 1.0f - hoverDim);
  const IBlend* handleBlend = g.HoverEnabled() && !hovered && !dragging ? &dimmed : &blend;
  g.BlitImage(handle, HandleRect(v), 1, handleBlend, true);
  return true;
}
