#pragma once
//! The platform half of the text renderer. LICE_CachedFont keeps the glyph
//! cache, measures, lays out and composites; what it needs from the system
//! (fonts, one character's coverage, and on Windows the system's own text
//! drawing) comes through here. Windows implements it on GDI
//! (LICE_GlyphSource_win.cpp), Linux on FreeType with fonts found through
//! fontconfig (LICE_GlyphSource_linux.cpp).
//!
//! Nothing here locks: like the fonts, the process-wide scratch state is used
//! from one thread at a time (the editor's window thread).

#include "raster/LICE_Compose.h"

#include <cstdint>

//! A system font. Declared the way <windows.h> declares HFONT, so that on
//! Windows both names are the same type; on Linux the FreeType glyph source
//! defines the structure behind it.
struct HFONT__;
using LICE_FontHandle = HFONT__*;

//! One character rendered as coverage (0 none .. 255 full ink) into a box of
//! boxWidth x height bytes. The character's pen starts at column `margin`, and
//! `advance` is its measured width; ink may spill into the margin on the left
//! and up to the box's right edge.
struct LICE_GlyphRaster
{
  int advance = 0;
  int height = 0;
  int boxWidth = 0;
  int margin = 0;
  const std::uint8_t* coverage = nullptr;  // row 0, column 0
  int columnStep = 1;                      // bytes between columns
  int rowStride = 0;                       // bytes between rows
};

//! Everything the system needs to draw one text itself.
struct LICE_SystemText
{
  LICE_FontHandle font = nullptr;
  int lineHeight = 0;
  LICE_IBitmap* dest = nullptr;  // may be null when measuring
  const char* text = nullptr;
  int length = 0;                // bytes, no terminating zero among them
  LICE_Rect* rect = nullptr;
  int flags = 0;                 // text flags (LICE_CachedFont.h)
  LICE_PixelWord ink = 0;
  LICE_PixelWord paper = 0;
  int paperMode = 1;             // 1 transparent, 2 opaque
  float opacity = 1.0f;
};

class LICE_GlyphSource
{
public:
  //! Makes a system font for a text style: `height` in pixels (the cell
  //! height, ascent plus descent; negative: the character height), escapement
  //! in tenths of a degree, weight 700 or 400, `quality` as the style gives it
  //! (0 default, 1 not antialiased, 2 antialiased, 3 ClearType). A family the
  //! system does not know falls back to its default family. Null when the
  //! system makes no font. The caller deletes it, or hands it to a font with
  //! FontOwnsHandle.
  static LICE_FontHandle MakeSystemFont(const char* face, int height, int escapement, bool bold,
                                        bool italic, int quality);
  static void DeleteSystemFont(LICE_FontHandle font);
  //! True while `font` is a font made here and not yet deleted.
  static bool IsLiveSystemFont(LICE_FontHandle font);

  //! Line height of `font` in pixels (the system's text-metric height); 0
  //! without a font.
  static int LineHeight(LICE_FontHandle font);

  //! Renders one UTF-16 code unit of `font`. The raster stays valid until the
  //! next call here. False when the system could not render it at all.
  static bool RenderGlyph(LICE_FontHandle font, int lineHeight, unsigned short code,
                          LICE_GlyphRaster& out);

  //! True where the system can draw text into bitmaps itself (Windows GDI).
  static bool HasSystemDrawing();
  //! Draws or measures with the system; the result is the system's (the text
  //! height). Only called where HasSystemDrawing() is true.
  static int DrawSystemText(const LICE_SystemText& call);

  //! Whether the process runs under Wine. Asked of the registry once, at the
  //! first call, and kept for the life of the process.
  static bool RunsUnderWine();
  //! Test seam: -1 asks the registry as usual, 0 and 1 force the answer, so
  //! that tests under Wine can reach the system drawing path.
  static void OverrideWineAnswer(int answer);

  //! Frees the scratch bitmaps; called when the last font is destroyed.
  static void ReleaseScratch();
};
