#include <png.h>

#include <cstdio>
#include <cstring>

#include "FileOpen.h"
#include "ImageDecoding.h"

using namespace raster;

namespace {

// Read state of a PNG held in memory.
struct PngMemoryReader {
  const unsigned char* next;
  size_t left;
  size_t overrun;  // zero bytes handed out past the end
};

// Fills the request with zeros, then copies what is left: running out of data gives zeros,
// which libpng's own checks (chunk names, CRCs) then refuse. A reader that keeps asking
// past the end is stopped outright.
void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* reader = static_cast<PngMemoryReader*>(png_get_io_ptr(png));
  std::memset(out, 0, length);
  size_t n = length < reader->left ? length : reader->left;
  std::memcpy(out, reader->next, n);
  reader->next += n;
  reader->left -= n;
  reader->overrun += length - n;
  if (reader->overrun > (size_t(1) << 20)) png_error(png, "read past the end of the image");
}

// Decodes an image whose read structures and input are set up. Every colour type comes
// out as bytes alpha, red, green, blue, then each pixel is turned into its word.
RasterBitmap* DecodePng(png_structp png, png_infop info, RasterBitmap* target) {
  RasterBitmap* volatile created = nullptr;
  png_bytep* volatile rows = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    if (rows) png_free(png, rows);
    delete created;
    return nullptr;
  }
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colour = 0, interlace = 0, compression = 0, filter = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colour, &interlace, &compression, &filter);
  if (!ImageSizeAllowed(width, height)) return nullptr;

  bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (transparency) png_set_tRNS_to_alpha(png);
  if (depth == 16) png_set_strip_16(png);
  if (depth < 8) png_set_packing(png);
  if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if ((colour & PNG_COLOR_MASK_ALPHA) || transparency) png_set_swap_alpha(png);
  else png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  // Four bytes a pixel or nothing: the rows below are exactly that wide.
  if (png_get_rowbytes(png, info) != png_size_t(width) * 4) return nullptr;

  bool isNew = false;
  RasterBitmap* bitmap = PrepareTarget(target, int(width), int(height), isNew);
  if (!bitmap) return nullptr;
  if (isNew) created = bitmap;
  uint32_t* bits = bitmap->Bits();
  std::ptrdiff_t span = bitmap->RowSpan();
  bool flipped = bitmap->IsFlipped();
  rows = static_cast<png_bytep*>(png_malloc(png, sizeof(png_bytep) * height));
  for (png_uint_32 y = 0; y < height; ++y)
    rows[y] = reinterpret_cast<png_bytep>(bits + std::ptrdiff_t(flipped ? height - 1 - y : y) * span);
  png_read_image(png, rows);

  for (png_uint_32 y = 0; y < height; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(rows[y]);
    const png_byte* b = rows[y];
    for (png_uint_32 x = 0; x < width; ++x, b += 4)
      row[x] = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]);
  }
  png_free(png, rows);
  rows = nullptr;
  return bitmap;
}

}  // namespace

RasterBitmap* LoadPngResource(ModuleHandle instance, int id, RasterBitmap* target) {
  ResourceBytes res;
  if (!FindModuleResource(instance, id, "PNG", res) || res.size < 8 || !res.data) return nullptr;
  if (png_sig_cmp(const_cast<png_bytep>(res.data), 0, 8) != 0) return nullptr;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }
  PngMemoryReader reader = {res.data, res.size, 0};
  png_set_read_fn(png, &reader, ReadFromMemory);
  RasterBitmap* bitmap = DecodePng(png, info, target);
  png_destroy_read_struct(&png, &info, nullptr);
  return bitmap;
}

RasterBitmap* LoadPngFile(const char* path, bool checkExtension, RasterBitmap* target) {
  if (!path) return nullptr;
  if (checkExtension && !ExtensionIs(path, ".png")) return nullptr;
  std::FILE* file = OpenFileUtf8(path, "rb");
  if (!file) return nullptr;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  RasterBitmap* bitmap = nullptr;
  if (info) {
    png_init_io(png, file);
    bitmap = DecodePng(png, info, target);
  }
  if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  std::fclose(file);
  return bitmap;
}
