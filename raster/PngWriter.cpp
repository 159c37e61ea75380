#include "PngWriter.h"

#include <png.h>

#include <cstdio>

#include "FileOpen.h"

namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// One encoder for files and memory: exactly one of file and memory is set.
bool Encode(const RasterBitmap& bitmap, std::FILE* file, std::vector<unsigned char>* memory) {
  uint32_t* bits = bitmap.Bits();
  int w = bitmap.Width(), h = bitmap.Height(), span = bitmap.RowSpan();
  if (!bits || w <= 0 || h <= 0) return false;
  bool flipped = bitmap.IsFlipped();

  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  // One row of R, G, B, A bytes, converted from the pixel words.
  png_bytep volatile row = static_cast<png_bytep>(png_malloc(png, png_alloc_size_t(w) * 4));
  if (setjmp(png_jmpbuf(png))) {
    png_free(png, row);
    png_destroy_write_struct(&png, &info);
    return false;
  }
  if (file) png_init_io(png, file);
  else png_set_write_fn(png, memory, AppendToVector, FlushNothing);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) {
    const uint32_t* src = bits + std::ptrdiff_t(flipped ? h - 1 - y : y) * span;
    png_bytep out = row;
    for (int x = 0; x < w; ++x) {
      uint32_t p = src[x];
      out[x * 4 + 0] = png_byte(p >> 16);
      out[x * 4 + 1] = png_byte(p >> 8);
      out[x * 4 + 2] = png_byte(p);
      out[x * 4 + 3] = png_byte(p >> 24);
    }
    png_write_row(png, out);
  }
  png_write_end(png, nullptr);
  png_free(png, row);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool SavePng(const RasterBitmap& bitmap, const char* path) {
  if (!path || !bitmap.Bits()) return false;
  std::FILE* file = OpenFileUtf8(path, "wb");
  if (!file) return false;
  bool ok = Encode(bitmap, file, nullptr);
  ok = (std::fclose(file) == 0) && ok;
  if (!ok) std::remove(path);
  return ok;
}

bool EncodePng(const RasterBitmap& bitmap, std::vector<unsigned char>& out) {
  out.clear();
  if (!Encode(bitmap, nullptr, &out)) {
    out.clear();
    return false;
  }
  return true;
}
