#pragma once
// The player's window as its tests see it: a captured picture, the headless
// snapshot read from its PNG file, and the pixels where the two differ.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "raster/LICE_Bitmap.h"
#include "raster/LICE_Png.h"

namespace PlayerTest
{

struct Picture
{
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;  // 0x00RRGGBB, row by row
  std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

// The strip's colours as the window shows them: its panel, and its button
// while it reads "Stop" (playing) and "Play" (stopped).
constexpr std::uint32_t kStripPanel = 0x24262Cu;
constexpr std::uint32_t kStopButton = 0x96463Eu;
constexpr std::uint32_t kPlayButton = 0x3E78AAu;

// Whether the strip's panel shows in the window's bottom-right corner.
inline bool ShowsStripPanel(const Picture& window)
{
  return window.width >= 2 && window.height >= 2 && window.At(window.width - 2, window.height - 2) == kStripPanel;
}

// An empty picture when the file is not a PNG.
inline Picture ReadPng(const std::string& path)
{
  Picture picture;
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::unique_ptr<LICE_IBitmap> bitmap(LICE_DecodePngMemory(bytes.data(), bytes.size()));
  if (!bitmap)
    return picture;
  picture.width = bitmap->Width();
  picture.height = bitmap->Height();
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      picture.rgb.push_back(bitmap->Pixels()[static_cast<std::size_t>(y) * bitmap->RowStride() + x] & 0xFFFFFFu);
  return picture;
}

// Pixels of the window's top-left part (where the editor sits) that differ
// from the snapshot; all of them when the window is smaller.
inline int Differences(const Picture& window, const Picture& snapshot)
{
  if (window.width < snapshot.width || window.height < snapshot.height)
    return snapshot.width * snapshot.height;
  int different = 0;
  for (int y = 0; y < snapshot.height; ++y)
    for (int x = 0; x < snapshot.width; ++x)
      different += window.At(x, y) != snapshot.At(x, y);
  return different;
}

}  // namespace PlayerTest
