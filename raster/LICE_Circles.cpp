// Arcs, sectors and whole circles. One rasteriser draws the whole circle,
// outline or filled, restricted to a box: whole circles use the bitmap as the
// box, arcs are split at every quarter turn and draw the circle once per
// quarter inside the box spanned by that quarter's end points.
#include "raster/LICE_Lines.h"

#include "raster/LICE_CombineRules.h"
#include "raster/LICE_Compose.h"
#include "raster/LICE_SmallDiscMasks.h"
#include "raster/LICE_TowardSource_sse2.h"

#include <algorithm>
#include <cmath>
#include <utility>

using namespace lice_detail;

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kHalfPi = 1.5707964f;
// Larger radii and centres further out are refused: they cannot be stepped
// row by row in bounded time, and no caller draws anything near that size.
constexpr float kMaxRadius = 65536.0f;
constexpr float kMaxCentre = 16777216.0f;

struct Box
{
  int left, top, right, bottom;  // right and bottom exclusive
};

// The solid rule per pixel; a copy at partial weight in vector registers.
template <class Rule>
Px Blend(Px d, Px c, int w)
{
  return Rule::Apply(d, c, w);
}
template <>
Px Blend<SolidCopy>(Px d, Px c, int w)
{
  return w >= 256 ? c : w <= 0 ? d : LICE_TowardColour(d, c, w);
}

template <class Rule>
struct CirclePen
{
  const Surface& surface;
  Box box;
  Px colour;

  bool Inside(int x, int y) const { return x >= box.left && x < box.right && y >= box.top && y < box.bottom; }
  void Put(int x, int y, int w) const
  {
    if (w != 0 && Inside(x, y))
    {
      Px* p = surface.At(x, y);
      *p = Blend<Rule>(*p, colour, w);
    }
  }
  // Inclusive runs, cut to the box.
  void Row(int y, int x0, int x1, int w) const
  {
    if (w == 0 || y < box.top || y >= box.bottom)
      return;
    x0 = std::max(x0, box.left);
    x1 = std::min(x1, box.right - 1);
    Px* p = surface.Row(y);
    for (int x = x0; x <= x1; ++x)
      p[x] = Blend<Rule>(p[x], colour, w);
  }
  void Column(int x, int y0, int y1, int w) const
  {
    if (w == 0 || x < box.left || x >= box.right)
      return;
    y0 = std::max(y0, box.top);
    y1 = std::min(y1, box.bottom - 1);
    for (int y = y0; y <= y1; ++y)
    {
      Px* p = surface.At(x, y);
      *p = Blend<Rule>(*p, colour, w);
    }
  }
};

int RoundCoord(double v) { return int(v + 0.5); }

// The filled parts both rasterisers share: the centre column and row out to
// `radius`, and for round i the columns X +- i and rows Y +- i out to
// `extent`, split at the diagonal so that no pixel is written twice.
template <class Rule>
void FillAxes(const CirclePen<Rule>& pen, int X, int Y, int radius, int w)
{
  pen.Column(X, Y - radius, Y - 1, w);
  pen.Column(X, Y + 1, Y + radius, w);
  pen.Row(Y, X - radius, X + radius, w);
}

template <class Rule>
void FillRound(const CirclePen<Rule>& pen, int X, int Y, int i, int extent, int w)
{
  for (int col : {X - i, X + i})
  {
    pen.Column(col, Y - extent, Y - i - 1, w);
    pen.Column(col, Y + i + 1, Y + extent, w);
  }
  for (int row : {Y - i, Y + i})
  {
    pen.Row(row, X - extent, X - i, w);
    pen.Row(row, X + i, X + extent, w);
  }
}

