#include "PluginHost.h"

#include "Failure.h"

#include <cstring>

namespace {

// The host's own identity, answered to the plug-in's product and version questions.
constexpr const char* kHostProduct = "q19";
constexpr const char* kHostVendor = "ZORV Plugins";
constexpr VstInt32 kHostVersion = 10600;

// Text requests get a generous buffer: the published limits are shorter than real texts.
constexpr size_t kTextBuffer = 256;

}  // namespace

VstIntPtr VST_CALL PluginHost::HostCallback(AEffect* effect, VstInt32 opcode, VstInt32,
                                            VstIntPtr, void* ptr, float) {
  PluginHost* host = effect ? static_cast<PluginHost*>(effect->user) : nullptr;
  switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterGetSampleRate: return host ? VstIntPtr(host->mSampleRate) : 44100;
    case audioMasterGetBlockSize: return host ? host->mBlockSize : 1024;
    case audioMasterGetProductString:
      if (ptr) std::strcpy(static_cast<char*>(ptr), kHostProduct);
      return 1;
    case audioMasterGetVendorString:
      if (ptr) std::strcpy(static_cast<char*>(ptr), kHostVendor);
      return 1;
    case audioMasterGetVendorVersion: return kHostVersion;
    default: return 0;  // no transport, no MIDI, no editor: an offline renderer
  }
}

PluginHost::~PluginHost() {
  if (mEffect) {
    if (mActive) SetActive(false);
    mEffect->dispatcher(mEffect, effClose, 0, 0, nullptr, 0.0f);
    mEffect = nullptr;
  }
}

void PluginHost::Load(const std::string& path) {
  mPath = path;
  std::string error;
  if (!mLibrary.Open(path, error)) Fail(kExitPlugin, path + ": cannot load plug-in (" + error + ")");
  auto entry = reinterpret_cast<VstEntryProc>(mLibrary.Symbol("VSTPluginMain"));
  if (!entry) entry = reinterpret_cast<VstEntryProc>(mLibrary.Symbol("main"));
  if (!entry) Fail(kExitPlugin, path + ": not a VST 2 plug-in (no VSTPluginMain or main export)");
  mEffect = entry(&PluginHost::HostCallback);
  if (!mEffect || mEffect->magic != kEffectMagic || !mEffect->dispatcher) {
    mEffect = nullptr;
    Fail(kExitPlugin, path + ": the entry point returned no valid effect");
  }
  if (!mEffect->processReplacing || !mEffect->getParameter || !mEffect->setParameter ||
      mEffect->numInputs < 0 || mEffect->numOutputs < 0 || mEffect->numParams < 0) {
    Fail(kExitPlugin, path + ": the effect lacks the callbacks an offline render needs");
  }
  // Buffers are handed over as one or two inputs and two outputs.
  if (mEffect->numInputs > 2 || mEffect->numOutputs != 2) {
    Fail(kExitPlugin, path + ": q19 renders through plug-ins with up to 2 inputs and 2 outputs (this one has " +
                          std::to_string(mEffect->numInputs) + " and " + std::to_string(mEffect->numOutputs) + ")");
  }
  mEffect->user = this;
}

void PluginHost::Open() { Dispatch(effOpen); }

VstIntPtr PluginHost::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) {
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

void PluginHost::SetSampleRate(double rate) {
  mSampleRate = rate;
  Dispatch(effSetSampleRate, 0, 0, nullptr, float(rate));
}

void PluginHost::SetBlockSize(int frames) {
  mBlockSize = frames;
  Dispatch(effSetBlockSize, 0, frames);
}

void PluginHost::SetActive(bool on) {
  Dispatch(effMainsChanged, 0, on ? 1 : 0);
  mActive = on;
}

std::string PluginHost::TextOf(VstInt32 opcode, VstInt32 index) {
  char text[kTextBuffer] = {};
  Dispatch(opcode, index, 0, text);
  text[kTextBuffer - 1] = '\0';
  return text;
}

std::string PluginHost::ParameterName(int index) { return TextOf(effGetParamName, index); }
std::string PluginHost::ParameterLabel(int index) { return TextOf(effGetParamLabel, index); }
std::string PluginHost::ParameterDisplay(int index) { return TextOf(effGetParamDisplay, index); }

std::string PluginHost::DisplayOfNormalised(int index, float normalised) {
  char text[kTextBuffer] = {};
  Dispatch(effVendorSpecific, effGetParamDisplay, index, text, normalised);
  text[kTextBuffer - 1] = '\0';
  return text;
}

float PluginHost::GetParameter(int index) { return mEffect->getParameter(mEffect, index); }

void PluginHost::SetParameter(int index, float normalised) {
  mEffect->setParameter(mEffect, index, normalised);
}

void PluginHost::ProcessFloat(float** inputs, float** outputs, int frames) {
  mEffect->processReplacing(mEffect, inputs, outputs, frames);
}

void PluginHost::ProcessDouble(double** inputs, double** outputs, int frames) {
  if (!mEffect->processDoubleReplacing || !(mEffect->flags & effFlagsCanDoubleReplacing)) {
    Fail(kExitPlugin, mPath + ": the plug-in cannot process double precision (--double)");
  }
  mEffect->processDoubleReplacing(mEffect, inputs, outputs, frames);
}
