#pragma once
#include "RasterBitmap.h"

// The editor's drawing surface. On Windows its pixels are a 32-bit top-down DIB section
// selected into a memory device context, so finished regions reach a window with one
// BitBlt from DeviceContext(). Elsewhere a stand-in keeps the same geometry rules with
// heap pixels, and its device context is a DibStandInContext naming the bitmap.
//
// The section is reused while a new size fits inside it, so RowSpan() (the width the
// section was made with) can exceed Width() after a shrink.
class DibBitmap : public RasterBitmap {
public:
  explicit DibBitmap(int w, int h);
  ~DibBitmap() override;
  DibBitmap(const DibBitmap&) = delete;
  DibBitmap& operator=(const DibBitmap&) = delete;

  uint32_t* Bits() const override { return mBits; }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override { return mAllocWidth; }
  // False for the current size, for an empty size (the section is released) and when no
  // device context exists; true when a new size was taken, also if the section could not
  // be created (the bitmap is then empty).
  bool Resize(int w, int h) override;
  DeviceContextHandle DeviceContext() const override { return mDc; }

private:
  // The section back end of each platform: make a zeroed w by h section (false when it
  // cannot be had), and give the current one back.
  bool CreateSection(int w, int h);
  void ReleaseSection();
  void MakeEmpty() { mWidth = mHeight = mAllocWidth = mAllocHeight = 0; }

  int mWidth = 0;
  int mHeight = 0;
  void* mDc = nullptr;
  uint32_t* mBits = nullptr;
  int mAllocWidth = 0;
  int mAllocHeight = 0;
  void* mSection = nullptr;
  void* mPrevious = nullptr;
};

// What DeviceContext() of the stand-in points to: the bitmap whose pixels it shows.
struct DibStandInContext {
  const DibBitmap* selected;
};
