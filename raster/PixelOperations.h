#pragma once
// Per-pixel operations shared by every compositing algorithm. Each operation combines a
// source colour (r, g, b, a; 0..255) into a destination pixel with the integer weight e
// (256 = full). Algorithms take the operation as a template parameter, so the pixel loop
// calls it directly; ForEachOperation picks the instantiation once per call.
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "RasterModes.h"

namespace raster {

inline int ClampChannel(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

inline void StorePixelClamped(uint32_t* p, int b, int g, int r, int a) {
  *p = uint32_t(ClampChannel(a)) << 24 | uint32_t(ClampChannel(r)) << 16 |
       uint32_t(ClampChannel(g)) << 8 | uint32_t(ClampChannel(b));
}

inline int ChannelB(uint32_t w) { return int(w & 0xFF); }
inline int ChannelG(uint32_t w) { return int((w >> 8) & 0xFF); }
inline int ChannelR(uint32_t w) { return int((w >> 16) & 0xFF); }
inline int ChannelA(uint32_t w) { return int(w >> 24); }

// Applies f(source channel, destination channel) to all four channels and stores clamped.
template <class F>
inline void PerChannel(uint32_t* p, int r, int g, int b, int a, F f) {
  uint32_t d = *p;
  StorePixelClamped(p, f(b, ChannelB(d)), f(g, ChannelG(d)), f(r, ChannelR(d)), f(a, ChannelA(d)));
}

struct OpCopy {
  static constexpr bool kSkipTransparent = true;
  static void Apply(uint32_t* p, int r, int g, int b, int a, int e) {
    PerChannel(p, r, g, b, a, [e](int c, int d) { return (c * e + d * (256 - e)) / 256; });
  }
};

struct OpAdd {
  static constexpr bool kSkipTransparent = true;
  static void Apply(uint32_t* p, int r, int g, int b, int a, int e) {
    PerChannel(p, r, g, b, a, [e](int c, int d) { return d + c * e / 256; });
  }
};

struct OpDodge {
  static constexpr bool kSkipTransparent = false;
  static void Apply(uint32_t* p, int r, int g, int b, int a, int e) {
    PerChannel(p, r, g, b, a, [e](int c, int d) {
      int s = c * e / 256;
      return 256 - s > 1 ? (d * 256) / (256 - s) : d * 256;
    });
  }
};

struct OpMultiply {
  static constexpr bool kSkipTransparent = true;
  static void Apply(uint32_t* p, int r, int g, int b, int a, int e) {
    PerChannel(p, r, g, b, a,
               [e](int c, int d) { return ((c * e + (256 - e) * 256) * d) / 65536; });
  }
};

struct OpOverlay {
  static constexpr bool kSkipTransparent = false;
  static void Apply(uint32_t* p, int r, int g, int b, int a, int e) {
    PerChannel(p, r, g, b, a, [e](int c, int d) {
      int k = c * e + (256 - e) * 128;
      return (((32768 - k) * d) / 256 + k) * d / 32768;
    });
  }
};

// Source channels are signed shifts centred at 128 of the destination's hue (red),
// saturation (green) and value (blue); the destination's alpha becomes the source alpha.
struct OpHsvAdjust {
  static constexpr bool kSkipTransparent = false;
  static void Apply(uint32_t* p, int r, int g, int b, int a, int e);
};

// Copy at weight 1.0 laying the source over the destination by its own alpha.
struct OpCopyOver {
  static void Apply(uint32_t* p, int r, int g, int b, int a, int) {
    if (a == 0) return;
    if (a == 255) {
      *p = 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
      return;
    }
    uint32_t d = *p;
    int na = 255 - a, a1 = a + 1;
    StorePixelClamped(p, (b * a1 + ChannelB(d) * na) / 256, (g * a1 + ChannelG(d) * na) / 256,
                      (r * a1 + ChannelR(d) * na) / 256, (ChannelA(d) * na + a1 * a1) / 256);
  }
};

// The operation with its weight scaled by the source alpha; copy, add and multiply skip
// fully transparent sources.
template <class Op>
struct AlphaAware {
  static void Apply(uint32_t* p, int r, int g, int b, int a, int e) {
    if (Op::kSkipTransparent && a == 0) return;
    Op::Apply(p, r, g, b, a, e * (a + 1) / 256);
  }
};

// Whole-word copy paths of the copy mode: they never split a pixel into channels.
struct OpStore {
  static void Apply(uint32_t* p, int r, int g, int b, int a, int) {
    *p = uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
  }
};
struct OpHalve {
  static void Apply(uint32_t* p, int r, int g, int b, int a, int) {
    uint32_t c = uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
    *p = ((c >> 1) & 0x7F7F7F7Fu) + ((*p >> 1) & 0x7F7F7F7Fu);
  }
};

// The per-channel formula behind an operation: the whole-word copies become the copy
// formula, for algorithms that must weight every pixel (fills, masks).
template <class Op> struct FormulaFor { using type = Op; };
template <> struct FormulaFor<OpStore> { using type = OpCopy; };
template <> struct FormulaFor<OpHalve> { using type = OpCopy; };
template <class Op> using FormulaOf = typename FormulaFor<Op>::type;

inline uint32_t HalveWords(uint32_t c, uint32_t d) {
  return ((c >> 1) & 0x7F7F7F7Fu) + ((d >> 1) & 0x7F7F7F7Fu);
}

// Calls f(Op{}) with the operation a mode selects; false (and no call) for a mode that draws
// nothing. copyWeight is the weight of the copy mode: 1.0 and 0.5 take the whole-word
// paths; the plain copy refuses weights of 0 or less. With honourAlpha false the alpha
// flag is ignored (lines, circles, masks).
template <class F>
bool ForEachOperation(int mode, float weight, bool honourAlpha, F&& f) {
  int k = mode & (honourAlpha ? (RasterUseSourceAlpha | kRasterBlendMask) : kRasterBlendMask);
  switch (k) {
    case RasterModeCopy:
      if (weight == 1.0f) f(OpStore{});
      else if (weight == 0.5f) f(OpHalve{});
      else if (weight > 0.0f) f(OpCopy{});
      else return false;
      return true;
    case RasterModeAdd: f(OpAdd{}); return true;
    case RasterModeDodge: f(OpDodge{}); return true;
    case RasterModeMultiply: f(OpMultiply{}); return true;
    case RasterModeOverlay: f(OpOverlay{}); return true;
    case RasterModeHsvAdjust: f(OpHsvAdjust{}); return true;
    case RasterUseSourceAlpha | RasterModeCopy:
      if (weight == 1.0f) f(OpCopyOver{});
      else f(AlphaAware<OpCopy>{});
      return true;
    case RasterUseSourceAlpha | RasterModeAdd: f(AlphaAware<OpAdd>{}); return true;
    case RasterUseSourceAlpha | RasterModeDodge: f(AlphaAware<OpDodge>{}); return true;
    case RasterUseSourceAlpha | RasterModeMultiply: f(AlphaAware<OpMultiply>{}); return true;
    case RasterUseSourceAlpha | RasterModeOverlay: f(AlphaAware<OpOverlay>{}); return true;
    case RasterUseSourceAlpha | RasterModeHsvAdjust: f(AlphaAware<OpHsvAdjust>{}); return true;
    default: return false;
  }
}

// Integer weight of a float weight: truncated toward zero.
inline int WeightOf(float weight, double full = 256.0) { return int(double(weight) * full); }

// Row access honouring flipped storage: the row pointer of logical row y and the step in
// words from one logical row to the next.
struct PixelView {
  uint32_t* bits = nullptr;
  int width = 0, height = 0, span = 0;
  bool flipped = false;

  uint32_t* Row(int y) const {
    int stored = flipped ? height - 1 - y : y;
    return bits + std::ptrdiff_t(stored) * span;
  }
  std::ptrdiff_t Step() const { return flipped ? -std::ptrdiff_t(span) : std::ptrdiff_t(span); }
};

}  // namespace raster

#include "RasterBitmap.h"

namespace raster {

inline PixelView ViewOf(const RasterBitmap* bitmap) {
  PixelView v;
  v.bits = bitmap->Bits();
  v.width = bitmap->Width();
  v.height = bitmap->Height();
  v.span = bitmap->RowSpan();
  v.flipped = bitmap->IsFlipped();
  return v;
}

}  // namespace raster
