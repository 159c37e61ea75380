#pragma once
// Decoding PNG (libpng) and JPEG (libjpeg) images into 32-bit bitmaps, from the module's
// resources (types "PNG" and "JPG") or from files.
//
// Target contract: with a null target a new MemoryBitmap of the image's size is returned
// and the caller owns it. With a target, the target is resized to the image and returned;
// null if it did not take exactly that size. Every failure gives null: missing resource,
// damaged or truncated data, images over kMaxImageSide pixels on a side or kMaxImageBytes
// of pixels (refused before any pixel memory is allocated). A JPEG that ends early decodes
// as if its end marker followed.
#include <cstdint>

#include "RasterBitmap.h"
#include "ResourceLookup.h"

constexpr int kMaxImageSide = 32768;
constexpr int64_t kMaxImageBytes = int64_t(256) << 20;

RasterBitmap* LoadPngResource(ModuleHandle instance, int id, RasterBitmap* target);
RasterBitmap* LoadJpegResource(ModuleHandle instance, int id, RasterBitmap* target);
// Paths are UTF-8. With checkExtension, a path not ending in ".png" (respectively ".jpg",
// ".jpeg", ".jfif"), compared without regard to case, is refused without being opened.
RasterBitmap* LoadPngFile(const char* path, bool checkExtension, RasterBitmap* target);
RasterBitmap* LoadJpegFile(const char* path, bool checkExtension, RasterBitmap* target);

// File-dialog filter pairs, double-NUL terminated.
const char* PngFileTypes();
const char* JpegFileTypes();

// The registered file loaders, PNG first.
struct ImageLoaderEntry {
  RasterBitmap* (*load)(const char* path, bool checkExtension, RasterBitmap* target);
  const char* (*fileTypes)();
  ImageLoaderEntry* next;
};
const ImageLoaderEntry* ImageLoaders();
