#pragma once
// The small linear sections of the amp, all at the oversampled rate. 2 pi is 6.2831853
// throughout the amp model.

#include <cmath>

#include "ZORV_Inline.h"

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
    ZORV_INLINE double Lowpass(double x)
    {
        s = b * x - na * s;
        return s;
    }
    ZORV_INLINE double Highpass(double x)
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
    ZORV_INLINE double Process(double x)
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
// 0.104167 f_s), passband gain about 1.0557.  The histories are rings written backwards,
// each sample stored twice so that x[k] (k samples old) is always xr[pos + k], no wrap.
struct ZORV_Lowpass10 {
    static const double kB[11];
    static const double kA[11];

    double xr[22] = {};  // input history
    double yr[22] = {};  // output history
    int pos = 0;         // ring slot of the newest sample

    double X(int k) const { return xr[pos + k]; }  // k samples old, X(0) the newest input
    double Y(int k) const { return yr[pos + k]; }  // Y(0) the newest output

    ZORV_INLINE double Process(double in)
    {
        const int p = pos == 0 ? 10 : pos - 1;
        pos = p;
        xr[p] = in;
        xr[p + 11] = in;
        const double* x = xr + p;
        const double* y = yr + p;  // y[0] is written below; y[1..10] are the history
        double acc = kB[0] * in;
        acc = x[1] * kB[1] - y[1] * kA[1] + acc;
        acc = x[2] * kB[2] - y[2] * kA[2] + acc;
        acc = x[3] * kB[3] - y[3] * kA[3] + acc;
        acc = x[4] * kB[4] - y[4] * kA[4] + acc;
        acc = x[5] * kB[5] - y[5] * kA[5] + acc;
        acc = x[6] * kB[6] - y[6] * kA[6] + acc;
        acc = x[7] * kB[7] - y[7] * kA[7] + acc;
        acc = x[8] * kB[8] - y[8] * kA[8] + acc;
        acc = x[9] * kB[9] - y[9] * kA[9] + acc;
        acc = x[10] * kB[10] - y[10] * kA[10] + acc;
        yr[p] = acc;
        yr[p + 11] = acc;
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
    ZORV_INLINE double Process(double F)
    {
        H = ((F + 1e-24) * R_v + G * R_a) * R_b * N;
        G = (H - G) * invRv * dt * invC + G;  // forward Euler
        return H;
    }
};

}  // namespace ZORV
