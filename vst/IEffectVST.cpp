#include "IEffectVST.h"

#include <climits>
#include <cstring>
#include <new>

#include "EditorLink.h"
#include "Trace.h"

IEffectVST::IEffectVST(audioMasterCallback host, int nParams, const char* channelIOStr, int nPresets,
                       const char* effectName, const char* productName, const char* makerName,
                       int32_t version, int32_t uniqueID, int32_t secondID, int latency, bool doesMidi,
                       bool doesChunks, bool isInstrument)
    : IEffectBase(nParams, channelIOStr, nPresets, effectName, productName, makerName, version, uniqueID,
                  secondID, latency, doesMidi, doesChunks, isInstrument),
      mHost(host),
      mDoesMidi(doesMidi) {
  TracePoint("IEffectVST::IEffectVST", __LINE__, "%s", effectName);
  const int nIn = InputPortCount();
  const int nOut = OutputPortCount();

  std::memset(&mEffect, 0, sizeof mEffect);
  mEffect.magic = kEffectMagic;
  mEffect.dispatcher = VSTDispatcher;
  mEffect.process = VSTProcessAdding;
  mEffect.setParameter = VSTSetParameter;
  mEffect.getParameter = VSTGetParameter;
  mEffect.numPrograms = nPresets;
  mEffect.numParams = nParams;
  mEffect.numInputs = nIn;
  mEffect.numOutputs = nOut;
  mEffect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (doesChunks) mEffect.flags |= effFlagsProgramChunks;
  if (LegalIO(1, -1)) mEffect.flags |= effFlagsCanMono;
  if (isInstrument) mEffect.flags |= effFlagsIsSynth;
  mEffect.initialDelay = latency;
  mEffect.ioRatio = 1.0f;
  mEffect.object = this;
  mEffect.uniqueID = uniqueID;
  mEffect.version = VersionNumber(true);
  mEffect.processReplacing = VSTProcessFloat;
  mEffect.processDoubleReplacing = VSTProcessDouble;

  std::memset(&mEditorRect, 0, sizeof mEditorRect);
  std::memset(&mInputArrangement, 0, sizeof mInputArrangement);
  std::memset(&mOutputArrangement, 0, sizeof mOutputArrangement);
  mInputArrangement.numChannels = nIn;
  mOutputArrangement.numChannels = nOut;

  ConnectInputs(0, nIn, true);
  ConnectOutputs(0, nOut, true);
  ChangeBlockSize(1024);
}

IEffectVST::~IEffectVST() = default;

IEffectVST* IEffectVST::FromEffect(AEffect* effect) {
  return effect ? static_cast<IEffectVST*>(effect->object) : nullptr;
}

// Every call to the host goes through here; without a callback the host answers 0.
VstIntPtr IEffectVST::CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return mHost ? mHost(&mEffect, opcode, index, value, ptr, opt) : 0;
}

void IEffectVST::HostBeginEdit(int index) { CallHost(audioMasterBeginEdit, index, 0, nullptr, 0.0f); }

void IEffectVST::HostAutomate(int index, double normalised) {
  CallHost(audioMasterAutomate, index, 0, nullptr, float(normalised));
}

void IEffectVST::HostEndEdit(int index) { CallHost(audioMasterEndEdit, index, 0, nullptr, 0.0f); }

int IEffectVST::HostSamplePosition() {
  const VstTimeInfo* time = reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, 0, nullptr, 0.0f));
  if (!time || !(time->samplePos >= 0.0)) return 0;
  return time->samplePos < double(INT_MAX) ? int(time->samplePos) : INT_MAX;
}

double IEffectVST::HostTempo() {
  if (!mHost) return 0.0;
  const VstTimeInfo* time =
      reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, kVstTempoValid, nullptr, 0.0f));
  if (time && (time->flags & kVstTempoValid) && time->tempo >= 0.0) return time->tempo;
  return 0.0;
}

void IEffectVST::HostTimeSignature(int* numerator, int* denominator) {
  int num = 0;
  int den = 0;
  const VstTimeInfo* time =
      reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, kVstTimeSigValid, nullptr, 0.0f));
  if (time && (time->flags & kVstTimeSigValid) && time->timeSigNumerator >= 0 && time->timeSigDenominator >= 0) {
    num = time->timeSigNumerator;
    den = time->timeSigDenominator;
  }
  if (numerator) *numerator = num;
  if (denominator) *denominator = den;
}

HostKind IEffectVST::QueryHostKind() {
  if (StoredHostKind() != kHostNotAsked) return StoredHostKind();
  // One byte more than the lowering buffer can keep, so a host that overfills it is cut.
  char product[257];
  std::memset(product, 0, sizeof product);
  CallHost(audioMasterGetProductString, 0, 0, product, 0.0f);
  product[256] = 0;
  int32_t version = 0;
  if (product[0]) {
    const VstIntPtr v = CallHost(audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f);
    const int32_t major = int32_t(v / 10000);
    const int32_t minor = int32_t((v - VstIntPtr(major) * 10000) / 100);
    const int32_t patch = int32_t(v - VstIntPtr(major) * 10000 - VstIntPtr(minor) * 100);
    version = int32_t(uint32_t(major) * 65536u + uint32_t(minor) * 256u + uint32_t(patch));
  }
  SetHost(product, version);
  return StoredHostKind();
}

void IEffectVST::SetEditorRectFromEditor() {
  mEditorRect.top = 0;
  mEditorRect.left = 0;
  mEditorRect.bottom = int16_t(EditorHeight(Editor()));
  mEditorRect.right = int16_t(EditorWidth(Editor()));
}

