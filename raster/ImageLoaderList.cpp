#include <cctype>
#include <new>
#include <cstring>

#include "ImageDecoding.h"
#include "MemoryBitmap.h"

namespace raster {

RasterBitmap* PrepareTarget(RasterBitmap* target, int w, int h, bool& created) {
  created = false;
  if (!target) {
    MemoryBitmap* bitmap = new (std::nothrow) MemoryBitmap(w, h);
    if (!bitmap) return nullptr;
    if (bitmap->Width() != w || bitmap->Height() != h || !bitmap->Bits()) {
      delete bitmap;
      return nullptr;
    }
    created = true;
    return bitmap;
  }
  target->Resize(w, h);
  if (target->Width() != w || target->Height() != h || !target->Bits()) return nullptr;
  return target;
}

const char* PathExtension(const char* path) {
  size_t n = std::strlen(path);
  if (n == 0) return path;
  size_t i = n - 1;
  while (i > 0 && path[i] != '.' && path[i] != '/' && path[i] != '\\') --i;
  return path + i;
}

bool ExtensionIs(const char* path, const char* ext) {
  const char* have = PathExtension(path);
  for (; *have && *ext; ++have, ++ext)
    if (std::tolower(static_cast<unsigned char>(*have)) != std::tolower(static_cast<unsigned char>(*ext)))
      return false;
  return *have == 0 && *ext == 0;
}

}  // namespace raster

namespace {

const char kPngTypes[] = "PNG files (*.PNG)\0*.PNG\0";
const char kJpegTypes[] = "JPEG files (*.JPG;*.JPEG;*.JFIF)\0*.JPG;*.JPEG;*.JFIF\0";

ImageLoaderEntry gPngEntry = {LoadPngFile, PngFileTypes, nullptr};
ImageLoaderEntry gJpegEntry = {LoadJpegFile, JpegFileTypes, nullptr};
ImageLoaderEntry* gLoaders = nullptr;

// Pushes JPEG first and PNG second, so the list reads PNG, JPEG.
struct RegisterLoaders {
  RegisterLoaders() {
    gJpegEntry.next = gLoaders;
    gLoaders = &gJpegEntry;
    gPngEntry.next = gLoaders;
    gLoaders = &gPngEntry;
  }
} gRegisterLoaders;

}  // namespace

const char* PngFileTypes() { return kPngTypes; }
const char* JpegFileTypes() { return kJpegTypes; }
const ImageLoaderEntry* ImageLoaders() { return gLoaders; }
