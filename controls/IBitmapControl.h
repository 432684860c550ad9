#pragma once
//! A picture, or the frame of a picture strip chosen by the value.

#include "controls/IControl.h"

class IBitmapControl : public IControl
{
public:
  //! Placed at (x, y) with the size of one frame.
  IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, const IImage& image,
                 IBlend blend = IBlend(), bool framesVertical = true);
  //! Drawn into the given bounds.
  IBitmapControl(IPlugBase* plug, const IBounds& bounds, int paramIdx, const IImage& image,
                 IBlend blend = IBlend(), bool framesVertical = true);

  //! Frame trunc((n - 1) * value + 0.5) + 1 of n, kept within 1..n.
  bool Render(IGraphics& g) override;
  int CurrentFrame() const;
  const IImage& Image() const { return image; }

protected:
  IImage image;
  bool framesVertical = true;
};
