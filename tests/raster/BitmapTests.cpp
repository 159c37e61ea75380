#include <gtest/gtest.h>

#include "DibBitmap.h"
#include "MemoryBitmap.h"

TEST(MemoryBitmap, ResizeKeepsAndGrowsItsBuffer) {
  MemoryBitmap b(10, 10);
  ASSERT_EQ(b.Capacity(), 400) << "10 by 10 needs 400 bytes";
  uint32_t* first = b.Bits();
  EXPECT_FALSE(b.Resize(10, 10)) << "resizing to the current size changes nothing";
  EXPECT_TRUE(b.Resize(5, 5));
  EXPECT_EQ(b.Width(), 5) << "width after the shrink";
  EXPECT_EQ(b.RowSpan(), 5) << "a memory bitmap's row span is its width";
  EXPECT_EQ(b.Capacity(), 400) << "the buffer never shrinks";
  EXPECT_TRUE(b.Resize(10, 10));
  EXPECT_EQ(b.Bits(), first) << "growing back within capacity must not reallocate";
  EXPECT_TRUE(b.Resize(20, 10));
  EXPECT_EQ(b.Capacity(), 1000) << "growth adds a quarter of headroom";
}

TEST(MemoryBitmap, EmptyAndImpossibleSizesLeaveItEmpty) {
  struct Case { int w, h; } cases[] = {{0, 10}, {10, 0}, {-1, -1}, {-4, 5}, {65536, 65536}, {0x7FFFFFFF, 2}};
  for (const Case& c : cases) {
    MemoryBitmap made(c.w, c.h);
    EXPECT_EQ(made.Bits(), nullptr) << "constructed " << c.w << " by " << c.h;
    EXPECT_EQ(made.Width() | made.Height(), 0) << "constructed " << c.w << " by " << c.h;
    MemoryBitmap resized(4, 4);
    EXPECT_TRUE(resized.Resize(c.w, c.h)) << "a new size was taken: " << c.w << " by " << c.h;
    EXPECT_EQ(resized.Bits(), nullptr) << "resized to " << c.w << " by " << c.h;
    EXPECT_EQ(resized.Width() | resized.Height(), 0) << "resized to " << c.w << " by " << c.h;
  }
}

TEST(DibBitmap, ReusesItsSectionWhileTheSizeFits) {
  DibBitmap d(800, 78);
  ASSERT_NE(d.Bits(), nullptr) << "the surface must be created";
  ASSERT_NE(d.DeviceContext(), nullptr) << "the surface has a device context";
  uint32_t* bits = d.Bits();
  EXPECT_FALSE(d.Resize(800, 78)) << "same size";
  EXPECT_TRUE(d.Resize(400, 40));
  EXPECT_EQ(d.Width(), 400) << "width after the shrink";
  EXPECT_EQ(d.Height(), 40) << "height after the shrink";
  EXPECT_EQ(d.RowSpan(), 800) << "rows keep the old spacing after a shrink";
  EXPECT_EQ(d.Bits(), bits) << "the section is reused";
  EXPECT_TRUE(d.Resize(900, 40));
  EXPECT_EQ(d.RowSpan(), 900) << "a wider size makes a new section";
  ASSERT_NE(d.Bits(), nullptr) << "the new section exists";
  d.Bits()[899 + 39 * 900] = 0x12345678;  // the last word must be writable
  EXPECT_EQ(PixelAt(&d, 899, 39), 0x12345678u) << "last pixel of the new section";
  EXPECT_FALSE(d.Resize(0, 40)) << "an empty size releases the section and reports false";
  EXPECT_EQ(d.Bits(), nullptr) << "no pixels after an empty size";
  EXPECT_TRUE(d.Resize(3, 3)) << "it can be sized again";
  EXPECT_NE(d.Bits(), nullptr) << "pixels after sizing again";
}

TEST(PixelAt, ReadsInsideAndGivesZeroOutside) {
  MemoryBitmap b(3, 2);
  for (int i = 0; i < 6; ++i) b.Bits()[i] = 0xFF000000u + i;
  EXPECT_EQ(PixelAt(&b, 2, 1), 0xFF000005u) << "pixel (2, 1)";
  EXPECT_EQ(PixelAt(&b, 3, 0), 0u) << "x = Width()";
  EXPECT_EQ(PixelAt(&b, 0, -1), 0u) << "y = -1";
  EXPECT_EQ(PixelAt(nullptr, 0, 0), 0u) << "null bitmap";
  MemoryBitmap empty;
  EXPECT_EQ(PixelAt(&empty, 0, 0), 0u) << "empty bitmap";
}
