#pragma once
//! The translucent list of a list parameter's display texts, opened by a right
//! click over the control bound to it. It lives at the end of the editor's
//! control list while open, so it is drawn on top and hit first. A left click
//! on an entry sets the owner's parameter in one host edit and closes it.

#include <vector>

#include "controls/IControl.h"

class PromptPopup : public IControl
{
public:
  static constexpr int kMaxText = 31;

  //! Null style or colours select the editor's popup style and colours.
  PromptPopup(IPlugBase* plug, int x, int y, int widthHint, int columns, const ITextStyle* style = nullptr,
              const IArgb* fill = nullptr, const IArgb* highlight = nullptr);

  //! Appends an entry (cut to 31 characters) and recomputes the size.
  void AddItem(const char* text);
  //! Selects the parameter's current entry, scrolls it into view, remembers
  //! the owner and shows the popup.
  void AttachTo(int paramIdx, IControl* owner);
  //! Moves the scroll thumb, kept within the track.
  void ScrollBy(int pixels);

  void PressAt(int x, int y, const IPointerMods& mods) override;
  void ReleaseAt(int x, int y, const IPointerMods& mods) override;
  void DragBy(int x, int y, int dx, int dy, const IPointerMods& mods) override;
  void WheelAt(int x, int y, const IPointerMods& mods, int steps) override;
  //! Called for every move over the popup: tracks the cell under the pointer.
  void PointerEnter(int x, int y, const IPointerMods& mods) override;
  void PointerExit() override;
  bool Render(IGraphics& g) override;

  int EntryCount() const { return static_cast<int>(entries.size()); }
  const char* Entry(int i) const { return i >= 0 && i < EntryCount() ? entries[i].text : ""; }
  int CellWidth() const { return cellWidth; }
  int RowHeight() const { return rowHeight; }
  int Rows() const { return rows; }
  int Capacity() const { return capacity; }
  int ThumbHeight() const { return thumbHeight; }
  int ScrollPosition() const { return scrollPosition; }
  int CurrentEntry() const { return currentEntry; }
  int HoveredCell() const { return hoveredCell; }
  //! Entry shown in the first visible cell for the current scroll position.
  int FirstVisible() const;

private:
  struct Text
  {
    char text[kMaxText + 1];
  };

  int ScrollRange() const { return bounds.H() - thumbHeight - 2; }
  int TotalRows() const { return (EntryCount() + columns - 1) / columns; }
  int ScrollLeft() const { return bounds.right - scrollBarWidth - 2; }
  int ScrollRight() const { return bounds.right - 1; }
  bool InScrollColumns(int x) const { return thumbHeight > 0 && x >= ScrollLeft() && x <= ScrollRight(); }
  bool OnThumb(int x, int y) const;
  //! Visible cell under (x, y): -1 on the thumb (or past the entries with
  //! several columns), -2 for none.
  int CellAt(int x, int y) const;
  void ScrollToCurrent();
  IBounds CellRect(int k) const;

  int cellWidth = 70;
  int inset = 4;
  int hoveredCell = -2;
  int capacity = 0;
  int firstVisible = 0;
  int scrollPosition = 0;
  int thumbHeight = 0;
  int scrollBarWidth = 9;
  bool draggingThumb = false;
  std::vector<Text> entries;
  ITextStyle textStyle;
  ITextStyle chosenStyle;
  IArgb fillColour;
  IArgb highlightColour;
  int currentEntry = -1;
  int rowHeight = 21;
  int rows = 5;
  int columns = 1;
  bool growRows = true;
};
