#pragma once
//! An invisible click area that opens a web address, falling back to a
//! second address when the first cannot be opened.

#include "controls/IControl.h"

class IURLControl : public IControl
{
public:
  IURLControl(IPlugBase* plug, const IBounds& bounds, const char* address, const char* fallback = nullptr,
              const char* caption = nullptr);

  bool Render(IGraphics&) override { return true; }
  void PressAt(int x, int y, const IPointerMods& mods) override;

  const char* Address() const { return address; }
  const char* Fallback() const { return fallback; }

private:
  char address[256] = {};
  char fallback[256] = {};
  char caption[1024] = {};
};
