// Stand-in for the DIB section where Win32 is not present: heap pixels with the same reuse
// rules, and a device-context record that names the bitmap.
#include <cstdlib>
#include <new>

#include "DibBitmap.h"

DibBitmap::DibBitmap(int w, int h) {
  mDc = new (std::nothrow) DibStandInContext{this};
  Resize(w, h);
}

DibBitmap::~DibBitmap() {
  std::free(mSection);
  delete static_cast<DibStandInContext*>(mDc);
}

bool DibBitmap::Resize(int w, int h) {
  if (!mDc) {
    mWidth = mHeight = 0;
    mBits = nullptr;
    return false;
  }
  if (w == mWidth && h == mHeight) return false;
  mWidth = w;
  mHeight = h;
  if (w > 0 && h > 0 && w <= mAllocWidth && h <= mAllocHeight && mBits) return true;

  mAllocWidth = w;
  mAllocHeight = h;
  std::free(mSection);
  mSection = nullptr;
  mBits = nullptr;
  if (w <= 0 || h <= 0) {
    mWidth = mHeight = mAllocWidth = mAllocHeight = 0;
    return false;
  }
  int64_t bytes = BitmapByteSize(w, h);
  // A new section starts zeroed, as GDI's do.
  mSection = bytes > 0 ? std::calloc(size_t(bytes), 1) : nullptr;
  if (!mSection) {
    mWidth = mHeight = mAllocWidth = mAllocHeight = 0;
    return true;
  }
  mBits = static_cast<uint32_t*>(mSection);
  return true;
}
