#include "IEffectBase.h"

#include <cstdio>
#include <cstring>

#include "Assert.h"
#include "EditorLink.h"
#include "TextCopy.h"
#include "Trace.h"

IEffectBase::IEffectBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                         const char* productName, const char* makerName, int32_t version,
                         int32_t uniqueID, int32_t secondID, int latency, bool /*doesMidi*/,
                         bool doesChunks, bool isInstrument)
    : mUniqueID(uniqueID),
      mSecondID(secondID),
      mVersion(version),
      mDoesChunks(doesChunks),
      mIsInstrument(isInstrument),
      mLatency(latency) {
  mEffectName[0] = mProductName[0] = mMakerName[0] = 0;
  TracePoint("IEffectBase::IEffectBase", __LINE__, "%s:%s", effectName, TraceTimestamp());

  for (int i = 0; i < nParams; ++i) {
    IParameter* param = new IParameter;
    if (!mParams.Add(param)) delete param;
  }
  for (int i = 0; i < nPresets; ++i) AddPresetSlot(i + 1);

  CopyText(mEffectName, effectName, kNameSize);
  CopyText(mProductName, productName, kNameSize);
  CopyText(mMakerName, makerName, kNameSize);

  // The channel I/O text is a list of "inputs-outputs" tokens separated by single spaces.
  int maxInputs = 0;
  int maxOutputs = 0;
  while (channelIOStr) {
    int nIn = 0;
    int nOut = 0;
    ZORV_ASSERT(sscanf(channelIOStr, "%d-%d", &nIn, &nOut) == 2);
    ChannelConfig* config = new ChannelConfig{nIn, nOut};
    if (!mChannelConfigs.Add(config)) delete config;
    if (nIn > maxInputs) maxInputs = nIn;
    if (nOut > maxOutputs) maxOutputs = nOut;
    channelIOStr = std::strchr(channelIOStr, ' ');
    if (channelIOStr) ++channelIOStr;
  }

  // The pointer arrays are sized once: the ports' slots point into them.
  mInputPointers.GrowZeroed(int32_t(maxInputs * sizeof(double*)));
  mOutputPointers.GrowZeroed(int32_t(maxOutputs * sizeof(double*)));
  double** inputSlots = reinterpret_cast<double**>(mInputPointers.Data());
  double** outputSlots = reinterpret_cast<double**>(mOutputPointers.Data());
  for (int i = 0; inputSlots && i < maxInputs; ++i) {
    InputPort* port = new InputPort;
    port->slot = &inputSlots[i];
    if (!mInputPorts.Add(port)) delete port;
  }
  for (int i = 0; outputSlots && i < maxOutputs; ++i) {
    OutputPort* port = new OutputPort;
    port->slot = &outputSlots[i];
    if (!mOutputPorts.Add(port)) delete port;
  }
}

IEffectBase::~IEffectBase() {
  if (mEditor) {
    EditorDestroy(mEditor);
    mEditor = nullptr;
  }
  mParams.ClearAndDelete(true);
  mPresets.ClearAndDelete(true);
  mInputPorts.ClearAndDelete(true);
  mOutputPorts.ClearAndDelete(true);
  mChannelConfigs.ClearAndDelete(true);
}

// The defaults only wait until no other thread is inside the instance.
void IEffectBase::OnRestart() { ScopedLock hold(mLock); }
void IEffectBase::OnParameterChanged(int) { ScopedLock hold(mLock); }
void IEffectBase::OnMainsChanged(bool) { ScopedLock hold(mLock); }

void IEffectBase::ProcessBlock(double** inputs, double** outputs, int frames) {
  const int nIn = InputPortCount();
  const int nOut = OutputPortCount();
  if (!outputs || frames <= 0) return;
  for (int i = 0; i < nOut; ++i) {
    double* out = outputs[i];
    if (!out) continue;
    const double* in = (inputs && i < nIn) ? inputs[i] : nullptr;
    if (in) {
      if (in != out) std::memmove(out, in, size_t(frames) * sizeof(double));
    } else {
      std::memset(out, 0, size_t(frames) * sizeof(double));
    }
  }
}

void IEffectBase::HandleMidi(const MidiMessage& message) { EmitMidi(message); }

bool IEffectBase::MidiKeyLabel(int, char* text) {
  if (text) text[0] = 0;
  return false;
}

bool IEffectBase::WriteState(IStateChunk& chunk) { return SerializeParams(chunk); }
int IEffectBase::ReadState(const IStateChunk& chunk, int position) { return UnserializeParams(chunk, position); }

HostKind IEffectBase::QueryHostKind() { return mHostKind; }

void IEffectBase::AttachEditor(IGraphicsBase* editor) {
  if (!editor) return;
  ScopedLock hold(mLock);
  for (int i = 0; i < ParamCount(); ++i) EditorShowParameterValue(editor, i, ParamAt(i)->Normal(), true);
  EditorCreateSurfaces(editor);
  mEditor = editor;
}

