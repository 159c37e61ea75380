#pragma once
// Stretched and rotated copies of a source rectangle, composited with the mode word and
// weight of the compositing operations. The filter bits select bilinear sampling (with an
// area filter for strong reductions); samples outside the source leave their destination
// pixel unchanged.
#include "RasterBitmap.h"
#include "RasterModes.h"

// Stretches the source rectangle (sx, sy, sw, sh) onto (dx, dy, dw, dh); a negative dw or
// dh mirrors the source into the rectangle of width -dw (height -dh) that ends at dx (dy).
void ScaledBlit(RasterBitmap* dst, const RasterBitmap* src, int dx, int dy, int dw, int dh,
                float sx, float sy, float sw, float sh, float weight, int mode);
// Draws the source rectangle rotated by angle (radians) about its centre into the
// destination rectangle; the offsets shift the sampled centre. With clipToSource only the
// source rectangle is sampled, otherwise the whole source.
void RotatedBlit(RasterBitmap* dst, const RasterBitmap* src, int dx, int dy, int dw, int dh,
                 float sx, float sy, float sw, float sh, float angle, bool clipToSource,
                 float weight, int mode, float xOffset, float yOffset);
