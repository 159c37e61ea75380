#pragma once
#include "AudioFile.h"
#include "PluginHost.h"
#include "PresetFile.h"

#include <memory>
#include <string>
#include <vector>

// What a command asks of the plug-in before audio flows.
struct PluginSettings {
  std::string voicing = "lum";  // picks the default binary
  std::string pluginPath;       // overrides it
  std::string presetPath;
  std::vector<std::string> sets;
  bool stereo = false;
};

// The plug-in binary q19 loads by default: the voicing's build next to q19's own.
std::string DefaultPluginPath(const std::string& voicing);

// Loads the plug-in and brings it up the way a DAW does: effOpen, sample rate, block size,
// then preset and parameters. Audio starts with Start().
std::unique_ptr<PluginHost> OpenPlugin(const PluginSettings& settings, double sampleRate,
                                       int blockSize);

void ApplyPreset(PluginHost& host, const PresetFile& preset, const std::string& path);

// Renders interleaved mono or stereo frames into interleaved stereo frames, block by block,
// through processReplacing or processDoubleReplacing. Buffers are sized once.
class BlockRenderer {
public:
  BlockRenderer(PluginHost& host, int blockSize, bool useDouble);
  // frames <= block size
  void Process(const float* in, int inChannels, int frames, float* out);

private:
  PluginHost& mHost;
  int mBlockSize;
  bool mDouble;
  std::vector<float> mFloatIn[2], mFloatOut[2];
  std::vector<double> mDoubleIn[2], mDoubleOut[2];
};
