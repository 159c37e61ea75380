// Two amps in the two lanes of SSE2 doubles. Every lane operation is the scalar operation
// of ZORVAmp (IEEE-rounded the same way), in the same order; where the scalar code
// branches per sample (grid conduction, table range) both outcomes are computed and the
// lane picks the one the scalar code would have taken, unless both lanes take the same.

#include <emmintrin.h>

#include "ZORVAmp.h"
#include "ZORV_Inline.h"

namespace ZORV {

namespace {

struct V2 {
    __m128d v;
};
inline V2 operator+(V2 a, V2 b) { return {_mm_add_pd(a.v, b.v)}; }
inline V2 operator-(V2 a, V2 b) { return {_mm_sub_pd(a.v, b.v)}; }
inline V2 operator*(V2 a, V2 b) { return {_mm_mul_pd(a.v, b.v)}; }
inline V2 Both(double x) { return {_mm_set1_pd(x)}; }
inline V2 Lanes(double left, double right) { return {_mm_set_pd(right, left)}; }
inline double Left(V2 a) { return _mm_cvtsd_f64(a.v); }
inline double Right(V2 a) { return _mm_cvtsd_f64(_mm_unpackhi_pd(a.v, a.v)); }
// mask ? a : b, mask lanes all ones or all zeros
inline V2 Select(__m128d mask, V2 a, V2 b) { return {_mm_or_pd(_mm_and_pd(mask, a.v), _mm_andnot_pd(mask, b.v))}; }

struct PairOnePole {
    V2 b, na, s;
    void Load(const ZORV_OnePole& l, const ZORV_OnePole& r)
    {
        b = Lanes(l.b, r.b);
        na = Lanes(l.na, r.na);
        s = Lanes(l.s, r.s);
    }
    void Store(ZORV_OnePole& l, ZORV_OnePole& r) const
    {
        l.s = Left(s);
        r.s = Right(s);
    }
    V2 Lowpass(V2 x)
    {
        s = b * x - na * s;
        return s;
    }
    V2 Highpass(V2 x)
    {
        s = b * x - na * s;
        return x - s + Both(1e-24);
    }
};

struct PairShelf {
    V2 b0, b1, b2, a1, a2, y1, y2, x1, x2;
    void Load(const ZORV_Shelf& l, const ZORV_Shelf& r)
    {
        b0 = Lanes(l.b0, r.b0);
        b1 = Lanes(l.b1, r.b1);
        b2 = Lanes(l.b2, r.b2);
        a1 = Lanes(l.a1, r.a1);
        a2 = Lanes(l.a2, r.a2);
        y1 = Lanes(l.y1, r.y1);
        y2 = Lanes(l.y2, r.y2);
        x1 = Lanes(l.x1, r.x1);
        x2 = Lanes(l.x2, r.x2);
    }
    void Store(ZORV_Shelf& l, ZORV_Shelf& r) const
    {
        l.y1 = Left(y1), r.y1 = Right(y1);
        l.y2 = Left(y2), r.y2 = Right(y2);
        l.x1 = Left(x1), r.x1 = Right(x1);
        l.x2 = Left(x2), r.x2 = Right(x2);
    }
    V2 Process(V2 x)
    {
        const V2 y = b1 * x1 + b2 * x2 + b0 * x - a1 * y1 - a2 * y2;
        y2 = y1;
        y1 = y;
        x2 = x1;
        x1 = x;
        return y;
    }
};

struct PairToneStack {
    V2 nB0, nB1, nB2, nB3, nA1, nA2, nA3, s1, s2, s3, F;
    void Load(const ZORV_ToneStack& l, const ZORV_ToneStack& r)
    {
        nB0 = Lanes(l.nB0, r.nB0);
        nB1 = Lanes(l.nB1, r.nB1);
        nB2 = Lanes(l.nB2, r.nB2);
        nB3 = Lanes(l.nB3, r.nB3);
        nA1 = Lanes(l.nA1, r.nA1);
        nA2 = Lanes(l.nA2, r.nA2);
        nA3 = Lanes(l.nA3, r.nA3);
        s1 = Lanes(l.s1, r.s1);
        s2 = Lanes(l.s2, r.s2);
        s3 = Lanes(l.s3, r.s3);
        F = Lanes(l.F, r.F);
    }
    void Store(ZORV_ToneStack& l, ZORV_ToneStack& r) const
    {
        l.s1 = Left(s1), r.s1 = Right(s1);
        l.s2 = Left(s2), r.s2 = Right(s2);
        l.s3 = Left(s3), r.s3 = Right(s3);
        l.F = Left(F), r.F = Right(F);
    }
    V2 Process(V2 x)
    {
        F = x * nB0 + s1 + Both(1e-24);
        s1 = nB1 * x + s2 - nA1 * F;
        s2 = nB2 * x + s3 - nA2 * F;
        s3 = nB3 * x - nA3 * F;
        return F;
    }
};

struct PairTreble {
    V2 H, N, invC, invRv, dt, G, R_a, R_v, R_b;
    void Load(const TrebleNetwork& l, const TrebleNetwork& r)
    {
        H = Lanes(l.H, r.H);
        N = Lanes(l.N, r.N);
        invC = Lanes(l.invC, r.invC);
        invRv = Lanes(l.invRv, r.invRv);
        dt = Lanes(l.dt, r.dt);
        G = Lanes(l.G, r.G);
        R_a = Lanes(l.R_a, r.R_a);
        R_v = Lanes(l.R_v, r.R_v);
        R_b = Lanes(l.R_b, r.R_b);
    }
    void Store(TrebleNetwork& l, TrebleNetwork& r) const
    {
        l.H = Left(H), r.H = Right(H);
        l.G = Left(G), r.G = Right(G);
    }
    V2 Process(V2 F)
    {
        H = ((F + Both(1e-24)) * R_v + G * R_a) * R_b * N;
        G = (H - G) * invRv * dt * invC + G;
        return H;
    }
};

struct PairLowpass10 {
    // One ring of (input, output) pairs, so that a single pointer reaches both histories.
    struct Slot {
        V2 x, y;
    };
    Slot ring[22];
    V2 kB[11], kA[11];
    int pos = 0;
    void Load(const ZORV_Lowpass10& l, const ZORV_Lowpass10& r)
    {
        for (int k = 0; k < 11; ++k) {
            ring[k].x = ring[k + 11].x = Lanes(l.X(k), r.X(k));
            ring[k].y = ring[k + 11].y = Lanes(l.Y(k), r.Y(k));
            kB[k] = Both(ZORV_Lowpass10::kB[k]);
            kA[k] = Both(ZORV_Lowpass10::kA[k]);
        }
        pos = 0;
    }
    void Store(ZORV_Lowpass10& l, ZORV_Lowpass10& r) const
    {
        for (int k = 0; k < 11; ++k) {
            const Slot& h = ring[pos + k];
            l.xr[k] = l.xr[k + 11] = Left(h.x);
            l.yr[k] = l.yr[k + 11] = Left(h.y);
            r.xr[k] = r.xr[k + 11] = Right(h.x);
            r.yr[k] = r.yr[k + 11] = Right(h.y);
        }
        l.pos = r.pos = 0;
    }
    V2 Process(V2 in)
    {
        const int p = pos == 0 ? 10 : pos - 1;
        pos = p;
        Slot* h = ring + p;
        h[0].x = in;
        h[11].x = in;
        V2 acc = kB[0] * in;
        for (int k = 1; k <= 10; ++k)
            acc = h[k].x * kB[k] - h[k].y * kA[k] + acc;
        h[0].y = acc;
        h[11].y = acc;
        return acc;
    }
};

struct PairTriode {
    const double* tableL;
    const double* tableR;
    V2 fsCk, R_eq, divider, I_b, R_out, G_s, G_g, invKRR;
    V2 c0, kV1, c1, kV2, kU, kV3, c2;
    V2 V_k, V_gk, I_p, I_g;
    bool driven = false;

