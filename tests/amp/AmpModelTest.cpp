// The amp model's parts and one channel, tested directly.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "VoicingTables.h"
#include "ZORVAmp.h"

using namespace ZORV;

namespace {

const TriodeTables kLum = {Lum::kTableA, Lum::kTableB, Lum::kTableC, Lum::kTableD};

// An amp as the plug-in builds it: set up, knobs at their defaults (through float), warmed up.
std::unique_ptr<ZORVAmp> DefaultAmp(double rate = 44100)
{
    auto amp = std::make_unique<ZORVAmp>(kLum);
    amp->Setup(rate);
    amp->SetControls(double(0.5f), double(0.55f), double(0.5f), double(0.5f), double(0.5f));
    amp->input = double(0.5f);
    amp->output = double(0.5f);
    amp->WarmUp(1e-6);
    return amp;
}

double CutoffOf(const ZORV_OnePole& p, double fs) { return p.f * fs; }

}  // namespace

TEST(Triode, TableLookupClampsAndInterpolates)
{
    ZORV_Triode t;
    t.table = Lum::kTableD;
    const double* d = Lum::kTableD;
    EXPECT_EQ(t.PlateCurrent(4.0), d[0]) << "+4 V reads entry 0";
    EXPECT_EQ(t.PlateCurrent(1e300), d[0]) << "above range reads entry 0";
    EXPECT_EQ(t.PlateCurrent(-10.0), d[1399]) << "-10 V reads entry 1399, not 1400";
    EXPECT_EQ(t.PlateCurrent(-1e300), d[1399]) << "below range reads entry 1399";
    EXPECT_NEAR(t.PlateCurrent(-9.995), 0.5 * (d[1399] + d[1400]), 1e-20) << "halfway 1399..1400";
    EXPECT_EQ(t.PlateCurrent(0.0), d[400]) << "0 V is entry 400";
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(t.PlateCurrent(nan), d[0]) << "NaN must not index outside the table";
    EXPECT_EQ(t.PlateCurrent(std::nextafter(-10.0, 0.0)), t.PlateCurrent(std::nextafter(-10.0, 0.0)))
        << "just above -10 V stays inside the table";
}

TEST(Triode, SettlesAtBiasAndConductsAboveCathode)
{
    auto amp = std::make_unique<ZORVAmp>(kLum);
    amp->Setup(44100);
    ZORV_Triode& s = amp->stage1;
    for (int i = 0; i < 400000; ++i)
        s.Process(0.0);
    EXPECT_NEAR(s.I_p, s.PlateCurrent(-s.V_k), 1e-12) << "bias current is the table at -V_k";
    EXPECT_NEAR(s.Process(0.0), (s.I_b - s.I_p) * s.R_out, 1e-9) << "output sits at the bias point";
    EXPECT_EQ(s.I_g, 0.0) << "no grid current at rest";

    const double vk = s.V_k;
    s.Process(vk + 0.5);  // grid half a volt above the cathode
    EXPECT_GT(s.I_g, 0.0) << "grid conducts above the cathode";
    EXPECT_GT(s.V_gk, 0.0) << "the grid voltage lies above V_k";
    EXPECT_LT(s.V_gk, 0.5) << "grid current pulls the grid down";
}

TEST(Filters, OnePoleShelfAndLowpass)
{
    ZORV_OnePole p;
    p.SetCutoff(100, 176400);
    double y = 0;
    for (int i = 0; i < 200000; ++i)
        y = p.Lowpass(0.7);
    EXPECT_NEAR(y, 0.7, 1e-12) << "lowpass converges to a constant input";
    for (int i = 0; i < 200000; ++i)
        y = p.Highpass(0.7);
    EXPECT_NEAR(y, 0.0, 1e-13) << "highpass of a constant decays to its rounding residue";

    ZORV_Lowpass10 lp;
    for (int i = 0; i < 20000; ++i)
        y = lp.Process(1.0);
    EXPECT_NEAR(y, 1.0557, 0.001) << "the decimation lowpass is not normalised";

    ZORV_Shelf sh;
    sh.Design(176400);
    for (int i = 0; i < 200000; ++i)
        y = sh.Process(1.0);
    EXPECT_NEAR(20 * std::log10(y), -6.0, 0.01) << "shelf is -6 dB at DC";
}

