#include "raster/LICE_Lines.h"

#include "raster/LICE_CombineRules.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

using namespace lice_detail;

namespace {

constexpr int kMaxClipMoves = 32;

// Copy as the unsmoothed line paths apply it: full weight stores the colour
// and weight 128 averages each channel.
struct LineCopy
{
  static Px Apply(Px d, Px c, int w)
  {
    if (w == 128)
      return Pack((Ch(d, 0) + Ch(c, 0)) >> 1, (Ch(d, 8) + Ch(c, 8)) >> 1, (Ch(d, 16) + Ch(c, 16)) >> 1,
                  (Ch(d, 24) + Ch(c, 24)) >> 1);
    return SolidCopy::Apply(d, c, w);
  }
};

template <class Fn>
void WithLineRule(LICE_ComposeMode mode, Fn&& fn)
{
  if ((mode & ComposeCodeMask) == ComposeCopy)
    fn(LineCopy{});
  else
    WithSolidRule(mode, fn);
}

// Writes single pixels through a rule. Every write is bounds-checked: the
// clipping keeps lines inside, and the check keeps rounding at the edges from
// ever reaching memory outside the bitmap.
template <class Rule>
struct Pen
{
  const Surface& surface;
  Px colour;

  void Put(int x, int y, int w) const
  {
    if (w != 0 && surface.Contains(x, y))
    {
      Px* p = surface.At(x, y);
      *p = Rule::Apply(*p, colour, w);
    }
  }
  template <class Word>
  void PutWord(int x, int y, Word word) const
  {
    if (surface.Contains(x, y))
    {
      Px* p = surface.At(x, y);
      *p = word(*p);
    }
  }
};

// Horizontal and vertical runs, with whole-word arithmetic at the common
// opacities of a copy.
void PlotRun(const Surface& s, int x1, int y1, int x2, int y2, Px c, float alpha, int w, LICE_ComposeMode mode)
{
  const int stepX = x2 > x1 ? 1 : (x2 < x1 ? -1 : 0);
  const int stepY = y2 > y1 ? 1 : (y2 < y1 ? -1 : 0);
  const int count = std::abs(x2 - x1) + std::abs(y2 - y1) + 1;
  auto each = [&](auto word) {
    int x = x1, y = y1;
    for (int i = 0; i < count; ++i, x += stepX, y += stepY)
      if (s.Contains(x, y))
      {
        Px* p = s.At(x, y);
        *p = word(*p);
      }
  };
  if ((mode & ComposeCodeMask) == ComposeCopy)
  {
    if (alpha == 1.0f)
      return each([c](Px) { return c; });
    if (alpha == 0.5f)
      return each([c](Px d) { return Half(c, d); });
    if (alpha == 0.25f)
      return each([c](Px d) { return Quarter(c, d); });
    if (alpha == 0.75f)
      return each([c](Px d) { return ThreeQuarters(c, d); });
  }
  WithLineRule(mode, [&](auto rule) {
    using Rule = decltype(rule);
    each([c, w](Px d) { return Rule::Apply(d, c, w); });
  });
}

void PlotDiagonal(const Surface& s, int x1, int y1, int x2, int y2, Px c, float alpha, int w,
                  LICE_ComposeMode mode, bool antialias)
{
  const int stepX = x2 > x1 ? 1 : -1, stepY = y2 > y1 ? 1 : -1;
  const int count = std::abs(x2 - x1) + 1;
  if ((mode & ComposeCodeMask) == ComposeCopy && alpha == 1.0f)
  {
    const Pen<SolidCopy> pen{s, c};
    for (int i = 0, x = x1, y = y1; i < count; ++i, x += stepX, y += stepY)
    {
      if (!antialias)
      {
        pen.PutWord(x, y, [c](Px) { return c; });
        continue;
      }
      pen.PutWord(x, y, [c](Px d) { return ThreeQuarters(c, d); });
      if (i + 1 < count)
      {
        pen.PutWord(x + stepX, y, [c](Px d) { return Quarter(c, d); });
        pen.PutWord(x, y + stepY, [c](Px d) { return Quarter(c, d); });
      }
    }
    return;
  }
  auto draw = [&](auto rule) {
    using Rule = decltype(rule);
    const Pen<Rule> pen{s, c};
    for (int i = 0, x = x1, y = y1; i < count; ++i, x += stepX, y += stepY)
    {
      if (!antialias)
      {
        pen.Put(x, y, w);
        continue;
      }
      pen.Put(x, y, 3 * w / 4);
      if (i + 1 < count)
      {
        pen.Put(x + stepX, y, w / 4);
        pen.Put(x, y + stepY, w / 4);
      }
    }
  };
  if (antialias)
    WithSolidRule(mode, draw);
  else
    WithLineRule(mode, draw);
}

// One half of a general segment, walked from an end toward the middle in
// 16.16 steps along the minor axis. (x, y) address the major and minor axes
// through `swapAxes`.
template <class Rule>
void WalkHalf(const Pen<Rule>& pen, bool swapAxes, int major, int minor, int majorStep, int minorStep,
              std::int64_t slope, int count, int w, bool antialias)
{
  auto put = [&](int a, int b, int weight) {
    if (swapAxes)
      pen.Put(b, a, weight);
    else
      pen.Put(a, b, weight);
  };
  std::int64_t acc = 0;
  if (!antialias)
  {
    for (int i = 0; i < count; ++i, major += majorStep)
    {
      put(major, minor, w);
      acc += slope;
      if (acc >= 0x8000)
      {
        minor += minorStep;
        acc -= 0x10000;
      }
    }
    return;
  }
  if (count <= 0)
    return;
  put(major, minor, w);
  for (int i = 1; i < count; ++i)
  {
    major += majorStep;
    acc += slope;
    if (acc >= 0x10000)
    {
      minor += minorStep;
      acc -= 0x10000;
    }
    const int f = int(acc >> 8);
    put(major, minor, ((255 - f) * w) >> 8);
    put(major, minor + minorStep, (w * f) >> 8);
  }
}

void PlotGeneral(const Surface& s, int x1, int y1, int x2, int y2, Px c, int w, LICE_ComposeMode mode,
                 bool antialias)
{
  const int dx = x2 - x1, dy = y2 - y1;
  const bool swapAxes = std::abs(dy) > std::abs(dx);
  const int major1 = swapAxes ? y1 : x1, minor1 = swapAxes ? x1 : y1;
  const int major2 = swapAxes ? y2 : x2, minor2 = swapAxes ? x2 : y2;
  const int length = std::abs(major2 - major1);
  const int majorStep = major2 > major1 ? 1 : -1;
  const int minorStep = minor2 > minor1 ? 1 : -1;
  const std::int64_t slope = std::int64_t(double(std::abs(minor2 - minor1)) / double(length) * 65536.0);
  // Each end draws (length + 1) / 2 pixels; an even length leaves the middle
  // pixel, which the first half takes.
  const int half = (length + 1) / 2;
  const int firstCount = half + (length % 2 == 0 ? 1 : 0);
  auto draw = [&](auto rule) {
    using Rule = decltype(rule);
    const Pen<Rule> pen{s, c};
    WalkHalf(pen, swapAxes, major1, minor1, majorStep, minorStep, slope, firstCount, w, antialias);
    WalkHalf(pen, swapAxes, major2, minor2, -majorStep, -minorStep, slope, half, w, antialias);
  };
  if (antialias)
    WithSolidRule(mode, draw);
  else
    WithLineRule(mode, draw);
}

bool DrawsNothing(int w, LICE_ComposeMode mode)
{
  return w == 0 || (w < 0 && (mode & ComposeCodeMask) == ComposeCopy);
}

}  // namespace