void IEffectVST::EditorSizeChanged(int, int) {
  if (Editor()) SetEditorRectFromEditor();
}

void IEffectVST::OnHostOpen() {
  if (mOpenDone) return;
  mOpenDone = true;
  const HostKind kind = QueryHostKind();
  if (kind == 15 || kind == 17 || kind == 18 || kind == 20) RestrictToStereo();
  mInputArrangement.numChannels = InputPortCount();
  mEffect.numInputs = InputPortCount();
  mOutputArrangement.numChannels = OutputPortCount();
  mEffect.numOutputs = OutputPortCount();
}

void IEffectVST::AttachEditor(IGraphicsBase* editor) {
  if (!editor) return;
  IEffectBase::AttachEditor(editor);
  mEffect.flags |= effFlagsHasEditor;
  SetEditorRectFromEditor();
}

void IEffectVST::ChangeLatency(int samples) {
  mEffect.initialDelay = samples;
  IEffectBase::ChangeLatency(samples);
}

bool IEffectVST::EmitMidi(const MidiMessage& message) {
  VstMidiEvent event;
  std::memset(&event, 0, sizeof event);
  event.type = kVstMidiType;
  event.byteSize = VstInt32(sizeof event);
  event.deltaFrames = message.frameOffset;
  event.midiData[0] = char(message.status);
  event.midiData[1] = char(message.data1);
  event.midiData[2] = char(message.data2);
  VstEvents events;
  std::memset(&events, 0, sizeof events);
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<VstEvent*>(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &events, 0.0f) == 1;
}

bool IEffectVST::EmitMidiList(const HeapBuffer& list) {
  const MidiMessage* messages = reinterpret_cast<const MidiMessage*>(list.Data());
  const int count = messages ? int(list.Size() / int32_t(sizeof(MidiMessage))) : 0;
  bool all = true;
  for (int i = 0; i < count; ++i) {
    if (!EmitMidi(messages[i])) all = false;
  }
  return all;
}

bool IEffectVST::ForwardEvent(const VstEvent& event) {
  VstEvents events;
  std::memset(&events, 0, sizeof events);
  events.numEvents = 1;
  events.events[0] = const_cast<VstEvent*>(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &events, 0.0f) == 1;
}

// [audio thread] Blocks longer than the block size are run in slices of at most the block
// size, so the scratch buffers (sized by ChangeBlockSize) are never overrun.
template <typename Sample>
void IEffectVST::ProcessSliced(Sample** inputs, Sample** outputs, VstInt32 frames, BlockMode mode) {
  ScopedLock hold(Lock());
  if (frames < 0) return;
  const int block = BlockSize();
  if (frames > 0 && block <= 0) return;
  if (mDoesMidi) CallHost(audioMasterWantMidi, 0, 1, nullptr, 0.0f);
  int done = 0;
  do {
    const int n = frames - done < block ? frames - done : block;
    BindInputs(0, InputPortCount(), inputs, n, done);
    BindOutputs(0, OutputPortCount(), outputs, done);
    switch (mode) {
      case BlockMode::Adding: RunBlockAdding(n); break;
      case BlockMode::Float: RunBlockFloat(n); break;
      case BlockMode::Double: RunBlock(n); break;
    }
    done += n;
  } while (done < frames);
}

void IEffectVST::VSTProcessAdding(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
  if (IEffectVST* self = FromEffect(effect)) self->ProcessSliced(inputs, outputs, frames, BlockMode::Adding);
}

void IEffectVST::VSTProcessFloat(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
  if (IEffectVST* self = FromEffect(effect)) self->ProcessSliced(inputs, outputs, frames, BlockMode::Float);
}

void IEffectVST::VSTProcessDouble(AEffect* effect, double** inputs, double** outputs, VstInt32 frames) {
  if (IEffectVST* self = FromEffect(effect)) self->ProcessSliced(inputs, outputs, frames, BlockMode::Double);
}

float IEffectVST::VSTGetParameter(AEffect* effect, VstInt32 index) {
  IEffectVST* self = FromEffect(effect);
  if (!self) return 0.0f;
  TracePoint("IEffectVST::VSTGetParameter", __LINE__, "%d", index);
  ScopedLock hold(self->Lock());
  const IParameter* param = self->ParamAt(index);
  return param ? float(param->Normal()) : 0.0f;
}

void IEffectVST::VSTSetParameter(AEffect* effect, VstInt32 index, float value) {
  IEffectVST* self = FromEffect(effect);
  if (!self) return;
  TracePoint("IEffectVST::VSTSetParameter", __LINE__, "%d:%f", index, double(value));
  ScopedLock hold(self->Lock());
  IParameter* param = self->ParamAt(index);
  if (!param) return;
  if (self->Editor()) EditorShowParameterValue(self->Editor(), index, value, true);
  param->SetFromNormal(value);
  self->OnParameterChanged(index);
}

AEffect* VSTCreateInstance(IEffectVST* (*create)(audioMasterCallback host), audioMasterCallback host) {
  EnterCreationLock();
  IEffectVST* instance = nullptr;
  try {
    instance = create ? create(host) : nullptr;
  } catch (...) {
    instance = nullptr;  // nothing is thrown across the plug-in boundary
  }
  if (!instance) {
    LeaveCreationLock();
    return nullptr;
  }
  instance->EnsureOnePreset();
  if (instance->Effect()->numPrograms < 1) instance->Effect()->numPrograms = 1;
  LeaveCreationLock();
  return instance->Effect();
}