TEST(ToneStack, ContourClearsStateKnobsDoNot)
{
    auto amp = DefaultAmp();
    ZORV_ToneStack& ts = amp->toneStack;
    for (int i = 0; i < 100; ++i)
        amp->ProcessSample(0.01 * std::sin(i * 0.3));
    ASSERT_NE(ts.s1, 0.0);

    const double s1 = ts.s1;
    amp->SetControls(0.9, 0.55, 0.2, 0.7, 0.5);
    EXPECT_EQ(ts.s1, s1) << "moving Bass/Lo Mid/Hi Mid keeps the state";
    EXPECT_EQ(ts.l, 0.9 / (4 - 0.9 * 3)) << "bass taper";

    amp->contour = 1.0;
    amp->SetControls(0.9, 0.55, 0.2, 0.7, 0.5);
    EXPECT_EQ(ts.s1, 0.0) << "contour switch clears the state";
    EXPECT_EQ(ts.R2, 1010000.0) << "contour set";
    EXPECT_EQ(ts.C1, 4.4e-10);
    EXPECT_EQ(ts.C3, 2e-08);
    EXPECT_EQ(amp->contourApplied, 1);
}

TEST(Amp, RatesAndCutoffs)
{
    struct { double rate, factor, fs; } cases[] = {{44100, 4, 176400}, {88200, 2, 176400}, {96000, 2, 192000}};
    for (auto c : cases) {
        auto amp = std::make_unique<ZORVAmp>(kLum);
        amp->Setup(c.rate);
        EXPECT_EQ(amp->factor, c.factor) << "oversampling at " << c.rate;
        EXPECT_EQ(amp->f_s, c.fs) << "oversampled rate at " << c.rate;
    }

    auto amp = DefaultAmp();
    EXPECT_NEAR(CutoffOf(amp->highLowpass1, amp->f_s), 4398.957989323812, 1e-8) << "after construction";
    EXPECT_NEAR(CutoffOf(amp->highLowpass2, amp->f_s), 4324.793706562743, 1e-8) << "after construction";
    EXPECT_NEAR(amp->f_A + 1, 142.7, 0.1) << "second coupling highpass";
    EXPECT_NEAR(amp->f_B + 1, 36.5, 0.1) << "first coupling highpass";
    amp->SetSampleRate(48000);
    EXPECT_NEAR(CutoffOf(amp->highLowpass1, amp->f_s), 4348.957989323812, 1e-8) << "after a rate change";
    EXPECT_NEAR(CutoffOf(amp->highLowpass2, amp->f_s), 4274.793706562743, 1e-8) << "after a rate change";

    amp->SetControls(0.5, 1.0, 0.5, 0.5, 0.0);
    EXPECT_EQ(amp->drive, 1.0) << "drive 1 tapers to 1";
    EXPECT_EQ(amp->treble.R_v, 300.0) << "treble 0 gives 300 ohms";
    EXPECT_NEAR(amp->stage2.divider, 0.76, 0.01) << "stage 2 divider at full drive";
    amp->SetControls(0.5, 0.1, 0.5, 0.5, 1.0);
    EXPECT_NEAR(amp->stage2.divider, 0.0232, 0.0005) << "stage 2 divider at minimum drive";
    EXPECT_EQ(amp->treble.R_v, 1000000.0) << "treble 1 gives 1 MOhm";
}

TEST(Amp, BusyKeepsGridNetworkAndToneStack)
{
    auto amp = DefaultAmp();
    const double divider = amp->stage2.divider, b0 = amp->toneStack.nB0;
    amp->busy = 1;
    amp->SetControls(0.1, 0.9, 0.1, 0.1, 0.5);
    EXPECT_EQ(amp->stage2.divider, divider) << "grid network untouched while busy";
    EXPECT_EQ(amp->toneStack.nB0, b0) << "tone stack untouched while busy";
    amp->busy = 0;
    amp->SetControls(0.1, 0.9, 0.1, 0.1, 0.5);
    EXPECT_NE(amp->stage2.divider, divider) << "next call applies them";
}

