#include "TestImages.h"

#include <png.h>

#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace {

void Append(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void Flush(png_structp) {}

int Channels(int colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    default: return 4;
  }
}

}  // namespace

Bytes MakePng(int w, int h, int colourType, int bitDepth, unsigned (*sample)(int, int, int)) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return Bytes();
  }
  png_set_write_fn(png, &out, Append, Flush);
  png_set_IHDR(png, info, w, h, bitDepth, colourType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  int n = Channels(colourType);
  std::vector<png_byte> row(size_t(w) * n * 2 + 8);
  for (int y = 0; y < h; ++y) {
    std::fill(row.begin(), row.end(), 0);
    for (int x = 0; x < w; ++x) {
      for (int c = 0; c < n; ++c) {
        unsigned v = sample(x, y, c);
        int i = x * n + c;
        if (bitDepth == 16) {
          row[i * 2] = png_byte(v >> 8);
          row[i * 2 + 1] = png_byte(v);
        } else if (bitDepth == 8) {
          row[i] = png_byte(v);
        } else {
          int bit = i * bitDepth;
          row[bit / 8] |= png_byte(v << (8 - bitDepth - bit % 8));
        }
      }
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

namespace {
const std::vector<uint32_t>* gArgb = nullptr;
int gWidth = 0;
unsigned ArgbSample(int x, int y, int c) {
  uint32_t p = (*gArgb)[size_t(y) * gWidth + x];
  const int shift[4] = {16, 8, 0, 24};
  return (p >> shift[c]) & 0xFF;
}
}  // namespace

Bytes MakeRgbaPng(int w, int h, const std::vector<uint32_t>& argb) {
  gArgb = &argb;
  gWidth = w;
  return MakePng(w, h, PNG_COLOR_TYPE_RGB_ALPHA, 8, ArgbSample);
}

Bytes MakeJpeg(int w, int h, int components, int value) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &mem, &size);
  cinfo.image_width = JDIMENSION(w);
  cinfo.image_height = JDIMENSION(h);
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(size_t(w) * components, JSAMPLE(value));
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes out(mem, mem + size);
  free(mem);
  return out;
}

std::string ScratchPath(const std::string& name) { return "raster_tests_" + name; }

bool WriteFile(const std::string& path, const Bytes& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}
