#pragma once
// Helpers shared by the PNG and JPEG loaders.
#include <cstdint>

#include "ImageLoading.h"

namespace raster {

// Whether an image of w by h pixels may be decoded at all.
inline bool ImageSizeAllowed(int64_t w, int64_t h) {
  return w > 0 && h > 0 && w <= kMaxImageSide && h <= kMaxImageSide && w * h * 4 <= kMaxImageBytes;
}

// The bitmap to decode into, following the target contract; null on failure. created is
// set when the bitmap is new (and must be deleted if decoding fails later).
RasterBitmap* PrepareTarget(RasterBitmap* target, int w, int h, bool& created);

// The extension of a path as the file loaders compare it: from the last dot, slash or
// backslash to the end.
const char* PathExtension(const char* path);
bool ExtensionIs(const char* path, const char* ext);

}  // namespace raster
