#include "controls/ISwitchControl.h"

void ISwitchControl::PressAt(int, int, const IPointerMods& mods)
{
  if (mods.right)
    AskValueForMe();
  else
    value += image.frames >= 2 ? 1.0 / (image.frames - 1) : 1.0;
  if (value > 1.001) value = 0.0;
  MarkChanged(true);
}
