// thrumwell-rastersheet OUT.png: draws one sheet of every raster operation so
// that a person can judge the quality: lines at many angles with and without
// antialiasing, the fast-path opacities, arcs and wedges across every quarter
// boundary, rings and discs from radius 1.5 to 40, rotated bilinear copies of
// a picture and each combine mode over a gradient. The bottom band is kept
// free for text samples.
#include "raster/LICE_Bitmap.h"
#include "raster/LICE_Compose.h"
#include "raster/LICE_Lines.h"
#include "raster/LICE_PngWrite.h"
#include "tools/cli/ToolArguments.h"
#include "tools/rastersheet/TextSheet.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int kSheetWidth = 1200;
constexpr int kSheetHeight = 1060;
constexpr LICE_PixelWord kBackground = 0xFF202428;
constexpr LICE_PixelWord kPanel = 0xFF2C3238;
constexpr LICE_PixelWord kWhite = 0xFFFFFFFF;
constexpr LICE_PixelWord kAmber = 0xFFFFB030;
constexpr LICE_PixelWord kCyan = 0xFF40D0F0;
constexpr float kPi = 3.14159265f;

// Each area sits on a panel so that its extent is visible.
void Panel(LICE_IBitmap& sheet, int x, int y, int w, int h)
{
  LICE_FillArea(&sheet, x, y, w, h, kPanel, 1.0f, ComposeCopy);
}

void LineBursts(LICE_IBitmap& sheet, int x, int y)
{
  Panel(sheet, x, y, 560, 290);
  const struct
  {
    bool smooth;
    bool antialias;
  } kinds[] = {{false, false}, {false, true}, {true, false}, {true, true}};
  for (int k = 0; k < 4; ++k)
  {
    const float cx = float(x + 70 + k * 140), cy = float(y + 75);
    for (int i = 0; i < 48; ++i)
    {
      const float a = float(i) * kPi / 24.0f;
      const float r = 62.0f;
      if (kinds[k].smooth)
        LICE_PlotSmoothLine(&sheet, cx + 0.3f, cy + 0.6f, cx + 0.3f + r * std::sin(a), cy + 0.6f - r * std::cos(a),
                            kWhite, 1.0f, ComposeCopy, kinds[k].antialias);
      else
        LICE_PlotLine(&sheet, int(cx), int(cy), int(cx + r * std::sin(a)), int(cy - r * std::cos(a)), kWhite, 1.0f,
                      ComposeCopy, kinds[k].antialias);
    }
  }
  // Near-horizontal and near-vertical fans show the stepping of shallow lines.
  for (int k = 0; k < 2; ++k)
  {
    const bool antialias = k == 1;
    const int ox = x + 10 + k * 280, oy = y + 150;
    for (int i = 0; i <= 10; ++i)
    {
      LICE_PlotLine(&sheet, ox, oy + i * 12, ox + 130, oy + i * 12 + i, kAmber, 1.0f, ComposeCopy, antialias);
      LICE_PlotLine(&sheet, ox + 140 + i * 12, oy, ox + 140 + i * 12 + i, oy + 130, kCyan, 0.7f, ComposeCopy,
                    antialias);
    }
  }
}

