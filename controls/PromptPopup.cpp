#include "controls/PromptPopup.h"

#include <algorithm>
#include <cstring>

#include "graphics/IGraphics.h"
#include "plug/IParamDef.h"
#include "plug/IPlugBase.h"
#include "plug/RoundToInt.h"

namespace
{
// The editor's popup look, used when neither a style nor an editor is given.
const ITextStyle kDefaultStyle("Arial", 15, IArgb(200, 255, 255, 255));
const IArgb kDefaultFill(245, 50, 50, 50);
const IArgb kDefaultHighlight(75, 200, 200, 200);

IArgb WithAlpha(IArgb c, int alpha)
{
  c.a = std::clamp(alpha, 0, 255);
  return c;
}
}  // namespace

PromptPopup::PromptPopup(IPlugBase* plugIn, int x, int y, int widthHint, int cols, const ITextStyle* style,
                         const IArgb* fill, const IArgb* highlight)
  : IControl(plugIn, {x, y, std::max(x + 10, x + widthHint), y + 30}), cellWidth(widthHint),
    columns(cols < 1 ? 1 : cols)
{
  const IGraphics* g = Editor();
  textStyle = style ? *style : g ? g->PopupStyle() : kDefaultStyle;
  fillColour = fill ? *fill : g ? g->PopupFill() : kDefaultFill;
  highlightColour = highlight ? *highlight : g ? g->PopupHighlight() : kDefaultHighlight;
  chosenStyle = textStyle;
  chosenStyle.colour.a = std::min(255, textStyle.colour.a + 55);
  // Each style gets its own font from the cache on first use.
  textStyle.font = nullptr;
  chosenStyle.font = nullptr;
  rowHeight = textStyle.size + 6;
}

void PromptPopup::AddItem(const char* text)
{
  const int n = EntryCount();
  Text entry{};
  std::strncpy(entry.text, text ? text : "", kMaxText);
  entries.push_back(entry);

  const int len = static_cast<int>(std::strlen(entry.text));
  const int charWidth = std::max(textStyle.size - 8, 5);
  cellWidth = std::max(cellWidth, len * charWidth + 2 * inset + 20);

  if (growRows && (n == 9 || n == 19 || n == 29 || n == 39)) ++rows;
  capacity = columns * rows;
  int height;
  int width = cellWidth * columns + inset;
  if (capacity < n + 1)
  {
    height = rowHeight * rows;
    if (rows * 4 < n + 1)
      thumbHeight = static_cast<int>(1.5 * rowHeight);
    else
      thumbHeight = static_cast<int>((1.5 * rowHeight - rows * rowHeight) * (n + 1 - rows) / (rows * 3) +
                                     rows * rowHeight);
    width += scrollBarWidth + 2;
  }
  else
    height = (n + 1 + columns - 1) / columns * rowHeight;
  bounds = {bounds.left, bounds.top, bounds.left + width, bounds.top + height};
  hitBounds = bounds;
}

void PromptPopup::AttachTo(int paramIdx, IControl* ownerControl)
{
  const IParamDef* param = plug ? plug->GetParam(paramIdx) : nullptr;
  currentEntry = param ? RoundToInt(param->GetValue()) : -1;
  ScrollToCurrent();
  owner = ownerControl;
  SetHidden(false);
}

void PromptPopup::ScrollToCurrent()
{
  if (thumbHeight <= 0 || TotalRows() <= rows) return;
  const int currentRow = currentEntry / columns;
  const int half = (rows + 1) / 2;
  const int topRow = std::clamp(currentRow + 1 - half, 0, TotalRows() - rows);
  scrollPosition = RoundToInt(double(ScrollRange()) * topRow / (TotalRows() - rows));
}

void PromptPopup::ScrollBy(int pixels)
{
  long long p = static_cast<long long>(scrollPosition) + pixels;
  p = std::min<long long>(p, ScrollRange());
  scrollPosition = p < 1 ? 0 : static_cast<int>(p);
  MarkChanged(true);
}

int PromptPopup::FirstVisible() const
{
  if (thumbHeight <= 0 || ScrollRange() <= 0) return 0;
  return columns * RoundToInt(double(TotalRows() - rows) * scrollPosition / ScrollRange());
}

bool PromptPopup::OnThumb(int x, int y) const
{
  const int thumbTop = bounds.top + scrollPosition + 1;
  return InScrollColumns(x) && y >= thumbTop && y <= thumbTop + thumbHeight;
}

int PromptPopup::CellAt(int x, int y) const
{
  if (thumbHeight > 0 && InScrollColumns(x)) return OnThumb(x, y) ? -1 : -2;
  const int row = (y - bounds.top) / rowHeight;
  int cell = std::min(capacity, row * columns);
  if (columns >= 2)
  {
    const int column = std::clamp((x - bounds.left - RoundToInt(inset * 0.5)) / cellWidth, 0, columns - 1);
    cell += column;
    if (cell >= EntryCount()) return -1;
  }
  return cell;
}