namespace {

// Cohen-Sutherland clipping shared by the integer and real segments: codes
// left 1, right 2, top 4, bottom 8; the outside end (the first if both are)
// moves onto an edge it lies beyond, tried bottom, top, right, left, at most
// 32 times. `right` and `bottom` are where moved ends are placed; the
// intersection is computed in double and stored as T (truncated for int).
template <class T, class Outcode>
bool ClipSegmentTo(T& x1, T& y1, T& x2, T& y2, Outcode outcode, double right, double bottom)
{
  for (int moves = 0;; ++moves)
  {
    const int c1 = outcode(x1, y1), c2 = outcode(x2, y2);
    if (!(c1 | c2))
      return true;
    if ((c1 & c2) || moves >= kMaxClipMoves)
      return false;
    const int code = c1 ? c1 : c2;
    const double ax = x1, ay = y1, bx = x2, by = y2;
    double x, y;
    if (code & (8 | 4))
    {
      y = (code & 8) ? bottom : 0.0;
      x = ax + (bx - ax) * (y - ay) / (by - ay);
    }
    else
    {
      x = (code & 2) ? right : 0.0;
      y = ay + (by - ay) * (x - ax) / (bx - ax);
    }
    if (code == c1)
    {
      x1 = T(x);
      y1 = T(y);
    }
    else
    {
      x2 = T(x);
      y2 = T(y);
    }
  }
}

}  // namespace

bool LICE_ClipSegment(int& x1, int& y1, int& x2, int& y2, int width, int height)
{
  auto outcode = [width, height](int x, int y) {
    return (x < 0 ? 1 : x > width - 1 ? 2 : 0) | (y < 0 ? 4 : y > height - 1 ? 8 : 0);
  };
  return ClipSegmentTo(x1, y1, x2, y2, outcode, double(width) - 1, double(height) - 1);
}

