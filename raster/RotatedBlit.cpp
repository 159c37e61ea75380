#include <algorithm>
#include <cmath>

#include "Resampling.h"
#include "Sampling.h"

using namespace raster;

namespace {

struct RotatedJob {
  PixelView d, s;
  SourceWindow window;
  int dx, dy, dw, dh;
  int64_t x0, y0, ux, uy, vx, vy;  // 16.16
  int e;
};

template <class Op, bool kBilinear>
void RotatedRows(const RotatedJob& job) {
  int64_t rowX = job.x0, rowY = job.y0;
  for (int row = 0; row < job.dh; ++row, rowX += job.vx, rowY += job.vy) {
    uint32_t* out = job.d.Row(job.dy + row) + job.dx;
    int64_t x = rowX, y = rowY;
    for (int col = 0; col < job.dw; ++col, x += job.ux, y += job.uy) {
      int64_t c = FixedFloor(x), r = FixedFloor(y);
      if (!job.window.Contains(c, r)) continue;
      uint32_t sample = kBilinear ? SampleBilinear(job.s, job.window, int(c), int(r),
                                                   x - c * 65536, y - r * 65536)
                                  : job.s.Row(int(r))[c];
      ApplyWord<Op>(out + col, sample, job.e);
    }
  }
}

}  // namespace

void RotatedBlit(RasterBitmap* dst, const RasterBitmap* src, int dx, int dy, int dw, int dh,
                 float sx, float sy, float sw, float sh, float angle, bool clipToSource,
                 float weight, int mode, float xOffset, float yOffset) {
  if (!dst || !src || dw == 0 || dh == 0) return;
  if (!std::isfinite(sx) || !std::isfinite(sy) || !std::isfinite(sw) || !std::isfinite(sh) ||
      !std::isfinite(angle) || !std::isfinite(xOffset) || !std::isfinite(yOffset))
    return;
  SourceWindow window;
  window.x1 = src->Width();
  window.y1 = src->Height();
  if (clipToSource) {
    double left = std::min<double>(sx, double(sx) + sw), right = std::max<double>(sx, double(sx) + sw);
    double top = std::min<double>(sy, double(sy) + sh), bottom = std::max<double>(sy, double(sy) + sh);
    window.x0 = int(std::max(0.0, std::floor(left)));
    window.y0 = int(std::max(0.0, std::floor(top)));
    window.x1 = int(std::min<double>(window.x1, std::ceil(right)));
    window.y1 = int(std::min<double>(window.y1, std::ceil(bottom)));
  }
  double fsx = sx, fsy = sy, fsw = sw, fsh = sh;
  int64_t x = dx, y = dy, w = dw, h = dh;
  if (w < 0) { x += w; w = -w; fsx += fsw; fsw = -fsw; }
  if (h < 0) { y += h; h = -h; fsy += fsh; fsh = -fsh; }

  double cs = std::cos(double(angle)), sn = std::sin(double(angle));
  double ux = (fsw / w) * cs, uy = -(fsh / h) * sn;
  double vx = (fsw / w) * sn, vy = (fsh / h) * cs;
  // The centre of the destination rectangle samples the centre of the source rectangle.
  double x0 = fsx - ((h * vx + w * ux - fsw) * 0.5 - xOffset);
  double y0 = fsy - ((w * uy + h * vy - fsh) * 0.5 - yOffset);

  if (x < 0) { x0 -= double(x) * ux; y0 -= double(x) * uy; w += x; x = 0; }
  if (y < 0) { x0 -= double(y) * vx; y0 -= double(y) * vy; h += y; y = 0; }
  w = std::min<int64_t>(w, dst->Width() - x);
  h = std::min<int64_t>(h, dst->Height() - y);
  if (w < 1 || h < 1 || weight == 0.0f || window.Empty()) return;
  // Positions beyond any bitmap would overflow the fixed-point walk.
  const double kFar = 1e9;
  if (std::fabs(x0) > kFar || std::fabs(y0) > kFar || std::fabs(ux) > kFar || std::fabs(vy) > kFar ||
      std::fabs(uy) > kFar || std::fabs(vx) > kFar)
    return;

  RotatedJob job;
  job.d = ViewOf(dst);
  job.s = ViewOf(src);
  if (!job.d.bits || !job.s.bits) return;
  job.window = window;
  job.dx = int(x);
  job.dy = int(y);
  job.dw = int(w);
  job.dh = int(h);
  job.x0 = int64_t(x0 * 65536);
  job.y0 = int64_t(y0 * 65536);
  job.ux = int64_t(ux * 65536);
  job.uy = int64_t(uy * 65536);
  job.vx = int64_t(vx * 65536);
  job.vy = int64_t(vy * 65536);
  job.e = WeightOf(weight);
  bool bilinear = ((mode & kRasterFilterMask) >> 8) == 1;
  ForEachOperation(mode, weight, true, [&](auto op) {
    if (bilinear) RotatedRows<decltype(op), true>(job);
    else RotatedRows<decltype(op), false>(job);
  });
}
