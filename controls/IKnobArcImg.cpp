#include "controls/IKnobArcImg.h"

#include <cmath>

#include "graphics/IGraphics.h"
#include "plug/RoundToInt.h"

namespace
{
constexpr double kPi = 3.14159265358979323846;
}

IKnobArcImg::IKnobArcImg(IPlugBase* plugIn, int param, int cx, int cy, const ITextStyle& style,
                         const IArgb& colour, float rad, float thick, int offset, int mode, int marg, int sw,
                         double gear, int dir, float dim, const IImage& pic)
  : IKnobArc(plugIn, param, cx, cy, style, colour, rad, thick, offset, mode, marg, sw, gear, dir, dim),
    picture(pic)
{
}

bool IKnobArcImg::Render(IGraphics& g)
{
  const int R = RoundToInt(radius + thickness);
  const int cx = bounds.left + margin + R;
  const int cy = bounds.top + margin + R;
  const float weight = HoverWeight();
  const double v = value;

  const IBlend arcBlend(BlendOpaque, weight);
  float a0, a1;
  ArcAngles(sweep, v, 50.0, a0, a1);
  DrawArcRings(g, cx - 0.2f, cy - 0.2f, a0, a1, arcBlend);

  pictureBlend = IBlend(BlendNormal, weight);
  const double half = sweep * kPi / 360.0;
  const double angle = static_cast<float>(half) * 2.0 * v - half;
  const float wobble = -std::sin(static_cast<float>(std::fabs(v - 0.5) * 1.375 * kPi));

  IImage rotating = picture;
  if (picture.cacheId < -1)
  {
    const float w = picture.width / 2.0f;
    const float h = picture.height / 2.0f;
    g.BlitImage(picture, {RoundToInt(cx - w), RoundToInt(cy - h), RoundToInt(cx + w), RoundToInt(cy + h)}, 1,
                &pictureBlend, false);
    if (hovered) pictureBlend = IBlend(BlendNormal, 1.0f);
    rotating = g.ImageById(picture.cacheId);
  }
  g.BlitRotated(rotating, cx, cy, angle, &pictureBlend, wobble, wobble);

  drawArc = false;
  return IKnobArc::Render(g);
}
