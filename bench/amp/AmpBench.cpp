// Cost of the amp through Q19Effect::ProcessBlock, 512-frame blocks of a guitar-like signal,
// plus construction (two warm-ups), a sample-rate change, and silence against signal.
// Ends with a summary table.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "GuitarSignal.h"
#include "Q19Effect.h"

const ZORV::Voicing& BinaryVoicing() { return ZORV::LumVoicing(); }

namespace {

constexpr int kFrames = 512;
constexpr int kSignalBlocks = 64;  // the signal cycles through 64 different blocks
constexpr int kRightDelay = 220;   // frames, 5 ms at 44.1 kHz

struct Rig {
    std::unique_ptr<Q19Effect> effect;
    std::vector<double> signal;
    std::vector<double> in0, in1, out0, out1;
    double* ins[2];
    double* outs[2];

    Rig(double rate, bool hi, bool stereo, bool silent)
        : effect(new Q19Effect(nullptr)), in0(kFrames), in1(kFrames), out0(kFrames), out1(kFrames)
    {
        effect->StoreSampleRate(rate);
        effect->OnRestart();
        Set(Q19Effect::kGainHi, hi ? 1.0 : 0.0);
        Set(Q19Effect::kStereo, stereo ? 1.0 : 0.0);
        signal = silent ? std::vector<double>(kFrames * kSignalBlocks, 0.0)
                        : GuitarSignal(rate, kFrames * kSignalBlocks);
        ins[0] = in0.data();
        ins[1] = in1.data();
        outs[0] = out0.data();
        outs[1] = out1.data();
    }
    void Set(int index, double v)
    {
        effect->ParamAt(index)->mValue = v;
        effect->OnParameterChanged(index);
    }
    void Block(int n)
    {
        // the right channel: the same playing 5 ms later and a little quieter, like a
        // second microphone
        const int total = kFrames * kSignalBlocks;
        const int base = (n % kSignalBlocks) * kFrames;
        for (int i = 0; i < kFrames; ++i) {
            in0[i] = signal[base + i];
            in1[i] = 0.8 * signal[(base + i + total - kRightDelay) % total];
        }
        effect->ProcessBlock(ins, outs, kFrames);
    }
};

void Process(benchmark::State& state)
{
    Rig rig(double(state.range(0)), state.range(1) != 0, state.range(2) != 0, state.range(3) != 0);
    int n = 0;
    for (auto _ : state) {
        rig.Block(n++);
        benchmark::DoNotOptimize(rig.out0.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(Process)
    ->ArgNames({"rate", "hi", "stereo", "silent"})
    ->Args({44100, 1, 0, 0})->Args({44100, 1, 1, 0})->Args({44100, 0, 0, 0})->Args({44100, 0, 1, 0})
    ->Args({96000, 1, 0, 0})->Args({96000, 1, 1, 0})->Args({96000, 0, 0, 0})->Args({96000, 0, 1, 0})
    ->Args({44100, 1, 0, 1})
    ->MinTime(0.3);

void Construct(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<Q19Effect> effect(new Q19Effect(nullptr));
        benchmark::DoNotOptimize(effect.get());
    }
}
BENCHMARK(Construct)->Unit(benchmark::kMillisecond)->MinTime(0.5);

void SampleRateChange(benchmark::State& state)
{
    std::unique_ptr<Q19Effect> effect(new Q19Effect(nullptr));
    bool high = false;
    for (auto _ : state) {
        high = !high;
        effect->StoreSampleRate(high ? 48000.0 : 44100.0);
        effect->OnRestart();
    }
}
BENCHMARK(SampleRateChange)->Unit(benchmark::kMillisecond)->MinTime(0.5);

// Keeps the console output and remembers each run's real time.
class TableReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ns;  // benchmark name -> real time per iteration, ns
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.error_message.empty())
                ns[r.benchmark_name()] = r.GetAdjustedRealTime() *
                    (r.time_unit == benchmark::kMillisecond ? 1e6 : r.time_unit == benchmark::kMicrosecond ? 1e3 : 1.0);
    }
};

std::string ProcessName(int rate, int hi, int stereo, int silent)
{
    char name[128];
    std::snprintf(name, sizeof name, "Process/rate:%d/hi:%d/stereo:%d/silent:%d/", rate, hi, stereo, silent);
    return name;
}

double Find(const TableReporter& r, const std::string& prefix)
{
    for (const auto& kv : r.ns)
        if (kv.first.compare(0, prefix.size(), prefix) == 0)
            return kv.second;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-28s %14s %16s\n", "amp, 512-frame blocks", "ns per sample", "times realtime");
    for (int rate : {44100, 96000})
        for (int hi : {1, 0})
            for (int stereo : {0, 1}) {
                const double block = Find(reporter, ProcessName(rate, hi, stereo, 0));
                const double perSample = block / kFrames;
                char label[64];
                std::snprintf(label, sizeof label, "%s %.1f kHz %s", stereo ? "stereo" : "mono  ", rate / 1000.0,
                              hi ? "Hi" : "Lo");
                if (block > 0)
                    std::printf("%-28s %14.1f %16.0f\n", label, perSample, 1e9 / rate / perSample);
            }
    const double mono = Find(reporter, ProcessName(44100, 1, 0, 0));
    const double stereo = Find(reporter, ProcessName(44100, 1, 1, 0));
    const double silence = Find(reporter, ProcessName(44100, 1, 0, 1));
    if (mono > 0) {
        std::printf("%-28s %14.2f\n", "stereo / mono (44.1 Hi)", stereo / mono);
        std::printf("%-28s %14.2f\n", "silence / signal (44.1 Hi)", silence / mono);
    }
    std::printf("%-28s %11.2f ms\n", "construction (2 warm-ups)", Find(reporter, "Construct") / 1e6);
    std::printf("%-28s %11.2f ms\n", "sample-rate change", Find(reporter, "SampleRateChange") / 1e6);
    return 0;
}
