#include <windows.h>

#include "DibBitmap.h"

DibBitmap::DibBitmap(int w, int h) {
  mDc = CreateCompatibleDC(nullptr);
  Resize(w, h);
}

DibBitmap::~DibBitmap() {
  HDC dc = static_cast<HDC>(mDc);
  if (mPrevious) SelectObject(dc, static_cast<HGDIOBJ>(mPrevious));
  if (mSection) DeleteObject(static_cast<HGDIOBJ>(mSection));
  if (dc) DeleteDC(dc);
}

bool DibBitmap::Resize(int w, int h) {
  HDC dc = static_cast<HDC>(mDc);
  if (!dc) {
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
  if (mPrevious) {
    SelectObject(dc, static_cast<HGDIOBJ>(mPrevious));
    mPrevious = nullptr;
  }
  if (mSection) {
    DeleteObject(static_cast<HGDIOBJ>(mSection));
    mSection = nullptr;
  }
  mBits = nullptr;
  if (w <= 0 || h <= 0) {
    mWidth = mHeight = mAllocWidth = mAllocHeight = 0;
    return false;
  }
  if (BitmapByteSize(w, h) < 0) {
    mWidth = mHeight = mAllocWidth = mAllocHeight = 0;
    return true;
  }

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // negative: rows top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section || !bits) {
    if (section) DeleteObject(section);
    mWidth = mHeight = mAllocWidth = mAllocHeight = 0;
    return true;
  }
  mSection = section;
  mBits = static_cast<uint32_t*>(bits);
  mPrevious = SelectObject(dc, section);
  return true;
}
