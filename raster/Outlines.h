#pragma once
// Lines, circle outlines, arcs and coverage masks, composited with the mode word and weight
// of the compositing operations (the source-alpha flag is not honoured here). Colours are
// pixel words 0xAARRGGBB; their own alpha is the source alpha of each pixel.
#include <cstdint>

#include "RasterBitmap.h"
#include "RasterModes.h"

// A line clipped to the bitmap, both end points included.
void DrawLine(RasterBitmap* dst, int x1, int y1, int x2, int y2, uint32_t colour, float weight,
              int mode, bool antialias);
// A circle outline; radii 2, 2.5, 3, 3.5 and 4 come from fixed coverage masks.
void DrawCircle(RasterBitmap* dst, float cx, float cy, float radius, uint32_t colour,
                float weight, int mode, bool antialias);
// Part of a circle outline. Angles in radians, clockwise from straight up; a span of 2 pi
// or more draws the whole circle.
void DrawArc(RasterBitmap* dst, float cx, float cy, float radius, float fromAngle,
             float toAngle, uint32_t colour, float weight, int mode, bool antialias);
// Composites a colour through maskWidth by maskHeight coverage bytes (255 full) with the
// mask's top-left pixel at (x, y).
void DrawCoverageMask(RasterBitmap* dst, int x, int y, uint32_t colour, const uint8_t* mask,
                      int maskWidth, int maskHeight, float weight, int mode);
