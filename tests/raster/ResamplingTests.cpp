#include <gtest/gtest.h>

#include "Compositing.h"
#include "MemoryBitmap.h"
#include "Resampling.h"

namespace {

// A source whose every pixel is distinct: column in blue, row in green.
void Pattern(MemoryBitmap& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) b.Bits()[y * b.Width() + x] = 0xFF000000u | uint32_t(y << 8 | x * 7);
}

void Fill(MemoryBitmap& b, uint32_t v) {
  for (int i = 0; i < b.Width() * b.Height(); ++i) b.Bits()[i] = v;
}

bool Same(const MemoryBitmap& a, const MemoryBitmap& b) {
  for (int i = 0; i < a.Width() * a.Height(); ++i)
    if (a.Bits()[i] != b.Bits()[i]) return false;
  return true;
}

}  // namespace

TEST(ScaledBlit, EqualSizesActAsBlit) {
  MemoryBitmap src(12, 9);
  Pattern(src);
  for (int mode : {0, 0x100, 0x10000, 0x10101}) {
    MemoryBitmap a(10, 10), b(10, 10);
    Fill(a, 0xFF202020);
    Fill(b, 0xFF202020);
    ScaledBlit(&a, &src, 1, 2, 8, 6, 3.0f, 2.0f, 8.0f, 6.0f, 1.0f, mode);
    IRect r;
    r.left = 3; r.top = 2; r.right = 11; r.bottom = 8;
    Blit(&b, &src, 1, 2, &r, 1.0f, mode);
    EXPECT_TRUE(Same(a, b)) << "unscaled ScaledBlit differs from Blit in mode " << std::hex << mode;
  }
}

TEST(ScaledBlit, NegativeWidthMirrors) {
  MemoryBitmap src(8, 3), dst(12, 3);
  Pattern(src);
  for (int filter : {0, 0x100}) {
    Fill(dst, 0);
    ScaledBlit(&dst, &src, 10, 0, -8, 3, 0.0f, 0.0f, 8.0f, 3.0f, 1.0f, filter);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 8; ++x)
        EXPECT_EQ(dst.Bits()[y * 12 + 2 + x], src.Bits()[y * 8 + 7 - x])
            << "mirrored column " << x << " row " << y << " filter " << filter;
    EXPECT_EQ(dst.Bits()[1], 0u) << "nothing left of the rectangle that ends at dx";
    EXPECT_EQ(dst.Bits()[10], 0u) << "nothing right of dx";
  }
}

TEST(ScaledBlit, UpscaleAndFilters) {
  MemoryBitmap src(2, 1), dst(4, 1);
  src.Bits()[0] = 0xFF000000;
  src.Bits()[1] = 0xFFFFFFFF;
  ScaledBlit(&dst, &src, 0, 0, 4, 1, 0.0f, 0.0f, 2.0f, 1.0f, 1.0f, 0);
  EXPECT_EQ(dst.Bits()[1], 0xFF000000u) << "nearest doubles the first pixel";
  EXPECT_EQ(dst.Bits()[2], 0xFFFFFFFFu) << "nearest doubles the second pixel";
  ScaledBlit(&dst, &src, 0, 0, 4, 1, 0.0f, 0.0f, 2.0f, 1.0f, 1.0f, 0x100);
  EXPECT_EQ(dst.Bits()[1], 0xFF7F7F7Fu) << "bilinear halfway between black and white";
  EXPECT_EQ(dst.Bits()[3], 0xFFFFFFFFu) << "the last column takes its pixel unchanged";
}

TEST(ScaledBlit, AreaFilterForStrongReductions) {
  // A single white pixel in black: nearest sampling at step 2 may miss it, the area filter
  // spreads it over its neighbourhood.
  MemoryBitmap src(20, 20), dst(10, 10);
  Fill(src, 0xFF000000);
  src.Bits()[9 * 20 + 9] = 0xFFFFFFFF;
  Fill(dst, 0);
  ScaledBlit(&dst, &src, 0, 0, 10, 10, 0.0f, 0.0f, 20.0f, 20.0f, 1.0f, 0x100);
  uint32_t centre = dst.Bits()[4 * 10 + 4];
  EXPECT_GT(centre & 0xFF, 0u) << "3 by 3 kernel at step 2 picks up the bright pixel";
  EXPECT_LT(centre & 0xFF, 255u) << "and averages it with its dark neighbours";
  EXPECT_EQ(dst.Bits()[0], 0xFF000000u) << "far away stays black";

  MemoryBitmap wide(40, 40), small(10, 10);
  Fill(wide, 0xFF000000);
  wide.Bits()[18 * 40 + 18] = 0xFFFFFFFF;  // two pixels off a kernel centre at step 4
  ScaledBlit(&small, &wide, 0, 0, 10, 10, 0.0f, 0.0f, 40.0f, 40.0f, 1.0f, 0x100);
  EXPECT_GT(small.Bits()[4 * 10 + 4] & 0xFF, 0u) << "5 by 5 kernel above step 3 reaches two pixels out";
}

TEST(RotatedBlit, ZeroAngleCopiesAndHalfTurnReverses) {
  MemoryBitmap src(6, 4), dst(6, 4);
  Pattern(src);
  Fill(dst, 0);
  RotatedBlit(&dst, &src, 0, 0, 6, 4, 0.0f, 0.0f, 6.0f, 4.0f, 0.0f, false, 1.0f, 0, 0.0f, 0.0f);
  EXPECT_TRUE(Same(src, dst)) << "rotation by 0 is a plain copy";
  Fill(dst, 0);
  RotatedBlit(&dst, &src, 0, 0, 6, 4, 0.0f, 0.0f, 6.0f, 4.0f, 3.14159265f, true, 1.0f, 0, 0.0f, 0.0f);
  // Pixel corners map onto corners: destination (x, y) samples the source at (6 - x, 4 - y).
  int hits = 0;
  for (int y = 1; y < 4; ++y)
    for (int x = 1; x < 6; ++x) hits += dst.Bits()[y * 6 + x] == src.Bits()[(4 - y) * 6 + (6 - x)];
  EXPECT_EQ(hits, 15) << "a half turn about the centre reflects the source through it";
  EXPECT_EQ(dst.Bits()[0], 0u) << "samples beyond the source leave the destination";
  RotatedBlit(&dst, &src, -3, -3, 6, 4, 0.0f, 0.0f, 6.0f, 4.0f, 0.7f, false, 1.0f, 0x10101, 0.5f, 0.0f);
  RotatedBlit(&dst, nullptr, 0, 0, 6, 4, 0, 0, 6, 4, 0, false, 1.0f, 0, 0, 0);  // no crash
}