void IEffectBase::ChangeBlockSize(int frames) {
  if (frames == mBlockSize) return;
  // A size below one frame (no block could run), or one whose byte count a buffer cannot
  // hold, is refused: the scratch buffers keep serving the last size.
  if (frames < 1 || frames > INT32_MAX / int(sizeof(double))) return;
  const int32_t bytes = int32_t(frames * sizeof(double));
  int usable = frames;  // stays below any scratch buffer that could not grow
  auto resize = [&](HeapBuffer& scratch) {
    scratch.SetByteSize(bytes, true);
    if (scratch.Data()) std::memset(scratch.Data(), 0, size_t(scratch.Size()));
    const int held = int(scratch.Size() / int32_t(sizeof(double)));
    if (held < usable) usable = held;
  };
  for (int i = 0; i < InputPortCount(); ++i) resize(InputPortAt(i)->scratch);
  for (int i = 0; i < OutputPortCount(); ++i) resize(OutputPortAt(i)->scratch);
  for (int i = 0; i < InputPortCount(); ++i) {
    InputPort* port = InputPortAt(i);
    if (!port->connected) *port->slot = reinterpret_cast<double*>(port->scratch.Data());
  }
  for (int i = 0; i < OutputPortCount(); ++i) {
    OutputPort* port = OutputPortAt(i);
    if (!port->connected) *port->slot = reinterpret_cast<double*>(port->scratch.Data());
  }
  mBlockSize = usable;
}

void IEffectBase::ChangeLatency(int samples) { mLatency = samples; }

void IEffectBase::SetParameterFromGUI(int i, double normalised) {
  TracePoint("IEffectBase::SetParameterFromGUI", __LINE__, "%d:%f", i, normalised);
  ScopedLock hold(mLock);
  IParameter* param = ParamAt(i);
  if (!param) return;
  param->SetFromNormal(normalised);
  HostAutomate(i, normalised);
  OnParameterChanged(i);
}

void IEffectBase::AnnounceAllParameters() {
  for (int i = 0; i < ParamCount(); ++i) OnParameterChanged(i);
}

void IEffectBase::RefreshEditorValues() {
  if (!mEditor) return;
  for (int i = 0; i < ParamCount(); ++i) EditorShowParameterValue(mEditor, i, ParamAt(i)->mValue, false);
}

bool IEffectBase::LegalIO(int inputs, int outputs) const {
  bool legal = false;
  for (int i = 0; i < ChannelConfigCount() && !legal; ++i) {
    const ChannelConfig* config = ChannelConfigAt(i);
    legal = (inputs < 0 || inputs == config->inputs) && (outputs < 0 || outputs == config->outputs);
  }
  TracePoint("IEffectBase::LegalIO", __LINE__, "%d:%d:%s", inputs, outputs, legal ? "legal" : "illegal");
  return legal;
}

void IEffectBase::ConnectInputs(int start, int count, bool connected) {
  const int end = start + count < InputPortCount() ? start + count : InputPortCount();
  for (int i = start < 0 ? 0 : start; i < end; ++i) {
    InputPort* port = InputPortAt(i);
    port->connected = connected;
    if (!connected) *port->slot = reinterpret_cast<double*>(port->scratch.Data());
  }
}

void IEffectBase::ConnectOutputs(int start, int count, bool connected) {
  const int end = start + count < OutputPortCount() ? start + count : OutputPortCount();
  for (int i = start < 0 ? 0 : start; i < end; ++i) {
    OutputPort* port = OutputPortAt(i);
    port->connected = connected;
    if (!connected) *port->slot = reinterpret_cast<double*>(port->scratch.Data());
  }
}

int32_t IEffectBase::VersionNumber(bool decimal) const {
  if (!decimal) return mVersion;
  const uint32_t v = uint32_t(mVersion);
  return int32_t(((v >> 16) * 100 + ((v >> 8) & 0xFF)) * 100 + (v & 0xFF));
}

void IEffectBase::SetHost(const char* productText, int32_t version) {
  mHostKind = HostKindFromName(productText);
  mHostVersion = version;
  char versionText[32];
  std::snprintf(versionText, sizeof versionText, "v%d.%d", int(uint32_t(version) >> 16), int((version >> 8) & 0xFF));
  TracePoint("IEffectBase::SetHost", __LINE__, "host_%sknown:%s:%s", mHostKind == kHostUnknown ? "un" : "",
             productText ? productText : "", versionText);
}

void IEffectBase::RestrictToStereo() {
  // Hosts of this kind get at most two channels on each side.
  if (InputPortCount() > 2) ConnectInputs(2, InputPortCount() - 2, false);
  if (OutputPortCount() > 2) ConnectOutputs(2, OutputPortCount() - 2, false);
}