// The four opacities of the word fast paths (and one in between) as fills,
// runs and diagonals over a colour ramp.
void Opacities(LICE_IBitmap& sheet, int x, int y)
{
  Panel(sheet, x, y, 600, 290);
  for (int i = 0; i < 580; ++i)
  {
    const LICE_PixelWord ramp = 0xFF000000u | (LICE_PixelWord(i * 255 / 579) << 16) |
                                (LICE_PixelWord(255 - i * 255 / 579) << 0) | (LICE_PixelWord(80) << 8);
    LICE_FillArea(&sheet, x + 10 + i, y + 10, 1, 270, ramp, 1.0f, ComposeCopy);
  }
  const float alphas[] = {1.0f, 0.75f, 0.5f, 0.25f, 0.6f};
  for (int k = 0; k < 5; ++k)
  {
    const int bx = x + 20 + k * 114;
    LICE_FillArea(&sheet, bx, y + 20, 100, 60, kWhite, alphas[k], ComposeCopy);
    for (int j = 0; j < 6; ++j)
    {
      LICE_PlotLine(&sheet, bx, y + 100 + j * 6, bx + 99, y + 100 + j * 6, kWhite, alphas[k], ComposeCopy, false);
      LICE_PlotLine(&sheet, bx + j * 6, y + 140, bx + j * 6, y + 190, kAmber, alphas[k], ComposeCopy, false);
    }
    LICE_PlotLine(&sheet, bx + 40, y + 140, bx + 90, y + 190, kWhite, alphas[k], ComposeCopy, false);
    LICE_PlotLine(&sheet, bx + 50, y + 140, bx + 100, y + 190, kWhite, alphas[k], ComposeCopy, true);
    LICE_FillArea(&sheet, bx, y + 205, 100, 30, 0x80FFFFFF, alphas[k], ComposeCopy | ComposeSourceAlpha);
    LICE_FillArea(&sheet, bx, y + 245, 100, 30, 0xFF404040, alphas[k], ComposeAdd);
  }
}

void ArcsAndWedges(LICE_IBitmap& sheet, int x, int y)
{
  Panel(sheet, x, y, 1180, 200);
  // Ranges that cross 0, pi/2, pi and 3pi/2, a range beyond a full turn,
  // negative ranges and reversed ends.
  const struct
  {
    float from, to;
  } ranges[] = {{-0.5f, 0.5f},  {1.2f, 1.9f},   {2.8f, 3.5f},    {4.4f, 5.0f},  {-2.6f, 2.6f},
                {0.0f, 7.0f},   {-7.5f, -6.0f}, {6.0f, 6.6f},    {1.0f, -1.0f}, {-1.5707964f, 0.0f},
                {0.0f, 1.5707964f}, {1.5707964f, 3.1415927f}, {3.1415927f, 4.712389f}};
  const int count = int(sizeof(ranges) / sizeof(ranges[0]));
  for (int i = 0; i < count; ++i)
  {
    const float cx = float(x + 45 + i * 88), cy = float(y + 50);
    LICE_PlotArc(&sheet, cx, cy, 30.0f, ranges[i].from, ranges[i].to, kWhite, 1.0f, ComposeCopy, false);
    LICE_PlotArc(&sheet, cx, cy, 36.5f, ranges[i].from, ranges[i].to, kAmber, 1.0f, ComposeCopy, true);
    LICE_FillWedge(&sheet, cx, cy + 100, 30.0f, ranges[i].from, ranges[i].to, kCyan, 1.0f, ComposeCopy, false);
    LICE_FillWedge(&sheet, cx, cy + 100, 36.5f, ranges[i].from, ranges[i].to, kAmber, 0.5f, ComposeCopy, true);
  }
}

void RingsAndDiscs(LICE_IBitmap& sheet, int x, int y)
{
  Panel(sheet, x, y, 1180, 190);
  const float radii[] = {1.5f, 2.0f, 2.5f, 3.0f, 3.5f, 4.0f, 5.0f, 6.0f, 7.0f, 9.5f, 13.0f, 18.3f, 25.0f, 33.7f, 40.0f};
  // Plain on the left, antialiased on the right; rings above, discs below.
  for (int k = 0; k < 2; ++k)
  {
    const bool antialias = k == 1;
    int cx = x + 8 + k * 590;
    for (float r : radii)
    {
      cx += int(r) + 5;
      const float fx = float(cx) + 0.3f;
      LICE_PlotRing(&sheet, fx, float(y + 50), r, kWhite, 1.0f, ComposeCopy, antialias);
      LICE_FillDisc(&sheet, fx, float(y + 140), r, kAmber, 1.0f, ComposeCopy, antialias);
      cx += int(r) + 5;
    }
  }
}

