#include "MemoryBitmap.h"

#include <cstdlib>

MemoryBitmap::MemoryBitmap(int w, int h) {
  int64_t bytes = BitmapByteSize(w, h);
  if (bytes > 0) {
    mBits = static_cast<uint32_t*>(std::malloc(size_t(bytes)));
    if (mBits) {
      mWidth = w;
      mHeight = h;
      mCapacity = int(bytes);
    }
  }
}

MemoryBitmap::~MemoryBitmap() { std::free(mBits); }

bool MemoryBitmap::Resize(int w, int h) {
  if (w == mWidth && h == mHeight) return false;
  mWidth = w;
  mHeight = h;
  int64_t needed = BitmapByteSize(w, h);
  if (needed > 0) {
    if (!mBits) {
      mCapacity = int(needed);
      mBits = static_cast<uint32_t*>(std::malloc(size_t(needed)));
    } else if (mCapacity < needed) {
      int64_t grown = needed + needed / 4;
      if (grown > kMaxBitmapBytes) grown = needed;
      void* bigger = std::realloc(mBits, size_t(grown));
      if (bigger) {
        mBits = static_cast<uint32_t*>(bigger);
        mCapacity = int(grown);
      } else {
        std::free(mBits);
        mCapacity = int(needed);
        mBits = static_cast<uint32_t*>(std::malloc(size_t(needed)));
      }
    }
  } else {
    std::free(mBits);
    mBits = nullptr;
  }
  if (!mBits) {
    mWidth = mHeight = 0;
    mCapacity = 0;
  }
  return true;
}

uint32_t PixelAt(const RasterBitmap* bitmap, int x, int y) {
  if (!bitmap) return 0;
  uint32_t* bits = bitmap->Bits();
  int w = bitmap->Width(), h = bitmap->Height();
  if (!bits || x < 0 || y < 0 || x >= w || y >= h) return 0;
  if (bitmap->IsFlipped()) y = h - 1 - y;
  return bits[x + size_t(y) * size_t(bitmap->RowSpan())];
}
