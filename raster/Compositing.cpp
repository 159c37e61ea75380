#include "Compositing.h"

#include <cstring>

#include "PixelOperations.h"

namespace raster {

namespace {

// Reciprocals for the hue and saturation arithmetic: Q[i] = 65536 / i - 1, Q[0] = 0.
struct ReciprocalTable {
  uint16_t q[256];
  constexpr ReciprocalTable() : q() {
    for (int i = 1; i < 256; ++i) q[i] = uint16_t(65536 / i - 1);
  }
};
constexpr ReciprocalTable kReciprocal;

}  // namespace

void OpHsvAdjust::Apply(uint32_t* p, int r, int g, int b, int a, int e) {
  const uint16_t* Q = kReciprocal.q;
  uint32_t d = *p;
  int dr = ChannelR(d), dg = ChannelG(d), db = ChannelB(d);

  // Destination to hue (384 steps, six sectors of 64), saturation and value.
  int v, delta, h;
  if (dg > dr && dg > db) {
    v = dg;
    delta = v - (dr < db ? dr : db);
    h = 128 + ((db - dr) * (Q[delta] + 1)) / 1024;
  } else if (dr >= dg && dr > db) {
    v = dr;
    delta = v - (dg < db ? dg : db);
    h = dg >= db ? ((dg - db) * (Q[delta] + 1)) / 1024 : 383 + ((dg - db) * (Q[delta] + 1)) / 1024;
  } else {
    v = db;
    delta = v - (dr < dg ? dr : dg);
    h = 256 + ((dr - dg) * (Q[delta] + 1)) / 1024;
  }
  int s = (Q[v] * delta) / 256;

  // Weights above 1.0 can turn the hue by more than a full circle.
  h = (h + ((r / 2 + r - 192) * e) / 256) % 384;
  if (h < 0) h += 384;
  s = ClampChannel(s + ((g - 128) * e) / 256);
  v = ClampChannel(v + ((b - 128) * e) / 256);

  int m = ((256 - s) * v) / 256;
  auto rising = [&](int t) { return ((16384 - t * s) * v) / 16384; };
  int red, green, blue;
  switch (h / 64) {
    case 0: red = v; green = rising(64 - h); blue = m; break;
    case 1: red = rising(h - 64); green = v; blue = m; break;
    case 2: red = m; green = v; blue = rising(192 - h); break;
    case 3: red = m; green = rising(h - 192); blue = v; break;
    case 4: red = rising(320 - h); green = m; blue = v; break;
    default: red = v; green = m; blue = rising(h - 320); break;
  }
  // The alpha can be a weight (fills) and so reach 256: keep it in its byte.
  *p = uint32_t(ClampChannel(a)) << 24 | uint32_t(red) << 16 | uint32_t(green) << 8 |
       uint32_t(blue);
}

namespace {

template <class Op>
void BlitArea(const PixelView& d, const PixelView& s, int dx, int dy, int left, int top, int w,
              int h, int e) {
  uint32_t* drow = d.Row(dy) + dx;
  const uint32_t* srow = s.Row(top) + left;
  for (int y = 0; y < h; ++y, drow += d.Step(), srow += s.Step()) {
    for (int x = 0; x < w; ++x) {
      uint32_t c = srow[x];
      Op::Apply(drow + x, ChannelR(c), ChannelG(c), ChannelB(c), ChannelA(c), e);
    }
  }
}

void ChannelCopy(const PixelView& d, const PixelView& s, int dx, int dy, int left, int top,
                 int w, int h, int mode) {
  int from = mode & 3, to = (mode >> 2) & 3;
  uint8_t* drow = reinterpret_cast<uint8_t*>(d.Row(dy) + dx);
  const uint8_t* srow = reinterpret_cast<const uint8_t*>(s.Row(top) + left);
  for (int y = 0; y < h; ++y, drow += d.Step() * 4, srow += s.Step() * 4)
    for (int x = 0; x < w; ++x) drow[x * 4 + to] = srow[x * 4 + from];
}

template <class Op>
void FillArea(const PixelView& d, int x0, int y0, int w, int h, uint32_t colour, int e) {
  uint32_t* row = d.Row(y0) + x0;
  int r = ChannelR(colour), g = ChannelG(colour), b = ChannelB(colour);
  for (int y = 0; y < h; ++y, row += d.Step())
    for (int x = 0; x < w; ++x) Op::Apply(row + x, r, g, b, e, e);
}

template <class Word>
void FillWords(const PixelView& d, int x0, int y0, int w, int h, Word word) {
  uint32_t* row = d.Row(y0) + x0;
  for (int y = 0; y < h; ++y, row += d.Step())
    for (int x = 0; x < w; ++x) row[x] = word(row[x]);
}

// Whole-word results of the copy mode at weights 1.0, 0.5, 0.25 and 0.75; false for
// any other weight.
bool CopyWord(uint32_t colour, float weight, uint32_t* p) {
  uint32_t d = *p;
  if (weight == 1.0f) *p = colour;
  else if (weight == 0.5f) *p = HalveWords(colour, d);
  else if (weight == 0.25f)
    *p = ((colour >> 2) & 0x3F3F3F3Fu) + ((d >> 1) & 0x7F7F7F7Fu) + ((d >> 2) & 0x3F3F3F3Fu);
  else if (weight == 0.75f)
    *p = ((colour >> 1) & 0x7F7F7F7Fu) + ((colour >> 2) & 0x3F3F3F3Fu) + ((d >> 2) & 0x3F3F3F3Fu);
  else return false;
  return true;
}

}  // namespace
}  // namespace raster