// Midpoint circle: every covered pixel is written exactly once.
template <class Rule>
void RasterisePlain(const CirclePen<Rule>& pen, float cx, float cy, float r, int w, bool filled)
{
  const int X = RoundCoord(cx), Y = RoundCoord(cy), R = RoundCoord(r);
  if (filled)
  {
    FillAxes(pen, X, Y, R, w);
  }
  else
  {
    pen.Put(X, Y - R, w);
    pen.Put(X + R, Y, w);
    pen.Put(X, Y + R, w);
    pen.Put(X - R, Y, w);
  }
  int x = R, e = -R;
  for (int i = 1; i < x; ++i)
  {
    const int xp = e >= 0 ? x - 1 : x;
    if (filled)
    {
      FillRound(pen, X, Y, i, xp, w);
    }
    else
    {
      for (int sy : {-1, 1})
        for (int sx : {-1, 1})
        {
          pen.Put(X + sx * i, Y + sy * xp, w);
          if (i != xp)
            pen.Put(X + sx * xp, Y + sy * i, w);
        }
    }
    e += 2 * i + (e < 0 ? 1 : 3 - 2 * x);
    x = xp;
  }
}

// One round i of the antialiased rasteriser: the exact edge h = sqrt(r^2 - i^2)
// at its integer part H with the fractional weight a; the rounds run while
// i <= m = round(h). h is never negative, so its floor is its integer part.
struct SmoothRound
{
  int H, a, m;
};

bool MakeSmoothRound(double r2, int i, int w, SmoothRound& out)
{
  const double h2 = r2 - double(i) * double(i);
  if (h2 < 0)
    return false;
  const double h = std::sqrt(h2);
  out.H = int(h);
  out.a = int((h - double(out.H)) * w);
  out.m = int(h + 0.5);
  return i <= out.m;
}

// The rounds of one circle, worked out once for all the quarter pieces of an
// arc; rounds beyond the table are worked out as they are drawn.
struct SmoothRounds
{
  static constexpr int kCapacity = 512;
  double r2 = 0;
  int w = 0;
  int count = 0;       // rounds held
  bool ended = false;  // the last round is among them
  SmoothRound rounds[kCapacity];

  // Nothing is worked out for a circle drawn without antialiasing.
  SmoothRounds(float r, int weight, bool antialias) : r2(double(r) * double(r)), w(weight)
  {
    while (antialias && count < kCapacity && MakeSmoothRound(r2, count + 1, w, rounds[count]))
      ++count;
    ended = !antialias || count < kCapacity;
  }
  bool Get(int i, SmoothRound& out) const
  {
    if (i <= count)
    {
      out = rounds[i - 1];
      return true;
    }
    return !ended && MakeSmoothRound(r2, i, w, out);
  }
};

// Which sides of the centre can hold pixels of the box. Every point of round
// i lies at least min(i, H) from the centre on both axes, on the side of its
// signs; a side further out than the box is skipped without changing which
// pixels are drawn or in what order.
struct Sides
{
  bool left, right, top, bottom;
  Sides(const Box& box, int X, int Y, int reach)
    : left(X - reach >= box.left), right(X + reach < box.right), top(Y - reach >= box.top),
      bottom(Y + reach < box.bottom)
  {
  }
  bool Any() const { return (left || right) && (top || bottom); }
  bool X(int s) const { return s < 0 ? left : right; }
};

