#pragma once
#include "platform/DynamicLibrary.h"
#include "vst/VstAbi.h"

#include <string>
#include <vector>

// q19's side of the VST 2.4 interface: it loads a plug-in binary through its exported entry
// point and drives it only through the effect record, as a DAW does.
class PluginHost {
public:
  PluginHost() = default;
  ~PluginHost();  // closes the effect (effClose) and unloads the library
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  // Loads the binary and creates one instance; throws Failure (kExitPlugin) naming the path.
  void Load(const std::string& path);
  void Open();  // effOpen

  AEffect& Effect() const { return *mEffect; }
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                     void* ptr = nullptr, float opt = 0.0f);

  void SetSampleRate(double rate);
  void SetBlockSize(int frames);
  void SetActive(bool on);  // effMainsChanged

  int ParameterCount() const { return mEffect->numParams; }
  std::string ParameterName(int index);
  std::string ParameterLabel(int index);
  std::string ParameterDisplay(int index);
  // Display text of a normalised value without changing the parameter; empty when the
  // plug-in does not offer it.
  std::string DisplayOfNormalised(int index, float normalised);
  float GetParameter(int index);
  void SetParameter(int index, float normalised);

  std::string TextOf(VstInt32 opcode, VstInt32 index = 0);

  // Runs one block of at most the block size.
  void ProcessFloat(float** inputs, float** outputs, int frames);
  void ProcessDouble(double** inputs, double** outputs, int frames);

  const std::string& Path() const { return mPath; }

private:
  static VstIntPtr VST_CALL HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                         VstIntPtr value, void* ptr, float opt);
  std::string mPath;
  DynamicLibrary mLibrary;
  AEffect* mEffect = nullptr;
  double mSampleRate = 44100.0;
  int mBlockSize = 1024;
  bool mActive = false;
};
