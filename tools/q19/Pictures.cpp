#include "Pictures.h"

#include "Failure.h"
#include "SignalStats.h"

#include "raster/Compositing.h"
#include "raster/MemoryBitmap.h"
#include "raster/Outlines.h"
#include "raster/PngWriter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kWidth = 960;
constexpr int kLaneHeight = 140;
constexpr int kSpectrumHeight = 260;
constexpr int kMargin = 10;
constexpr uint32_t kBackground = 0xFF16181C;
constexpr uint32_t kPanel = 0xFF22252B;
constexpr uint32_t kGrid = 0xFF3A3E46;
constexpr uint32_t kInputColour = 0xFF8FB8E8;
constexpr uint32_t kOutputColour = 0xFFF0A040;

void Fill(MemoryBitmap& b, int x, int y, int w, int h, uint32_t colour) {
  FillRect(&b, x, y, w, h, colour, 1.0f, RasterModeCopy);
}

void Line(MemoryBitmap& b, int x1, int y1, int x2, int y2, uint32_t colour, float weight = 1.0f) {
  DrawLine(&b, x1, y1, x2, y2, colour, weight, RasterModeCopy, true);
}

// Min/max envelope per pixel column, centred in its lane.
void DrawWaveform(MemoryBitmap& b, int top, const std::vector<float>& signal, uint32_t colour) {
  int width = kWidth - 2 * kMargin;
  int mid = top + kLaneHeight / 2;
  Fill(b, kMargin, top, width, kLaneHeight, kPanel);
  Line(b, kMargin, mid, kMargin + width - 1, mid, kGrid);
  if (signal.empty()) return;
  double half = kLaneHeight / 2 - 2;
  for (int x = 0; x < width; ++x) {
    size_t from = signal.size() * size_t(x) / size_t(width);
    size_t to = std::max(from + 1, signal.size() * size_t(x + 1) / size_t(width));
    float lo = 0.0f, hi = 0.0f;
    for (size_t i = from; i < to && i < signal.size(); ++i) {
      lo = std::min(lo, signal[i]);
      hi = std::max(hi, signal[i]);
    }
    int y1 = mid - int(std::lround(std::min(1.0f, hi) * half));
    int y2 = mid - int(std::lround(std::max(-1.0f, lo) * half));
    Fill(b, kMargin + x, y1, 1, y2 - y1 + 1, colour);
  }
}

// Spectrum on 20 Hz to 20 kHz, log scale, 0 dB at the top and -100 dB at the bottom.
void DrawSpectrum(MemoryBitmap& b, int top, const std::vector<double>& magnitude,
                  int sampleRate, size_t fftSize, uint32_t colour) {
  int width = kWidth - 2 * kMargin;
  auto yOf = [&](double m) {
    double db = 20.0 * std::log10(std::max(m, 1e-6));
    double t = std::min(1.0, std::max(0.0, -db / 100.0));
    return top + int(std::lround(t * (kSpectrumHeight - 1)));
  };
  int lastX = -1, lastY = 0;
  for (int x = 0; x < width; ++x) {
    double f = 20.0 * std::pow(1000.0, double(x) / double(width - 1));
    double bin = f * double(fftSize) / sampleRate;
    if (bin >= double(magnitude.size() - 1)) break;
    size_t k = size_t(bin);
    double frac = bin - double(k);
    int y = yOf(magnitude[k] * (1.0 - frac) + magnitude[k + 1] * frac);
    if (lastX >= 0) Line(b, kMargin + lastX, lastY, kMargin + x, y, colour, 0.9f);
    lastX = x;
    lastY = y;
  }
}

void DrawSpectrumGrid(MemoryBitmap& b, int top) {
  int width = kWidth - 2 * kMargin;
  Fill(b, kMargin, top, width, kSpectrumHeight, kPanel);
  for (double f : {100.0, 1000.0, 10000.0}) {
    int x = kMargin + int(std::lround(std::log10(f / 20.0) / 3.0 * (width - 1)));
    Line(b, x, top, x, top + kSpectrumHeight - 1, kGrid);
  }
  for (int db = 20; db < 100; db += 20) {
    int y = top + db * (kSpectrumHeight - 1) / 100;
    Line(b, kMargin, y, kMargin + width - 1, y, kGrid);
  }
}

void Save(const MemoryBitmap& b, const std::string& path) {
  if (!SavePng(b, path.c_str())) Fail(kExitOutput, path + ": cannot be written");
}

}  // namespace

void SaveRenderPicture(const std::string& path, const std::vector<float>& input,
                       const std::vector<float>& outputLeft, int sampleRate) {
  int height = 4 * kMargin + 2 * kLaneHeight + kSpectrumHeight;
  MemoryBitmap b(kWidth, height);
  Fill(b, 0, 0, kWidth, height, kBackground);
  DrawWaveform(b, kMargin, input, kInputColour);
  DrawWaveform(b, 2 * kMargin + kLaneHeight, outputLeft, kOutputColour);
  int spectrumTop = 3 * kMargin + 2 * kLaneHeight;
  DrawSpectrumGrid(b, spectrumTop);
  constexpr size_t kFftSize = 4096;
  DrawSpectrum(b, spectrumTop, AverageSpectrum(input, kFftSize), sampleRate, kFftSize,
               kInputColour);
  DrawSpectrum(b, spectrumTop, AverageSpectrum(outputLeft, kFftSize), sampleRate, kFftSize,
               kOutputColour);
  Save(b, path);
}

void SaveTablePlot(const std::string& path, const double* const tables[4], int size) {
  constexpr int kHeight = 480;
  const uint32_t colours[4] = {0xFFF0A040, 0xFF8FB8E8, 0xFF90D890, 0xFFE080C0};
  MemoryBitmap b(kWidth, kHeight);
  Fill(b, 0, 0, kWidth, kHeight, kBackground);
  int width = kWidth - 2 * kMargin, height = kHeight - 2 * kMargin;
  Fill(b, kMargin, kMargin, width, height, kPanel);
  double top = 0.0;
  for (int t = 0; t < 4; ++t) {
    for (int i = 0; i < size; ++i) top = std::max(top, tables[t][i]);
  }
  if (top <= 0.0) top = 1.0;
  // Grid lines at whole volts: index 0 is +4 V, the last index -10 V.
  for (int volts = 3; volts > -10; --volts) {
    int x = kMargin + (4 - volts) * 100 * (width - 1) / (size - 1);
    Line(b, x, kMargin, x, kMargin + height - 1, volts == 0 ? 0xFF60646E : kGrid);
  }
  for (int t = 0; t < 4; ++t) {
    int lastX = 0, lastY = 0;
    for (int i = 0; i < size; ++i) {
      int x = kMargin + i * (width - 1) / (size - 1);
      int y = kMargin + height - 1 - int(std::lround(tables[t][i] / top * (height - 1)));
      if (i > 0) Line(b, lastX, lastY, x, y, colours[t]);
      lastX = x;
      lastY = y;
    }
  }
  Save(b, path);
}