    void Load(const ZORV_Triode& l, const ZORV_Triode& r, bool drivenNetwork)
    {
        driven = drivenNetwork;
        tableL = l.table;
        tableR = r.table;
        fsCk = Lanes(l.fsCk, r.fsCk);
        R_eq = Lanes(l.R_eq, r.R_eq);
        divider = Lanes(l.divider, r.divider);
        I_b = Lanes(l.I_b, r.I_b);
        R_out = Lanes(l.R_out, r.R_out);
        G_s = driven ? Lanes(l.G_s2, r.G_s2) : Lanes(l.G_s, r.G_s);
        G_g = driven ? Lanes(l.G_g2, r.G_g2) : Lanes(l.G_g, r.G_g);
        invKRR = driven ? Lanes(l.invKRR2, r.invKRR2) : Lanes(l.invKRR, r.invKRR);
        const ZORV_Triode::GridTerms& gl = driven ? l.grid2 : l.grid;
        const ZORV_Triode::GridTerms& gr = driven ? r.grid2 : r.grid;
        c0 = Lanes(gl.c0, gr.c0);
        kV1 = Lanes(gl.kV1, gr.kV1);
        c1 = Lanes(gl.c1, gr.c1);
        kV2 = Lanes(gl.kV2, gr.kV2);
        kU = Lanes(gl.kU, gr.kU);
        kV3 = Lanes(gl.kV3, gr.kV3);
        c2 = Lanes(gl.c2, gr.c2);
        V_k = Lanes(l.V_k, r.V_k);
        V_gk = Lanes(l.V_gk, r.V_gk);
        I_p = Lanes(l.I_p, r.I_p);
        I_g = Lanes(l.I_g, r.I_g);
    }
    void Store(ZORV_Triode& l, ZORV_Triode& r) const
    {
        l.V_k = Left(V_k), r.V_k = Right(V_k);
        l.V_gk = Left(V_gk), r.V_gk = Right(V_gk);
        l.I_p = Left(I_p), r.I_p = Right(I_p);
        l.I_g = Left(I_g), r.I_g = Right(I_g);
    }