// One square root per row; the pixel just outside the exact edge takes the
// fractional part of the weight, the edge pixel of an outline the rest.
template <class Rule>
void RasteriseSmooth(const CirclePen<Rule>& pen, float cx, float cy, float r, int w, bool filled,
                     const SmoothRounds& rounds)
{
  const int X = RoundCoord(cx), Y = RoundCoord(cy), R = int(r);
  const int a0 = int((double(r) - double(R)) * w);
  pen.Put(X, Y - R - 1, a0);
  pen.Put(X, Y + R + 1, a0);
  pen.Put(X - R - 1, Y, a0);
  pen.Put(X + R + 1, Y, a0);
  if (filled)
  {
    FillAxes(pen, X, Y, R, w);
  }
  else
  {
    pen.Put(X, Y - R, w - a0);
    pen.Put(X + R, Y, w - a0);
    pen.Put(X, Y + R, w - a0);
    pen.Put(X - R, Y, w - a0);
  }
  SmoothRound round;
  for (int i = 1; rounds.Get(i, round); ++i)
  {
    const int H = round.H, a = round.a;
    const bool last = i == round.m;
    const Sides side(pen.box, X, Y, std::min(i, H));
    if (!side.Any())
      continue;
    for (int s : {-1, 1})
    {
      if (!side.X(s))
        continue;
      if (side.top)
        pen.Put(X + s * i, Y - H - 1, a);
      if (side.bottom)
        pen.Put(X + s * i, Y + H + 1, a);
      if (!last)
      {
        if (side.top)
          pen.Put(X + s * (H + 1), Y - i, a);
        if (side.bottom)
          pen.Put(X + s * (H + 1), Y + i, a);
      }
    }
    if (filled)
    {
      FillRound(pen, X, Y, i, H, w);
      continue;
    }
    for (int s : {-1, 1})
    {
      if (!side.X(s))
        continue;
      if (side.top)
        pen.Put(X + s * H, Y - i, w - a);
      if (side.bottom)
        pen.Put(X + s * i, Y + H, w - a);
      if (!last)
      {
        if (side.top)
          pen.Put(X + s * i, Y - H, w - a);
        if (side.bottom)
          pen.Put(X + s * H, Y + i, w - a);
      }
    }
  }
}

template <class Rule>
void Rasterise(const Surface& s, const Box& box, Px colour, float cx, float cy, float r, int w, bool filled,
               bool antialias, const SmoothRounds& rounds)
{
  const CirclePen<Rule> pen{s, box, colour};
  if (antialias)
    RasteriseSmooth(pen, cx, cy, r, w, filled, rounds);
  else
    RasterisePlain(pen, cx, cy, r, w, filled);
}

int DrawWeight(float alpha, LICE_ComposeMode mode)
{
  const int w = Weight(alpha);
  return (w < 0 && (mode & ComposeCodeMask) == ComposeCopy) ? 0 : w;
}

bool UsableCircle(float cx, float cy, float r)
{
  return std::isfinite(cx) && std::isfinite(cy) && std::isfinite(r) && r >= 0 && r <= kMaxRadius &&
         std::fabs(cx) <= kMaxCentre && std::fabs(cy) <= kMaxCentre;
}

void WholeCircle(LICE_IBitmap* dest, float cx, float cy, float r, Px colour, float alpha, LICE_ComposeMode mode,
                 bool antialias, bool filled)
{
  Surface s;
  if (!UsableCircle(cx, cy, r) || !GetSurface(dest, s))
    return;
  if (cx + r < -2 || cy + r < -2 || cx - r > s.width + 2 || cy - r > s.height + 2)
    return;
  const int w = DrawWeight(alpha, mode);
  if (w == 0)
    return;
  if (const LICE_SmallDiscMask* mask = LICE_SmallDiscMasks(r))
  {
    const std::uint8_t* bytes = antialias ? (filled ? mask->filledAntialiased : mask->outlineAntialiased)
                                          : (filled ? mask->filled : mask->outline);
    if (bytes)
    {
      LICE_StampMask(dest, int(cx - r), int(cy - r), colour, bytes, mask->side, mask->side, mask->side, alpha,
                     mode & ComposeCodeMask);
      return;
    }
  }
  const Box box = {0, 0, s.width, s.height};
  const SmoothRounds rounds(r, w, antialias);
  WithSolidRule(mode, [&](auto rule) {
    Rasterise<decltype(rule)>(s, box, colour, cx, cy, r, w, filled, antialias, rounds);
  });
}

