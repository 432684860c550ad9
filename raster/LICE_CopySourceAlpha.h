#pragma once
// Private to raster/: the row loop of the editor's most common composite,
// copy with source alpha at full weight, in vector form.

#include "raster/LICE_Bitmap.h"

void LICE_CopySourceAlphaRow(LICE_PixelWord* dst, const LICE_PixelWord* src, int count);