    // ZORV_Triode::PlateCurrent in both lanes, for any V_gk.
    V2 PlateCurrentEdge(V2 vgk) const
    {
        const __m128d below = _mm_cmplt_pd(vgk.v, _mm_set1_pd(4.0));   // false for NaN
        const __m128d above = _mm_cmpgt_pd(vgk.v, _mm_set1_pd(-10.0));
        const __m128d inRange = _mm_and_pd(below, above);
        const __m128d magnitude = _mm_andnot_pd(_mm_set1_pd(-0.0), ((Both(4.0) - vgk) * Both(100)).v);
        const V2 pos = {_mm_and_pd(inRange, magnitude)};  // 0 outside the range: a safe index
        const __m128i idx = _mm_cvttpd_epi32(pos.v);
        int iL = _mm_cvtsi128_si32(idx);
        int iR = _mm_cvtsi128_si32(_mm_shuffle_epi32(idx, 1));
        iL = iL > 1399 ? 1399 : iL;
        iR = iR > 1399 ? 1399 : iR;
        const V2 i = Lanes(double(iL), double(iR));
        const V2 t0 = Lanes(tableL[iL], tableR[iR]);
        const V2 t1 = Lanes(tableL[iL + 1], tableR[iR + 1]);
        const V2 interp = (pos - i) * (t1 - t0) + t0;
        const V2 clamped = Select(below, Lanes(tableL[1399], tableR[1399]), Lanes(tableL[0], tableR[0]));
        return Select(inRange, interp, clamped);
    }

