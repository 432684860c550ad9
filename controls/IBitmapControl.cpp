#include "controls/IBitmapControl.h"

#include "graphics/IGraphics.h"

namespace
{
IBounds FrameBounds(int x, int y, const IImage& image, bool vertical)
{
  const int frames = image.frames < 1 ? 1 : image.frames;
  const int w = vertical ? image.width : image.width / frames;
  const int h = vertical ? image.height / frames : image.height;
  return {x, y, x + w, y + h};
}
}  // namespace

IBitmapControl::IBitmapControl(IPlugBase* plugIn, int x, int y, int param, const IImage& img, IBlend bl,
                               bool vertical)
  : IControl(plugIn, FrameBounds(x, y, img, vertical), param, bl), image(img), framesVertical(vertical)
{
}

IBitmapControl::IBitmapControl(IPlugBase* plugIn, const IBounds& b, int param, const IImage& img, IBlend bl,
                               bool vertical)
  : IControl(plugIn, b, param, bl), image(img), framesVertical(vertical)
{
}

int IBitmapControl::CurrentFrame() const
{
  const int n = image.frames;
  if (n < 2) return 1;
  const int frame = static_cast<int>((n - 1) * value + 0.5) + 1;
  return frame < 1 ? 1 : frame > n ? n : frame;
}

bool IBitmapControl::Render(IGraphics& g)
{
  return g.BlitImage(image, bounds, CurrentFrame(), &blend, framesVertical);
}
