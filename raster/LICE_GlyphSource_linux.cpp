// Glyph source on FreeType: fonts are found by family through fontconfig
// (which falls back to its default family for names it does not know) and
// rendered to 8-bit coverage. Linux has no system drawing path: all text goes
// through the glyph cache.
#include "raster/LICE_GlyphSource.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cstdlib>
#include <vector>

//! The Linux system font: a FreeType face sized to the requested height.
struct HFONT__
{
  FT_Face face = nullptr;
  int lineHeight = 0;  // pixels, ascent + descent
  int ascent = 0;      // pixels from the top of a line to the baseline
  bool aliased = false;
  bool embolden = false;  // bold asked for, and the family has none
  bool oblique = false;   // italic asked for, and the family has none
};

namespace
{
// One FreeType library for all faces, released with the last face. Fonts are
// made and used from one thread at a time, so none of this needs a lock.
FT_Library library = nullptr;
std::vector<LICE_FontHandle> liveFonts;
std::vector<std::uint8_t> glyphScratch;

// A height of 0 asks for the system's default size, as it does of GDI.
constexpr int kDefaultHeight = 16;
// Heights are limited so that one glyph's mask stays around a megabyte.
constexpr int kMaxHeight = 1024;

int RoundedPixels(FT_Pos v)
{
  return int((v + 32) >> 6);
}

void ReleaseLibraryIfUnused()
{
  if (liveFonts.empty() && library)
  {
    FT_Done_FreeType(library);
    library = nullptr;
  }
}

// Opens the face fontconfig prefers for the family, weight and slant.
FT_Face OpenFace(const char* family, bool bold, bool italic, bool& embolden, bool& oblique)
{
  if (!FcInit())
    return nullptr;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern)
    return nullptr;
  if (family && *family)
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match)
    return nullptr;

  FT_Face face = nullptr;
  FcChar8* file = nullptr;
  int index = 0;
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
  FcPatternGetInteger(match, FC_SLANT, 0, &slant);
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
      FT_New_Face(library, reinterpret_cast<const char*>(file), index, &face) != 0)
    face = nullptr;
  FcPatternDestroy(match);
  embolden = bold && weight < FC_WEIGHT_DEMIBOLD;
  oblique = italic && slant == FC_SLANT_ROMAN;
  return face;
}

// Sizes the face like GDI sizes a font: a positive height is the cell height
// (ascent plus descent), a negative one the character height.
bool SizeFace(HFONT__& font, int height)
{
  FT_Face face = font.face;
  const int cell = face->ascender - face->descender;
  if (!FT_IS_SCALABLE(face) || cell <= 0)
    return false;
  FT_Size_RequestRec request = {};
  request.type = height > 0 ? FT_SIZE_REQUEST_TYPE_CELL : FT_SIZE_REQUEST_TYPE_NOMINAL;
  request.height = FT_Long(std::abs(height)) << 6;
  if (FT_Request_Size(face, &request) != 0)
    return false;
  const long em = face->units_per_EM;
  if (height > 0)
    font.lineHeight = height;
  else
    font.lineHeight = int((long(-height) * cell + em / 2) / em);
  font.ascent = int((long(font.lineHeight) * face->ascender + cell / 2) / cell);
  return font.lineHeight > 0;
}
}  // namespace

LICE_FontHandle LICE_GlyphSource::MakeSystemFont(const char* face, int height, int, bool bold,
                                                 bool italic, int quality)
{
  if (height == 0)
    height = kDefaultHeight;
  height = std::clamp(height, -kMaxHeight, kMaxHeight);
  if (!library && FT_Init_FreeType(&library) != 0)
  {
    library = nullptr;
    return nullptr;
  }

  auto* font = new HFONT__;
  font->face = OpenFace(face, bold, italic, font->embolden, font->oblique);
  font->aliased = quality != 0 && quality != 2 && quality != 3;
  if (!font->face || !SizeFace(*font, height))
  {
    if (font->face)
      FT_Done_Face(font->face);
    delete font;
    ReleaseLibraryIfUnused();
    return nullptr;
  }
  liveFonts.push_back(font);
  return font;
}

void LICE_GlyphSource::DeleteSystemFont(LICE_FontHandle font)
{
  const auto it = std::find(liveFonts.begin(), liveFonts.end(), font);
  if (it == liveFonts.end())
    return;
  liveFonts.erase(it);
  FT_Done_Face(font->face);
  delete font;
  ReleaseLibraryIfUnused();
}

bool LICE_GlyphSource::IsLiveSystemFont(LICE_FontHandle font)
{
  return font && std::find(liveFonts.begin(), liveFonts.end(), font) != liveFonts.end();
}

int LICE_GlyphSource::LineHeight(LICE_FontHandle font)
{
  return IsLiveSystemFont(font) ? font->lineHeight : 0;
}

bool LICE_GlyphSource::RenderGlyph(LICE_FontHandle font, int lineHeight, unsigned short code,
                                   LICE_GlyphRaster& out)
{
  if (!IsLiveSystemFont(font))
    return false;
  FT_Face face = font->face;
  const FT_Int32 target = font->aliased ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT;
  if (FT_Load_Glyph(face, FT_Get_Char_Index(face, code), FT_LOAD_DEFAULT | target) != 0)
    return false;
  FT_GlyphSlot slot = face->glyph;
  if (font->embolden)
    FT_GlyphSlot_Embolden(slot);
  if (font->oblique)
    FT_GlyphSlot_Oblique(slot);
  if (FT_Render_Glyph(slot, font->aliased ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
    return false;

  // The same box the GDI source draws into: the character's advance, a
  // margin on the left for ink left of the pen, and room on the right for
  // overhang; all within a scratch of (line height x 2 + 8) pixels square.
  const int scratch = std::max(1, lineHeight) * 2 + 8;
  const int margin = lineHeight / 16 + 2;
  int advance = RoundedPixels(slot->advance.x);
  int right = advance + (lineHeight / 8 + 2) + margin;
  const int height = std::min(font->lineHeight, scratch);
  advance = std::min(advance, scratch);
  right = std::min(right, scratch);
  if (advance < 1 || height < 1)
  {
    out = LICE_GlyphRaster{};
    out.advance = advance;
    out.height = height;
    return true;
  }

  glyphScratch.assign(std::size_t(right) * height, 0);
  const FT_Bitmap& bitmap = slot->bitmap;
  const int left = margin + slot->bitmap_left;
  const int top = font->ascent - slot->bitmap_top;
  for (int row = 0; row < int(bitmap.rows); ++row)
  {
    const int y = top + row;
    if (y < 0 || y >= height)
      continue;
    const unsigned char* src = bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch;
    std::uint8_t* dst = glyphScratch.data() + std::size_t(y) * right;
    for (int col = 0; col < int(bitmap.width); ++col)
    {
      const int x = left + col;
      if (x < 0 || x >= right)
        continue;
      if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        dst[x] = (src[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
      else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
        dst[x] = src[col];
    }
  }

  out.advance = advance;
  out.height = height;
  out.boxWidth = right;
  out.margin = margin;
  out.coverage = glyphScratch.data();
  out.columnStep = 1;
  out.rowStride = right;
  return true;
}

bool LICE_GlyphSource::HasSystemDrawing()
{
  return false;
}

int LICE_GlyphSource::DrawSystemText(const LICE_SystemText&)
{
  return 0;
}

bool LICE_GlyphSource::RunsUnderWine()
{
  return false;
}

void LICE_GlyphSource::OverrideWineAnswer(int)
{
}

void LICE_GlyphSource::ReleaseScratch()
{
  std::vector<std::uint8_t>().swap(glyphScratch);
}
