#pragma once
#include "raster/LICE_Bitmap.h"

//! Draws the text samples into the 1180 x 70 band at (x, y) of the sheet: the
//! editor's four text styles, the alignments, UTF-8 characters and translucent
//! text over a gradient.
void DrawTextSamples(LICE_IBitmap& sheet, int x, int y);
