#pragma once
#include "RasterBitmap.h"

// Bitmap on the C heap. Grows with a quarter of headroom and never shrinks its buffer, so
// after a shrink the old bytes are read with the new (smaller) row span.
class MemoryBitmap : public RasterBitmap {
public:
  MemoryBitmap() {}
  // Contents undefined; an allocation failure, a negative side or a size beyond
  // kMaxBitmapBytes leaves the bitmap empty.
  MemoryBitmap(int w, int h);
  ~MemoryBitmap() override;
  MemoryBitmap(const MemoryBitmap&) = delete;
  MemoryBitmap& operator=(const MemoryBitmap&) = delete;

  uint32_t* Bits() const override { return mBits; }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override { return mWidth; }
  // False when (w, h) is the current size; true otherwise, also when the bitmap ended
  // empty (size 0, negative, too large or out of memory).
  bool Resize(int w, int h) override;

  // Size of the pixel buffer in bytes.
  int Capacity() const { return mCapacity; }

private:
  uint32_t* mBits = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  int mCapacity = 0;
};
