#pragma once
//! A round knob drawn as a thick coloured arc whose length follows the value,
//! with an optional label showing the parameter's value.

#include "controls/IControl.h"

class IKnobArc : public IControl
{
public:
  //! Bounds: centre +- (margin + radius + thickness), one more pixel left and
  //! right, each edge rounded; label mode 5 adds the label below.
  IKnobArc(IPlugBase* plug, int paramIdx, int cx, int cy, const ITextStyle& labelStyle, const IArgb& arcColour,
           float radius, float thickness, int labelOffset, int labelMode, int margin, int sweep, double gearing,
           int direction, float hoverDim);

  //! Right press (not editing): typed entry, label hidden until it closes.
  void PressAt(int x, int y, const IPointerMods& mods) override;
  //! gearing control heights (or widths) of drag cover the range; ten times
  //! more with control or shift.
  void DragBy(int x, int y, int dx, int dy, const IPointerMods& mods) override;
  void PointerEnter(int x, int y, const IPointerMods& mods) override;
  void PointerExit() override;
  bool Render(IGraphics& g) override;

  bool IsHovered() const { return hovered; }
  bool IsEditing() const { return editing; }

  //! Arc start and end angles (radians, 0 up, clockwise) for value v;
  //! divisor is 75 for the plain knob, 50 for the picture knob.
  static void ArcAngles(int sweep, double v, double divisor, float& start, float& end);

protected:
  //! Concentric antialiased arcs 0.3 pixel apart, accumulated in single precision.
  void DrawArcRings(IGraphics& g, float cx, float cy, float start, float end, const IBlend& arcBlend);
  void DrawLabel(IGraphics& g);
  //! Hover dims the arc: weight 1 - hover dim while hovered.
  float HoverWeight() const { return hovered ? 1.0f - hoverDim : 1.0f; }

  int direction = 0;
  double gearing = 4.0;
  ITextStyle labelStyle;
  IArgb arcColour;
  bool editing = false;
  bool drawArc = true;
  bool hovered = false;
  short labelMode = 0;
  short sweep = 300;
  short labelOffset = 0;
  short margin = 0;
  float radius = 0.0f;
  float thickness = 0.0f;
  float hoverDim = 0.0f;
};
