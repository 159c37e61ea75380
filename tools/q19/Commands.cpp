#include "Commands.h"

#include "AudioFile.h"
#include "DemoRiff.h"
#include "Failure.h"
#include "Options.h"
#include "ParameterMap.h"
#include "Pictures.h"
#include "PluginSession.h"
#include "PresetFile.h"
#include "SignalStats.h"
#include "TextAndFiles.h"

#include "amp/VoicingTables.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

constexpr int kDefaultBlock = 512;
constexpr int kMaxBlock = 8192;
constexpr double kProgressAfterSeconds = 5.0;

const std::set<std::string> kPluginOptions = {"voicing", "plugin", "set", "preset"};

PluginSettings SettingsFrom(const Options& options) {
  PluginSettings settings;
  settings.voicing = options.Voicing();
  settings.pluginPath = options.Value("plugin");
  settings.presetPath = options.Value("preset");
  settings.sets = options.Values("set");
  settings.stereo = options.Has("stereo");
  return settings;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Decibels(double peak) { return peak > 0.0 ? 20.0 * std::log10(peak) : -INFINITY; }

// A bar on stderr, redrawn at most ten times a second.
class ProgressBar {
public:
  explicit ProgressBar(bool enabled) : mEnabled(enabled) {}
  void Show(double fraction) {
    if (!mEnabled) return;
    auto now = std::chrono::steady_clock::now();
    if (fraction < 1.0 && now - mLast < std::chrono::milliseconds(100)) return;
    mLast = now;
    int filled = int(fraction * 40.0);
    std::fprintf(stderr, "\r[%-40s] %3d%%", std::string(size_t(filled), '#').c_str(),
                 int(fraction * 100.0));
    std::fflush(stderr);
  }
  void Done() {
    if (mEnabled) std::fputs("\r\033[K", stderr);
  }

private:
  bool mEnabled;
  std::chrono::steady_clock::time_point mLast{};
};

// Renders a whole signal held in memory (the demo).
std::vector<float> RenderSignal(const PluginSettings& settings, const std::vector<float>& mono,
                                int sampleRate) {
  std::unique_ptr<PluginHost> host = OpenPlugin(settings, sampleRate, kDefaultBlock);
  BlockRenderer renderer(*host, kDefaultBlock, false);
  std::vector<float> out(mono.size() * 2);
  host->SetActive(true);
  for (size_t at = 0; at < mono.size(); at += kDefaultBlock) {
    int frames = int(std::min<size_t>(kDefaultBlock, mono.size() - at));
    renderer.Process(mono.data() + at, 1, frames, out.data() + 2 * at);
  }
  host->SetActive(false);
  return out;
}

void MakeDirectory(const std::string& dir) {
  std::string path;
  for (size_t i = 0; i <= dir.size(); ++i) {
    if (i == dir.size() || dir[i] == '/') {
      if (!path.empty() && mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) {
        Fail(kExitOutput, dir + ": cannot create folder (" + std::strerror(errno) + ")");
      }
    }
    if (i < dir.size()) path += dir[i];
  }
}

void PrintStatsRow(const std::string& file, const SignalStats& s) {
  std::printf("  %-20s %8.4f %8.4f %8.2f\n", file.c_str(), s.peak, s.rms, s.CrestFactor());
}

std::string CanDoText(VstIntPtr answer) {
  char text[32];
  if (answer == 0 || answer == 1 || answer == -1) {
    std::snprintf(text, sizeof text, "%d", int(answer));
  } else {
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(answer));
  }
  return text;
}

}  // namespace

