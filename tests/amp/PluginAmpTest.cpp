// The amp through the real plug-in binaries, loaded by the test host via the entry point.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "GuitarSignal.h"
#include "RenderReference.h"
#include "TestHost.h"

namespace {

enum { kInput, kDrive, kBass, kLoMid, kHiMid, kTreble, kContour, kGainHi, kOutput, kTrafo, kStereo };

std::string PluginPath(const char* voicing)
{
    return std::string(ZORV_PLUGIN_DIR) + "/ZORV_Q19_1.6_" + voicing + ZORV_PLUGIN_SUFFIX;
}

std::unique_ptr<TestHost> Open(const char* voicing)
{
    auto host = std::make_unique<TestHost>();
    std::string error;
    if (!host->Load(PluginPath(voicing), error) || !host->Create())
        return nullptr;
    host->Dispatch(effOpen);
    return host;
}

using Buffers = TestHost::DoubleBuffers;

// Runs x through both inputs (y on the second when given) in 512-frame blocks.
void Render(TestHost& host, const std::vector<double>& x, std::vector<double>& left,
            std::vector<double>& right, const std::vector<double>* second = nullptr)
{
    left.assign(x.size(), 0.0);
    right.assign(x.size(), 0.0);
    for (size_t start = 0; start < x.size(); start += 512) {
        const size_t n = std::min<size_t>(512, x.size() - start);
        Buffers in(2, std::vector<double>(n)), out(2, std::vector<double>(n, -7.0));
        for (size_t i = 0; i < n; ++i) {
            in[0][i] = x[start + i];
            in[1][i] = second ? (*second)[start + i] : x[start + i];
        }
        host.ProcessDouble(in, out, VstInt32(n));
        std::copy(out[0].begin(), out[0].end(), left.begin() + start);
        std::copy(out[1].begin(), out[1].end(), right.begin() + start);
    }
}

std::vector<double> Sine(double peak, int frames, double f = 1000, double rate = 44100)
{
    std::vector<double> x(frames);
    for (int i = 0; i < frames; ++i)
        x[i] = peak * std::sin(6.283185307179586 * f * i / rate);
    return x;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

class PluginAmp : public ::testing::TestWithParam<const char*> {};

}  // namespace

// The levels the amp is voiced to, at 44.1 kHz with every knob at its default, after the
// construction warm-up; the second half of one second of a 1 kHz sine is measured.
TEST(PluginAmpLevels, ReferenceLevels)
{
    struct Case { const char* voicing; bool hi; double peakIn, peakOut, crest; };
    const Case cases[] = {
        {"Lum", true, 0.001, 0.17, 1.8}, {"Lum", false, 0.001, 0.0092, 0},
        {"Lum", true, 0.1, 0.53, 0},     {"Lum", false, 0.1, 0.29, 0},
        {"Dar", true, 0.001, 0, 0},      {"Dar", false, 0.001, 0, 0},
        {"Dar", true, 0.1, 0, 0},        {"Dar", false, 0.1, 0, 0},
    };
    for (const Case& c : cases) {
        auto host = Open(c.voicing);
        ASSERT_TRUE(host) << "cannot load " << PluginPath(c.voicing);
        host->SetParameter(kGainHi, c.hi ? 1.0f : 0.0f);
        std::vector<double> l, r;
        Render(*host, Sine(c.peakIn, 44100), l, r);
        double peak = 0, sum = 0;
        for (size_t i = 22050; i < l.size(); ++i) {
            peak = std::fmax(peak, std::fabs(l[i]));
            sum += l[i] * l[i];
        }
        const double crest = peak / std::sqrt(sum / (l.size() - 22050));
        std::printf("[ level    ] %s %s, sine peak %g: peak %.4f, crest factor %.3f\n", c.voicing,
                    c.hi ? "Hi" : "Lo", c.peakIn, peak, crest);
        if (c.peakOut > 0) {
            EXPECT_NEAR(peak, c.peakOut, 0.1 * c.peakOut)
                << c.voicing << (c.hi ? " Hi" : " Lo") << " peak for input " << c.peakIn;
        }
        if (c.crest > 0) {
            EXPECT_NEAR(crest, c.crest, 0.1 * c.crest) << "crest factor: the Hi path clips";
        }
        EXPECT_TRUE(peak > 0.001 && peak < 2) << c.voicing << " plays at a sane level";
        host->Close();
    }
}

TEST_P(PluginAmp, OutputZeroMonoCopyAndEmptyBlocks)
{
    auto host = Open(GetParam());
    ASSERT_TRUE(host) << "cannot load the plug-in";

    const std::vector<double> x = GuitarSignal(44100, 4096);
    std::vector<double> noise(x.size());
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = std::sin(i * 1.7) * 0.5;
    std::vector<double> l, r, l2, r2;
    Render(*host, x, l, r, &noise);
    EXPECT_TRUE(SameBits(l, r)) << "Stereo off copies the left output to both";

    auto other = Open(GetParam());
    ASSERT_TRUE(other);
    Render(*other, x, l2, r2);
    EXPECT_TRUE(SameBits(l, l2)) << "Stereo off ignores the second input";

    host->SetParameter(kStereo, 1.0f);
    Render(*host, x, l, r, &noise);
    EXPECT_FALSE(SameBits(l, r)) << "Stereo on runs the second input through its own amp";

    host->SetParameter(kOutput, 0.0f);
    Render(*host, x, l, r);
    for (size_t i = 0; i < l.size(); ++i)
        ASSERT_EQ(l[i], 1e-19 + 1e-24) << "Output 0 leaves the offsets only, sample " << i;

    Buffers in(2, std::vector<double>(8, 0.1)), out(2, std::vector<double>(8, -7.0));
    host->ProcessDouble(in, out, 0);
    host->ProcessDouble(in, out, -5);
    EXPECT_EQ(out[0][0], -7.0) << "an empty block writes nothing";
    EXPECT_EQ(out[1][7], -7.0) << "a negative block writes nothing";
}

TEST_P(PluginAmp, SampleRateChanges)
{
    auto changed = Open(GetParam()), steady = Open(GetParam());
    ASSERT_TRUE(changed && steady) << "cannot load the plug-in";
    const std::vector<double> x = GuitarSignal(44100, 2048);
    std::vector<double> a, b, r;

    changed->Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.7f);
    changed->Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.2f);
    changed->Dispatch(effSetBlockSize, 0, 512);
    changed->Dispatch(effMainsChanged, 0, 0);
    changed->Dispatch(effMainsChanged, 0, 1);
    Render(*changed, x, a, r);
    Render(*steady, x, b, r);
    EXPECT_TRUE(SameBits(a, b)) << "44100.7 and 44100.2 Hz count as 44100: no re-initialisation";

    changed->Dispatch(effSetSampleRate, 0, 0, nullptr, 88200.0f);
    Render(*changed, x, a, r);
    Render(*steady, x, b, r);
    EXPECT_FALSE(SameBits(a, b)) << "88200 Hz re-initialises the amps";

    changed->Dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
    changed->Dispatch(effSetSampleRate, 0, 0, nullptr, std::numeric_limits<float>::quiet_NaN());
    changed->Dispatch(effSetSampleRate, 0, 0, nullptr, -48000.0f);
    Render(*changed, x, a, r);
    for (double v : a)
        ASSERT_TRUE(std::isfinite(v)) << "a nonsensical sample rate is ignored";
}

