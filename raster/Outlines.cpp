#include "Outlines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "PixelOperations.h"

using namespace raster;

namespace {

// A pixel target in storage coordinates (flipping already applied by the caller).
struct Plotter {
  uint32_t* bits;
  int width, height, span;
  int r, g, b, a;

  uint32_t* At(int x, int y) const { return bits + std::ptrdiff_t(y) * span + x; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  template <class Op> void Put(int x, int y, int e) const { Op::Apply(At(x, y), r, g, b, a, e); }
  template <class Op> void PutChecked(int x, int y, int e) const {
    if (Inside(x, y)) Put<Op>(x, y, e);
  }
};

bool MakePlotter(RasterBitmap* dst, uint32_t colour, Plotter& p) {
  if (!dst) return false;
  p.bits = dst->Bits();
  p.width = dst->Width();
  p.height = dst->Height();
  p.span = dst->RowSpan();
  p.r = ChannelR(colour);
  p.g = ChannelG(colour);
  p.b = ChannelB(colour);
  p.a = ChannelA(colour);
  return p.bits && p.width > 0 && p.height > 0;
}

// Region-code clipping of a segment to columns 0..w-1 and rows 0..h-1.
int RegionCode(int x, int y, int w, int h) {
  return (x < 0 ? 1 : 0) | (x >= w ? 2 : 0) | (y < 0 ? 4 : 0) | (y >= h ? 8 : 0);
}

bool ClipSegment(int& x1, int& y1, int& x2, int& y2, int w, int h) {
  int c1 = RegionCode(x1, y1, w, h), c2 = RegionCode(x2, y2, w, h);
  for (int guard = 0; guard < 8; ++guard) {
    if (!(c1 | c2)) return true;
    if (c1 & c2) return false;
    int code = c1 ? c1 : c2;
    double x = 0, y = 0;
    double fx1 = x1, fy1 = y1, fx2 = x2, fy2 = y2;
    if (code & 1) { x = 0; y = fy1 + (fy2 - fy1) * (0 - fx1) / (fx2 - fx1); }
    else if (code & 2) { x = w - 1; y = fy1 + (fy2 - fy1) * (w - 1 - fx1) / (fx2 - fx1); }
    else if (code & 4) { y = 0; x = fx1 + (fx2 - fx1) * (0 - fy1) / (fy2 - fy1); }
    else { y = h - 1; x = fx1 + (fx2 - fx1) * (h - 1 - fy1) / (fy2 - fy1); }
    if (code == c1) { x1 = int(x); y1 = int(y); c1 = RegionCode(x1, y1, w, h); }
    else { x2 = int(x); y2 = int(y); c2 = RegionCode(x2, y2, w, h); }
  }
  return !(c1 | c2);
}

template <class Op>
void LineShapes(const Plotter& p, int x1, int y1, int x2, int y2, int e, bool antialias) {
  int sx = x2 >= x1 ? 1 : -1, sy = y2 >= y1 ? 1 : -1;
  int adx = std::abs(x2 - x1), ady = std::abs(y2 - y1);
  if (adx == 0) {
    for (int i = 0, y = y1; i <= ady; ++i, y += sy) p.Put<Op>(x1, y, e);
    return;
  }
  if (ady == 0) {
    for (int i = 0, x = x1; i <= adx; ++i, x += sx) p.Put<Op>(x, y1, e);
    return;
  }
  if (adx == ady) {
    for (int i = 0, x = x1, y = y1; i <= adx; ++i, x += sx, y += sy) {
      if (antialias) {
        p.Put<Op>(x, y, e * 3 / 4);
        p.PutChecked<Op>(x - 1, y, e / 4);
        p.PutChecked<Op>(x + 1, y, e / 4);
      } else {
        p.Put<Op>(x, y, e);
      }
    }
    return;
  }
  // General slope: step along the major axis, carry the minor position as a fraction.
  bool xMajor = adx > ady;
  int major = xMajor ? adx : ady;
  double slope = double(xMajor ? ady : adx) / major;
  int x = x1, y = y1;
  auto advanceMinor = [&] { if (xMajor) y += sy; else x += sx; };
  auto advanceMajor = [&] { if (xMajor) x += sx; else y += sy; };
  if (!antialias) {
    double f = 0;
    for (int i = 0; i <= major; ++i) {
      p.Put<Op>(x, y, e);
      advanceMajor();
      f += slope;
      if (f > 0.5) { advanceMinor(); f -= 1; }
    }
    return;
  }
  p.Put<Op>(x, y, e);
  double f = slope;
  for (int i = 1; i <= major; ++i) {
    advanceMajor();
    if (f > 1.0) { advanceMinor(); f -= 1; }
    int A = int(std::lround(f * 256));
    if (A > 256) A = 256;
    p.Put<Op>(x, y, (256 - A) * e / 256);
    // The neighbour carries the rest of the coverage, at the last step too, so that the
    // end point keeps its share when the ideal line lies exactly between two pixels.
    if (A != 0) {
      int nx = xMajor ? x : x + sx, ny = xMajor ? y + sy : y;
      p.PutChecked<Op>(nx, ny, e * A / 256);
    }
    f += slope;
  }
}

}  // namespace

void DrawLine(RasterBitmap* dst, int x1, int y1, int x2, int y2, uint32_t colour, float weight,
              int mode, bool antialias) {
  Plotter p;
  if (weight == 0.0f || !MakePlotter(dst, colour, p)) return;
  if (dst->IsFlipped()) {
    y1 = p.height - 1 - y1;
    y2 = p.height - 1 - y2;
  }
  if (!ClipSegment(x1, y1, x2, y2, p.width, p.height)) return;
  int e = WeightOf(weight);
  ForEachOperation(mode, weight, false, [&](auto op) {
    LineShapes<decltype(op)>(p, x1, y1, x2, y2, e, antialias);
  });
}

namespace {

struct CircleMask {
  float radius;
  int size;
  const uint8_t* plain;
  const uint8_t* smooth;
};

const uint8_t kPlain2[] = {0, 0, 255, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 255,
                           0, 255, 0, 255, 0, 0, 0, 255, 0, 0};
const uint8_t kSmooth2[] = {15,  191, 255, 191, 15,  191, 209, 79,  209, 191, 255, 79, 0,
                            79,  255, 191, 209, 79,  209, 191, 15,  191, 255, 191, 15};
const uint8_t kPlain25[] = {0,   0, 255, 255, 0, 0,   0,   255, 0,   0,   255, 0,
                            255, 0, 0,   0,   0, 255, 255, 0,   0,   0,   0,   255,
                            0,   255, 0, 0,   255, 0, 0,   0,   255, 255, 0,   0};
const uint8_t kSmooth25[] = {15,  191, 255, 255, 191, 15,  191, 209, 79,  79,  209, 191,
                             255, 79,  0,   0,   79,  255, 255, 79,  0,   0,   79,  255,
                             191, 209, 79,  79,  209, 191, 15,  191, 255, 255, 191, 15};
const uint8_t kPlain3[] = {0,   0,   255, 255, 255, 0,   0,   0,   255, 0,   0,   0,   255,
                           0,   255, 0,   0,   0,   0,   0,   255, 255, 0,   0,   0,   0,
                           0,   255, 255, 0,   0,   0,   0,   0,   255, 0,   255, 0,   0,
                           0,   255, 0,   0,   0,   255, 255, 255, 0,   0};
const uint8_t kSmooth3[] = {0,   143, 255, 255, 255, 143, 0,   143, 255, 97,  64,  97,  255,
                            143, 255, 112, 0,   0,   0,   112, 255, 255, 48,  0,   0,   0,
                            48,  255, 255, 112, 0,   0,   0,   112, 255, 143, 255, 97,  64,
                            97,  255, 143, 0,   143, 255, 255, 255, 143, 0};
const uint8_t kPlain35[] = {0,   0,   255, 255, 255, 255, 0,   0,   0,   255, 255, 0,   0,
                            255, 255, 0,   255, 255, 0,   0,   0,   0,   255, 255, 255, 0,
                            0,   0,   0,   0,   0,   255, 255, 0,   0,   0,   0,   0,   0,
                            255, 255, 255, 0,   0,   0,   0,   255, 255, 0,   255, 255, 0,
                            0,   255, 255, 0,   0,   0,   255, 255, 255, 255, 0,   0};
const uint8_t kSmooth35[] = {0,   79,  222, 255, 255, 222, 79,  0,   79,  255, 176, 64,  64,
                             176, 255, 79,  222, 176, 0,   0,   0,   0,   176, 222, 255, 64,
                             0,   0,   0,   0,   64,  255, 255, 64,  0,   0,   0,   0,   64,
                             255, 222, 176, 0,   0,   0,   0,   176, 222, 79,  255, 176, 64,
                             64,  176, 255, 79,  0,   79,  222, 255, 255, 222, 79,  0};
const uint8_t kPlain4[] = {
    0,   0,   255, 255, 255, 255, 255, 0,   0,   0,   255, 255, 0, 0, 0, 255, 255,
    0,   255, 255, 0,   0,   0,   0,   0,   255, 255, 255, 0,   0, 0, 0, 0,   0,
    0,   255, 255, 0,   0,   0,   0,   0,   0,   0,   255, 255, 0, 0, 0, 0,   0,
    0,   0,   255, 255, 255, 0,   0,   0,   0,   0,   255, 255, 0, 255, 255, 0, 0,
    0,   255, 255, 0,   0,   0,   255, 255, 255, 255, 255, 0,   0};
const uint8_t kSmooth4[] = {
    0,   31,  176, 255, 255, 255, 176, 31,  0,   31,  240, 209, 79,  64,  79,  209, 240,
    31,  176, 209, 15,  0,   0,   0,   15,  209, 176, 255, 79,  0,   0,   0,   0,   0,
    79,  255, 255, 48,  0,   0,   0,   0,   0,   48,  255, 255, 79,  0,   0,   0,   0,
    0,   79,  255, 176, 209, 15,  0,   0,   0,   15,  209, 176, 31,  240, 209, 79,  64,
    79,  209, 240, 31,  0,   31,  176, 255, 255, 255, 176, 31,  0};

const CircleMask kCircleMasks[] = {
    {2.0f, 5, kPlain2, kSmooth2},   {2.5f, 6, kPlain25, kSmooth25}, {3.0f, 7, kPlain3, kSmooth3},
    {3.5f, 8, kPlain35, kSmooth35}, {4.0f, 9, kPlain4, kSmooth4},
};

// Which circle pixels an arc keeps: the angle of (x, y) about the centre, clockwise from
// straight up, must lie within [from, from + span].
struct ArcFilter {
  bool whole = true;
  double cx = 0, cy = 0, from = 0, span = 0;

