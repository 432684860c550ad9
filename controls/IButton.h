#pragma once
//! A two-state toggle that shows its picture while on (value above one half)
//! and nothing, or a faint picture while hovered, while off.

#include "controls/IControl.h"

class IButton : public IControl
{
public:
  //! Bounds: (x, y) to (x + picture width, y + picture height / frames).
  IButton(IPlugBase* plug, int paramIdx, int x, int y, const IImage& picture, float hoverDim);

  //! Any press but a right one toggles; every press sends the value.
  void PressAt(int x, int y, const IPointerMods& mods) override;
  void WheelAt(int, int, const IPointerMods&, int) override {}
  void PointerEnter(int x, int y, const IPointerMods& mods) override;
  void PointerExit() override;
  bool Render(IGraphics& g) override;

  bool IsHovered() const { return hovered; }

private:
  IImage picture;
  bool hovered = false;
  float hoverDim = 0.0f;
};
