#include "ZORVAmp.h"

#include <cmath>

namespace ZORV {

namespace {

constexpr double kGridK = 1.96896589e-07;

}  // namespace

ZORVAmp::ZORVAmp(const TriodeTables& tables)
{
    stage1.table = tables.D;
    stage2.table = tables.A;
    stage3.table = tables.B;
    stage4.table = tables.C;
    factor = 4.0;
}

void ZORVAmp::Setup(double sampleRate)
{
    factor = sampleRate < 88200 ? 4.0 : 2.0;
    f_s = factor * sampleRate;
    step = 1 / factor;
    prev = 0;
    cur = 0;
    out = 0;

    const ZORV_Triode::Constants c1 = {stage1.table, 1, 1000000, 0.9999990000010001, 100000, 60000,
                                       37500, 1500, 2.2e-5, 300, 0.003, 0.00075,
                                       1 / (kGridK * 1000000)};
    const ZORV_Triode::Constants c2 = {stage2.table, 100000, 470000, 0, 100000, 214721,
                                       68225.8254136203, 1000, 2.2e-5, 300, 0.003, 0.00075,
                                       1 / (kGridK * 47000000000.0)};
    const ZORV_Triode::Constants c3 = {stage3.table, 203373.56668678334, 470000, 0.697978096040438,
                                       330000, 347000, 169143.27917282126, 3300, 1e-5, 300,
                                       0.0009090909090909092, 0.0002272727272727273,
                                       1 / (kGridK * 95585576342.78816)};
    const ZORV_Triode::Constants c4 = {stage4.table, 276697.28407063195, 1000000,
                                       0.7832710325908988, 100000, 280000, 73684.21052631579, 1000,
                                       2.2e-5, 300, 0.003, 0.00075,
                                       1 / (kGridK * 276697284070.63196)};
    stage1.Configure(c1, f_s);
    stage2.Configure(c2, f_s);
    stage3.Configure(c3, f_s);
    stage4.Configure(c4, f_s);

    C_m = 1.2995603144948932e-10;
    level = 0.8792270531400966;
    f_H1 = 4348.957989323812;
    f_H2 = 4274.793706562743;

    toneStack.c = 2 * f_s;
    toneStack.SetComponents(false);
    contourApplied = 0;

    shelf.Design(f_s);

    couplingB1.SetCutoff(14.5, f_s);
    couplingE.SetCutoff(9.5, f_s);
    couplingF.SetCutoff(11.6, f_s);
    couplingB2.SetCutoff(850.1, f_s);
    lowCut.SetCutoff(177.1, f_s);
    highLowpass1.SetCutoff(f_H1 + 50, f_s);
    highLowpass2.SetCutoff(f_H2 + 50, f_s);
}

// The two coupling highpasses after stage 1 hang on the drive potentiometer, whose legs
// always add up to 1 MOhm.
void ZORVAmp::CouplingCutoffs()
{
    const double R_lower = 999000 * drive;
    const double R_upper = 1000000 - R_lower;
    f_A = 1 / ((R_upper + R_lower + 100000 + 23204) * 6.283185300000001e-9);
    f_B = 1 / ((1 / (1 / (R_upper + R_lower + 100000) + 1.6666666666666667e-05) + 38500)
               * 2.953097091e-7);
}

void ZORVAmp::SetControls(double bassPos, double drivePos, double loMidPos, double hiMidPos,
                          double treblePos)
{
    bass = bassPos;
    loMid = loMidPos;
    hiMid = hiMidPos;
    drive = drivePos / (4 - drivePos * 3);
    trebleCtl = treblePos / (treblePos * 0.3333333333 + 0.6666666667);

    CouplingCutoffs();
    const double R_lower = 999000 * drive;
    const double R_upper = 1000000 - R_lower;
    f_C = 1 / ((1 / (1 / R_lower + 1 / (R_upper + 138500))) * C_m * 6.2831853);
    couplingA2.SetCutoff(f_A + 1, f_s);
    couplingA1.SetCutoff(f_B + 1, f_s);
    driveLowpass.SetCutoff(f_C, f_s);

    treble.Set(trebleCtl, f_s);

    if (contour > 0.5 && !contourApplied) {
        toneStack.SetComponents(true);
        contourApplied = 1;
    } else if (contour < 0.5 && contourApplied) {
        toneStack.SetComponents(false);
        contourApplied = 0;
    }

    // A sample in flight keeps the grid network and tone stack it started with.
    if (busy)
        return;

    ZORV_Triode& s = stage2;
    s.R_upper = 1000000 - (1000000 - 1000) * drive;
    s.R_lower = 1000000 - s.R_upper;
    s.R_s2 = 100000 + s.R_upper;
    s.R_g2 = 1 / (1 / s.R_lower + 1 / 470000.0);
    s.divider = s.R_g2 / (s.R_s2 + s.R_g2);
    s.G_s2 = 1 / s.R_s2;
    s.G_g2 = 1 / s.R_g2;
    s.invKRR2 = 1 / (s.k * s.R_g2 * s.R_s2);
    s.UpdateDrivenGrid();

    toneStack.Discretize(bass, loMid, hiMid);
}

void ZORVAmp::SetSampleRate(double sampleRate)
{
    factor = sampleRate < 88200 ? 4.0 : 2.0;
    f_s = factor * sampleRate;

    stage1.SetRate(f_s);
    stage2.SetRate(f_s);
    stage3.SetRate(f_s);
    stage4.SetRate(f_s);

    toneStack.c = 2 * f_s;
    toneStack.SetComponents(contourApplied != 0);

    CouplingCutoffs();
    couplingA2.SetCutoff(f_A + 1, f_s);
    couplingB2.SetCutoff(850.1, f_s);

    shelf.Design(f_s);

    lowCut.SetCutoff(177.1, f_s);
    driveLowpass.SetCutoff(f_C, f_s);
    highLowpass1.SetCutoff(f_H1, f_s);
    highLowpass2.SetCutoff(f_H2, f_s);
    couplingA1.SetCutoff(f_B + 1, f_s);
    couplingB1.SetCutoff(14.5, f_s);
    couplingE.SetCutoff(9.5, f_s);
    couplingF.SetCutoff(11.6, f_s);

    treble.Set(trebleCtl, f_s);

    step = 1 / factor;

    WarmUp(1e-9);
}

void ZORVAmp::WarmUp(double value)
{
    double x[kChunk], y[kChunk];
    for (int i = 0; i < kChunk; ++i)
        x[i] = value;
    for (int done = 0; done < kWarmUpSamples; done += kChunk)
        ProcessBlock(x, y, kWarmUpSamples - done < kChunk ? kWarmUpSamples - done : kChunk);
}

// One oversampled pass through the chain, in four segments so that the block path can run
// consecutive sub-samples through different segments at once.
inline double ZORVAmp::Segment1(double u, double driveScale)
{
    double y = stage1.Process(u);
    y = couplingA1.Highpass(y);
    y = couplingA2.Highpass(y);
    return driveLowpass.Lowpass(driveScale * y) + 1e-24;
}

inline double ZORVAmp::Segment2(double y)
{
    y = stage2.ProcessDriven(y);
    y = couplingB1.Highpass(y);
    y = couplingB2.Highpass(y);
    if (gainHi == 0)
        return lowCut.Highpass(y);
    y = shelf.Process(y + 1e-24);
    return highLowpass1.Lowpass(y + 1e-24) + 1e-24;
}

inline double ZORVAmp::Segment3(double y)
{
    if (gainHi == 0)
        return y;
    y = stage3.Process(y);
    y = couplingE.Highpass(y);
    return highLowpass2.Lowpass(y) + 1e-24;
}

inline double ZORVAmp::Segment4(double y)
{
    y = stage4.Process(y);
    return couplingF.Highpass(y);
}

inline double ZORVAmp::Segment5(double y)
{
    y = y * level * 0.011 + 1e-19 + 1e-24;
    y = toneStack.Process(y);
    y = treble.Process(y);
    if (trafo != 0)
        y = (y * 0.68 - y * y * y * 0.02) * 1.5;  // soft cubic, small-signal gain 1.02
    return y;
}

inline double ZORVAmp::Segment6(double y) { return lowpass.Process(y + 1e-19); }

double ZORVAmp::ProcessSample(double x)
{
    busy = 1;
    prev = cur;
    cur = input * 2.2 * SafeInput(x) + 1e-19 + 1e-19;
    phase = 0;
    const int passes = factor > 2.0 ? 4 : 2;
    const double driveScale = 1 - drive * 0.09;
    for (int n = 0; n < passes; ++n) {
        const double u = (cur - prev) * phase + prev;
        const double z = Segment6(Segment5(Segment4(Segment3(Segment2(Segment1(u, driveScale))))));
        if (phase == 0)
            out = z;  // keep the sub-sample aligned with the previous input
        phase = phase + step;
    }
    busy = 0;
    return output * 2.2 * out + 1e-19;
}

void ZORVAmp::ProcessBlock(const double* x, double* y, int frames)
{
    // Every section sees the same samples in the same order as in ProcessSample; only the
    // sections' work on neighbouring sub-samples is interleaved (segment s runs sub-sample
    // j - s), which lets the processor overlap their dependency chains.
    if (frames <= 0)
        return;
    busy = 1;
    const int passes = factor > 2.0 ? 4 : 2;
    const double driveScale = 1 - drive * 0.09;
    const double gainOut = output * 2.2;
    // b[s] feeds segment s; segment s works on sub-sample j - s in step j
    double b[6][kChunk * 4];
    for (int start = 0; start < frames; start += kChunk) {
        const int n = frames - start < kChunk ? frames - start : kChunk;
        const int m = n * passes;
        double ph = 0;
        for (int i = 0; i < n; ++i) {
            prev = cur;
            cur = input * 2.2 * SafeInput(x[start + i]) + 1e-19 + 1e-19;
            ph = 0;
            for (int p = 0; p < passes; ++p) {
                b[0][i * passes + p] = (cur - prev) * ph + prev;
                ph = ph + step;
            }
        }
        phase = ph;
        double* yOut = y + start;
        for (int j = 0; j < m + 5; ++j) {
            if (j < m) b[1][j] = Segment1(b[0][j], driveScale);
            if (j >= 1 && j - 1 < m) b[2][j - 1] = Segment2(b[1][j - 1]);
            if (j >= 2 && j - 2 < m) b[3][j - 2] = Segment3(b[2][j - 2]);
            if (j >= 3 && j - 3 < m) b[4][j - 3] = Segment4(b[3][j - 3]);
            if (j >= 4 && j - 4 < m) b[5][j - 4] = Segment5(b[4][j - 4]);
            if (j >= 5) {
                const int k = j - 5;
                const double z = Segment6(b[5][k]);
                if (k % passes == 0) {
                    out = z;
                    yOut[k / passes] = gainOut * out + 1e-19;
                }
            }
        }
    }
    busy = 0;
}

}  // namespace ZORV
