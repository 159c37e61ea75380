#pragma once

// The mode word taken by every compositing operation, together with a float weight.
// Bits 0-7: blend mode; bits 8-15: filter (scaled and rotated blits only); bit 16: the
// source pixel's alpha scales the weight.
enum RasterMode : int {
  RasterModeCopy = 0,
  RasterModeAdd = 1,
  RasterModeDodge = 2,
  RasterModeMultiply = 3,
  RasterModeOverlay = 4,
  RasterModeHsvAdjust = 5,
  // 0xF0 to 0xFF, Blit only: bits 0-1 name the source byte, bits 2-3 the destination byte
  // (0 blue, 1 green, 2 red, 3 alpha).
  RasterModeChannelCopy = 0xF0,
  RasterFilterBilinear = 0x100,
  RasterUseSourceAlpha = 0x10000,
};

constexpr int kRasterBlendMask = 0xFF;
constexpr int kRasterFilterMask = 0xFF00;
