#pragma once
// Source sampling shared by the scaled and rotated blits.
#include <cstdint>

#include "PixelOperations.h"

namespace raster {

// The columns [x0, x1) and rows [y0, y1) of the source that may be sampled.
struct SourceWindow {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool Empty() const { return x1 <= x0 || y1 <= y0; }
  bool Contains(int64_t c, int64_t r) const { return c >= x0 && c < x1 && r >= y0 && r < y1; }
};

// (f * second + (65536 - f) * first) / 65536 per channel, f in 0..65535. Every product
// and sum stays below 2^24 * 256, inside 32 bits.
inline uint32_t MixTwo(uint32_t first, uint32_t second, int64_t f) {
  uint32_t g = uint32_t(f), h = 65536 - g, out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t a = (first >> shift) & 0xFF, b = (second >> shift) & 0xFF;
    out |= ((g * b + h * a) >> 16) << shift;
  }
  return out;
}

// Bilinear sample at column c, row r with 16.16 fractions fx, fy; (c, r) inside the window.
inline uint32_t SampleBilinear(const PixelView& s, const SourceWindow& w, int c, int r, int64_t fx,
                               int64_t fy) {
  const uint32_t* row = s.Row(r);
  bool lastColumn = c >= w.x1 - 1, lastRow = r >= w.y1 - 1;
  if (lastRow) return lastColumn ? row[c] : MixTwo(row[c], row[c + 1], fx);
  const uint32_t* below = s.Row(r + 1);
  if (lastColumn) return MixTwo(row[c], below[c], fy);
  // The four weights are non-negative and sum to 65536, so each channel's sum fits 32 bits.
  uint32_t q = uint32_t(fx * fy / 65536);
  uint32_t w00 = uint32_t(65536 - fx - fy) + q, w10 = uint32_t(fx) - q, w01 = uint32_t(fy) - q, w11 = q;
  uint32_t p00 = row[c], p10 = row[c + 1], p01 = below[c], p11 = below[c + 1];
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t sum = w00 * ((p00 >> shift) & 0xFF) + w10 * ((p10 >> shift) & 0xFF) +
                   w01 * ((p01 >> shift) & 0xFF) + w11 * ((p11 >> shift) & 0xFF);
    out |= (sum >> 16) << shift;
  }
  return out;
}

template <class Op>
inline void ApplyWord(uint32_t* p, uint32_t c, int e) {
  Op::Apply(p, ChannelR(c), ChannelG(c), ChannelB(c), ChannelA(c), e);
}

// Floor of a 16.16 position (arithmetic shift).
inline int64_t FixedFloor(int64_t v) { return v >= 0 ? v >> 16 : -((-v + 0xFFFF) >> 16); }

}  // namespace raster
