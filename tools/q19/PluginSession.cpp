#include "PluginSession.h"

#include "Failure.h"
#include "ParameterMap.h"

#include <climits>
#include <unistd.h>

std::string DefaultPluginPath(const std::string& voicing) {
  std::string name = voicing == "dar" ? "Dar" : "Lum";
  char self[PATH_MAX] = {};
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string dir = n > 0 ? std::string(self, size_t(n)) : std::string("./q19");
  dir = dir.substr(0, dir.find_last_of('/'));   // .../bin
  dir = dir.substr(0, dir.find_last_of('/'));   // the build tree
  return dir + "/plugins/ZORV_Q19_1.6_" + name + ".so";
}

void ApplyPreset(PluginHost& host, const PresetFile& preset, const std::string& path) {
  AEffect& effect = host.Effect();
  if (preset.fxID != effect.uniqueID) {
    Fail(kExitPreset, path + ": preset of another plug-in ('" + FourCharText(preset.fxID) +
                          "', this one is '" + FourCharText(effect.uniqueID) + "')");
  }
  if (preset.isOpaqueChunk) {
    VstIntPtr accepted = host.Dispatch(effSetChunk, preset.isBank ? 0 : 1,
                                       VstIntPtr(preset.chunk.size()),
                                       const_cast<uint8_t*>(preset.chunk.data()));
    if (accepted != 1) Fail(kExitPreset, path + ": the plug-in rejected the preset's state");
    return;
  }
  for (const PresetProgram& program : preset.programs) {
    if (int(program.normalisedValues.size()) != host.ParameterCount()) {
      Fail(kExitPreset, path + ": damaged preset file (" +
                            std::to_string(program.normalisedValues.size()) +
                            " parameters, the plug-in has " +
                            std::to_string(host.ParameterCount()) + ")");
    }
  }
  // A bank fills as many programs as the plug-in has, then selects the bank's current one.
  size_t count = preset.isBank ? std::min(preset.programs.size(), size_t(effect.numPrograms))
                               : preset.programs.size();
  for (size_t p = 0; p < count; ++p) {
    if (preset.isBank) host.Dispatch(effSetProgram, 0, VstIntPtr(p));
    const PresetProgram& program = preset.programs[p];
    for (int i = 0; i < host.ParameterCount(); ++i) {
      host.SetParameter(i, program.normalisedValues[size_t(i)]);
    }
    char name[28] = {};
    program.name.copy(name, sizeof name - 1);
    host.Dispatch(effSetProgramName, 0, 0, name);
  }
  if (preset.isBank && size_t(preset.currentProgram) < count) {
    host.Dispatch(effSetProgram, 0, preset.currentProgram);
  }
}

std::unique_ptr<PluginHost> OpenPlugin(const PluginSettings& settings, double sampleRate,
                                       int blockSize) {
  auto host = std::make_unique<PluginHost>();
  host->Load(settings.pluginPath.empty() ? DefaultPluginPath(settings.voicing)
                                         : settings.pluginPath);
  host->Open();
  host->SetSampleRate(sampleRate);
  host->SetBlockSize(blockSize);
  if (!settings.presetPath.empty()) {
    ApplyPreset(*host, ReadPresetFile(settings.presetPath), settings.presetPath);
  }
  ParameterMap parameters(*host);
  if (settings.stereo) parameters.Apply("Stereo=on");
  for (const std::string& set : settings.sets) parameters.Apply(set);
  return host;
}

BlockRenderer::BlockRenderer(PluginHost& host, int blockSize, bool useDouble)
    : mHost(host), mBlockSize(blockSize), mDouble(useDouble) {
  for (int c = 0; c < 2; ++c) {
    if (useDouble) {
      mDoubleIn[c].assign(size_t(blockSize), 0.0);
      mDoubleOut[c].assign(size_t(blockSize), 0.0);
    } else {
      mFloatIn[c].assign(size_t(blockSize), 0.0f);
      mFloatOut[c].assign(size_t(blockSize), 0.0f);
    }
  }
}

namespace {

// Mono feeds the first input; the second input hears silence. Samples are widened into the
// host buffers, processed, and narrowed back into interleaved stereo.
template <typename Sample, typename ProcessFn>
void RunBlock(std::vector<Sample> (&in)[2], std::vector<Sample> (&out)[2], const float* source,
              int inChannels, int frames, float* destination, ProcessFn process) {
  for (int k = 0; k < frames; ++k) {
    in[0][size_t(k)] = source[k * inChannels];
    in[1][size_t(k)] = inChannels > 1 ? source[k * inChannels + 1] : 0.0f;
  }
  Sample* inputs[2] = {in[0].data(), in[1].data()};
  Sample* outputs[2] = {out[0].data(), out[1].data()};
  process(inputs, outputs, frames);
  for (int k = 0; k < frames; ++k) {
    destination[2 * k] = float(out[0][size_t(k)]);
    destination[2 * k + 1] = float(out[1][size_t(k)]);
  }
}

}  // namespace

void BlockRenderer::Process(const float* in, int inChannels, int frames, float* out) {
  if (mDouble) {
    RunBlock(mDoubleIn, mDoubleOut, in, inChannels, frames, out,
             [this](double** i, double** o, int n) { mHost.ProcessDouble(i, o, n); });
  } else {
    RunBlock(mFloatIn, mFloatOut, in, inChannels, frames, out,
             [this](float** i, float** o, int n) { mHost.ProcessFloat(i, o, n); });
  }
}
