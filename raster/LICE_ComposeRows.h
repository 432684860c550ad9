#pragma once
// Private to raster/: vector row loops of the composites the editor uses most.
// Each gives exactly the integer rule of its scalar counterpart.

#include "raster/LICE_Bitmap.h"

//! Copy with source alpha at full weight.
void LICE_CopySourceAlphaRow(LICE_PixelWord* dst, const LICE_PixelWord* src, int count);

//! Solid-colour copy at weight 1..255 on all four channels.
void LICE_FillCopyRow(LICE_PixelWord* dst, int count, LICE_PixelWord colour, int weight);
