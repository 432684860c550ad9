#include "graphics/IDrawnEntry.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "plug/RoundToInt.h"
#include "raster/LICE_Bitmap.h"
#include "raster/LICE_CachedFont.h"

namespace
{
const IArgb kPaper(255, 255, 255, 255);
const IArgb kBorder(255, 122, 122, 122);
const IArgb kHighlight(255, 51, 153, 255);
const IArgb kInk(255, 0, 0, 0);
const IArgb kHighlightInk(255, 255, 255, 255);

void Frame(IGraphics& g, const IBounds& r, const IArgb& colour)
{
  g.FillBox(colour, {r.left, r.top, r.right, r.top + 1}, nullptr);
  g.FillBox(colour, {r.left, r.bottom - 1, r.right, r.bottom}, nullptr);
  g.FillBox(colour, {r.left, r.top, r.left + 1, r.bottom}, nullptr);
  g.FillBox(colour, {r.right - 1, r.top, r.right, r.bottom}, nullptr);
}
}  // namespace

void IDrawnEntry::Open(const IGraphicsPlatform::IEditBox& box, const std::vector<std::string>& texts, int editorWidth,
                       int editorHeight)
{
  open = true;
  list = box.list;
  rect = box.rect;
  text = box.text;
  caret = static_cast<int>(text.size());
  allSelected = !list;
  entries = list ? texts : std::vector<std::string>();
  selection = list ? box.selection : -1;
  dropUp = false;
  covered = rect;
  if (list)
  {
    const int rows = kRowHeight * static_cast<int>(entries.size()) + 2;
    const int below = rect.top + kFieldHeight + rows;
    dropUp = below > editorHeight && rect.top - rows >= 0;
    covered = dropUp ? IBounds(rect.left, rect.top - rows, rect.right, rect.top + kFieldHeight)
                     : IBounds(rect.left, rect.top, rect.right, below);
  }
  // Only what lies inside the editor can be seen or clicked.
  covered = covered.Intersect({0, 0, editorWidth, editorHeight});
}

void IDrawnEntry::Close()
{
  *this = IDrawnEntry();
}

IBounds IDrawnEntry::FieldRect() const
{
  return list ? IBounds(rect.left, rect.top, rect.right, rect.top + kFieldHeight) : rect;
}

IBounds IDrawnEntry::ListRect() const
{
  if (!list) return {};
  const int rows = kRowHeight * static_cast<int>(entries.size()) + 2;
  return dropUp ? IBounds(rect.left, rect.top - rows, rect.right, rect.top)
                : IBounds(rect.left, rect.top + kFieldHeight, rect.right, rect.top + kFieldHeight + rows);
}

IDrawnEntry::Outcome IDrawnEntry::Choose(int index)
{
  if (index < 0 || index >= static_cast<int>(entries.size())) return Unchanged;
  selection = index;
  text = entries[static_cast<size_t>(index)];
  return Commit;
}

IDrawnEntry::Outcome IDrawnEntry::KeyPressed(Key key, char character)
{
  if (!open) return Ignored;
  if (key == KeyEnter) return Commit;
  if (key == KeyEscape) return Cancel;
  const int n = static_cast<int>(list ? entries.size() : text.size());
  if (list)
  {
    // A drop-down list commits whenever its choice moves.
    switch (key)
    {
      case KeyUp:
        return selection > 0 ? Choose(selection - 1) : Unchanged;
      case KeyDown:
        return selection < n - 1 ? Choose(selection + 1) : Unchanged;
      case KeyHome:
        return selection != 0 ? Choose(0) : Unchanged;
      case KeyEnd:
        return selection != n - 1 ? Choose(n - 1) : Unchanged;
      case KeyCharacter:
      {
        // The next entry after the chosen one that starts with the character.
        const int lower = std::tolower(static_cast<unsigned char>(character));
        for (int k = 1; k <= n; ++k)
        {
          const int i = (selection + k + n) % n;
          const std::string& e = entries[static_cast<size_t>(i)];
          if (!e.empty() && std::tolower(static_cast<unsigned char>(e[0])) == lower)
            return i != selection ? Choose(i) : Unchanged;
        }
        return Unchanged;
      }
      default:
        return Unchanged;
    }
  }

  auto dropSelection = [&] {
    if (!allSelected) return false;
    text.clear();
    caret = 0;
    allSelected = false;
    return true;
  };
  switch (key)
  {
    case KeyCharacter:
      if (static_cast<unsigned char>(character) < 0x20 || character == 0x7F) return Unchanged;
      dropSelection();
      text.insert(static_cast<size_t>(caret), 1, character);
      ++caret;
      return Changed;
    case KeyBackspace:
      if (dropSelection()) return Changed;
      if (caret == 0) return Unchanged;
      text.erase(static_cast<size_t>(--caret), 1);
      return Changed;
    case KeyDelete:
      if (dropSelection()) return Changed;
      if (caret >= n) return Unchanged;
      text.erase(static_cast<size_t>(caret), 1);
      return Changed;
    case KeyLeft:
    case KeyHome:
    case KeyRight:
    case KeyEnd:
    {
      const int before = caret;
      const bool wasSelected = allSelected;
      allSelected = false;
      if (key == KeyHome)
        caret = 0;
      else if (key == KeyEnd)
        caret = n;
      else if (wasSelected)
        caret = key == KeyLeft ? 0 : n;
      else
        caret = std::clamp(caret + (key == KeyLeft ? -1 : 1), 0, n);
      return caret != before || wasSelected ? Changed : Unchanged;
    }
    default:
      return Unchanged;
  }
}

