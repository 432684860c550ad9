#pragma once
//! Writing bitmaps as PNG files, for our own tools (sheets, snapshots,
//! placeholder art). Not used by the plug-in itself.

#include "raster/LICE_Bitmap.h"

//! Writes `bitmap` to `path` (UTF-8) as an 8-bit PNG: colour type 6 (RGBA)
//! with the pixels' straight alpha when keepAlpha is true, else colour type 2
//! (RGB). False when the bitmap is null or empty, the file cannot be made or
//! the encoder fails; a failed write may leave a partial file behind.
bool LICE_WritePng(const char* path, LICE_IBitmap* bitmap, bool keepAlpha = true);