TEST(Amp, SilenceOutputZeroAndTrafo)
{
    auto amp = DefaultAmp();
    double y = 0;
    for (int i = 0; i < 200000; ++i)
        y = amp->ProcessSample(0.0);
    EXPECT_GT(y, 0.0) << "silence never rests at exact zero";
    EXPECT_LT(y, 1e-17) << "silence gives an output of the order of 1e-18";

    amp->output = 0;
    EXPECT_EQ(amp->ProcessSample(0.3), 1e-19) << "Output 0";

    auto a = DefaultAmp(), b = DefaultAmp();
    b->trafo = 1;
    double ya = 0, yb = 0;
    for (int i = 0; i < 4410; ++i) {
        ya = a->ProcessSample(0.01 * std::sin(i * 0.1));
        yb = b->ProcessSample(0.01 * std::sin(i * 0.1));
    }
    EXPECT_NE(ya, yb) << "Trafo changes the sound";
}

// Non-finite and absurd inputs never make the model non-finite, and NaN plays as silence.
TEST(Amp, HostileInputsStayFinite)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inputs[] = {nan, inf, -inf, 1e30, -1e30, DBL_MAX, -DBL_MAX, FLT_MAX, -FLT_MAX,
                             4.9e-324, -4.9e-324, 1e-310};
    for (double gain : {0.0, 1.0}) {
        auto amp = DefaultAmp();
        amp->gainHi = gain;
        amp->trafo = gain;
        for (int round = 0; round < 3; ++round)
            for (double x : inputs)
                for (int i = 0; i < 64; ++i) {
                    const double y = amp->ProcessSample(i % 2 ? x : -x);
                    ASSERT_TRUE(std::isfinite(y)) << "output for input " << x;
                }
        for (const ZORV_Triode* s : {&amp->stage1, &amp->stage2, &amp->stage3, &amp->stage4})
            ASSERT_TRUE(std::isfinite(s->V_k) && std::isfinite(s->I_p) && std::isfinite(s->I_g))
                << "triode state";
        ASSERT_TRUE(std::isfinite(amp->toneStack.s1) && std::isfinite(amp->lowpass.Y(0)))
            << "filter state";
    }

    auto clean = DefaultAmp(), burst = DefaultAmp();
    for (int i = 0; i < 100; ++i)
        burst->ProcessSample(nan);
    for (int i = 0; i < 100; ++i)
        clean->ProcessSample(0.0);
    double diff = 0;
    for (int i = 0; i < 100; ++i) {
        const double x = 0.05 * std::sin(i * 0.2);
        diff = std::fmax(diff, std::fabs(clean->ProcessSample(x) - burst->ProcessSample(x)));
    }
    EXPECT_EQ(diff, 0.0) << "a NaN burst plays exactly like silence";
}

// The block path interleaves the sections' work; it must not change a single bit.
TEST(Amp, BlockPathMatchesSamplePath)
{
    struct Setting { double rate; double gainHi, trafo, contour; double drive, treble; int frames; };
    const Setting settings[] = {
        {44100, 1, 0, 0, 0.55, 0.5, 512}, {44100, 0, 1, 1, 0.9, 0.1, 37},
        {96000, 1, 1, 0, 1.0, 1.0, 100},  {88200, 0, 0, 1, 0.1, 0.0, 1},
        {32000, 1, 0, 1, 0.7, 0.3, 3},    {48000, 1, 1, 1, 0.3, 0.8, 65},
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Setting& st : settings) {
        auto ref = std::make_unique<ZORVAmp>(kLum);
        ref->Setup(st.rate);
        ref->contour = st.contour;
        ref->SetControls(0.2, st.drive, 0.7, 0.4, st.treble);
        ref->gainHi = st.gainHi;
        ref->trafo = st.trafo;
        ref->input = 0.9;
        ref->output = 0.7;
        ref->WarmUp(1e-6);
        auto fast = std::make_unique<ZORVAmp>(*ref);

        std::vector<double> x(4000), yRef(4000), yFast(4000);
        for (size_t i = 0; i < x.size(); ++i)
            x[i] = 0.8 * std::sin(i * 0.031) * std::sin(i * 0.0013) + (i % 997 == 0 ? 5.0 : 0.0);
        x[1234] = nan;
        x[2345] = 1e30;
        for (size_t i = 0; i < x.size(); ++i)
            yRef[i] = ref->ProcessSample(x[i]);
        for (size_t i = 0; i < x.size(); i += st.frames)
            fast->ProcessBlock(&x[i], &yFast[i], std::min<int>(st.frames, int(x.size() - i)));
        ASSERT_EQ(std::memcmp(yRef.data(), yFast.data(), yRef.size() * sizeof(double)), 0)
            << "block output differs at rate " << st.rate << ", " << st.frames << " frames";
        EXPECT_EQ(ref->stage4.V_k, fast->stage4.V_k) << "state differs";
        EXPECT_EQ(ref->stage1.I_p, fast->stage1.I_p) << "state differs";
        EXPECT_EQ(ref->lowpass.Y(0), fast->lowpass.Y(0)) << "state differs";
        EXPECT_EQ(ref->phase, fast->phase) << "state differs";
        EXPECT_EQ(fast->busy, 0) << "busy left set";
    }
}

