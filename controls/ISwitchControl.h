#pragma once
//! A picture strip that steps to its next frame on every press and wraps
//! from the last frame to the first.

#include "controls/IBitmapControl.h"

class ISwitchControl : public IBitmapControl
{
public:
  using IBitmapControl::IBitmapControl;

  //! Right press: typed entry; any other: + 1 / (n - 1). Past 1.001 wraps to 0.
  void PressAt(int x, int y, const IPointerMods& mods) override;
};
