// Q19Effect's own side of the amps: construction, parameter mapping and rate changes.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "IParameter.h"
#include "Q19Effect.h"

const ZORV::Voicing& BinaryVoicing() { return ZORV::LumVoicing(); }

namespace {

std::unique_ptr<Q19Effect> MakeEffect() { return std::unique_ptr<Q19Effect>(new Q19Effect(nullptr)); }

void Set(Q19Effect& e, int index, double v)
{
    e.ParamAt(index)->mValue = v;
    e.OnParameterChanged(index);
}

double Cutoff(const ZORV::ZORV_OnePole& p, const ZORV::ZORVAmp& amp) { return p.f * amp.f_s; }

}  // namespace

TEST(Q19Effect, ConstructionSetsUpBothAmps)
{
    auto e = MakeEffect();
    for (const ZORV::ZORVAmp* amp : {e->LeftAmp(), e->RightAmp()}) {
        ASSERT_NE(amp, nullptr) << "amp missing";
        EXPECT_EQ(amp->factor, 4.0) << "44.1 kHz runs four times oversampled";
        EXPECT_EQ(amp->drive, double(0.55f) / (4 - double(0.55f) * 3)) << "tapered default drive";
        EXPECT_EQ(amp->input, double(0.5f)) << "input copied";
        EXPECT_EQ(amp->gainHi, 1.0) << "Hi by default";
        EXPECT_NEAR(Cutoff(amp->highLowpass1, *amp), 4398.957989323812, 1e-8) << "construction adds 50 Hz";
        EXPECT_NE(amp->stage1.V_k, amp->stage1.R_eq * 0.00075) << "warm-up has moved the bias";
    }
    EXPECT_EQ(e->AmpSampleRate(), 44100.0f);
}

TEST(Q19Effect, ParametersReachBothAmpsAtSinglePrecision)
{
    auto e = MakeEffect();
    Set(*e, Q19Effect::kDrive, 0.123456789012345);
    Set(*e, Q19Effect::kBass, 0.987654321);
    Set(*e, Q19Effect::kContour, 0.6);
    Set(*e, Q19Effect::kGainHi, 0.0);
    Set(*e, Q19Effect::kTreble, 0.0);
    for (const ZORV::ZORVAmp* amp : {e->LeftAmp(), e->RightAmp()}) {
        const double d = double(float(0.123456789012345));
        EXPECT_EQ(amp->drive, d / (4 - d * 3)) << "drive through float, then tapered";
        EXPECT_EQ(amp->toneStack.bass, double(float(0.987654321))) << "bass through float";
        EXPECT_EQ(amp->contourApplied, 1) << "contour at 0.6 switches on";
        EXPECT_EQ(amp->gainHi, 0.0) << "Lo";
        EXPECT_EQ(amp->treble.R_v, 300.0) << "treble 0";
    }
    // an unknown index stores nothing but still recomputes the controls
    Set(*e, Q19Effect::kStereo, 1.0);
    e->OnParameterChanged(42);
    EXPECT_EQ(e->LeftAmp()->gainHi, 0.0) << "unchanged by other indices";
}

TEST(Q19Effect, OnlyNewIntegerRatesReinitialise)
{
    auto e = MakeEffect();
    const double vk = e->LeftAmp()->stage1.V_k;
    e->StoreSampleRate(44100.7);
    e->OnRestart();
    e->StoreSampleRate(44100.2);
    e->OnRestart();
    EXPECT_EQ(e->AmpSampleRate(), 44100.0f) << "fractions are cut off";
    EXPECT_EQ(e->LeftAmp()->stage1.V_k, vk) << "same integer rate: amps untouched";

    e->StoreSampleRate(88200);
    e->OnRestart();
    for (const ZORV::ZORVAmp* amp : {e->LeftAmp(), e->RightAmp()}) {
        EXPECT_EQ(amp->factor, 2.0) << "88.2 kHz runs twice oversampled";
        EXPECT_EQ(amp->f_s, 176400.0) << "same oversampled rate as 44.1 kHz";
        EXPECT_NEAR(Cutoff(amp->highLowpass1, *amp), 4348.957989323812, 1e-8) << "no 50 Hz after a change";
        EXPECT_NEAR(Cutoff(amp->highLowpass2, *amp), 4274.793706562743, 1e-8) << "no 50 Hz after a change";
    }
    EXPECT_NE(e->LeftAmp()->stage1.V_k, vk) << "re-initialised and warmed up";
}

// Hosts may hand the same buffers in and out: every input of a stretch must be read before
// any output of it is written, in mono and in stereo, over several stretches and a partial one.
TEST(Q19Effect, InPlaceProcessingGivesTheSameBits)
{
    for (double stereo : {0.0, 1.0}) {
        auto apart = MakeEffect(), inPlace = MakeEffect();
        Set(*apart, Q19Effect::kStereo, stereo);
        Set(*inPlace, Q19Effect::kStereo, stereo);
        const int frames = 300;
        std::vector<double> l(frames), r(frames);
        for (int i = 0; i < frames; ++i) {
            l[i] = 0.5 * std::sin(i * 0.05);
            r[i] = 0.3 * std::sin(i * 0.17 + 1);
        }
        std::vector<double> outL(frames), outR(frames), bufL = l, bufR = r;
        double* in[2] = {l.data(), r.data()};
        double* out[2] = {outL.data(), outR.data()};
        double* buf[2] = {bufL.data(), bufR.data()};
        apart->ProcessBlock(in, out, frames);
        inPlace->ProcessBlock(buf, buf, frames);
        EXPECT_EQ(std::memcmp(outL.data(), bufL.data(), frames * sizeof(double)), 0)
            << "left differs in place, stereo " << stereo;
        EXPECT_EQ(std::memcmp(outR.data(), bufR.data(), frames * sizeof(double)), 0)
            << "right differs in place, stereo " << stereo;
    }
}
