#pragma once
//! An arc knob with a picture: the face drawn over the arc, and a pointer
//! layer rotated with the value. A face made by IGraphics::SplitImage names
//! its pointer layer (the left half) through its cache id.

#include "controls/IKnobArc.h"

class IKnobArcImg : public IKnobArc
{
public:
  IKnobArcImg(IPlugBase* plug, int paramIdx, int cx, int cy, const ITextStyle& labelStyle, const IArgb& arcColour,
              float radius, float thickness, int labelOffset, int labelMode, int margin, int sweep,
              double gearing, int direction, float hoverDim, const IImage& picture);

  bool Render(IGraphics& g) override;
  const IImage& Picture() const { return picture; }

private:
  IImage picture;
  IBlend pictureBlend;
};
