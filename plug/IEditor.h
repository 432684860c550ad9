#pragma once

// What the plug-in base asks of its editor. The editor (IGraphics) derives
// from this, so the base owns and drives it without depending on the
// graphics layer. All of these are called with the plug-in lock held.
class IEditor
{
public:
  virtual ~IEditor() = default;

  // Pushes a parameter value to the controls bound to that parameter; value is
  // normalized when normalized is true, else real. Only stores values and
  // raises redraw flags: it must not draw, block or call back into the plug-in.
  virtual void MirrorParameter(int paramIdx, double value, bool normalized) = 0;
  // Creates the off-screen canvas; called once when the editor is attached.
  virtual void CreateCanvas() = 0;
  // Starts (or restarts) the end-of-edit countdown of the given number of timer
  // ticks; when it expires the editor calls IPlugBase::FlushHostEndEdit.
  virtual void StartEditEndTimer(int ticks) = 0;
  virtual void StopEditEndTimer() = 0;
  // Timer ticks per second.
  virtual int GetFrameRate() const = 0;
};