int RunRender(const Arguments& args) {
  Options options(args, {"stereo", "double", "quiet"},
                  {"voicing", "plugin", "set", "preset", "block", "format"});
  options.ExpectPositional(2, "IN and OUT files");
  const std::string in = options.Positional()[0], out = options.Positional()[1];
  int block = options.IntegerIn("block", kDefaultBlock, 1, kMaxBlock);
  SampleFormat format = SampleFormat::Default;
  if (options.Has("format") && !ParseSampleFormat(options.Value("format"), format)) {
    Fail(kExitUsage, "--format '" + options.Value("format") + "': expected float, pcm24 or pcm16");
  }
  PluginSettings settings = SettingsFrom(options);

  auto start = std::chrono::steady_clock::now();
  AudioReader reader(in);
  AudioWriter writer(out, reader.SampleRate(), 2, format);
  std::unique_ptr<PluginHost> host = OpenPlugin(settings, reader.SampleRate(), block);
  BlockRenderer renderer(*host, block, options.Has("double"));

  const int channels = reader.Channels();
  std::vector<float> inBlock(size_t(block) * size_t(channels)), outBlock(size_t(block) * 2);
  double duration = double(reader.Frames()) / reader.SampleRate();
  ProgressBar progress(!options.Has("quiet") && isatty(STDERR_FILENO) &&
                       duration > kProgressAfterSeconds);
  double peak = 0.0;
  int64_t done = 0;
  host->SetActive(true);
  for (;;) {
    int frames = int(reader.Read(inBlock.data(), block));
    if (frames == 0) break;
    renderer.Process(inBlock.data(), channels, frames, outBlock.data());
    for (int i = 0; i < 2 * frames; ++i) peak = std::max(peak, double(std::fabs(outBlock[size_t(i)])));
    writer.Write(outBlock.data(), frames);
    done += frames;
    progress.Show(reader.Frames() > 0 ? double(done) / double(reader.Frames()) : 1.0);
  }
  host->SetActive(false);
  host.reset();
  writer.Commit();
  progress.Done();
  double elapsed = Seconds(start);
  duration = double(done) / reader.SampleRate();
  std::printf("%s: %.2f s of audio in %.2f s (%.0fx realtime), output peak %.4f (%.1f dBFS)\n",
              out.c_str(), duration, elapsed, elapsed > 0.0 ? duration / elapsed : 0.0, peak,
              Decibels(peak));
  return kExitOk;
}

int RunDemo(const Arguments& args) {
  Options options(args, {}, {"out"});
  options.ExpectPositional(0, "");
  const std::string dir = options.Value("out", "demo-out");
  MakeDirectory(dir);
  constexpr int kRate = 44100;
  std::vector<float> dry = SynthesizeDemoRiff(kRate);
  WriteAudioFile(dir + "/di.wav", kRate, 1, dry, SampleFormat::Default);

  std::printf("ZORV Q19 demo: %.1f s DI guitar riff at %d Hz\n\n", double(dry.size()) / kRate,
              kRate);
  std::printf("  %-20s %8s %8s %8s\n", "file", "peak", "RMS", "crest");
  PrintStatsRow("di.wav", MeasureSignal(dry.data(), dry.size()));
  for (const char* voicing : {"lum", "dar"}) {
    for (const char* gain : {"lo", "hi"}) {
      PluginSettings settings;
      settings.voicing = voicing;
      settings.sets = {std::string("Gain Lo/Hi=") + (gain[0] == 'h' ? "on" : "off")};
      std::vector<float> wet = RenderSignal(settings, dry, kRate);
      std::string name = std::string("q19-") + voicing + "-" + gain;
      WriteAudioFile(dir + "/" + name + ".wav", kRate, 2, wet, SampleFormat::Default);
      std::vector<float> left(dry.size());
      for (size_t i = 0; i < left.size(); ++i) left[i] = wet[2 * i];
      SaveRenderPicture(dir + "/" + name + ".png", dry, left, kRate);
      PrintStatsRow(name + ".wav", MeasureSignal(wet.data(), wet.size()));
    }
  }
  std::printf("\nfiles in %s: di.wav, q19-{lum,dar}-{lo,hi}.wav and .png\n", dir.c_str());
  return kExitOk;
}

