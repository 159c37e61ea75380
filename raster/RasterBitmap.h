#pragma once
#include <cstdint>

// Opaque native handles: a Win32 HDC on Windows, the stand-in's own record elsewhere.
using DeviceContextHandle = void*;

// Abstract 32-bit bitmap. A pixel is one word 0xAARRGGBB (bytes in memory: blue, green, red,
// alpha), straight alpha. Pixel (x, y) is Bits()[x + y * RowSpan()], rows top-down unless
// IsFlipped(). An empty bitmap has width and height 0 and null Bits().
class RasterBitmap {
public:
  virtual ~RasterBitmap() {}
  virtual uint32_t* Bits() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Distance from one row to the next, in pixels; never below Width().
  virtual int RowSpan() const = 0;
  virtual bool IsFlipped() const { return false; }
  // Whether a new size was taken; each kind has its own reuse rule.
  virtual bool Resize(int w, int h) = 0;
  virtual DeviceContextHandle DeviceContext() const { return nullptr; }
};

// The pixel at (x, y); 0 for a null bitmap, null bits or a position outside the bitmap.
uint32_t PixelAt(const RasterBitmap* bitmap, int x, int y);

// Largest pixel buffer any bitmap allocates: its byte size must fit an int.
constexpr int64_t kMaxBitmapBytes = 0x7FFFFFFF;

// Byte size of a w by h bitmap, or -1 when a side is negative or the size is too large.
// Computed in 64 bits so that no product can overflow.
inline int64_t BitmapByteSize(int w, int h) {
  if (w < 0 || h < 0) return -1;
  int64_t bytes = int64_t(w) * int64_t(h) * 4;
  return bytes > kMaxBitmapBytes ? -1 : bytes;
}