    // The same where both lanes lie inside the table: 0 < pos < 1400 holds exactly when
    // -10 < V_gk < 4 and no index needs clamping, and pos is then positive already. The
    // test runs beside the index arithmetic, so the usual case waits on no mask.
    V2 PlateCurrent(V2 vgk) const
    {
        const V2 pos = (Both(4.0) - vgk) * Both(100);
        const __m128d inside =
            _mm_and_pd(_mm_cmpgt_pd(pos.v, _mm_setzero_pd()), _mm_cmplt_pd(pos.v, _mm_set1_pd(1400.0)));
        if (_mm_movemask_pd(inside) != 3)
            return PlateCurrentEdge(vgk);
        const __m128i idx = _mm_cvttpd_epi32(pos.v);
        const unsigned iL = unsigned(_mm_cvtsi128_si32(idx));
        const unsigned iR = unsigned(_mm_cvtsi128_si32(_mm_shuffle_epi32(idx, 1)));
        // entries i and i + 1 of each lane in one load each
        const __m128d l = _mm_loadu_pd(tableL + iL);
        const __m128d r = _mm_loadu_pd(tableR + iR);
        const V2 t0 = {_mm_unpacklo_pd(l, r)};
        const V2 t1 = {_mm_unpackhi_pd(l, r)};
        const V2 i = {_mm_cvtepi32_pd(idx)};
        return (pos - i) * (t1 - t0) + t0;
    }

    V2 Process(V2 u)
    {
        V_k = (fsCk * V_k + I_g + I_p) * R_eq;
        const V2 u1 = u + Both(1e-24);
        V2 vgk = driven ? divider * u1 - V_k : divider * u1 + Both(1e-24) - V_k;
        const __m128d conducts = _mm_cmpgt_pd(vgk.v, _mm_setzero_pd());
        V2 ig = Both(0.0);
        if (_mm_movemask_pd(conducts)) {
            // max(D, +0) is +0 for D <= 0 and for NaN, like !(D > 0) -> 0
            const __m128d D = _mm_max_pd((c0 - kV1 * V_k + c1 - kV2 * V_k + kU * u1).v, _mm_setzero_pd());
            const V2 V_g = (V2{_mm_sqrt_pd(D)} + kV3 * V_k - c2) * invKRR * Both(0.5);
            ig.v = _mm_and_pd(conducts, ((u1 - V_g) * G_s - G_g * V_g).v);
            vgk = Select(conducts, V_g - V_k, vgk);
        }
        I_g = ig;
        V_gk = vgk;
        I_p = PlateCurrent(vgk);
        return (I_b - I_p) * R_out + Both(1e-24);
    }
};

// Everything of two amps that one block touches. "Gain Lo/Hi" is fixed per instance, so
// that the segments carry no test of it.
template <bool kHi>
struct PairChain {
    PairTriode stage1, stage2, stage3, stage4;
    PairOnePole driveLowpass, highLowpass1, highLowpass2;
    PairOnePole couplingA1, couplingB1, couplingE, couplingF, couplingA2, couplingB2, lowCut;
    PairShelf shelf;
    PairToneStack toneStack;
    PairTreble treble;
    PairLowpass10 lowpass;
    V2 driveScale, level;
    bool trafo = false;