void ArcPieces(LICE_IBitmap* dest, float cx, float cy, float r, float from, float to, Px colour, float alpha,
               LICE_ComposeMode mode, bool antialias, bool filled)
{
  if (!std::isfinite(from) || !std::isfinite(to))
    return;
  if (from > to)
    std::swap(from, to);
  if (to - from >= kTwoPi)
  {
    WholeCircle(dest, cx, cy, r, colour, alpha, mode, antialias, filled);
    return;
  }
  if (to >= kTwoPi)
  {
    const float wrapped = std::fmod(to, kTwoPi);
    from += wrapped - to;
    to = wrapped;
  }
  else if (from <= -kTwoPi)
  {
    const float wrapped = std::fmod(from, kTwoPi);
    to += wrapped - from;
    from = wrapped;
  }
  Surface s;
  const int w = DrawWeight(alpha, mode);
  if (w == 0 || !UsableCircle(cx, cy, r) || !GetSurface(dest, s))
    return;
  from += kTwoPi;
  to += kTwoPi;

  const int X = RoundCoord(cx), Y = RoundCoord(cy);
  auto point = [&](float angle, int& x, int& y) {
    x = int(double(cx) + double(r) * std::sin(double(angle)) + 0.5);
    y = int(double(cy) - double(r) * std::cos(double(angle)) + 0.5);
  };
  const SmoothRounds rounds(r, w, antialias);
  WithSolidRule(mode, [&](auto rule) {
    float a = from;
    // Each piece starts where the previous one ended, at the same point.
    int x1, y1, x2, y2;
    point(a, x1, y1);
    // A range below a full turn has at most five quarter pieces.
    for (int piece = 0; piece < 6 && a < to; ++piece, x1 = x2, y1 = y2)
    {
      float next = (std::floor(a / kHalfPi) + 1.0f) * kHalfPi;
      if (!(next > a))
        next = (std::floor(a / kHalfPi) + 2.0f) * kHalfPi;
      const float end = std::min(next, to);
      point(end, x2, y2);
      const int maxX = std::max(x1, x2), maxY = std::max(y1, y2);
      Box box = {std::min(x1, x2), std::min(y1, y2), maxX + (maxX != X ? 2 : 1), maxY + (maxY != Y ? 2 : 1)};
      if (piece > 0)
      {
        // The previous piece ended on this axis and drew its line already;
        // blending it twice would leave a seam at partial weight.
        const int quarter = int(std::lround(a / kHalfPi)) & 3;
        if (quarter == 0 || quarter == 2)
        {
          if (box.left == X)
            box.left = X + 1;
          else if (box.right - 1 == X)
            box.right = X;
        }
        else if (box.top == Y)
          box.top = Y + 1;
        else if (box.bottom - 1 == Y)
          box.bottom = Y;
      }
      box.left = std::max(box.left, 0);
      box.top = std::max(box.top, 0);
      box.right = std::min(box.right, s.width);
      box.bottom = std::min(box.bottom, s.height);
      if (box.left < box.right && box.top < box.bottom)
        Rasterise<decltype(rule)>(s, box, colour, cx, cy, r, w, filled, antialias, rounds);
      a = end;
    }
  });
}

}  // namespace

void LICE_PlotArc(LICE_IBitmap* dest, float cx, float cy, float radius, float fromAngle, float toAngle,
                  LICE_PixelWord colour, float alpha, LICE_ComposeMode mode, bool antialias)
{
  ArcPieces(dest, cx, cy, radius, fromAngle, toAngle, colour, alpha, mode, antialias, false);
}

void LICE_FillWedge(LICE_IBitmap* dest, float cx, float cy, float radius, float fromAngle, float toAngle,
                    LICE_PixelWord colour, float alpha, LICE_ComposeMode mode, bool antialias)
{
  ArcPieces(dest, cx, cy, radius, fromAngle, toAngle, colour, alpha, mode, antialias, true);
}

void LICE_PlotRing(LICE_IBitmap* dest, float cx, float cy, float radius, LICE_PixelWord colour, float alpha,
                   LICE_ComposeMode mode, bool antialias)
{
  WholeCircle(dest, cx, cy, radius, colour, alpha, mode, antialias, false);
}

void LICE_FillDisc(LICE_IBitmap* dest, float cx, float cy, float radius, LICE_PixelWord colour, float alpha,
                   LICE_ComposeMode mode, bool antialias)
{
  WholeCircle(dest, cx, cy, radius, colour, alpha, mode, antialias, true);
}
