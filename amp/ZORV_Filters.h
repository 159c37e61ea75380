#pragma once
// The small linear sections of the amp, all at the oversampled rate. 2 pi is 6.2831853
// throughout the amp model.

#include <cmath>

namespace ZORV {

// One-pole section, used as lowpass or as coupling highpass.
struct ZORV_OnePole {
    double f = 0;   // cutoff over sampling rate
    double a = 0;   // exp(-2 pi f)
    double b = 0;   // 1 - a
    double na = 0;  // -a
    double s = 0;   // state: the lowpass output

    void SetCutoff(double fc, double fs)
    {
        f = fc / fs;
        a = std::exp(f * -6.2831853);
        b = 1 - a;
        na = -a;
    }
    double Lowpass(double x)
    {
        s = b * x - na * s;
        return s;
    }
    double Highpass(double x)
    {
        s = b * x - na * s;
        return x - s + 1e-24;
    }
};

// Low shelf of the high-gain path: -6 dB below 485 Hz, Q 0.8, direct form I.
struct ZORV_Shelf {
    double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double y1 = 0, y2 = 0, x1 = 0, x2 = 0;

    void Design(double fs);
    double Process(double x)
    {
        const double y = b1 * x1 + b2 * x2 + b0 * x - a1 * y1 - a2 * y2;
        y2 = y1;
        y1 = y;
        x2 = x1;
        x1 = x;
        return y;
    }
};

// Lowpass in front of decimation: 10th-order Chebyshev I (0.01 dB ripple, edge at
// 0.104167 f_s), passband gain about 1.0557.
struct ZORV_Lowpass10 {
    static const double kB[11];
    static const double kA[11];

    double x[11] = {};  // x[0] newest input
    double y[11] = {};  // y[0] newest output

    double Process(double in)
    {
        for (int k = 10; k > 0; --k)
            x[k] = x[k - 1];
        x[0] = in;
        for (int k = 10; k > 0; --k)
            y[k] = y[k - 1];
        double acc = kB[0] * in;
        for (int k = 1; k <= 10; ++k)
            acc = x[k] * kB[k] - y[k] * kA[k] + acc;
        y[0] = acc;
        return acc;
    }
};

// Passive treble network after the tone stack: R_a from the tone stack into a node that
// R_b loads to ground and R_v in series with 1 nF shunts.
struct TrebleNetwork {
    double H = 0;     // output voltage of the latest sample
    double N = 0;     // 1 / ((R_v + R_a) R_b + R_v R_a)
    double invC = 999999999.9999999;
    double invRv = 0;
    double dt = 0;
    double G = 0;     // capacitor voltage
    double R_a = 100000;
    double R_v = 0;
    double R_b = 248991;

    void Set(double trebleTapered, double fs)
    {
        R_v = trebleTapered * 999700 + 300;
        R_a = 100000;
        R_b = 248991;
        N = 1 / ((R_v + 100000) * 248991 + R_v * 100000);
        invC = 999999999.9999999;
        invRv = 1 / R_v;
        dt = 1 / fs;
    }
    double Process(double F)
    {
        H = ((F + 1e-24) * R_v + G * R_a) * R_b * N;
        G = (H - G) * invRv * dt * invC + G;  // forward Euler
        return H;
    }
};

}  // namespace ZORV
