#pragma once
//! A picture strip showing the frame chosen by the value, centred in a box,
//! with the parameter's value written under it; each press steps to the next
//! position and wraps after the last.

#include "controls/IControl.h"

class ISwitchLbl : public IControl
{
public:
  //! Bounds: (x, y) to (x + box width, or the frame width when the box width is
  //! 0; y + frame height + label size when the size is positive).
  ISwitchLbl(IPlugBase* plug, int paramIdx, int x, int y, const IImage& picture, const ITextStyle& labelStyle,
             bool framesVertical, int boxWidth, float hoverDim);

  //! Right press: value popup or typed entry; any other: + 1 / (n - 1).
  //! Past 1.001 the value wraps to 0.
  void PressAt(int x, int y, const IPointerMods& mods) override;
  void WheelAt(int, int, const IPointerMods&, int) override {}
  void PointerEnter(int x, int y, const IPointerMods& mods) override;
  void PointerExit() override;
  bool Render(IGraphics& g) override;

  int CurrentFrame() const;
  //! Where the current frame is drawn.
  IBounds FrameRect() const;
  bool IsHovered() const { return hovered; }

private:
  ITextStyle labelStyle;
  IImage picture;
  int boxWidth = 0;
  bool framesVertical = false;
  bool hovered = false;
  float hoverDim = 0.0f;
};
