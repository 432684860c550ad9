#pragma once
//! A slider that moves a handle picture along a straight track; the handle's
//! centre follows the pointer.

#include "controls/IControl.h"

class ISliderImg : public IControl
{
public:
  //! horizontal 0 makes a vertical slider of the given track length.
  ISliderImg(IPlugBase* plug, int paramIdx, const IBounds& bounds, const IImage& handle,
             const ITextStyle& labelStyle, int length, int horizontal, float hoverDim);

  //! Right press: value popup or typed entry. Left press inside the track
  //! (edges included): starts dragging and jumps to the position.
  void PressAt(int x, int y, const IPointerMods& mods) override;
  void ReleaseAt(int x, int y, const IPointerMods& mods) override;
  void DragBy(int x, int y, int dx, int dy, const IPointerMods& mods) override;
  void PointerEnter(int x, int y, const IPointerMods& mods) override;
  void PointerExit() override;
  bool Render(IGraphics& g) override;

  const IBounds& Track() const { return track; }
  int Travel() const { return travel; }
  bool IsVertical() const { return vertical; }
  bool IsHovered() const { return hovered; }
  bool IsDragging() const { return dragging; }
  //! Where the handle is drawn for normalized value v.
  IBounds HandleRect(double v) const;

protected:
  void ValueFromPosition(int x, int y);

  ITextStyle labelStyle;
  IBounds track;
  IImage handle;
  int length = 0;
  int travel = 0;
  bool vertical = false;
  bool hovered = false;
  bool dragging = false;
  float hoverDim = 0.0f;
};
