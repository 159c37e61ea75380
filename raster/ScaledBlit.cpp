#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "Compositing.h"
#include "Resampling.h"
#include "Sampling.h"

using namespace raster;

namespace {

enum class Sampler { kNearest, kBilinear, kArea };

// Tap weights of the area filter in 16.16, row-major over a size by size kernel.
struct AreaKernel {
  int size = 3;
  int64_t weight[25] = {};

  AreaKernel(double largerStep) {
    size = largerStep > 3.0 ? 5 : 3;
    int half = size / 2;
    for (int j = -half; j <= half; ++j) {
      for (int i = -half; i <= half; ++i) {
        double w = 1.0;
        if (i || j) w = (largerStep - 1) / std::sqrt(double(i * i + j * j));
        w = std::min(1.0, std::max(0.0, w));
        weight[(j + half) * size + (i + half)] = int64_t(w * 65536);
      }
    }
  }

  // Weighted mean of the taps inside the window; false when none has weight.
  bool Sample(const PixelView& s, const SourceWindow& w, int c, int r, uint32_t& out) const {
    int half = size / 2;
    int64_t total = 0, sum[4] = {0, 0, 0, 0};
    for (int j = -half; j <= half; ++j) {
      int rr = r + j;
      if (rr < w.y0 || rr >= w.y1) continue;
      const uint32_t* row = s.Row(rr);
      for (int i = -half; i <= half; ++i) {
        int cc = c + i;
        if (cc < w.x0 || cc >= w.x1) continue;
        int64_t tw = weight[(j + half) * size + (i + half)];
        uint32_t p = row[cc];
        for (int k = 0; k < 4; ++k) sum[k] += tw * ((p >> (8 * k)) & 0xFF);
        total += tw;
      }
    }
    if (total <= 0) return false;
    out = 0;
    for (int k = 0; k < 4; ++k) out |= uint32_t(sum[k] / total) << (8 * k);
    return true;
  }
};

struct ScaledJob {
  PixelView d, s;
  SourceWindow window;
  int dx, dy, dw, dh;
  int64_t x0, xstep;  // 16.16
  double y0, ystep;
  int e;
};

template <class Op, Sampler kind>
void ScaledRows(const ScaledJob& job, const AreaKernel* kernel) {
  double y = job.y0;
  for (int row = 0; row < job.dh; ++row, y += job.ystep) {
    double fr = std::floor(y);
    if (fr < job.window.y0 || fr >= job.window.y1) continue;
    int r = int(fr);
    int64_t fy = int64_t((y - fr) * 65536);
    uint32_t* out = job.d.Row(job.dy + row) + job.dx;
    int64_t x = job.x0;
    for (int col = 0; col < job.dw; ++col, x += job.xstep) {
      int64_t c = FixedFloor(x);
      if (c < job.window.x0 || c >= job.window.x1) continue;
      uint32_t sample;
      if (kind == Sampler::kNearest) {
        sample = job.s.Row(r)[c];
      } else if (kind == Sampler::kBilinear) {
        sample = SampleBilinear(job.s, job.window, int(c), r, x - c * 65536, fy);
      } else if (!kernel->Sample(job.s, job.window, int(c), r, sample)) {
        continue;
      }
      ApplyWord<Op>(out + col, sample, job.e);
    }
  }
}

}  // namespace

void ScaledBlit(RasterBitmap* dst, const RasterBitmap* src, int dx, int dy, int dw, int dh,
                float sx, float sy, float sw, float sh, float weight, int mode) {
  if (!dst || !src || dw == 0 || dh == 0 || weight == 0.0f) return;
  if (!std::isfinite(sx) || !std::isfinite(sy) || !std::isfinite(sw) || !std::isfinite(sh)) return;
  bool bilinear = ((mode & kRasterFilterMask) >> 8) == 1;
  auto nearInteger = [](float v) { return std::fabs(v - std::floor(v + 0.5f)) < 0.03f; };
  if (std::fabs(sw - dw) < 0.001f && std::fabs(sh - dh) < 0.001f &&
      (!bilinear || (nearInteger(sx) && nearInteger(sy)))) {
    IRect r;
    r.left = int(sx + 0.5f);
    r.top = int(sy + 0.5f);
    r.right = r.left + dw;
    r.bottom = r.top + dh;
    Blit(dst, src, dx, dy, &r, weight, mode);
    return;
  }
  double fsx = sx, fsy = sy, fsw = sw, fsh = sh;
  int64_t x = dx, y = dy, w = dw, h = dh;
  if (w < 0) { x += w; w = -w; fsx += fsw; fsw = -fsw; }
  if (h < 0) { y += h; h = -h; fsy += fsh; fsh = -fsh; }
  double xstep = fsw / double(w), ystep = fsh / double(h);

  // Window from the source rectangle as given, whichever way it runs.
  SourceWindow window;
  double left = std::min(fsx, fsx + fsw), right = std::max(fsx, fsx + fsw);
  double top = std::min(fsy, fsy + fsh), bottom = std::max(fsy, fsy + fsh);
  window.x0 = int(std::max(0.0, std::floor(left)));
  window.y0 = int(std::max(0.0, std::floor(top)));
  window.x1 = int(std::min(double(src->Width()), std::ceil(right)));
  window.y1 = int(std::min(double(src->Height()), std::ceil(bottom)));
  if (window.Empty()) return;

  if (x < 0) { fsx -= double(x) * xstep; w += x; x = 0; }
  if (y < 0) { fsy -= double(y) * ystep; h += y; y = 0; }
  w = std::min<int64_t>(w, dst->Width() - x);
  h = std::min<int64_t>(h, dst->Height() - y);
  if (w < 1 || h < 1) return;

  // Positions beyond any bitmap would overflow the fixed-point walk.
  if (std::fabs(fsx) > 1e9 || std::fabs(xstep) > 1e9) return;

  ScaledJob job;
  job.d = ViewOf(dst);
  job.s = ViewOf(src);
  if (!job.d.bits || !job.s.bits) return;
  job.window = window;
  job.dx = int(x);
  job.dy = int(y);
  job.dw = int(w);
  job.dh = int(h);
  job.x0 = int64_t(fsx * 65536);
  job.xstep = int64_t(xstep * 65536);
  job.y0 = fsy;
  job.ystep = ystep;
  // A mirrored axis runs from the rectangle's far edge, which lies outside it: each
  // destination pixel samples the near edge of its own source interval instead (one step
  // on), the mirror image of the unmirrored sampling, so the last source column (row)
  // lands on the first destination column (row).
  if (xstep < 0) job.x0 = int64_t((fsx + xstep) * 65536);
  if (ystep < 0) job.y0 = fsy + ystep;
  job.e = WeightOf(weight);

  double ax = std::fabs(xstep), ay = std::fabs(ystep);
  bool area = bilinear && ax >= 1.7 && ay >= 1.7;
  AreaKernel kernel(std::max(ax, ay));
  ForEachOperation(mode, weight, true, [&](auto op) {
    using Op = decltype(op);
    if (area) ScaledRows<Op, Sampler::kArea>(job, &kernel);
    else if (bilinear) ScaledRows<Op, Sampler::kBilinear>(job, nullptr);
    else ScaledRows<Op, Sampler::kNearest>(job, nullptr);
  });
}
