#pragma once
#include <cstddef>
#include <vector>

struct SignalStats {
  double peak = 0.0;
  double rms = 0.0;
  double CrestFactor() const { return rms > 0.0 ? peak / rms : 0.0; }
};

// Peak and RMS over every sample of an interleaved signal.
SignalStats MeasureSignal(const float* samples, size_t count);

// Average magnitude spectrum of one channel (Hann windows of `size` samples, half
// overlapping), `size` / 2 + 1 bins from 0 Hz to half the sample rate, linear magnitudes.
std::vector<double> AverageSpectrum(const std::vector<float>& channel, size_t size);
