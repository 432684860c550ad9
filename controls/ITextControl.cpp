#include "controls/ITextControl.h"

#include "graphics/IGraphics.h"

ITextControl::ITextControl(IPlugBase* plugIn, const IBounds& b, const ITextStyle& s, const char* t)
  : IControl(plugIn, b), style(s), text(t ? t : "")
{
}

bool ITextControl::Render(IGraphics& g)
{
  if (!text.empty()) g.PaintText(style, text.c_str(), bounds);
  return true;
}

void ITextControl::SetText(const char* t)
{
  const char* next = t ? t : "";
  if (text == next) return;
  MarkChanged(false);
  text = next;
}