bool LICE_ClipSegmentF(double& x1, double& y1, double& x2, double& y2, int width, int height)
{
  // Ends on the right or bottom edge go one pixel further in, so that the
  // second pixel of each antialiased step stays inside.
  auto outcode = [width, height](double x, double y) {
    return (x < 0 ? 1 : x >= width - 1 ? 2 : 0) | (y < 0 ? 4 : y >= height - 1 ? 8 : 0);
  };
  return ClipSegmentTo(x1, y1, x2, y2, outcode, double(width) - 2, double(height) - 2);
}

void LICE_PlotLine(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_PixelWord colour, float alpha,
                   LICE_ComposeMode mode, bool antialias)
{
  Surface s;
  const int w = Weight(alpha);
  if (DrawsNothing(w, mode) || !GetSurface(dest, s) || !LICE_ClipSegment(x1, y1, x2, y2, s.width, s.height))
    return;
  if (x1 == x2 || y1 == y2)
    PlotRun(s, x1, y1, x2, y2, colour, alpha, w, mode);
  else if (std::abs(x2 - x1) == std::abs(y2 - y1))
    PlotDiagonal(s, x1, y1, x2, y2, colour, alpha, w, mode, antialias);
  else
    PlotGeneral(s, x1, y1, x2, y2, colour, w, mode, antialias);
}

void LICE_PlotSmoothLine(LICE_IBitmap* dest, float x1, float y1, float x2, float y2, LICE_PixelWord colour,
                         float alpha, LICE_ComposeMode mode, bool antialias)
{
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
    return;
  Surface s;
  const int w = Weight(alpha);
  if (DrawsNothing(w, mode) || !GetSurface(dest, s))
    return;
  double ax = x1, ay = y1, bx = x2, by = y2;
  if (!antialias)
  {
    // End points beyond the range of int are first brought onto a box around
    // the bitmap along the same line, so that truncating them is defined.
    constexpr double kFar = 1 << 29;
    auto far = [](double v) { return v < -kFar || v > kFar; };
    if (far(ax) || far(ay) || far(bx) || far(by))
    {
      ax += kFar;
      ay += kFar;
      bx += kFar;
      by += kFar;
      if (!LICE_ClipSegmentF(ax, ay, bx, by, int(2 * kFar), int(2 * kFar)))
        return;
      ax -= kFar;
      ay -= kFar;
      bx -= kFar;
      by -= kFar;
    }
    LICE_PlotLine(dest, int(ax), int(ay), int(bx), int(by), colour, alpha, mode, false);
    return;
  }

  if (!LICE_ClipSegmentF(ax, ay, bx, by, s.width, s.height))
    return;
  if (ax == bx && ay == by)
    return;
  const bool swapAxes = std::fabs(by - ay) > std::fabs(bx - ax);
  if (swapAxes)
  {
    std::swap(ax, ay);
    std::swap(bx, by);
  }
  if (ax > bx)
  {
    std::swap(ax, bx);
    std::swap(ay, by);
  }
  const double slope = (by - ay) / (bx - ax);
  const int first = int(std::ceil(ax)), last = int(std::floor(bx));
  const double minorAtFirst = ay + (first - ax) * slope;
  const double whole = std::floor(minorAtFirst);
  const std::int64_t fraction = std::int64_t((minorAtFirst - whole) * 65536.0);
  // Walking backward along the minor axis, the pixel pair is (whole + 1, whole)
  // and the accumulator measures the distance from whole + 1.
  const bool backward = slope < 0;
  const int minorStep = backward ? -1 : 1;
  int minor = int(whole) + (backward ? 1 : 0);
  std::int64_t acc = backward ? 0xFFFF - fraction : fraction;
  const std::int64_t step = std::int64_t(std::fabs(slope) * 65536.0);

  WithSolidRule(mode, [&](auto rule) {
    using Rule = decltype(rule);
    const Pen<Rule> pen{s, colour};
    for (int major = first; major <= last; ++major)
    {
      const int f = int(acc >> 8);
      const int nearWeight = ((255 - f) * w) >> 8, farWeight = (w * f) >> 8;
      if (swapAxes)
      {
        pen.Put(minor, major, nearWeight);
        pen.Put(minor + minorStep, major, farWeight);
      }
      else
      {
        pen.Put(major, minor, nearWeight);
        pen.Put(major, minor + minorStep, farWeight);
      }
      acc += step;
      if (acc >= 0x10000)
      {
        minor += minorStep;
        acc -= 0x10000;
      }
    }
  });
}
