#include <csetjmp>
#include <cstdio>
#include <cstring>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "FileOpen.h"
#include "ImageDecoding.h"

using namespace raster;

namespace {

struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1);
}
void EmitMessage(j_common_ptr, int) {}
void OutputMessage(j_common_ptr) {}
void FormatMessage(j_common_ptr, char* buffer) { buffer[0] = 0; }
void ResetErrors(j_common_ptr cinfo) {
  cinfo->err->num_warnings = 0;
  cinfo->err->msg_code = 0;
}

// Memory source: the whole image at once; past its end an end-of-image marker, so that a
// truncated stream ends cleanly.
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}
boolean FillInput(j_decompress_ptr cinfo) {
  cinfo->src->next_input_byte = kEndOfImage;
  cinfo->src->bytes_in_buffer = 2;
  return TRUE;
}
void SkipInput(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  size_t n = size_t(count) < cinfo->src->bytes_in_buffer ? size_t(count) : cinfo->src->bytes_in_buffer;
  cinfo->src->next_input_byte += n;
  cinfo->src->bytes_in_buffer -= n;
}

void UseMemorySource(j_decompress_ptr cinfo, const unsigned char* data, size_t size) {
  auto* src = static_cast<jpeg_source_mgr*>(
      (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(jpeg_source_mgr)));
  src->init_source = InitSource;
  src->fill_input_buffer = FillInput;
  src->skip_input_data = SkipInput;
  src->resync_to_restart = jpeg_resync_to_restart;
  src->term_source = TermSource;
  src->next_input_byte = data;
  src->bytes_in_buffer = size;
  cinfo->src = src;
}

// Decodes from memory (file null) or from an open file.
RasterBitmap* DecodeJpeg(const unsigned char* data, size_t size, std::FILE* file, RasterBitmap* target) {
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  JpegErrors errors;
  cinfo.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = ErrorExit;
  errors.manager.emit_message = EmitMessage;
  errors.manager.output_message = OutputMessage;
  errors.manager.format_message = FormatMessage;
  errors.manager.reset_error_mgr = ResetErrors;
  RasterBitmap* volatile created = nullptr;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&cinfo);
    delete created;
    return nullptr;
  }
  jpeg_CreateDecompress(&cinfo, JPEG_LIB_VERSION, sizeof cinfo);
  if (file) jpeg_stdio_src(&cinfo, file);
  else UseMemorySource(&cinfo, data, size);
  jpeg_read_header(&cinfo, TRUE);
  // Refused from the header, before the decoder allocates for the whole image.
  if (!ImageSizeAllowed(cinfo.image_width, cinfo.image_height)) {
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  jpeg_start_decompress(&cinfo);
  int w = int(cinfo.output_width), h = int(cinfo.output_height), n = cinfo.output_components;
  JSAMPARRAY sample = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                 JDIMENSION(w) * JDIMENSION(n), 1);
  bool isNew = false;
  RasterBitmap* bitmap = PrepareTarget(target, w, h, isNew);
  if (!bitmap) {
    jpeg_abort_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return nullptr;
  }
  if (isNew) created = bitmap;
  uint32_t* bits = bitmap->Bits();
  std::ptrdiff_t span = bitmap->RowSpan();
  bool flipped = bitmap->IsFlipped();
  while (cinfo.output_scanline < cinfo.output_height) {
    int y = int(cinfo.output_scanline);
    if (jpeg_read_scanlines(&cinfo, sample, 1) != 1) break;
    uint32_t* row = bits + std::ptrdiff_t(flipped ? h - 1 - y : y) * span;
    const JSAMPLE* s = sample[0];
    if (n == 3) {
      for (int x = 0; x < w; ++x, s += 3)
        row[x] = 0xFF000000u | uint32_t(s[0]) << 16 | uint32_t(s[1]) << 8 | uint32_t(s[2]);
    } else if (n == 1) {
      for (int x = 0; x < w; ++x) row[x] = 0xFF000000u | uint32_t(s[x]) * 0x010101u;
    } else {
      std::memset(row, 0, size_t(w) * 4);
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return bitmap;
}

}  // namespace

RasterBitmap* LoadJpegResource(ModuleHandle instance, int id, RasterBitmap* target) {
  ResourceBytes res;
  if (!FindModuleResource(instance, id, "JPG", res) || res.size < 8 || !res.data) return nullptr;
  return DecodeJpeg(res.data, res.size, nullptr, target);
}

RasterBitmap* LoadJpegFile(const char* path, bool checkExtension, RasterBitmap* target) {
  if (!path) return nullptr;
  if (checkExtension && !ExtensionIs(path, ".jpg") && !ExtensionIs(path, ".jpeg") &&
      !ExtensionIs(path, ".jfif"))
    return nullptr;
  std::FILE* file = OpenFileUtf8(path, "rb");
  if (!file) return nullptr;
  RasterBitmap* bitmap = DecodeJpeg(nullptr, 0, file, target);
  std::fclose(file);
  return bitmap;
}
