#pragma once
// Private to raster/: vector row loops of the composites the editor uses most.
// Each gives exactly the integer rule of its scalar counterpart.

#include "raster/LICE_Bitmap.h"

#include <cstddef>
#include <cstdint>

//! Copy with source alpha at full weight.
void LICE_CopySourceAlphaRow(LICE_PixelWord* dst, const LICE_PixelWord* src, int count);

//! Add with source alpha at weight 1..256.
void LICE_AddSourceAlphaRow(LICE_PixelWord* dst, const LICE_PixelWord* src, int count, int weight);

//! Solid-colour copy at weight 1..255 on all four channels.
void LICE_FillCopyRow(LICE_PixelWord* dst, int count, LICE_PixelWord colour, int weight);

//! Bilinear samples of `count` destination pixels stepping (s, t) in 16.16 by
//! (dsdx, dtdx) from `origin`, the window's corner; every sample must have its
//! right and lower neighbours inside the window. With `skipTransparent`, for
//! rules that leave the destination alone under a transparent source pixel,
//! samples whose alpha is 0 may come out as 0 in all four channels.
void LICE_BilinearInteriorRun(LICE_PixelWord* out, const LICE_PixelWord* origin, std::ptrdiff_t stride,
                              std::int64_t s, std::int64_t t, std::int64_t dsdx, std::int64_t dtdx, int count,
                              bool skipTransparent);