// Every value a host could send stays harmless, and NaN plays exactly like silence.
TEST_P(PluginAmp, HostileInputs)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double values[] = {nan, -nan, inf, -inf, 1e30, -1e30, DBL_MAX, -DBL_MAX, FLT_MAX, -FLT_MAX,
                             1e-310, -4.9e-324, 1e-40};
    for (float hi : {1.0f, 0.0f}) {
        auto host = Open(GetParam());
        ASSERT_TRUE(host) << "cannot load the plug-in";
        host->SetParameter(kGainHi, hi);
        host->SetParameter(kTrafo, hi);
        host->SetParameter(kStereo, 1.0f);
        std::vector<double> x;
        for (double v : values)
            for (int i = 0; i < 300; ++i)
                x.push_back(i % 3 ? v : -v);
        std::vector<double> l, r;
        Render(*host, x, l, r, &x);
        for (size_t i = 0; i < l.size(); ++i)
            ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(r[i])) << "non-finite output at " << i;

        // after all that, the amp still plays a guitar
        Render(*host, GuitarSignal(44100, 44100), l, r);
        double peak = 0;
        for (size_t i = 22050; i < l.size(); ++i)
            peak = std::fmax(peak, std::fabs(l[i]));
        EXPECT_GT(peak, 0.01) << "plays after the hostile burst";
        EXPECT_LT(peak, 2.0) << "plays at a normal level after the hostile burst";
    }

    // float path too
    auto host = Open(GetParam());
    ASSERT_TRUE(host);
    TestHost::FloatBuffers in(2, std::vector<float>(256)), out(2, std::vector<float>(256));
    for (int i = 0; i < 256; ++i)
        in[0][i] = in[1][i] = i % 2 ? std::numeric_limits<float>::infinity() : FLT_MAX;
    host->ProcessReplacing(in, out, 256);
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE(std::isfinite(out[0][i]) && std::isfinite(out[1][i])) << "float output " << i;

    auto burst = Open(GetParam()), quiet = Open(GetParam());
    ASSERT_TRUE(burst && quiet);
    std::vector<double> l1, l2, r;
    Render(*burst, std::vector<double>(1000, nan), l1, r);
    Render(*quiet, std::vector<double>(1000, 0.0), l2, r);
    EXPECT_TRUE(SameBits(l1, l2)) << "NaN input is treated as silence";
    const std::vector<double> g = GuitarSignal(44100, 4096);
    Render(*burst, g, l1, r);
    Render(*quiet, g, l2, r);
    EXPECT_TRUE(SameBits(l1, l2)) << "right after a NaN burst the amp plays normally";
}

