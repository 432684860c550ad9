#pragma once
//! One line of text in a fixed style.

#include <string>

#include "controls/IControl.h"

class ITextControl : public IControl
{
public:
  ITextControl(IPlugBase* plug, const IBounds& bounds, const ITextStyle& style, const char* text = "");

  bool Render(IGraphics& g) override;
  //! Redraws only when the text differs from the one shown.
  virtual void SetText(const char* text);
  const char* Text() const { return text.c_str(); }

protected:
  ITextStyle style;
  std::string text;
};