IDrawnEntry::Outcome IDrawnEntry::Click(IGraphics& g, int x, int y)
{
  if (!open) return Ignored;
  const auto inside = [&](const IBounds& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; };
  if (!Covers(x, y)) return Ignored;
  if (list)
  {
    const IBounds rows = ListRect();
    if (!inside(rows)) return Unchanged;
    return Choose((y - rows.top - 1) / kRowHeight);
  }
  // The caret goes to the character boundary nearest to the click.
  const int left = TextLeft(g);
  int best = 0;
  int bestDistance = std::abs(x - left);
  for (int i = 1; i <= static_cast<int>(text.size()); ++i)
  {
    const int d = std::abs(x - (left + TextWidth(g, i)));
    if (d < bestDistance)
    {
      best = i;
      bestDistance = d;
    }
  }
  const bool changed = best != caret || allSelected;
  caret = best;
  allSelected = false;
  return changed ? Changed : Unchanged;
}

int IDrawnEntry::TextWidth(IGraphics& g, int characters) const
{
  if (characters <= 0) return 0;
  LICE_CachedFont* font = style.font && g.Scale() == 1.0f ? style.font : g.ObtainFont(style);
  if (!font) return 0;
  LICE_Rect r{0, 0, 0, 0};
  font->RenderText(nullptr, text.c_str(), characters, &r, LICE_DT_CALCRECT | LICE_DT_SINGLELINE);
  // Measured with the font at the editor's scale, in layout pixels.
  return g.Scale() == 1.0f ? r.right - r.left : RoundToInt((r.right - r.left) / g.Scale());
}

int IDrawnEntry::TextLeft(IGraphics& g) const
{
  const IBounds f = FieldRect();
  const int w = TextWidth(g, static_cast<int>(text.size()));
  return f.left + (f.W() - w) / 2;
}

void IDrawnEntry::Draw(IGraphics& g)
{
  if (!open) return;
  LICE_CachedFont* font = style.font && g.Scale() == 1.0f ? style.font : g.ObtainFont(style);
  LICE_IBitmap* canvas = g.Canvas();
  auto drawText = [&](const std::string& s, const IBounds& r, const IArgb& ink, int align) {
    if (!font || s.empty()) return;
    font->SetInk(ink.Word());
    const IBounds d = g.ToDevice(r);
    LICE_Rect lr{d.left, d.top, d.right, d.bottom};
    font->RenderText(canvas, s.c_str(), -1, &lr, LICE_DT_NOCLIP | LICE_DT_VCENTER | LICE_DT_SINGLELINE | align);
  };

  const IBounds field = FieldRect();
  g.FillBox(kPaper, field, nullptr);
  Frame(g, field, kBorder);
  if (!list)
  {
    const int left = TextLeft(g);
    const int width = TextWidth(g, static_cast<int>(text.size()));
    if (allSelected && !text.empty())
    {
      g.FillBox(kHighlight, {left, field.top + 2, left + width, field.bottom - 2}, nullptr);
      drawText(text, field, kHighlightInk, LICE_DT_CENTER);
    }
    else
    {
      drawText(text, field, kInk, LICE_DT_CENTER);
      const int x = left + TextWidth(g, caret);
      g.FillBox(kInk, {x, field.top + 2, x + 1, field.bottom - 2}, nullptr);
    }
    return;
  }

  // The closed field: the chosen text and a down arrow.
  const IBounds textArea{field.left + 4, field.top, field.right - 16, field.bottom};
  drawText(text, textArea, kInk, 0);
  const int ax = field.right - 10;
  const int ay = field.top + kFieldHeight / 2 - 2;
  for (int row = 0; row < 4; ++row)
    g.FillBox(kInk, {ax - 3 + row, ay + row, ax + 4 - row, ay + row + 1}, nullptr);

  const IBounds rows = ListRect();
  g.FillBox(kPaper, rows, nullptr);
  Frame(g, rows, kBorder);
  for (int i = 0; i < static_cast<int>(entries.size()); ++i)
  {
    const IBounds r{rows.left + 1, rows.top + 1 + i * kRowHeight, rows.right - 1, rows.top + 1 + (i + 1) * kRowHeight};
    const bool chosen = i == selection;
    if (chosen) g.FillBox(kHighlight, r, nullptr);
    drawText(entries[static_cast<size_t>(i)], {r.left + 3, r.top, r.right, r.bottom}, chosen ? kHighlightInk : kInk, 0);
  }
}