TEST_P(PluginAmp, SameNumbersEveryRun)
{
    auto a = Open(GetParam()), b = Open(GetParam());
    ASSERT_TRUE(a && b) << "cannot load the plug-in";
    const std::vector<double> x = GuitarSignal(44100, 44100);
    std::vector<double> la, ra, lb, rb;
    Render(*a, x, la, ra);
    Render(*b, x, lb, rb);
    EXPECT_TRUE(SameBits(la, lb)) << "two instances give different bits";
}

// Ten seconds of guitar, stereo, through the binary: the full render is written next to the
// test (amp_render_<voicing>.f64, left and right interleaved) for comparing builds, and every
// 441st frame is checked against the reference rendered on Linux x86-64.
TEST_P(PluginAmp, TenSecondRenderMatchesReference)
{
    auto host = Open(GetParam());
    ASSERT_TRUE(host) << "cannot load the plug-in";
    host->SetParameter(kStereo, 1.0f);
    const int frames = 441000;
    const std::vector<double> x = GuitarSignal(44100, frames, 0.5);
    std::vector<double> second(frames);
    for (int i = 0; i < frames; ++i)
        second[i] = x[(i + 9000) % frames] * 0.7;
    std::vector<double> l, r;
    Render(*host, x, l, r, &second);

    const std::string name = std::string("amp_render_") + GetParam() + ".f64";
    if (FILE* f = std::fopen(name.c_str(), "wb")) {
        for (int i = 0; i < frames; ++i) {
            std::fwrite(&l[i], sizeof(double), 1, f);
            std::fwrite(&r[i], sizeof(double), 1, f);
        }
        std::fclose(f);
    }
    const double* ref = std::string(GetParam()) == "Lum" ? kRenderReferenceLum : kRenderReferenceDar;
    double worst = 0;
    for (int k = 0; k < kRenderReferencePoints; ++k) {
        worst = std::fmax(worst, std::fabs(l[k * 441] - ref[2 * k]));
        worst = std::fmax(worst, std::fabs(r[k * 441] - ref[2 * k + 1]));
    }
    std::printf("[ render   ] %s: largest difference from the reference %.3g\n", GetParam(), worst);
    EXPECT_LE(worst, 1e-9) << "this build's numbers drift from the reference";
}

INSTANTIATE_TEST_SUITE_P(Voicings, PluginAmp, ::testing::Values("Lum", "Dar"));