int RunInfo(const Arguments& args) {
  Options options(args, {}, {"voicing", "plugin"});
  options.ExpectPositional(0, "");
  PluginSettings settings = SettingsFrom(options);
  auto host = std::make_unique<PluginHost>();
  host->Load(settings.pluginPath.empty() ? DefaultPluginPath(settings.voicing)
                                         : settings.pluginPath);
  host->Open();
  AEffect& e = host->Effect();
  std::printf("plug-in:       %s\n", host->Path().c_str());
  std::printf("effect name:   %s\n", host->TextOf(effGetEffectName).c_str());
  std::printf("vendor:        %s\n", host->TextOf(effGetVendorString).c_str());
  std::printf("product:       %s\n", host->TextOf(effGetProductString).c_str());
  std::printf("unique ID:     '%s' (0x%08X)\n", FourCharText(e.uniqueID).c_str(),
              unsigned(e.uniqueID));
  std::printf("version:       %d (0x%08X)\n", e.version, unsigned(e.version));
  std::printf("VST version:   %d\n", int(host->Dispatch(effGetVstVersion)));
  std::printf("category:      %d\n", int(host->Dispatch(effGetPlugCategory)));
  std::printf("flags:         0x%X", unsigned(e.flags));
  const std::pair<VstInt32, const char*> flags[] = {
      {effFlagsHasEditor, "editor"},         {effFlagsCanMono, "mono"},
      {effFlagsCanReplacing, "replacing"},   {effFlagsProgramChunks, "program chunks"},
      {effFlagsIsSynth, "synth"},            {effFlagsNoSoundInStop, "no sound in stop"},
      {effFlagsCanDoubleReplacing, "double replacing"}};
  const char* separator = " (";
  for (const auto& flag : flags) {
    if (e.flags & flag.first) {
      std::printf("%s%s", separator, flag.second);
      separator = ", ";
    }
  }
  std::printf("%s\n", separator[0] == ',' ? ")" : "");
  std::printf("latency:       %d samples\n", e.initialDelay);
  auto printPins = [&](const char* title, int count, VstInt32 opcode) {
    std::printf("%-15s%d\n", title, count);
    for (int i = 0; i < count; ++i) {
      VstPinProperties pin{};
      if (host->Dispatch(opcode, i, 0, &pin)) {
        pin.label[sizeof pin.label - 1] = '\0';
        std::printf("  %d: %s (flags 0x%X)\n", i, pin.label, unsigned(pin.flags));
      }
    }
  };
  printPins("inputs:", e.numInputs, effGetInputProperties);
  printPins("outputs:", e.numOutputs, effGetOutputProperties);
  ParameterMap parameters(*host);
  std::printf("parameters:    %d\n", e.numParams);
  for (const HostParameter& p : parameters.Parameters()) {
    std::string range = p.isSwitch   ? "off/on"
                        : p.hasRange ? host->DisplayOfNormalised(p.index, 0.0f) + " to " +
                                           host->DisplayOfNormalised(p.index, 1.0f)
                                     : "0 to 1 (normalised)";
    std::printf("  %2d  %-12s %-8s %-8s  %s\n", p.index, p.name.c_str(),
                host->ParameterLabel(p.index).c_str(), host->ParameterDisplay(p.index).c_str(),
                range.c_str());
  }
  std::printf("programs:      %d\n", e.numPrograms);
  for (int i = 0; i < e.numPrograms; ++i) {
    std::printf("  %d: %s\n", i, host->TextOf(effGetProgramNameIndexed, i).c_str());
  }
  std::printf("canDo:\n");
  for (const char* text :
       {"receiveVstTimeInfo", "sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
        "receiveVstMidiEvent", "bypass", "offline", "midiProgramNames", "hasCockosExtensions",
        "hasCockosViewAsConfig"}) {
    std::printf("  %-24s %s\n", text,
                CanDoText(host->Dispatch(effCanDo, 0, 0, const_cast<char*>(text))).c_str());
  }
  return kExitOk;
}

int RunTables(const Arguments& args) {
  Options options(args, {}, {"voicing", "plot"});
  options.ExpectPositional(0, "");
  if (!options.Has("voicing")) Fail(kExitUsage, "tables: --voicing lum|dar is required");
  bool dar = options.Voicing() == "dar";
  const double* const tables[4] = {
      dar ? ZORV::Dar::kTableA : ZORV::Lum::kTableA, dar ? ZORV::Dar::kTableB : ZORV::Lum::kTableB,
      dar ? ZORV::Dar::kTableC : ZORV::Lum::kTableC, dar ? ZORV::Dar::kTableD : ZORV::Lum::kTableD};
  if (options.Has("plot")) {
    SaveTablePlot(options.Value("plot"), tables, ZORV::kTriodeTableSize);
    return kExitOk;
  }
  std::printf("index,vgk,A,B,C,D\n");
  for (int i = 0; i < ZORV::kTriodeTableSize; ++i) {
    std::printf("%d,%.17g,%.17g,%.17g,%.17g,%.17g\n", i, 4.0 - i / 100.0, tables[0][i],
                tables[1][i], tables[2][i], tables[3][i]);
  }
  return kExitOk;
}

int RunPresetSave(const Arguments& args) {
  Options options(args, {}, {"voicing", "plugin", "set"});
  options.ExpectPositional(1, "OUT.fxp file");
  const std::string out = options.Positional()[0];
  PluginSettings settings = SettingsFrom(options);
  std::unique_ptr<PluginHost> host = OpenPlugin(settings, 44100.0, kDefaultBlock);
  PresetProgram program;
  program.name = host->TextOf(effGetProgramName);
  for (int i = 0; i < host->ParameterCount(); ++i) {
    program.normalisedValues.push_back(host->GetParameter(i));
  }
  std::vector<uint8_t> bytes =
      SerializeProgramFile(program, host->Effect().uniqueID, host->Effect().version);
  std::string temp = TemporaryPathBeside(out);
  {
    std::ofstream file(temp, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    file.close();
    if (!file) {
      std::remove(temp.c_str());
      Fail(kExitOutput, out + ": cannot be written");
    }
  }
  MoveIntoPlace(temp, out);
  std::printf("%s: program \"%s\", %zu parameters\n", out.c_str(), program.name.c_str(),
              program.normalisedValues.size());
  return kExitOk;
}
