#pragma once
// One channel of the preamp: four triode stages with their coupling filters, a switchable
// high-gain path, the tone stack, the treble network and an optional output transformer
// curve, run at two or four times the host rate and decimated after a 10th-order lowpass.

#include <cmath>

#include "ZORV_Filters.h"
#include "ZORV_ToneStack.h"
#include "ZORV_Triode.h"

namespace ZORV {

// The four transfer tables one amp reads (stage 2, 3, 4 and 1 in that order).
struct TriodeTables {
    const double* A;
    const double* B;
    const double* C;
    const double* D;
};

class ZORVAmp {
public:
    explicit ZORVAmp(const TriodeTables& tables);
    virtual ~ZORVAmp() = default;

    // First initialisation at the host rate; SetControls follows.
    void Setup(double sampleRate);
    // Knob positions 0..1 of "Bass", "Drive", "Lo Mid", "Hi Mid", "Treble".
    void SetControls(double bass, double drive, double loMid, double hiMid, double treble);
    // New host rate: re-derives every rate-dependent value, then warms up.
    void SetSampleRate(double sampleRate);
    void WarmUp(double value);

    // One host-rate sample.
    double ProcessSample(double x);
    // frames host-rate samples: the same numbers as ProcessSample on each in turn.
    void ProcessBlock(const double* x, double* y, int frames);
    // Two independent amps on frames samples each, in the two lanes of SSE2 doubles: the
    // same numbers as ProcessBlock on each. Amps whose switches or rates differ run one
    // after the other.
    static void ProcessBlockPair(ZORVAmp& left, const double* xL, double* yL, ZORVAmp& right,
                                 const double* xR, double* yR, int frames);

    // What a host sample becomes before the input gain: NaN and infinities play as silence,
    // and magnitudes are held at kInputLimit.
    static double SafeInput(double x)
    {
        if (std::fabs(x) <= kInputLimit)
            return x;
        if (std::isnan(x) || std::isinf(x))
            return 0.0;
        return x > 0 ? kInputLimit : -kInputLimit;
    }
    // 60 dB above full scale, where stage 1 has long been driven into grid conduction, so
    // no signal sounds different. Garbage levels (1e30, FLT_MAX) would otherwise charge the
    // first cathode so far that the amp stays mute for seconds, and at DBL_MAX the input
    // gain alone overflows.
    static constexpr double kInputLimit = 1000.0;

    static constexpr int kWarmUpSamples = 22100;
    static constexpr int kChunk = 32;  // host samples per pass of the block path

    ZORV_Shelf shelf;
    TrebleNetwork treble;
    ZORV_ToneStack toneStack;
    ZORV_Triode stage1, stage2, stage3, stage4;
    ZORV_Lowpass10 lowpass;
    ZORV_OnePole driveLowpass, highLowpass1, highLowpass2;
    ZORV_OnePole couplingA1, couplingB1, couplingE, couplingF, couplingA2, couplingB2, lowCut;
    double f_s = 0;
    double factor = 4.0;
    double out = 0;    // decimated output of the latest sample, before the output gain
    double prev = 0, cur = 0;  // previous and current input after the input gain
    double phase = 0, step = 0.25;
    double f_A = 0, f_C = 0, f_H1 = 4348.957989323812, f_H2 = 4274.793706562743, f_B = 0;
    double C_m = 1.2995603144948932e-10;
    unsigned char busy = 0;
    double level = 0.8792270531400966;  // 182/207, loss between stage 4 and the tone stack

    // control values
    double input = 0.5;
    double gainHi = 1.0;
    double drive = 0.55;   // tapered by SetControls
    double bass = 0.5, loMid = 0.5, hiMid = 0.5;
    double trebleCtl = 0.5;  // tapered by SetControls
    double output = 0.5;
    double contour = 0.0;
    double trafo = 0.0;
    unsigned char contourApplied = 0;

private:
    void CouplingCutoffs();
    inline double Segment1(double u, double driveScale);
    inline double Segment2(double y);
    inline double Segment3(double y);
    inline double Segment4(double y);
    inline double Segment5(double y);
    inline double Segment6(double y);
};

}  // namespace ZORV
