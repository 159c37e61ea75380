#pragma once
// A guitar-like test signal: plucked notes of decaying harmonics, one every half second.
#include <cmath>
#include <vector>

inline std::vector<double> GuitarSignal(double rate, int frames, double peak = 0.3)
{
    static const double kNotes[] = {82.41, 110.0, 146.83, 196.0, 246.94, 329.63};
    std::vector<double> x(frames);
    const int noteLength = int(rate / 2);
    for (int i = 0; i < frames; ++i) {
        const int note = i / noteLength;
        const double t = (i % noteLength) / rate;
        const double f = kNotes[note % 6];
        double v = 0;
        for (int h = 1; h <= 8; ++h)
            v += std::sin(6.283185307179586 * f * h * t) * std::exp(-t * (2.0 + h)) / h;
        x[i] = peak * 0.6 * v;
    }
    return x;
}
