#pragma once
// Copying, mixing and filling pixels of bitmaps under a mode word (RasterModes.h) and a
// weight. A null bitmap, null pixel memory, the weight 0.0, an empty clipped area or an
// unknown mode draw nothing. Colours are pixel words 0xAARRGGBB.
#include <cstdint>

#include "IRect.h"
#include "RasterBitmap.h"
#include "RasterModes.h"

// Composites the source rectangle (the whole source when null) with its top-left at
// (dx, dy), clipped to both bitmaps.
void Blit(RasterBitmap* dst, const RasterBitmap* src, int dx, int dy, const IRect* srcRect,
          float weight, int mode);
// Blit of the source rectangle {sx, sy, sx + width, sy + height}.
void BlitRect(RasterBitmap* dst, const RasterBitmap* src, int dx, int dy, int sx, int sy,
              int width, int height, float weight, int mode);
// Resizes dst to the source's size and copies every word.
void CopyBitmap(RasterBitmap* dst, const RasterBitmap* src);
// Composites a colour over a rectangle; the operations see the weight as the colour's alpha.
void FillRect(RasterBitmap* dst, int x, int y, int width, int height, uint32_t colour,
              float weight, int mode);
// Every pixel of the rectangle becomes orBits | (pixel & andMask).
void MaskRect(RasterBitmap* dst, int x, int y, int width, int height, uint32_t andMask,
              uint32_t orBits);
// Composites a colour, with its own alpha, into one pixel.
void BlendPixel(RasterBitmap* dst, int x, int y, uint32_t colour, float weight, int mode);