    void Load(const ZORVAmp& l, const ZORVAmp& r)
    {
        stage1.Load(l.stage1, r.stage1, false);
        stage2.Load(l.stage2, r.stage2, true);
        stage3.Load(l.stage3, r.stage3, false);
        stage4.Load(l.stage4, r.stage4, false);
        driveLowpass.Load(l.driveLowpass, r.driveLowpass);
        highLowpass1.Load(l.highLowpass1, r.highLowpass1);
        highLowpass2.Load(l.highLowpass2, r.highLowpass2);
        couplingA1.Load(l.couplingA1, r.couplingA1);
        couplingB1.Load(l.couplingB1, r.couplingB1);
        couplingE.Load(l.couplingE, r.couplingE);
        couplingF.Load(l.couplingF, r.couplingF);
        couplingA2.Load(l.couplingA2, r.couplingA2);
        couplingB2.Load(l.couplingB2, r.couplingB2);
        lowCut.Load(l.lowCut, r.lowCut);
        shelf.Load(l.shelf, r.shelf);
        toneStack.Load(l.toneStack, r.toneStack);
        treble.Load(l.treble, r.treble);
        lowpass.Load(l.lowpass, r.lowpass);
        driveScale = Lanes(1 - l.drive * 0.09, 1 - r.drive * 0.09);
        level = Lanes(l.level, r.level);
        trafo = l.trafo != 0;
    }
    void Store(ZORVAmp& l, ZORVAmp& r) const
    {
        stage1.Store(l.stage1, r.stage1);
        stage2.Store(l.stage2, r.stage2);
        stage3.Store(l.stage3, r.stage3);
        stage4.Store(l.stage4, r.stage4);
        driveLowpass.Store(l.driveLowpass, r.driveLowpass);
        highLowpass1.Store(l.highLowpass1, r.highLowpass1);
        highLowpass2.Store(l.highLowpass2, r.highLowpass2);
        couplingA1.Store(l.couplingA1, r.couplingA1);
        couplingB1.Store(l.couplingB1, r.couplingB1);
        couplingE.Store(l.couplingE, r.couplingE);
        couplingF.Store(l.couplingF, r.couplingF);
        couplingA2.Store(l.couplingA2, r.couplingA2);
        couplingB2.Store(l.couplingB2, r.couplingB2);
        lowCut.Store(l.lowCut, r.lowCut);
        shelf.Store(l.shelf, r.shelf);
        toneStack.Store(l.toneStack, r.toneStack);
        treble.Store(l.treble, r.treble);
        lowpass.Store(l.lowpass, r.lowpass);
    }

    // The segments of ZORVAmp's pass.
    V2 Segment1(V2 u)
    {
        V2 y = stage1.Process(u);
        y = couplingA1.Highpass(y);
        y = couplingA2.Highpass(y);
        return driveLowpass.Lowpass(driveScale * y) + Both(1e-24);
    }
    V2 Segment2(V2 y)
    {
        y = stage2.Process(y);
        y = couplingB1.Highpass(y);
        y = couplingB2.Highpass(y);
        if (!kHi)
            return lowCut.Highpass(y);
        y = shelf.Process(y + Both(1e-24));
        return highLowpass1.Lowpass(y + Both(1e-24)) + Both(1e-24);
    }
    V2 Segment3(V2 y)
    {
        if (!kHi)
            return y;
        y = stage3.Process(y);
        y = couplingE.Highpass(y);
        return highLowpass2.Lowpass(y) + Both(1e-24);
    }
    V2 Segment4(V2 y)
    {
        y = stage4.Process(y);
        return couplingF.Highpass(y);
    }
    V2 Segment5(V2 y)
    {
        y = y * level * Both(0.011) + Both(1e-19) + Both(1e-24);
        y = toneStack.Process(y);
        y = treble.Process(y);
        if (trafo)
            y = (y * Both(0.68) - y * y * y * Both(0.02)) * Both(1.5);
        return y;
    }
    V2 Segment6(V2 y) { return lowpass.Process(y + Both(1e-19)); }

    // A guarded step, for filling and draining the pipeline.
    ZORV_NOINLINE void EdgeStep(V2 (*b)[ZORVAmp::kChunk * 4], int j, int m, V2& outV, double* outL,
                                double* outR, double gainOutL, double gainOutR, int shift)
    {
        Step<true>(b, j, m, outV, outL, outR, gainOutL, gainOutR, shift);
    }

