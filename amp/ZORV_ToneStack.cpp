#include "ZORV_ToneStack.h"

namespace ZORV {

void ZORV_ToneStack::SetComponents(bool contourSet)
{
    contour = contourSet;
    R1 = 250000;
    R2 = contourSet ? 1010000 : 1000000;
    R3 = 20000;
    R4 = 100000;
    C1 = contourSet ? 4.4e-10 : 2.2e-10;
    C2 = 2.2000000000000002e-08;
    C3 = contourSet ? 2e-08 : 1e-08;
    ComputeAnalog();
}

void ZORV_ToneStack::ComputeAnalog()
{
    const double R3sq = R3 * R3;

    b1t = C1 * R1;
    b1m = C3 * R3;
    b1l = (C1 + C2) * R2;
    b1k = (C1 + C2) * R3;

    b2t = C1 * C2 * R1 * R4 + C1 * C3 * R1 * R4;
    b2mm = C1 * C3 * R3sq + C2 * C3 * R3sq;
    b2m = C1 * C3 * R1 * R3 + C1 * C3 * R3sq + C2 * C3 * R3sq;
    b2l = C1 * C2 * R1 * R2 + C1 * C2 * R2 * R4 + C1 * C3 * R2 * R4;
    b2lm = C1 * C3 * R2 * R3 + C2 * C3 * R2 * R3;
    b2k = C1 * C2 * R1 * R3 + C1 * C2 * R3 * R4 + C1 * C3 * R3 * R4;

    b3lm = C1 * C2 * C3 * R1 * R2 * R3 + C1 * C2 * C3 * R2 * R3 * R4;
    b3mm = C1 * C2 * C3 * R1 * R3sq + C1 * C2 * C3 * R3sq * R4;
    b3m = C1 * C2 * C3 * R1 * R3sq + C1 * C2 * C3 * R3sq * R4;
    b3t = C1 * C2 * C3 * R1 * R3 * R4;
    b3tm = C1 * C2 * C3 * R1 * R3 * R4;
    b3tl = C1 * C2 * C3 * R1 * R2 * R4;

    a1k = C1 * R1 + C1 * R3 + C2 * R3 + C2 * R4 + C3 * R4;
    a1m = C3 * R3;
    a1l = C1 * R2 + C2 * R2;

    a2m = C1 * C3 * R1 * R3 - C2 * C3 * R3 * R4 + C1 * C3 * R3sq + C2 * C3 * R3sq;
    a2lm = C1 * C3 * R2 * R3 + C2 * C3 * R2 * R3;
    a2mm = C1 * C3 * R3sq + C2 * C3 * R3sq;
    a2l = C1 * C2 * R2 * R4 + C1 * C2 * R1 * R2 + C1 * C3 * R2 * R4 + C2 * C3 * R2 * R4;
    a2k = C1 * C2 * R1 * R4 + C1 * C3 * R1 * R4 + C1 * C2 * R3 * R4 + C1 * C2 * R1 * R3
        + C1 * C3 * R3 * R4 + C2 * C3 * R3 * R4;

    a3lm = C1 * C2 * C3 * R1 * R2 * R3 + C1 * C2 * C3 * R2 * R3 * R4;
    a3mm = C1 * C2 * C3 * R1 * R3sq + C1 * C2 * C3 * R3sq * R4;
    a3m = C1 * C2 * C3 * R3sq * R4 + C1 * C2 * C3 * R1 * R3sq - C1 * C2 * C3 * R1 * R3 * R4;
    a3l = C1 * C2 * C3 * R1 * R2 * R4;
    a3k = C1 * C2 * C3 * R1 * R3 * R4;

    s1 = 0;
    s2 = 0;
    s3 = 0;
    Discretize(bass, loMid, hiMid);
}

void ZORV_ToneStack::Discretize(double bassPos, double loMidPos, double hiMidPos)
{
    bass = bassPos;
    loMid = loMidPos;
    hiMid = hiMidPos;
    l = bassPos / (4 - bassPos * 3);  // the bass potentiometer's taper
    m = loMidPos;
    t = hiMidPos;
    const double mm = m * m;
    const double lm = l * m;

    b1 = t * b1t + m * b1m + l * b1l + b1k;
    b2 = t * b2t - mm * b2mm + m * b2m + l * b2l + lm * b2lm + b2k;
    b3 = lm * b3lm - mm * b3mm + m * b3m + t * b3t - t * m * b3tm + t * l * b3tl;
    a1 = a1k + m * a1m + l * a1l;
    a2 = m * a2m + lm * a2lm - mm * a2mm + l * a2l + a2k;
    a3 = lm * a3lm - mm * a3mm + m * a3m + l * a3l + a3k;

    const double c2 = c * c;
    const double c3 = c2 * c;
    A0 = -1 - c * a1 - c2 * a2 - c3 * a3;
    A1 = 3 * c3 * a3 + c2 * a2 - c * a1 - 3;
    A2 = c2 * a2 + c * a1 - 3 - 3 * c3 * a3;
    A3 = c * a1 - 1 - c2 * a2 + c3 * a3;
    B0 = -c * b1 - c2 * b2 - c3 * b3;
    B1 = 3 * c3 * b3 + c2 * b2 - c * b1;
    B2 = c2 * b2 + c * b1 - 3 * c3 * b3;
    B3 = c * b1 - c2 * b2 + c3 * b3;
    nA1 = A1 / A0;
    nA2 = A2 / A0;
    nA3 = A3 / A0;
    nB0 = B0 / A0;
    nB1 = B1 / A0;
    nB2 = B2 / A0;
    nB3 = B3 / A0;
}

}  // namespace ZORV
