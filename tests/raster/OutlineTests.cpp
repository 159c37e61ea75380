#include <gtest/gtest.h>

#include "MemoryBitmap.h"
#include "Outlines.h"

namespace {

void Fill(MemoryBitmap& b, uint32_t v) {
  for (int i = 0; i < b.Width() * b.Height(); ++i) b.Bits()[i] = v;
}

int Count(const MemoryBitmap& b, uint32_t v) {
  int n = 0;
  for (int i = 0; i < b.Width() * b.Height(); ++i) n += b.Bits()[i] == v;
  return n;
}

const uint32_t kWhite = 0xFFFFFFFF;

}  // namespace

TEST(DrawLine, IncludesBothEndPointsAndClips) {
  MemoryBitmap b(20, 20);
  struct Case { int x1, y1, x2, y2, pixels; } cases[] = {
      {2, 3, 2, 12, 10}, {1, 5, 15, 5, 15}, {3, 3, 9, 9, 7}, {2, 2, 17, 8, 16}, {17, 2, 3, 15, 15}};
  for (const Case& c : cases) {
    Fill(b, 0);
    DrawLine(&b, c.x1, c.y1, c.x2, c.y2, kWhite, 1.0f, 0, false);
    EXPECT_EQ(b.Bits()[c.y1 * 20 + c.x1], kWhite) << "start point of " << c.x1 << "," << c.y1;
    EXPECT_EQ(b.Bits()[c.y2 * 20 + c.x2], kWhite) << "end point of " << c.x2 << "," << c.y2;
    EXPECT_EQ(Count(b, kWhite), c.pixels) << "one pixel per major step from " << c.x1 << "," << c.y1;
  }
  Fill(b, 0);
  DrawLine(&b, -10, -5, -1, 30, kWhite, 1.0f, 0, false);
  DrawLine(&b, 25, 0, 40, 19, kWhite, 1.0f, 0, true);
  EXPECT_EQ(Count(b, 0), 400) << "segments wholly outside draw nothing";
  DrawLine(&b, -100, 10, 100, 10, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Count(b, kWhite), 20) << "a long line is clipped to the row";
  Fill(b, 0);
  DrawLine(&b, 2, 2, 17, 8, kWhite, 1.0f, 0, true);
  EXPECT_EQ(b.Bits()[2 * 20 + 2], kWhite) << "antialiased start point";
  EXPECT_NE(b.Bits()[8 * 20 + 17], 0u) << "antialiased end point";
}

TEST(DrawCircle, SmallRadiiUseTheMasks) {
  MemoryBitmap b(20, 20);
  Fill(b, 0);
  DrawCircle(&b, 10.5f, 10.5f, 3.0f, kWhite, 1.0f, 0, false);
  // The plain 7 by 7 mask with its top-left pixel at (7, 7).
  const char* rows[7] = {"..###..", ".#...#.", "#.....#", "#.....#", "#.....#", ".#...#.", "..###.."};
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x)
      EXPECT_EQ(b.Bits()[(7 + y) * 20 + 7 + x] != 0, rows[y][x] == '#') << "mask pixel " << x << "," << y;
  EXPECT_EQ(Count(b, 0), 400 - 16) << "nothing outside the mask";

  Fill(b, 0);
  DrawCircle(&b, 10.0f, 10.0f, 3.01f, kWhite, 1.0f, 0, false);
  EXPECT_EQ(b.Bits()[7 * 20 + 10], kWhite) << "3.01 draws its axis point (10, 7)";
  EXPECT_EQ(b.Bits()[10 * 20 + 13], kWhite) << "3.01 draws its axis point (13, 10)";
  EXPECT_EQ(b.Bits()[10 * 20 + 10], 0u) << "not the centre";
}

TEST(DrawArc, FullSpanDrawsTheWholeCircle) {
  MemoryBitmap circle(30, 30), arc(30, 30), half(30, 30);
  for (bool aa : {false, true}) {
    Fill(circle, 0);
    Fill(arc, 0);
    Fill(half, 0);
    DrawCircle(&circle, 15, 15, 9.3f, kWhite, 1.0f, 0, aa);
    DrawArc(&arc, 15, 15, 9.3f, 0.0f, 6.3f, kWhite, 1.0f, 0, aa);
    DrawArc(&half, 15, 15, 9.3f, 0.0f, 3.1415927f, kWhite, 1.0f, 0, aa);
    bool same = true;
    for (int i = 0; i < 900; ++i) same = same && circle.Bits()[i] == arc.Bits()[i];
    EXPECT_TRUE(same) << "an arc of 2 pi or more equals the circle, antialias " << aa;
    EXPECT_NE(half.Bits()[15 * 30 + 24], 0u) << "a half arc from up clockwise reaches the right";
    EXPECT_EQ(half.Bits()[15 * 30 + 6], 0u) << "and leaves the left side";
  }
}

TEST(DrawCoverageMask, WeightsByCoverageAndClips) {
  MemoryBitmap b(3, 3);
  Fill(b, 0xFF000000);
  const uint8_t mask[4] = {255, 128, 0, 64};
  DrawCoverageMask(&b, 1, 1, kWhite, mask, 2, 2, 1.0f, 0);
  EXPECT_EQ(b.Bits()[4] & 0xFF, 255u * 255 / 256) << "full coverage";
  EXPECT_EQ(b.Bits()[5] & 0xFF, 127u) << "half coverage";
  EXPECT_EQ(b.Bits()[7], 0xFF000000u) << "zero coverage leaves the pixel";
  DrawCoverageMask(&b, -1, -1, kWhite, mask, 2, 2, 1.0f, 0);
  EXPECT_NE(b.Bits()[0], 0xFF000000u) << "the clipped mask still draws its last pixel";
}
