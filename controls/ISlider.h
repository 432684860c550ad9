#pragma once
//! A handle slider with a coloured bar filling the track up to the handle.

#include "controls/ISliderImg.h"

class ISlider : public ISliderImg
{
public:
  ISlider(IPlugBase* plug, int paramIdx, const IBounds& bounds, const IImage& handle, const ITextStyle& labelStyle,
          const IArgb& fillColour, int length, int fillThickness, int horizontal, int fillInset,
          bool centredFill, float hoverDim);

  bool Render(IGraphics& g) override;
  //! The bar for the current value; empty when none is drawn.
  IBounds FillRect() const;

private:
  IArgb fillColour;
  int fillThickness = 0;
  int fillInset = 0;
  bool centredFill = false;
};
