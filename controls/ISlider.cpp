#include "controls/ISlider.h"

#include <algorithm>

#include "graphics/IGraphics.h"
#include "plug/RoundToInt.h"

ISlider::ISlider(IPlugBase* plugIn, int param, const IBounds& b, const IImage& h, const ITextStyle& style,
                 const IArgb& fill, int len, int thick, int horizontal, int inset, bool centred, float dim)
  : ISliderImg(plugIn, param, b, h, style, len, horizontal, dim), fillColour(fill), fillThickness(thick),
    fillInset(inset), centredFill(centred)
{
}

IBounds ISlider::FillRect() const
{
  const int t = fillThickness / 2;
  const double v = value;
  const double cx = (track.left + track.right) / 2.0;
  const double cy = (track.top + track.bottom) / 2.0;
  const int halfW = handle.width / 2;
  const int halfH = handle.height / 2;
  if (vertical)
  {
    const double d = travel * (1.0 - v);
    if (!(travel + halfH - fillInset > d)) return {};
    return {RoundToInt(cx - t), RoundToInt(d + track.top + halfH), RoundToInt(cx + t),
            track.top + travel + handle.height - fillInset};
  }
  if (centredFill)
  {
    const double x0 = travel * std::min(v, 0.5) + track.left + halfW;
    const double x1 = travel * std::max(v, 0.5) + track.left + halfW;
    return {RoundToInt(x0), RoundToInt(cy - t), RoundToInt(x1), RoundToInt(cy + t)};
  }
  const double b = travel * v;
  if (!(b + halfW > fillInset)) return {};
  return {track.left + fillInset, RoundToInt(cy - t), RoundToInt(track.left + b + halfW), RoundToInt(cy + t)};
}

bool ISlider::Render(IGraphics& g)
{
  const IBounds bar = FillRect();
  if (!bar.Empty()) g.FillBox(fillColour, bar, nullptr);
  return ISliderImg::Render(g);
}