// A picture with sharp and smooth detail: a grid, diagonal stripes, a
// transparent corner and a disc, to judge the bilinear sampling.
void MakePicture(LICE_MemBitmap& picture)
{
  picture.SetSize(84, 84);
  LICE_FillArea(&picture, 0, 0, 84, 84, 0xFF305070, 1.0f, ComposeCopy);
  for (int i = 0; i < 84; i += 12)
  {
    LICE_PlotLine(&picture, i, 0, i, 83, 0xFFE0E0E0, 1.0f, ComposeCopy, false);
    LICE_PlotLine(&picture, 0, i, 83, i, 0xFFE0E0E0, 1.0f, ComposeCopy, false);
  }
  LICE_FillDisc(&picture, 42.0f, 42.0f, 20.0f, 0xFFFF8020, 1.0f, ComposeCopy, true);
  LICE_PlotLine(&picture, 42, 42, 42, 4, 0xFFFFFFFF, 1.0f, ComposeCopy, false);
  LICE_FillArea(&picture, 60, 60, 24, 24, 0x00000000, 1.0f, ComposeCopy);
}

void Rotations(LICE_IBitmap& sheet, int x, int y, LICE_IBitmap& picture)
{
  Panel(sheet, x, y, 1180, 120);
  const float degrees[] = {0, 10, 30, 45, 60, 90, 135, 180, 225, 300};
  for (int i = 0; i < 10; ++i)
  {
    const int dx = x + 10 + i * 117;
    LICE_RotateRegion(&sheet, &picture, dx, y + 15, 84, 84, 0, 0, 84, 84, degrees[i] * kPi / 180.0f, true, 1.0f,
                      ComposeCopy | ComposeSourceAlpha | ComposeBilinear);
  }
  // Scaled and mirrored copies, plain sampling.
  LICE_RotateRegion(&sheet, &picture, x + 1180 - 10, y + 10, -20, 40, 0, 0, 84, 84, 0.3f, true, 1.0f, ComposeCopy);
}

// Copy, add and dodge, each with source alpha, at four opacities over a
// grey gradient, and a channel copy (source blue into red).
void CombineModes(LICE_IBitmap& sheet, int x, int y, LICE_IBitmap& picture)
{
  Panel(sheet, x, y, 1180, 120);
  for (int i = 0; i < 1160; ++i)
  {
    const LICE_PixelWord g = LICE_PixelWord(i * 255 / 1159);
    LICE_FillArea(&sheet, x + 10 + i, y + 10, 1, 100, 0xFF000000u | g << 16 | g << 8 | g, 1.0f, ComposeCopy);
  }
  const LICE_ComposeMode modes[] = {ComposeCopy | ComposeSourceAlpha, ComposeAdd | ComposeSourceAlpha,
                                    ComposeDodge | ComposeSourceAlpha};
  const float alphas[] = {1.0f, 0.75f, 0.5f, 0.25f};
  int dx = x + 12;
  for (LICE_ComposeMode mode : modes)
    for (float alpha : alphas)
    {
      LICE_CopyRegion(&sheet, &picture, dx, y + 18, nullptr, alpha, mode);
      dx += 86;
    }
  LICE_CopyRegion(&sheet, &picture, dx, y + 18, nullptr, 1.0f, ComposeChannelCopy | (2 << 2) | 0);
}

}  // namespace

int main(int argc, char** argv)
{
  ThrumwellCli::ToolArguments arguments(argc, argv);
  argc = arguments.Count();
  argv = arguments.Values();
  if (argc != 2)
  {
    std::fprintf(stderr, "usage: thrumwell-rastersheet OUT.png\n");
    return 2;
  }
  LICE_MemBitmap sheet(kSheetWidth, kSheetHeight, 4);
  LICE_MemBitmap picture(84, 84, 4);
  MakePicture(picture);
  LICE_FillArea(&sheet, 0, 0, kSheetWidth, kSheetHeight, kBackground, 1.0f, ComposeCopy);

  LineBursts(sheet, 10, 10);
  Opacities(sheet, 590, 10);
  ArcsAndWedges(sheet, 10, 310);
  RingsAndDiscs(sheet, 10, 520);
  Rotations(sheet, 10, 720, picture);
  CombineModes(sheet, 10, 850, picture);
  // Text samples: the band from y = 980 to the bottom edge.
  Panel(sheet, 10, 980, 1180, 70);
  DrawTextSamples(sheet, 10, 980);

  if (!LICE_WritePng(argv[1], &sheet, false))
  {
    std::fprintf(stderr, "thrumwell-rastersheet: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
