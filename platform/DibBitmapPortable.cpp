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
  ReleaseSection();
  delete static_cast<DibStandInContext*>(mDc);
}

bool DibBitmap::CreateSection(int w, int h) {
  // A new section starts zeroed, as GDI's do.
  mSection = std::calloc(size_t(BitmapByteSize(w, h)), 1);
  mBits = static_cast<uint32_t*>(mSection);
  return mSection != nullptr;
}

void DibBitmap::ReleaseSection() {
  std::free(mSection);
  mSection = nullptr;
  mBits = nullptr;
}
