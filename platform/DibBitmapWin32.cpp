#include <windows.h>

#include "DibBitmap.h"

DibBitmap::DibBitmap(int w, int h) {
  mDc = CreateCompatibleDC(nullptr);
  Resize(w, h);
}

DibBitmap::~DibBitmap() {
  ReleaseSection();
  if (mDc) DeleteDC(static_cast<HDC>(mDc));
}

bool DibBitmap::CreateSection(int w, int h) {
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
    return false;
  }
  mSection = section;
  mBits = static_cast<uint32_t*>(bits);
  mPrevious = SelectObject(static_cast<HDC>(mDc), section);
  return true;
}

void DibBitmap::ReleaseSection() {
  if (mPrevious) {
    SelectObject(static_cast<HDC>(mDc), static_cast<HGDIOBJ>(mPrevious));
    mPrevious = nullptr;
  }
  if (mSection) {
    DeleteObject(static_cast<HGDIOBJ>(mSection));
    mSection = nullptr;
  }
  mBits = nullptr;
}