using namespace raster;

void Blit(RasterBitmap* dst, const RasterBitmap* src, int dx, int dy, const IRect* srcRect,
          float weight, int mode) {
  if (!dst || !src || weight == 0.0f) return;
  int64_t left = 0, top = 0, right = src->Width(), bottom = src->Height();
  if (srcRect) {
    left = srcRect->left < 0 ? 0 : srcRect->left;
    top = srcRect->top < 0 ? 0 : srcRect->top;
    right = srcRect->right > src->Width() ? src->Width() : srcRect->right;
    bottom = srcRect->bottom > src->Height() ? src->Height() : srcRect->bottom;
  }
  int64_t x = dx, y = dy;
  if (x < 0) { left -= x; x = 0; }
  if (y < 0) { top -= y; y = 0; }
  if (right - left + x > dst->Width()) right = dst->Width() + left - x;
  if (bottom - top + y > dst->Height()) bottom = dst->Height() + top - y;
  if (right <= left || bottom <= top) return;
  int w = int(right - left), h = int(bottom - top);

  PixelView d = ViewOf(dst), s = ViewOf(src);
  if (!d.bits || !s.bits) return;
  int l = int(left), t = int(top), px = int(x), py = int(y);

  if ((mode & kRasterBlendMask) >= RasterModeChannelCopy) {
    ChannelCopy(d, s, px, py, l, t, w, h, mode);
    return;
  }
  int k = mode & (RasterUseSourceAlpha | kRasterBlendMask);
  if (k == RasterModeCopy && weight == 1.0f) {
    uint32_t* drow = d.Row(py) + px;
    const uint32_t* srow = s.Row(t) + l;
    for (int row = 0; row < h; ++row, drow += d.Step(), srow += s.Step())
      std::memmove(drow, srow, size_t(w) * 4);
    return;
  }
  int e = WeightOf(weight);
  ForEachOperation(mode, weight, true, [&](auto op) {
    BlitArea<decltype(op)>(d, s, px, py, l, t, w, h, e);
  });
}

void BlitRect(RasterBitmap* dst, const RasterBitmap* src, int dx, int dy, int sx, int sy,
              int width, int height, float weight, int mode) {
  IRect r;
  r.left = sx;
  r.top = sy;
  r.right = int32_t(int64_t(sx) + width > INT32_MAX ? INT32_MAX : int64_t(sx) + width);
  r.bottom = int32_t(int64_t(sy) + height > INT32_MAX ? INT32_MAX : int64_t(sy) + height);
  Blit(dst, src, dx, dy, &r, weight, mode);
}

void CopyBitmap(RasterBitmap* dst, const RasterBitmap* src) {
  if (!dst || !src) return;
  dst->Resize(src->Width(), src->Height());
  Blit(dst, src, 0, 0, nullptr, 1.0f, RasterModeCopy);
}

namespace {

// Clips a rectangle to the bitmap the way fills and masks do; false when nothing is left.
bool ClipFill(const PixelView& d, int& x, int& y, int& width, int& height) {
  int64_t w = width, h = height;
  if (x < 0) { w += x; x = 0; }
  if (y < 0) { h += y; y = 0; }
  if (w > int64_t(d.width) - x) w = int64_t(d.width) - x;
  if (h > int64_t(d.height) - y) h = int64_t(d.height) - y;
  if (!d.bits || w < 1 || h < 1 || d.span < 1) return false;
  width = int(w);
  height = int(h);
  return true;
}

}  // namespace

void FillRect(RasterBitmap* dst, int x, int y, int width, int height, uint32_t colour,
              float weight, int mode) {
  if (!dst) return;
  if (mode & RasterUseSourceAlpha) weight = float(colour >> 24) * weight * (1.0f / 255.0f);
  PixelView d = ViewOf(dst);
  if (weight == 0.0f || !ClipFill(d, x, y, width, height)) return;
  int blend = mode & kRasterBlendMask;
  if (blend == RasterModeCopy) {
    uint32_t probe = 0;
    if (CopyWord(colour, weight, &probe)) {
      FillWords(d, x, y, width, height, [&](uint32_t p) {
        CopyWord(colour, weight, &p);
        return p;
      });
      return;
    }
  }
  int e = WeightOf(weight);
  ForEachOperation(blend, weight, false, [&](auto op) {
    // The copy mode's whole-word weights were handled above; what is left is the formula.
    FillArea<FormulaOf<decltype(op)>>(d, x, y, width, height, colour, e);
  });
}

void MaskRect(RasterBitmap* dst, int x, int y, int width, int height, uint32_t andMask,
              uint32_t orBits) {
  if (!dst) return;
  PixelView d = ViewOf(dst);
  if (!ClipFill(d, x, y, width, height)) return;
  FillWords(d, x, y, width, height, [=](uint32_t p) { return orBits | (p & andMask); });
}

void BlendPixel(RasterBitmap* dst, int x, int y, uint32_t colour, float weight, int mode) {
  if (!dst) return;
  PixelView d = ViewOf(dst);
  if (!d.bits || x < 0 || y < 0 || x >= d.width || y >= d.height) return;
  uint32_t* p = d.Row(y) + x;
  int blend = mode & kRasterBlendMask;
  if (blend == RasterModeCopy && CopyWord(colour, weight, p)) return;
  if (weight == 0.0f) return;
  int e = WeightOf(weight);
  ForEachOperation(blend, weight, false, [&](auto op) {
    FormulaOf<decltype(op)>::Apply(p, ChannelR(colour), ChannelG(colour), ChannelB(colour), ChannelA(colour), e);
  });
}
