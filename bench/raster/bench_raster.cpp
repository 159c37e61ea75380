// Raster benchmarks: composing the amp editor's whole panel (target: at most 100 us), and a
// bilinear 2x stretch of the panel.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "Compositing.h"
#include "DibBitmap.h"
#include "ImageLoading.h"
#include "MemoryBitmap.h"
#include "Resampling.h"

namespace {

struct Panel {
  std::unique_ptr<RasterBitmap> background{LoadPngResource(nullptr, 103, nullptr)};
  std::unique_ptr<RasterBitmap> knob{LoadPngResource(nullptr, 101, nullptr)};
  std::unique_ptr<RasterBitmap> button{LoadPngResource(nullptr, 100, nullptr)};
  bool Ok() const { return background && knob && button; }
};

const int kKnobX[7] = {90, 155, 218, 279, 340, 402, 550};
const int kSwitchX[4] = {465, 498, 642, 613};

void ComposeFullPanel(benchmark::State& state) {
  Panel p;
  if (!p.Ok()) {
    state.SkipWithError("panel resources missing");
    return;
  }
  DibBitmap surface(800, 78);
  int frame = 0;
  for (auto _ : state) {
    BlitRect(&surface, p.background.get(), 0, 0, 0, 0, 800, 78, 1.0f, RasterModeCopy);
    for (int i = 0; i < 7; ++i)
      BlitRect(&surface, p.knob.get(), kKnobX[i], 10, 0, ((frame + i * 7) % 61) * 60, 60, 60, 1.0f,
               RasterUseSourceAlpha | RasterModeCopy);
    for (int i = 0; i < 4; ++i)
      BlitRect(&surface, p.button.get(), kSwitchX[i], 6, 0, ((frame + i) & 1) * 64, 20, 64, 1.0f,
               RasterUseSourceAlpha | RasterModeCopy);
    frame = (frame + 1) % 61;
    benchmark::DoNotOptimize(surface.Bits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(ComposeFullPanel)->Unit(benchmark::kMicrosecond);

void BilinearPanelTwice(benchmark::State& state) {
  Panel p;
  if (!p.Ok()) {
    state.SkipWithError("panel resources missing");
    return;
  }
  MemoryBitmap big(1600, 156);
  for (auto _ : state) {
    ScaledBlit(&big, p.background.get(), 0, 0, 1600, 156, 0.0f, 0.0f, 800.0f, 78.0f, 1.0f,
               RasterFilterBilinear | RasterModeCopy);
    benchmark::DoNotOptimize(big.Bits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BilinearPanelTwice)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
