#pragma once
// Passive three-knob tone stack (treble, bass and middle potentiometers) with its contour
// component set, discretised by the bilinear transform; transposed direct form II.

#include "ZORV_Inline.h"

namespace ZORV {

struct ZORV_ToneStack {
    // components, ohms and farads
    double R1 = 250000, R2 = 1000000, R3 = 20000, R4 = 100000;
    double C1 = 2.2e-10, C2 = 2.2000000000000002e-08, C3 = 1e-08;
    double c = 88200;          // bilinear constant 2 f_s
    double l = 0, m = 0, t = 0;  // bass (tapered), middle and treble positions as discretised

    // Products of components that multiply t, m, m^2, l, l m and 1 in the analog coefficients.
    double b1t = 0, b1m = 0, b1l = 0, b1k = 0;
    double b2t = 0, b2mm = 0, b2m = 0, b2l = 0, b2lm = 0, b2k = 0;
    double b3lm = 0, b3mm = 0, b3m = 0, b3t = 0, b3tm = 0, b3tl = 0;
    double a1k = 0, a1m = 0, a1l = 0;
    double a2m = 0, a2lm = 0, a2mm = 0, a2l = 0, a2k = 0;
    double a3lm = 0, a3mm = 0, a3m = 0, a3l = 0, a3k = 0;

    double b1 = 0, b2 = 0, b3 = 0, a1 = 0, a2 = 0, a3 = 0;  // analog, current positions
    double A0 = 0, A1 = 0, A2 = 0, A3 = 0, B0 = 0, B1 = 0, B2 = 0, B3 = 0;
    double F = 0;  // output of the latest sample
    double nA1 = 0, nA2 = 0, nA3 = 0, nB0 = 0, nB1 = 0, nB2 = 0, nB3 = 0;  // divided by A0
    double s1 = 0, s2 = 0, s3 = 0;
    bool contour = false;
    double bass = 0.5, loMid = 0.5, hiMid = 0.5;  // stored raw positions

    void SetComponents(bool contourSet);
    // Component products from the current set; clears the state, then discretises.
    void ComputeAnalog();
    void Discretize(double bassPos, double loMidPos, double hiMidPos);

    ZORV_INLINE double Process(double x)
    {
        F = x * nB0 + s1 + 1e-24;
        s1 = nB1 * x + s2 - nA1 * F;
        s2 = nB2 * x + s3 - nA2 * F;
        s3 = nB3 * x - nA3 * F;
        return F;
    }
};

}  // namespace ZORV
