// Null and empty bitmaps and bitmaps whose rows cannot hold their width are
// ignored by every operation.
#include "raster/LICE_Compose.h"
#include "raster/LICE_Lines.h"

#include "tests/raster/RasterTestBitmaps.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// Claims a width its rows cannot hold; drawing into it would overrun.
class BrokenStrideBitmap : public ExactBitmap
{
public:
  BrokenStrideBitmap() : ExactBitmap(4, 4) {}
  int Width() const override { return 8; }
};

void DrawEverything(LICE_IBitmap* dest, LICE_IBitmap* src)
{
  LICE_CopyRegion(dest, src, 0, 0, nullptr, 1.0f, 0);
  LICE_CopyRegion(dest, src, 0, 0, nullptr, 0.5f, ComposeSourceAlpha);
  LICE_CopyBlock(dest, src, 0, 0, 0, 0, 4, 4, 1.0f, ComposeAdd);
  LICE_RotateRegion(dest, src, 0, 0, 4, 4, 0, 0, 4, 4, 0.3f, false, 1.0f, ComposeBilinear);
  LICE_FillArea(dest, 0, 0, 4, 4, 0xFFFFFFFF, 1.0f, 0);
  const std::uint8_t mask[4] = {255, 255, 255, 255};
  LICE_StampMask(dest, 0, 0, 0xFFFFFFFF, mask, 2, 2, 2, 1.0f, 0);
  LICE_PlotLine(dest, 0, 0, 3, 2, 0xFFFFFFFF, 1.0f, 0, true);
  LICE_PlotSmoothLine(dest, 0.5f, 0.5f, 3.0f, 2.5f, 0xFFFFFFFF, 1.0f, 0, true);
  LICE_PlotArc(dest, 2, 2, 1.7f, 0, 2, 0xFFFFFFFF, 1.0f, 0, true);
  LICE_FillWedge(dest, 2, 2, 1.7f, 0, 2, 0xFFFFFFFF, 1.0f, 0, false);
  LICE_PlotRing(dest, 2, 2, 1.5f, 0xFFFFFFFF, 1.0f, 0, false);
  LICE_FillDisc(dest, 2, 2, 8.5f, 0xFFFFFFFF, 1.0f, 0, true);
}

TEST(BadBitmaps, AreIgnored)
{
  ExactBitmap good(4, 4, 0x80808080);
  LICE_MemBitmap empty;
  LICE_MemBitmap failed(4, 4);
  failed.SetSize(INT_MAX, INT_MAX);
  BrokenStrideBitmap broken;

  DrawEverything(nullptr, &good);
  DrawEverything(&good, nullptr);
  DrawEverything(&empty, &good);
  DrawEverything(&failed, &good);
  DrawEverything(&broken, &good);
  EXPECT_EQ(broken.Memory(), ExactBitmap(4, 4).Memory());

  ExactBitmap untouched(4, 4);
  DrawEverything(&untouched, &empty);
  DrawEverything(&untouched, &broken);
  // Only the operations without a source drew.
  ExactBitmap expected(4, 4);
  LICE_MemBitmap none;
  DrawEverything(&expected, &none);
  DrawEverything(&expected, &none);
  EXPECT_EQ(untouched, expected);
}

}  // namespace
