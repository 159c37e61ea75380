#include <gtest/gtest.h>

#include <cstdlib>

#include "Compositing.h"
#include "MemoryBitmap.h"

namespace {

// One source pixel composited onto one destination pixel.
uint32_t Composite(uint32_t src, uint32_t dst, float weight, int mode) {
  MemoryBitmap s(1, 1), d(1, 1);
  s.Bits()[0] = src;
  d.Bits()[0] = dst;
  Blit(&d, &s, 0, 0, nullptr, weight, mode);
  return d.Bits()[0];
}

void Fill(MemoryBitmap& b, uint32_t v) {
  for (int i = 0; i < b.Width() * b.Height(); ++i) b.Bits()[i] = v;
}

}  // namespace

TEST(Compositing, PerPixelOperations) {
  struct Case {
    const char* what;
    uint32_t src, dst;
    float weight;
    int mode;
    uint32_t expected;
  } cases[] = {
      {"knob pixel alpha 0 leaves the destination", 0x00FF0000, 0xFF123456, 1.0f, 0x10000, 0xFF123456},
      {"knob pixel alpha 255 replaces it", 0xFF0000FF, 0x00FFFFFF, 1.0f, 0x10000, 0xFF0000FF},
      {"half-transparent red over white", 0x80FF0000, 0xFFFFFFFF, 1.0f, 0x10000, 0xBFFF7E7E},
      {"half-transparent red over transparent black", 0x80FF0000, 0x00000000, 1.0f, 0x10000, 0x41800000},
      {"background copy keeps alpha", 0x12345678, 0xFFFFFFFF, 1.0f, 0, 0x12345678},
      {"copy at 0.5 halves each channel", 0xFFFFFFFF, 0x00000000, 0.5f, 0, 0x7F7F7F7F},
      {"add saturates", 0xFF0032C8, 0xFF646464, 1.0f, 1, 0xFF6496FF},
      {"copy with a negative weight draws nothing", 0xFFFFFFFF, 0xFF000000, -0.5f, 0, 0xFF000000},
      {"weight 0 draws nothing", 0xFFFFFFFF, 0xFF000000, 0.0f, 1, 0xFF000000},
      {"add with a negative weight darkens", 0xFF808080, 0xFF808080, -1.0f, 1, 0x00000000},
      {"unknown mode draws nothing", 0xFFFFFFFF, 0xFF000000, 1.0f, 6, 0xFF000000},
      {"copy at 0.7", 0xFFFFFFFF, 0x00000000, 0.7f, 0, 0xB2B2B2B2},
      {"alpha-aware copy at 0.5 scales by alpha + 1", 0xFFFFFFFF, 0x00000000, 0.5f, 0x10000, 0x7F7F7F7F},
      {"alpha-aware add skips transparent sources", 0x00FFFFFF, 0x10101010, 1.0f, 0x10001, 0x10101010},
      {"filter bits do not matter to Blit", 0x12345678, 0xFFFFFFFF, 1.0f, 0x100, 0x12345678},
      {"multiply by white scales by 255/256", 0xFFFFFFFF, 0xFF804020, 1.0f, 3, 0xFE7F3F1F},
      {"multiply by black clears the colour", 0xFF000000, 0xFF804020, 1.0f, 3, 0xFE000000},
      {"dodge by black keeps", 0x00000000, 0x40804020, 1.0f, 2, 0x40804020},
      {"channel copy 0xFC: blue into alpha", 0x000000AB, 0x11223344, 1.0f, 0xFC, 0xAB223344},
      {"channel copy 0xF3: alpha into blue", 0xCD000000, 0x11223344, 1.0f, 0xF3, 0x112233CD},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Composite(c.src, c.dst, c.weight, c.mode), c.expected) << c.what;
}

TEST(Compositing, NeutralOverlayAndHsvSources) {
  const uint32_t colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080, 0xFF123456,
                              0xFFC86432, 0x80FFFFFF, 0xFF000000, 0xFF10E0A0};
  for (uint32_t d : colours) {
    for (float w : {1.0f, 0.5f, 0.3f}) {
      EXPECT_EQ(Composite(0x80808080, d, w, 4), d) << "overlay with 128 at weight " << w << " on " << std::hex << d;
    }
    uint32_t out = Composite(0x7F808080, d, 1.0f, 5);
    EXPECT_EQ(out >> 24, 0x7Fu) << "HSV adjust takes the source alpha on " << std::hex << d;
    for (int shift = 0; shift < 24; shift += 8) {
      int diff = std::abs(int((out >> shift) & 0xFF) - int((d >> shift) & 0xFF));
      EXPECT_LE(diff, 5) << "HSV adjust with a neutral source on " << std::hex << d;
    }
  }
  for (uint32_t pure : {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu})
    EXPECT_EQ(Composite(0xFF808080, pure, 1.0f, 5), pure) << "pure colours are reproduced exactly";
}

