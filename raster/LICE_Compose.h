#pragma once
//! Compositing: region copies, rotated and scaled copies, fills and coverage
//! masks, each with a combine mode (LICE_ComposeMode) and an opacity. All
//! arithmetic is on 8-bit channels in integers; nothing here allocates, and
//! null bitmaps, empty or fully clipped regions, zero or non-finite opacity
//! and unknown combine codes draw nothing.

#include "raster/LICE_Bitmap.h"

//! A source rectangle, right and bottom exclusive.
struct LICE_Rect
{
  int left;
  int top;
  int right;
  int bottom;
};

//! Copies `srcRect` of src (whole src when null) to (dstX, dstY) of dest.
//! Honours the combine codes 0-5, ComposeSourceAlpha and ComposeChannelCopy.
void LICE_CopyRegion(LICE_IBitmap* dest, LICE_IBitmap* src, int dstX, int dstY,
                     const LICE_Rect* srcRect, float alpha, LICE_ComposeMode mode);

//! LICE_CopyRegion of the rectangle (srcX, srcY, srcX + width, srcY + height).
void LICE_CopyBlock(LICE_IBitmap* dest, LICE_IBitmap* src, int dstX, int dstY,
                    int srcX, int srcY, int width, int height, float alpha, LICE_ComposeMode mode);

//! Draws the source region (srcX, srcY, srcW, srcH) scaled into the destination
//! rectangle (dstX, dstY, dstW, dstH), rotated clockwise by `angle` radians
//! about the centre of both (moved by the centre offsets, in source pixels).
//! Negative dstW / dstH mirror. ComposeBilinear samples bilinearly.
void LICE_RotateRegion(LICE_IBitmap* dest, LICE_IBitmap* src, int dstX, int dstY, int dstW,
                       int dstH, float srcX, float srcY, float srcW, float srcH, float angle,
                       bool clipToSourceRect, float alpha, LICE_ComposeMode mode,
                       float centreOffsetX = 0.0f, float centreOffsetY = 0.0f);

//! Fills a rectangle with a colour. ComposeSourceAlpha scales the opacity by
//! the colour's alpha.
void LICE_FillArea(LICE_IBitmap* dest, int x, int y, int width, int height,
                   LICE_PixelWord colour, float alpha, LICE_ComposeMode mode);

//! Draws `colour` through an 8-bit coverage mask at (x, y). A negative
//! maskStride makes the mask's rows run upward from `mask`.
void LICE_StampMask(LICE_IBitmap* dest, int x, int y, LICE_PixelWord colour,
                    const std::uint8_t* mask, int maskWidth, int maskStride, int maskHeight,
                    float alpha, LICE_ComposeMode mode);
