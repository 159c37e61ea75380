#include "SignalStats.h"

#include <cmath>
#include <complex>

SignalStats MeasureSignal(const float* samples, size_t count) {
  SignalStats stats;
  double sum = 0.0;
  for (size_t i = 0; i < count; ++i) {
    double x = samples[i];
    stats.peak = std::fmax(stats.peak, std::fabs(x));
    sum += x * x;
  }
  stats.rms = count ? std::sqrt(sum / double(count)) : 0.0;
  return stats;
}

namespace {

// In-place radix-2 FFT; size is a power of two.
void Fft(std::vector<std::complex<double>>& a) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    double angle = -2.0 * M_PI / double(len);
    std::complex<double> step(std::cos(angle), std::sin(angle));
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> w(1.0, 0.0);
      for (size_t k = 0; k < len / 2; ++k) {
        std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
        w *= step;
      }
    }
  }
}

}  // namespace

std::vector<double> AverageSpectrum(const std::vector<float>& channel, size_t size) {
  std::vector<double> magnitude(size / 2 + 1, 0.0);
  std::vector<double> window(size);
  double windowSum = 0.0;
  for (size_t i = 0; i < size; ++i) {
    window[i] = 0.5 - 0.5 * std::cos(2.0 * M_PI * double(i) / double(size));
    windowSum += window[i];
  }
  std::vector<std::complex<double>> frame(size);
  size_t frames = 0;
  for (size_t start = 0; start + size <= channel.size(); start += size / 2, ++frames) {
    for (size_t i = 0; i < size; ++i) frame[i] = channel[start + i] * window[i];
    Fft(frame);
    for (size_t k = 0; k < magnitude.size(); ++k) magnitude[k] += std::abs(frame[k]);
  }
  // Scaled so that a full-scale sine reads about 1 in its bin.
  double scale = frames ? 2.0 / (windowSum * double(frames)) : 0.0;
  for (double& m : magnitude) m *= scale;
  return magnitude;
}
