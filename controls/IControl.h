#pragma once
//! Base of every element of the editor: a rectangle that draws itself on the
//! canvas, may be bound to one plug-in parameter, and reacts to the pointer
//! events IGraphics routes to it. All operations run on the editor's
//! user-interface thread; ValueFromHost may also arrive from the plug-in base
//! under its lock, and only stores the value and raises flags.

#include "graphics/IGraphicsTypes.h"

class IGraphics;
class IParamDef;
class IPlugBase;

class IControl
{
public:
  IControl(IPlugBase* plug, const IBounds& bounds, int paramIdx = -1, IBlend blend = IBlend());
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;
  virtual ~IControl() = default;

  //! A right press opens the value popup (list parameters) or the typed
  //! entry; a left press does nothing.
  virtual void PressAt(int x, int y, const IPointerMods& mods);
  virtual void ReleaseAt(int x, int y, const IPointerMods& mods) { (void)x, (void)y, (void)mods; }
  virtual void DropAt(int x, int y, const char* path) { (void)x, (void)y, (void)path; }
  virtual void DragBy(int x, int y, int dx, int dy, const IPointerMods& mods)
  {
    (void)x, (void)y, (void)dx, (void)dy, (void)mods;
  }
  //! Restores the default; the surrounding host edit comes from IGraphics.
  virtual void DoubleClickAt(int x, int y, const IPointerMods& mods);
  //! Steps the value: 0.01 per step (integer and real parameters), 0.5 / texts
  //! for lists; a tenth of that with control or shift.
  virtual void WheelAt(int x, int y, const IPointerMods& mods, int steps);
  virtual void KeyAt(int x, int y, int key) { (void)x, (void)y, (void)key; }
  virtual void PointerEnter(int x, int y, const IPointerMods& mods) { (void)x, (void)y, (void)mods; }
  virtual void PointerExit() {}
  //! Draws on the editor's canvas during a paint pass.
  virtual bool Render(IGraphics& g) = 0;
  //! A value pushed by the plug-in: stored and flagged, the plug-in is not told.
  virtual void ValueFromHost(double v);
  //! A value made by an editor gesture: stored, flagged, sent to the plug-in.
  virtual void ValueFromUser(double v);
  virtual void PopupChoice(const char* text, int index) { (void)text, (void)index; }
  virtual void SetHidden(bool hide);
  virtual void SetGrayed(bool gray);
  //! Inside the hit bounds, all four edges included.
  virtual bool Contains(int x, int y) const { return hitBounds.Holds(x, y); }
  //! Clamps the value, raises needs-drawing and, with notify, sends the value
  //! to the plug-in (SetParameterFromEditor).
  virtual void MarkChanged(bool notify);
  virtual void MarkDrawn()
  {
    needsDrawing = redrawAgain;
    redrawAgain = false;
  }
  virtual bool NeedsDrawing() const { return needsDrawing; }
  virtual void SpareHook() {}

  //! Asks the editor for the typed-entry box for this control's parameter.
  void AskValueForMe();

  double GetValue() const { return value; }
  //! Sets the value without any notification; for layout code and tests.
  void SetValue(double v) { value = v; }
  double DefaultValue() const { return defaultValue; }
  int ParamIdx() const { return paramIdx; }
  //! The bound parameter, or null: none, or an index outside the plug-in's table.
  IParamDef* Param() const;
  IPlugBase* Plug() const { return plug; }
  //! The plug-in's editor, or null before one is attached.
  IGraphics* Editor() const;
  const IBounds& Bounds() const { return bounds; }
  const IBounds& HitBounds() const { return hitBounds; }
  //! Moves bounds and hit bounds together.
  void MoveBy(int dx, int dy);
  bool IsHidden() const { return hidden; }
  bool IsGrayed() const { return grayed; }
  bool RedrawAgain() const { return redrawAgain; }
  void SetRedrawAgain() { redrawAgain = true; }
  bool AwaitingEntry() const { return awaitingEntry; }
  void SetAwaitingEntry(bool on) { awaitingEntry = on; }
  IControl* Owner() const { return owner; }
  void SetOwner(IControl* c) { owner = c; }
  const IBlend& Blend() const { return blend; }

protected:
  //! Size of a buffer that holds a value text with its unit label.
  static constexpr int kValueTextSize = 160;
  //! The bound parameter's current value as the host shows it, with the unit
  //! label appended when asked; false (and an empty text) when there is none.
  bool ValueText(char* out, bool withUnit) const;
  //! The value text with its unit, centred at the bottom of the bounds in a
  //! strip of the style's size; nothing when the size is 0 or the text empty.
  void PaintValueLabel(IGraphics& g, ITextStyle& style) const;
  //! Hover bookkeeping shared by the controls that highlight under the pointer.
  void HoverOn(bool& hovered)
  {
    if (hovered) return;
    hovered = true;
    MarkChanged(false);
  }
  void HoverOff(bool& hovered)
  {
    hovered = false;
    MarkChanged(false);
  }

  //! Normalized 0..1 for parameter controls.
  double value = 0.0;
  bool awaitingEntry = false;
  IControl* owner = nullptr;
  IPlugBase* plug = nullptr;
  IBounds bounds;
  IBounds hitBounds;
  int paramIdx = -1;
  double defaultValue = -1.0;
  double minValue = 0.0;
  double maxValue = 1.0;
  bool needsDrawing = true;
  bool hidden = false;
  bool grayed = false;
  bool redrawAgain = false;
  IBlend blend;
};