  bool Keeps(int x, int y) const {
    if (whole) return true;
    double t = std::atan2(x - cx, cy - y);
    const double turn = 6.283185307179586;
    double rel = std::fmod(t - from, turn);
    if (rel < 0) rel += turn;
    return rel <= span + 1e-6 || rel >= turn - 1e-6;
  }
};

// Outline of a circle in storage coordinates; every pixel passes the bounds check and the
// arc filter before the operation.
template <class Op>
void CircleOutline(const Plotter& p, float cx, float cy, float radius, int e, bool antialias,
                   const ArcFilter& arc) {
  auto put = [&](int x, int y, int weight) {
    if (p.Inside(x, y) && arc.Keeps(x, y)) p.Put<Op>(x, y, weight);
  };
  if (!antialias) {
    int x0 = int(cx), y0 = int(cy);
    int r = int(radius), t = 0;
    float u = (5 - 4 * radius) / 4;
    put(x0, y0 - r, e);
    put(x0, y0 + r, e);
    put(x0 - r, y0, e);
    put(x0 + r, y0, e);
    while (t < r) {
      ++t;
      if (u < 0) {
        u += 2 * t + 1;
      } else {
        --r;
        u += 2 * (t - r) + 1;
      }
      put(x0 + t, y0 + r, e); put(x0 - t, y0 + r, e);
      put(x0 + t, y0 - r, e); put(x0 - t, y0 - r, e);
      put(x0 + r, y0 + t, e); put(x0 - r, y0 + t, e);
      put(x0 + r, y0 - t, e); put(x0 - r, y0 - t, e);
    }
    return;
  }
  int x0 = int(cx), y0 = int(cy);
  double rr = double(radius) * radius;
  for (int l = 0;; ++l) {
    double m2 = rr - double(l) * l;
    if (m2 < 0) break;
    double m = l == 0 ? double(radius) : std::sqrt(m2);
    if (!(m + 1 > l)) break;
    int mi = int(m);
    double o = m - mi;
    int inner = int((1 - o) * e), outer = int(o * e);
    // Eight octants; the two pixels straddle the ideal circle at distance m.
    const int sgn[2] = {1, -1};
    for (int sa : sgn) {
      for (int sb : sgn) {
        if (l == 0 && sb < 0) continue;
        put(x0 + sb * l, y0 + sa * mi, inner);
        put(x0 + sa * mi, y0 + sb * l, inner);
        if (outer > 0) {
          put(x0 + sb * l, y0 + sa * (mi + 1), outer);
          put(x0 + sa * (mi + 1), y0 + sb * l, outer);
        }
      }
    }
  }
}

void DrawOutline(RasterBitmap* dst, float cx, float cy, float radius, uint32_t colour,
                 float weight, int mode, bool antialias, ArcFilter arc) {
  Plotter p;
  if (weight == 0.0f || !MakePlotter(dst, colour, p)) return;
  if (arc.whole) {
    for (const CircleMask& mask : kCircleMasks) {
      if (radius == mask.radius) {
        DrawCoverageMask(dst, int(cx - radius), int(cy - radius), colour,
                         antialias ? mask.smooth : mask.plain, mask.size, mask.size, weight, mode);
        return;
      }
    }
  }
  if (!(radius >= 0) || radius > 1e6f) return;
  if (dst->IsFlipped()) cy = float(p.height - 1) - cy;
  arc.cx = int(cx);
  arc.cy = int(cy);
  int e = WeightOf(weight, 255.0);
  ForEachOperation(mode, weight, false, [&](auto op) {
    CircleOutline<decltype(op)>(p, cx, cy, radius, e, antialias, arc);
  });
}

}  // namespace

void DrawCircle(RasterBitmap* dst, float cx, float cy, float radius, uint32_t colour,
                float weight, int mode, bool antialias) {
  DrawOutline(dst, cx, cy, radius, colour, weight, mode, antialias, ArcFilter());
}

void DrawArc(RasterBitmap* dst, float cx, float cy, float radius, float fromAngle,
             float toAngle, uint32_t colour, float weight, int mode, bool antialias) {
  if (!dst || !std::isfinite(fromAngle) || !std::isfinite(toAngle)) return;
  if (toAngle < fromAngle) std::swap(fromAngle, toAngle);
  ArcFilter arc;
  double span = double(toAngle) - fromAngle;
  if (span < 6.283185307179586) {
    arc.whole = false;
    arc.from = fromAngle;
    arc.span = span;
    // Bottom-up storage mirrors the picture vertically: angles turn into pi - angle.
    if (dst->IsFlipped()) arc.from = 3.1415927f - toAngle;
  }
  DrawOutline(dst, cx, cy, radius, colour, weight, mode, antialias, arc);
}

void DrawCoverageMask(RasterBitmap* dst, int x, int y, uint32_t colour, const uint8_t* mask,
                      int maskWidth, int maskHeight, float weight, int mode) {
  if (!dst || !mask || maskWidth <= 0 || maskHeight <= 0 || weight == 0.0f) return;
  PixelView d = ViewOf(dst);
  if (!d.bits) return;
  int e = WeightOf(weight);
  int r = ChannelR(colour), g = ChannelG(colour), b = ChannelB(colour), a = ChannelA(colour);
  int64_t x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
  int64_t x1 = std::min<int64_t>(int64_t(x) + maskWidth, d.width);
  int64_t y1 = std::min<int64_t>(int64_t(y) + maskHeight, d.height);
  if (x1 <= x0 || y1 <= y0) return;
  ForEachOperation(mode, weight, false, [&](auto op) {
    using Op = FormulaOf<decltype(op)>;
    for (int64_t py = y0; py < y1; ++py) {
      uint32_t* row = d.Row(int(py));
      const uint8_t* m = mask + (py - y) * maskWidth;
      for (int64_t px = x0; px < x1; ++px) {
        int coverage = m[px - x];
        if (coverage) Op::Apply(row + px, r, g, b, a, e * coverage / 256);
      }
    }
  });
}