// The two-lane stereo path against each amp on its own, with amps in different states.
TEST(Amp, PairPathMatchesSinglePath)
{
    struct Setting { double rate, gainHi, trafo, contour; int frames; };
    const Setting settings[] = {{44100, 1, 0, 0, 512}, {44100, 0, 1, 1, 33}, {96000, 1, 1, 0, 7}, {88200, 0, 0, 1, 1}};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Setting& st : settings) {
        ZORVAmp* amps[2];
        auto l = std::make_unique<ZORVAmp>(kLum);
        const TriodeTables dar = {Dar::kTableA, Dar::kTableB, Dar::kTableC, Dar::kTableD};
        auto r = std::make_unique<ZORVAmp>(dar);  // other tables in the other lane
        amps[0] = l.get();
        amps[1] = r.get();
        for (ZORVAmp* a : amps) {
            a->Setup(st.rate);
            a->contour = st.contour;
            a->SetControls(0.3, a == amps[0] ? 0.9 : 0.4, 0.5, 0.6, 0.2);
            a->gainHi = st.gainHi;
            a->trafo = st.trafo;
            a->input = a == amps[0] ? 0.8 : 0.3;
            a->WarmUp(a == amps[0] ? 1e-6 : 0.3);
        }
        for (int i = 0; i < 5; ++i)
            r->ProcessSample(0.1);  // different lowpass ring positions
        auto lRef = std::make_unique<ZORVAmp>(*l), rRef = std::make_unique<ZORVAmp>(*r);

        std::vector<double> xl(3000), xr(3000);
        for (size_t i = 0; i < xl.size(); ++i) {
            xl[i] = 0.9 * std::sin(i * 0.023) * std::sin(i * 0.0017);
            xr[i] = 0.5 * std::sin(i * 0.11 + 1) + (i % 501 == 0 ? -4.0 : 0.0);
        }
        xl[777] = nan;
        xr[1500] = 1e30;
        std::vector<double> yl(xl.size()), yr(xl.size()), yl2(xl.size()), yr2(xl.size());
        for (size_t i = 0; i < xl.size(); i += st.frames) {
            const int n = std::min<int>(st.frames, int(xl.size() - i));
            ZORVAmp::ProcessBlockPair(*l, &xl[i], &yl[i], *r, &xr[i], &yr[i], n);
            lRef->ProcessBlock(&xl[i], &yl2[i], n);
            rRef->ProcessBlock(&xr[i], &yr2[i], n);
        }
        ASSERT_EQ(std::memcmp(yl.data(), yl2.data(), yl.size() * sizeof(double)), 0) << "left lane differs";
        ASSERT_EQ(std::memcmp(yr.data(), yr2.data(), yr.size() * sizeof(double)), 0) << "right lane differs";
        // and the state carries on the same way
        EXPECT_EQ(l->ProcessSample(0.2), lRef->ProcessSample(0.2)) << "left state differs";
        EXPECT_EQ(r->ProcessSample(0.2), rRef->ProcessSample(0.2)) << "right state differs";
    }
}