void PromptPopup::PointerEnter(int x, int y, const IPointerMods&)
{
  const int cell = CellAt(x, y);
  if (cell == hoveredCell) return;
  hoveredCell = cell;
  MarkChanged(true);
}

void PromptPopup::PointerExit()
{
  hoveredCell = -2;
  MarkChanged(true);
}

void PromptPopup::ReleaseAt(int, int, const IPointerMods&)
{
  if (thumbHeight <= 0) return;
  draggingThumb = false;
  MarkChanged(true);
}

void PromptPopup::DragBy(int, int, int, int dy, const IPointerMods&)
{
  if (draggingThumb) ScrollBy(dy);
}

void PromptPopup::WheelAt(int, int, const IPointerMods&, int steps)
{
  if (thumbHeight > 0) ScrollBy(-3 * steps);
}

void PromptPopup::PressAt(int x, int y, const IPointerMods& mods)
{
  if (thumbHeight > 0 && InScrollColumns(x))
  {
    if (mods.right) return;
    draggingThumb = true;
    if (OnThumb(x, y))
      MarkChanged(true);
    else
      ScrollBy(y - scrollPosition - bounds.top - RoundToInt(thumbHeight * 0.5));
    return;
  }
  if (mods.right) return;
  // The cell under the press is the hovered one; taking it from the press
  // itself also serves editors that route no hover events.
  hoveredCell = CellAt(x, y);
  if (hoveredCell < 0) return;
  const int entry = firstVisible + hoveredCell;
  // Cells below the last entry (and the bottom edge row) choose nothing.
  if (entry >= EntryCount() || hoveredCell >= capacity) return;

  currentEntry = entry;
  IControl* target = owner;
  IGraphics* g = Editor();
  if (target)
  {
    if (IParamDef* param = target->Param())
    {
      plug->HostBeginEdit(target->ParamIdx());
      target->ValueFromUser(param->ToNormalized(entry));
      plug->HostEndEdit(target->ParamIdx());
    }
    target->PopupChoice(entries[entry].text, entry);
  }
  if (g)
  {
    g->ForgetPointer();
    // The editor destroys this popup once the press that chose has returned.
    g->ClosePopup(true);
  }
}

IBounds PromptPopup::CellRect(int k) const
{
  const int col = k % columns;
  const int row = k / columns;
  return {bounds.left + inset + cellWidth * col, bounds.top + rowHeight * row + 1,
          bounds.left + cellWidth * (col + 1), bounds.top + rowHeight * (row + 1) - 1};
}

bool PromptPopup::Render(IGraphics& g)
{
  firstVisible = FirstVisible();
  g.FillRoundedRect(fillColour, bounds, 4, 4, nullptr, true);

  if (columns >= 2)
  {
    const IArgb line = WithAlpha(fillColour, static_cast<int>(fillColour.a * 0.6));
    for (int i = 1; i < columns; ++i)
    {
      const float x = bounds.left + i * cellWidth + inset * 0.5f - 0.5f;
      g.StrokeLine(line, x, float(bounds.top + inset), x, float(bounds.bottom - inset), nullptr, true);
    }
  }

  const int currentCell = currentEntry - firstVisible;
  if (currentCell >= 0 && currentCell < capacity)
  {
    IBounds cell = CellRect(currentCell);
    g.StrokeRoundedRect(highlightColour, cell, 4, nullptr, true);
    g.FillRoundedRect(highlightColour, cell, 4, 4, nullptr, true);
  }
  if (hoveredCell >= 0 && hoveredCell < capacity && hoveredCell != currentCell)
    g.FillRoundedRect(highlightColour, CellRect(hoveredCell), 4, 4, nullptr, true);

  const int last = std::min(EntryCount(), firstVisible + capacity);
  const int insetTop = RoundToInt(inset * 0.75);
  for (int e = firstVisible; e < last; ++e)
  {
    const int k = e - firstVisible;
    const int col = k % columns;
    const int row = k / columns;
    const IBounds r{bounds.left + col * cellWidth + 2 * inset, bounds.top + row * rowHeight + insetTop,
                    bounds.left + (col + 1) * cellWidth, bounds.top + (row + 1) * rowHeight};
    g.PaintText(e == currentEntry ? chosenStyle : textStyle, entries[e].text, r);
  }

  if (thumbHeight > 0)
  {
    IBounds trackRect{ScrollLeft() - 1, bounds.top, ScrollRight() + 1, bounds.bottom};
    g.StrokeRoundedRect(WithAlpha(highlightColour, highlightColour.a - 20), trackRect, 4, nullptr, true);
    const IBounds thumb{ScrollLeft(), bounds.top + scrollPosition + 1, ScrollRight(),
                        bounds.top + scrollPosition + 1 + thumbHeight};
    const bool resting = hoveredCell == -1 && !draggingThumb;
    g.FillRoundedRect(resting ? WithAlpha(highlightColour, highlightColour.a + 20) : highlightColour, thumb, 3, 4,
                      nullptr, true);
  }
  return true;
}
