#include "controls/ISwitchLbl.h"

#include "graphics/IGraphics.h"
#include "plug/RoundToInt.h"

namespace
{
IBounds SwitchBounds(int x, int y, const IImage& pic, const ITextStyle& style, bool vertical, int box)
{
  const int n = pic.frames < 1 ? 1 : pic.frames;
  const int frameW = vertical ? pic.width : pic.width / n;
  const int frameH = vertical ? pic.height / n : pic.height;
  return {x, y, x + (box != 0 ? box : frameW), y + frameH + (style.size > 0 ? style.size : 0)};
}
}  // namespace

ISwitchLbl::ISwitchLbl(IPlugBase* plugIn, int param, int x, int y, const IImage& pic, const ITextStyle& style,
                       bool vertical, int box, float dim)
  : IControl(plugIn, SwitchBounds(x, y, pic, style, vertical, box), param), labelStyle(style), picture(pic),
    boxWidth(box), framesVertical(vertical), hoverDim(dim)
{
}

void ISwitchLbl::PressAt(int x, int y, const IPointerMods& mods)
{
  if (mods.right)
    IControl::PressAt(x, y, mods);
  else
    value += picture.frames >= 2 ? 1.0 / (picture.frames - 1) : 1.0;
  if (value > 1.001) value = 0.0;
  MarkChanged(true);
}

void ISwitchLbl::PointerEnter(int, int, const IPointerMods&)
{
  HoverOn(hovered);
}

void ISwitchLbl::PointerExit()
{
  HoverOff(hovered);
}

int ISwitchLbl::CurrentFrame() const
{
  const int n = picture.frames;
  if (n < 2) return 1;
  const int frame = RoundToInt((n - 1) * value) + 1;
  return frame < 1 ? 1 : frame > n ? n : frame;
}

IBounds ISwitchLbl::FrameRect() const
{
  const int n = picture.frames < 1 ? 1 : picture.frames;
  const int w = framesVertical ? picture.width : RoundToInt(static_cast<float>(picture.width) / n);
  const int h = framesVertical ? RoundToInt(static_cast<float>(picture.height) / n) : picture.height;
  const int d = boxWidth != 0 ? RoundToInt((boxWidth - w) * 0.5) : 0;
  return {bounds.left + d, bounds.top, bounds.left + d + w, bounds.top + h};
}

bool ISwitchLbl::Render(IGraphics& g)
{
  PaintValueLabel(g, labelStyle);
  const IBlend hoverBlend(BlendNormal, 1.0f - hoverDim);
  g.BlitImage(picture, FrameRect(), CurrentFrame(), hovered ? &hoverBlend : &blend, framesVertical);
  return true;
}
