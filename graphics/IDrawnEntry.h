#pragma once
//! The typed-entry box drawn into the editor's canvas, for windows that have
//! no native edit field or drop-down list to place over the editor. It takes
//! the box the platform editor opened (IGraphicsPlatform::IEditBox: the
//! geometry and the starting text), keeps the text being edited with its
//! caret and selection, or the entry chosen in a list, and tells its window
//! what a key or a click means: nothing, a change to show, commit or cancel.
//!
//! An edit field covers exactly the box's rectangle. A list shows its closed
//! field (the chosen text) on the box's first kFieldHeight rows and the
//! entries, dropped open, below it, or above it when they would not fit in the
//! editor.
//!
//! Used on the editor's user-interface thread only.

#include <string>
#include <vector>

#include "graphics/IGraphicsPlatform.h"

class IDrawnEntry
{
public:
  //! Keys the box understands; the window maps its own key codes to these.
  enum Key
  {
    KeyCharacter,  // a printable character, given with it
    KeyBackspace,
    KeyDelete,
    KeyLeft,
    KeyRight,
    KeyUp,
    KeyDown,
    KeyHome,
    KeyEnd,
    KeyEnter,
    KeyEscape,
    KeyOther,
  };

  //! What an input meant.
  enum Outcome
  {
    Ignored,   // not for the box (a click outside it)
    Unchanged, // taken, nothing to show
    Changed,   // taken, the box must be drawn again
    Commit,    // take the value (Text())
    Cancel,    // drop the box
  };

  static constexpr int kFieldHeight = 20;
  static constexpr int kRowHeight = 18;

  //! Starts editing the box: an edit field with all its text selected and the
  //! caret at the end, or a list with the box's selection.
  void Open(const IGraphicsPlatform::IEditBox& box, const std::vector<std::string>& entries, int editorWidth,
            int editorHeight);
  void Close();
  bool IsOpen() const { return open; }
  bool IsList() const { return list; }

  //! The part of the editor the box covers while open (empty when closed).
  const IBounds& Covered() const { return covered; }
  bool Covers(int x, int y) const
  {
    return x >= covered.left && x < covered.right && y >= covered.top && y < covered.bottom;
  }
  //! The text to commit: what was typed, or the chosen entry.
  const std::string& Text() const { return text; }
  int Caret() const { return caret; }
  bool AllSelected() const { return allSelected; }
  int Selection() const { return selection; }

  Outcome KeyPressed(Key key, char character = 0);
  //! A left click at editor pixels: on an entry of the list chooses it; in the
  //! edit field places the caret; outside the box Ignored.
  Outcome Click(IGraphics& g, int x, int y);

  //! Draws the box onto the editor's canvas.
  void Draw(IGraphics& g);

private:
  IBounds FieldRect() const;
  IBounds ListRect() const;
  //! Left edge of the edit field's centred text and the caret's x for a given
  //! number of leading characters.
  int TextLeft(IGraphics& g) const;
  int TextWidth(IGraphics& g, int characters) const;
  Outcome Choose(int index);

  bool open = false;
  bool list = false;
  IBounds rect;
  IBounds covered;
  std::string text;
  int caret = 0;
  bool allSelected = false;
  std::vector<std::string> entries;
  int selection = -1;
  bool dropUp = false;
  // The font of the Windows box; filled from the font cache on first use.
  mutable ITextStyle style{"Arial", 14, IArgb(255, 0, 0, 0)};
};
