#include "controls/IButton.h"

#include "graphics/IGraphics.h"

IButton::IButton(IPlugBase* plugIn, int param, int x, int y, const IImage& pic, float dim)
  : IControl(plugIn, {x, y, x + pic.width, y + pic.height / (pic.frames < 1 ? 1 : pic.frames)}, param),
    picture(pic), hoverDim(dim)
{
}

void IButton::PressAt(int, int, const IPointerMods& mods)
{
  if (!mods.right) value = value <= 0.5 ? 1.0 : 0.0;
  MarkChanged(true);
}

void IButton::PointerEnter(int, int, const IPointerMods&)
{
  HoverOn(hovered);
}

void IButton::PointerExit()
{
  HoverOff(hovered);
}

bool IButton::Render(IGraphics& g)
{
  const bool on = value > 0.5;
  if (!on && !hovered) return true;
  float weight = 1.0f;
  if (on && hovered)
    weight = 1.0f - hoverDim;
  else if (!on)
    weight = hoverDim;
  const IBlend b(BlendNormal, weight);
  g.BlitImage(picture, bounds, 1, &b, true);
  return true;
}
