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

void BlockRenderer::Process(const float* in, int inChannels, int frames, float* out) {
  // Mono feeds the first input; the second input hears silence.
  if (mDouble) {
    for (int k = 0; k < frames; ++k) {
      mDoubleIn[0][size_t(k)] = in[k * inChannels];
      mDoubleIn[1][size_t(k)] = inChannels > 1 ? in[k * inChannels + 1] : 0.0;
    }
    double* inputs[2] = {mDoubleIn[0].data(), mDoubleIn[1].data()};
    double* outputs[2] = {mDoubleOut[0].data(), mDoubleOut[1].data()};
    mHost.ProcessDouble(inputs, outputs, frames);
    for (int k = 0; k < frames; ++k) {
      out[2 * k] = float(mDoubleOut[0][size_t(k)]);
      out[2 * k + 1] = float(mDoubleOut[1][size_t(k)]);
    }
    return;
  }
  for (int k = 0; k < frames; ++k) {
    mFloatIn[0][size_t(k)] = in[k * inChannels];
    mFloatIn[1][size_t(k)] = inChannels > 1 ? in[k * inChannels + 1] : 0.0f;
  }
  float* inputs[2] = {mFloatIn[0].data(), mFloatIn[1].data()};
  float* outputs[2] = {mFloatOut[0].data(), mFloatOut[1].data()};
  mHost.ProcessFloat(inputs, outputs, frames);
  for (int k = 0; k < frames; ++k) {
    out[2 * k] = mFloatOut[0][size_t(k)];
    out[2 * k + 1] = mFloatOut[1][size_t(k)];
  }
}
