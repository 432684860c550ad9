// Feeds arbitrary text, flags, rectangles and font settings to RenderText.
// The bitmap's rows are padded and the padding must keep its sentinel:
// nothing may be written outside the bitmap. The sanitizers watch the rest.
#include "raster/LICE_CachedFont.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace
{
constexpr LICE_PixelWord kSentinel = 0x5A5A5A5A;
constexpr int kTextFlags[] = {LICE_DT_CENTER,     LICE_DT_RIGHT,  LICE_DT_VCENTER, LICE_DT_BOTTOM,
                              LICE_DT_WORDBREAK,  LICE_DT_SINGLELINE, LICE_DT_NOCLIP, LICE_DT_CALCRECT};

LICE_CachedFont& Font(int which)
{
  static LICE_CachedFont* fonts[2] = {};
  if (!fonts[which])
  {
    fonts[which] = new LICE_CachedFont;
    fonts[which]->AdoptSystemFont(LICE_GlyphSource::MakeSystemFont("Arial", which ? 300 : 15, 0, false, false, 2),
                                  FontOwnsHandle | FontPreferSystem);
  }
  return *fonts[which];
}

int Int16At(const std::uint8_t* p)
{
  return std::int16_t(std::uint16_t(p[0] | p[1] << 8));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  constexpr std::size_t kHeader = 12;
  if (size < kHeader)
    return 0;
  int flags = 0;
  for (int bit = 0; bit < 8; ++bit)
    if (data[0] & (1 << bit))
      flags |= kTextFlags[bit];
  const std::uint8_t extra = data[1];
  if (extra & 1)
    flags |= TextUseInkAlpha;
  LICE_CachedFont& font = Font((extra >> 1) & 1);
  font.SetPaperMode((extra & 4) ? LICE_PaperOpaque : LICE_PaperTransparent);
  font.SetBlend(LICE_ComposeMode((extra >> 3) & 3), float(data[3]) / 200.0f);
  font.SetInk(LICE_PixelWord(data[2]) << 24 | 0xFFFFFF);
  font.SetLineGap(std::int8_t(data[3]));

  LICE_MemBitmap bitmap(40, 20, 16);
  if (bitmap.RowStride() != 48)
    std::abort();
  for (int i = 0; i < bitmap.RowStride() * bitmap.Height(); ++i)
    bitmap.Pixels()[i] = kSentinel;

  LICE_Rect rect = {Int16At(data + 4), Int16At(data + 6), Int16At(data + 8), Int16At(data + 10)};
  const std::string text(reinterpret_cast<const char*>(data + kHeader), size - kHeader);
  // Half the inputs are read up to a terminating zero, half by exact length.
  const int length = (extra & 0x20) ? -1 : int(text.size());
  font.RenderText((extra & 0x40) ? nullptr : &bitmap, text.c_str(), length, &rect, flags);

  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = bitmap.Width(); x < bitmap.RowStride(); ++x)
      if (bitmap.Pixels()[y * bitmap.RowStride() + x] != kSentinel)
        std::abort();
  return 0;
}
