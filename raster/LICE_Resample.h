#pragma once
//! Resampling a region of a picture to another size: the step that makes the
//! picture of a scaled editor from artwork drawn at another scale. It runs
//! once per picture and size (the result is kept and then copied like any
//! picture), so unlike the drawing operations it may allocate.

#include "raster/LICE_Bitmap.h"

//! Fills `out` (sized outW x outH) with the source region (srcX, srcY, srcW,
//! srcH), stretched or shrunk to fill it. Each axis is filtered on its own:
//! shrinking averages the source pixels each output pixel covers, weighted
//! by the part covered (an area filter); enlarging interpolates linearly
//! between the two nearest pixel centres. Only the region's own pixels are
//! read (its edge pixels stand in for anything beyond), so one frame of a
//! strip never bleeds into the next. Colours are weighted by their alpha, so
//! transparent pixels lend no colour to the edges of what is drawn.
//! False (out left alone) for a null or empty bitmap, a region outside the
//! source, a size below 1 or non-finite coordinates.
bool LICE_ResampleRegion(LICE_MemBitmap* out, int outW, int outH, LICE_IBitmap* src, float srcX, float srcY,
                         float srcW, float srcH);
