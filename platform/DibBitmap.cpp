// The geometry rule both section back ends share.
#include "DibBitmap.h"

bool DibBitmap::Resize(int w, int h) {
  if (!mDc) {
    mWidth = mHeight = 0;
    mBits = nullptr;
    return false;
  }
  if (w == mWidth && h == mHeight) return false;
  mWidth = w;
  mHeight = h;
  // A size that fits the current section reuses it: RowSpan() stays the section's width.
  if (w > 0 && h > 0 && w <= mAllocWidth && h <= mAllocHeight && mBits) return true;

  mAllocWidth = w;
  mAllocHeight = h;
  ReleaseSection();
  if (w <= 0 || h <= 0) {
    MakeEmpty();
    return false;
  }
  if (BitmapByteSize(w, h) < 0 || !CreateSection(w, h)) MakeEmpty();
  return true;
}
