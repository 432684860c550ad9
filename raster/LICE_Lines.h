#pragma once
//! Lines, arcs, sectors and circles, drawn with the pixels and solid-colour
//! combine rules of the compositing operations (only the combine code in
//! bits 0-7 of the mode matters). Angles are radians, 0 pointing up and
//! growing clockwise: the point at angle a is (cx + r sin a, cy - r cos a).
//! Nothing allocates; null or empty bitmaps, clipped-away shapes, non-finite
//! coordinates, negative radii and zero opacity draw nothing.

#include "raster/LICE_Bitmap.h"

//! Line with inclusive integer end points.
void LICE_PlotLine(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_PixelWord colour,
                   float alpha, LICE_ComposeMode mode, bool antialias);

//! Line with real end points; without antialiasing the end points are
//! truncated and drawn with LICE_PlotLine.
void LICE_PlotSmoothLine(LICE_IBitmap* dest, float x1, float y1, float x2, float y2,
                         LICE_PixelWord colour, float alpha, LICE_ComposeMode mode, bool antialias);

//! Arc of the circle about (cx, cy) between two angles (in either order);
//! a range of a full turn or more draws the whole circle.
void LICE_PlotArc(LICE_IBitmap* dest, float cx, float cy, float radius, float fromAngle,
                  float toAngle, LICE_PixelWord colour, float alpha, LICE_ComposeMode mode,
                  bool antialias);

//! Filled sector between the two radii and the arc of LICE_PlotArc.
void LICE_FillWedge(LICE_IBitmap* dest, float cx, float cy, float radius, float fromAngle,
                    float toAngle, LICE_PixelWord colour, float alpha, LICE_ComposeMode mode,
                    bool antialias);

//! Whole circle outline.
void LICE_PlotRing(LICE_IBitmap* dest, float cx, float cy, float radius, LICE_PixelWord colour,
                   float alpha, LICE_ComposeMode mode, bool antialias);

//! Whole filled circle.
void LICE_FillDisc(LICE_IBitmap* dest, float cx, float cy, float radius, LICE_PixelWord colour,
                   float alpha, LICE_ComposeMode mode, bool antialias);

//! Clips the integer segment to the bitmap's pixels (0..width-1, 0..height-1);
//! false when nothing of it is left.
bool LICE_ClipSegment(int& x1, int& y1, int& x2, int& y2, int width, int height);

//! Clips the real segment so that its end points lie in [0, width-2] x [0, height-2]
//! on the right and bottom, keeping the second pixel of each antialiased step inside.
bool LICE_ClipSegmentF(double& x1, double& y1, double& x2, double& y2, int width, int height);