    // Step j of the pipeline: segment s works on sub-sample j - s. Unguarded steps need
    // 5 <= j < m.
    template <bool kGuard>
    void Step(V2 (*b)[ZORVAmp::kChunk * 4], int j, int m, V2& outV, double* outL, double* outR,
              double gainOutL, double gainOutR, int shift)
    {
        if (!kGuard || j < m) b[1][j] = Segment1(b[0][j]);
        if (!kGuard || (j >= 1 && j - 1 < m)) b[2][j - 1] = Segment2(b[1][j - 1]);
        if (!kGuard || (j >= 2 && j - 2 < m)) b[3][j - 2] = Segment3(b[2][j - 2]);
        if (!kGuard || (j >= 3 && j - 3 < m)) b[4][j - 3] = Segment4(b[3][j - 3]);
        if (!kGuard || (j >= 4 && j - 4 < m)) b[5][j - 4] = Segment5(b[4][j - 4]);
        if (!kGuard || j >= 5) {
            const int k = j - 5;
            const V2 z = Segment6(b[5][k]);
            if ((k & ((1 << shift) - 1)) == 0) {  // the sub-sample aligned with the input
                outV = z;
                outL[k >> shift] = gainOutL * Left(z) + 1e-19;
                outR[k >> shift] = gainOutR * Right(z) + 1e-19;
            }
        }
    }
};

template <bool kHi>
void RunPair(ZORVAmp& left, const double* xL, double* yL, ZORVAmp& right, const double* xR, double* yR,
             int frames)
{
    left.busy = right.busy = 1;
    PairChain<kHi> chain;
    chain.Load(left, right);
    const int passes = left.factor > 2.0 ? 4 : 2;
    const int shift = passes == 4 ? 2 : 1;  // passes = 1 << shift
    const double gainOutL = left.output * 2.2, gainOutR = right.output * 2.2;
    const double step = left.step;
    V2 b[6][ZORVAmp::kChunk * 4];  // b[s] feeds segment s
    V2 outV = Lanes(left.out, right.out);
    for (int start = 0; start < frames; start += ZORVAmp::kChunk) {
        const int n = frames - start < ZORVAmp::kChunk ? frames - start : ZORVAmp::kChunk;
        const int m = n * passes;
        double ph = 0;
        for (int i = 0; i < n; ++i) {
            left.prev = left.cur;
            left.cur = left.input * 2.2 * ZORVAmp::SafeInput(xL[start + i]) + 1e-19 + 1e-19;
            right.prev = right.cur;
            right.cur = right.input * 2.2 * ZORVAmp::SafeInput(xR[start + i]) + 1e-19 + 1e-19;
            ph = 0;
            for (int p = 0; p < passes; ++p) {
                b[0][i * passes + p] = Lanes((left.cur - left.prev) * ph + left.prev,
                                          (right.cur - right.prev) * ph + right.prev);
                ph = ph + step;
            }
        }
        left.phase = right.phase = ph;
        double* outL = yL + start;
        double* outR = yR + start;
        // The first and last five steps fill and drain the pipeline; between them every
        // segment has work.
        const int full = m < 5 ? 0 : m;
        int j = 0;
        for (; j < 5; ++j)
            chain.EdgeStep(b, j, m, outV, outL, outR, gainOutL, gainOutR, shift);
        for (; j < full; ++j)
            chain.template Step<false>(b, j, m, outV, outL, outR, gainOutL, gainOutR, shift);
        for (; j < m + 5; ++j)
            chain.EdgeStep(b, j, m, outV, outL, outR, gainOutL, gainOutR, shift);
    }
    chain.Store(left, right);
    left.out = Left(outV);
    right.out = Right(outV);
    left.busy = right.busy = 0;
}

}  // namespace

void ZORVAmp::ProcessBlockPair(ZORVAmp& left, const double* xL, double* yL, ZORVAmp& right,
                               const double* xR, double* yR, int frames)
{
    if (frames <= 0)
        return;
    if (left.factor != right.factor || left.step != right.step || left.gainHi != right.gainHi ||
        left.trafo != right.trafo) {
        left.ProcessBlock(xL, yL, frames);
        right.ProcessBlock(xR, yR, frames);
        return;
    }
    if (left.gainHi != 0)
        RunPair<true>(left, xL, yL, right, xR, yR, frames);
    else
        RunPair<false>(left, xL, yL, right, xR, yR, frames);
}

}  // namespace ZORV