TEST(Compositing, BlitClipsToBothBitmaps) {
  MemoryBitmap src(10, 4), dst(6, 3);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 10; ++x) src.Bits()[y * 10 + x] = 0xFF000000u | uint32_t(y << 8 | x);
  Fill(dst, 0);
  Blit(&dst, &src, -5, 0, nullptr, 1.0f, 0);
  EXPECT_EQ(dst.Bits()[0], 0xFF000005u) << "dx = -5 skips five source columns";
  EXPECT_EQ(dst.Bits()[2 * 6 + 4], 0xFF000209u) << "the last copied column is the source's last";
  EXPECT_EQ(dst.Bits()[5], 0u) << "nothing beyond the source's right edge";

  Fill(dst, 0);
  IRect beyond;
  beyond.left = 8; beyond.top = -3; beyond.right = 40; beyond.bottom = 40;
  Blit(&dst, &src, 1, 1, &beyond, 1.0f, 0);
  EXPECT_EQ(dst.Bits()[1 * 6 + 1], 0xFF000008u) << "rectangle raised to row 0 and cut to the source";
  EXPECT_EQ(dst.Bits()[1 * 6 + 3], 0u) << "only two source columns exist right of 8";
  EXPECT_EQ(dst.Bits()[2 * 6 + 2], 0xFF000109u) << "second row";

  Fill(dst, 0);
  Blit(&dst, &src, 0, 0, nullptr, 1.0f, 0x10000);
  EXPECT_EQ(dst.Bits()[2 * 6 + 5], 0xFF000205u) << "a smaller destination cuts right and bottom";
  Blit(&dst, &src, 6, 0, nullptr, 1.0f, 0);
  Blit(&dst, nullptr, 0, 0, nullptr, 1.0f, 0);  // must not crash
}

TEST(Compositing, FillMaskAndPixel) {
  MemoryBitmap b(4, 4);
  Fill(b, 0xFF000000);
  FillRect(&b, -2, -2, 4, 4, 0xFFFFFFFF, 1.0f, 0);
  EXPECT_EQ(b.Bits()[1 * 4 + 1], 0xFFFFFFFFu) << "fill clipped at the top left reaches (1, 1)";
  EXPECT_EQ(b.Bits()[2 * 4 + 2], 0xFF000000u) << "fill stops at (2, 2)";
  FillRect(&b, 2, 2, 100, 100, 0x80808080, 0.5f, 0);
  EXPECT_EQ(b.Bits()[15], 0x40404040u + 0x7F000000u) << "fill at 0.5 halves both words";
  FillRect(&b, 0, 3, 1, 1, 0xFFFFFFFF, 0.25f, 0);
  EXPECT_EQ(b.Bits()[12], 0xFD3F3F3Fu) << "fill at 0.25: a quarter of white over opaque black";
  FillRect(&b, 1, 3, 1, 1, 0xFFFFFFFF, 0.75f, 0);
  EXPECT_EQ(b.Bits()[13], 0xFDBEBEBEu) << "fill at 0.75: three quarters of white over opaque black";
  FillRect(&b, 0, 0, 4, 4, 0xFFFFFFFF, 0.0f, 1);
  EXPECT_EQ(b.Bits()[0], 0xFFFFFFFFu) << "weight 0 fills nothing";
  Fill(b, 0xFF000000);
  FillRect(&b, 0, 0, 4, 4, 0x00FFFFFF, 1.0f, 0x10000);
  EXPECT_EQ(b.Bits()[0], 0xFF000000u) << "with source alpha, a transparent colour fills nothing";

  Fill(b, 0xFF112233);
  MaskRect(&b, 1, 1, 2, 2, 0x00FFFFFF, 0);
  EXPECT_EQ(b.Bits()[5], 0x00112233u) << "mask clears alpha, keeps colour";
  EXPECT_EQ(b.Bits()[0], 0xFF112233u) << "mask stays in its rectangle";

  BlendPixel(&b, 3, 3, 0xFFFFFFFF, 1.0f, 0);
  EXPECT_EQ(b.Bits()[15], 0xFFFFFFFFu) << "pixel store";
  BlendPixel(&b, 4, 0, 0xFFFFFFFF, 1.0f, 0);  // outside: nothing, no crash
  BlendPixel(&b, 0, 0, 0xFF0032C8, 1.0f, 1);
  EXPECT_EQ(b.Bits()[0], 0xFF1154FBu) << "pixel add";

  MemoryBitmap copy;
  CopyBitmap(&copy, &b);
  ASSERT_EQ(copy.Width(), 4) << "copy takes the source's size";
  EXPECT_EQ(copy.Bits()[15], 0xFFFFFFFFu) << "copy takes the words";
}

namespace {

// Rows stored bottom-up: every operation must address row y at Height() - 1 - y.
class BottomUpBitmap : public MemoryBitmap {
public:
  BottomUpBitmap(int w, int h) : MemoryBitmap(w, h) {}
  bool IsFlipped() const override { return true; }
};

}  // namespace

TEST(Compositing, HonoursBottomUpStorage) {
  MemoryBitmap src(3, 3);
  for (int i = 0; i < 9; ++i) src.Bits()[i] = 0xFF000000u | uint32_t(i);
  BottomUpBitmap dst(3, 3);
  for (int i = 0; i < 9; ++i) dst.Bits()[i] = 0;
  Blit(&dst, &src, 0, 0, nullptr, 0.5f, 0);
  Blit(&dst, &src, 0, 0, nullptr, 1.0f, 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(PixelAt(&dst, x, y), PixelAt(&src, x, y)) << "pixel " << x << "," << y << " read back";
  EXPECT_EQ(dst.Bits()[0], 0xFF000006u) << "logical row 0 is stored last";
  BlendPixel(&dst, 0, 0, 0xFFABCDEF, 1.0f, 0);
  EXPECT_EQ(dst.Bits()[6], 0xFFABCDEFu) << "a single pixel at logical (0, 0)";
}
