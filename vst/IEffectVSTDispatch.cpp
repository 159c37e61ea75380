// The dispatcher: every control request of the host, under the instance lock.
#include <climits>
#include <cstdio>
#include <cstring>

#include "EditorLink.h"
#include "IEffectVST.h"
#include "TextCopy.h"
#include "Trace.h"

namespace {
// Sizes of the host's text buffers we write into: the published limits, except parameter
// texts, which hosts give 32 bytes and our own texts need ("Gain Lo/Hi").
constexpr size_t kParamTextField = IParameter::kTextSize;
constexpr size_t kProgramNameField = kVstMaxProgNameLen;
constexpr size_t kEffectNameField = kVstMaxEffectNameLen;
constexpr size_t kVendorField = kVstMaxVendorStrLen;
constexpr size_t kProductField = kVstMaxProductStrLen;

constexpr VstIntPtr kIdentify = VstFourCC('N', 'v', 'E', 'f');
constexpr VstIntPtr kVendorSpecificAnswer = 0xBEEF;
constexpr VstIntPtr kCockosAnswer = static_cast<VstIntPtr>(0xBEEF0000u);
constexpr VstIntPtr kVstVersion = 2400;

// The name of an opcode for the trace point: empty in this build.
const char* OpcodeName(VstInt32) { return ""; }

// An index the host passes in the pointer-sized value; one out of int range is no index.
int ValueAsIndex(VstIntPtr value) { return (value < INT_MIN || value > INT_MAX) ? -1 : int(value); }

// A text from the host, read no further than a preset name can hold.
void CopyHostText(char (&out)[PresetSlot::kNameSize], const char* text) {
  size_t length = 0;
  while (length + 1 < sizeof out && text[length]) ++length;
  std::memcpy(out, text, length);
  out[length] = 0;
}
}  // namespace

VstIntPtr IEffectVST::VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                    void* ptr, float opt) {
  IEffectVST* self = FromEffect(effect);
  if (!self) return 0;
  self->Lock().Lock();
  if (opcode == effClose) {
    TracePoint("IEffectVST::VSTDispatcher", __LINE__, "%d(%s):%d:%d", opcode, OpcodeName(opcode), index, int(value));
    self->Lock().Unlock();
    delete self;
    return 0;
  }
  VstIntPtr result = 0;
  try {
    result = self->Dispatch(opcode, index, value, ptr, opt);
  } catch (...) {
    result = 0;  // nothing is thrown across the plug-in boundary
  }
  self->Lock().Unlock();
  return result;
}

VstIntPtr IEffectVST::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (opcode == effEditIdle || opcode == effIdle) return 0;
  TracePoint("IEffectVST::VSTDispatcher", __LINE__, "%d(%s):%d:%d", opcode, OpcodeName(opcode), index, int(value));
  char* text = static_cast<char*>(ptr);
  IParameter* param = ParamAt(index);

  switch (opcode) {
    case effOpen:
      OnHostOpen();
      AnnounceAllParameters();
      return 0;
    case effSetProgram:
      // The values are saved into the program being left.
      if (!DoesChunks()) UpdateCurrentPreset(nullptr);
      LoadPreset(ValueAsIndex(value));
      return 0;
    case effGetProgram:
      return CurrentPreset();
    case effSetProgramName:
      if (text) {
        char name[PresetSlot::kNameSize];
        CopyHostText(name, text);
        UpdateCurrentPreset(name);
      }
      return 0;
    case effGetProgramName:
      if (text) CopyText(text, PresetName(CurrentPreset()), kProgramNameField);
      return 0;
    case effGetParamLabel:
      if (param && text) CopyText(text, param->Label(), kParamTextField);
      return 0;
    case effGetParamDisplay:
      if (param && text) param->FormatCurrent(text);
      return 0;
    case effGetParamName:
      if (param && text) CopyText(text, param->Name(), kParamTextField);
      return 0;
    case effSetSampleRate:
      StoreSampleRate(double(opt));
      OnRestart();
      return 0;
    case effSetBlockSize:
      ChangeBlockSize(ValueAsIndex(value));
      OnRestart();
      return 0;
    case effMainsChanged:
      if (value == 0) {
        OnMainsChanged(false);
        OnRestart();
      } else {
        OnMainsChanged(true);
      }
      return 0;
    case effEditGetRect:
      if (!ptr || !Editor()) return 0;
      *static_cast<ERect**>(ptr) = &mEditorRect;
      return 1;
    case effEditOpen:
      if (!Editor() || !EditorOpenWindow(Editor(), ptr)) return 0;
      OnEditorOpened();
      return 1;
    case effEditClose:
      if (!Editor()) return 0;
      OnEditorClosed();
      EditorCloseWindow(Editor());
      return 1;
    case effIdentify:
      return kIdentify;
    case effGetChunk:
      return GetChunk(index, ptr);
    case effSetChunk:
      return SetChunk(index, value, ptr);
    case effProcessEvents:
      return ProcessEvents(static_cast<const VstEvents*>(ptr));
    case effCanBeAutomated:
      return 1;
    case effGetProgramNameIndexed:
      if (!text) return 0;
      CopyText(text, PresetName(index), kProgramNameField);
      return text[0] ? 1 : 0;
    case effGetInputProperties:
      return PinProperties(true, index, static_cast<VstPinProperties*>(ptr));
    case effGetOutputProperties:
      return PinProperties(false, index, static_cast<VstPinProperties*>(ptr));
    case effGetPlugCategory:
      return kPlugCategEffect;
    case effSetSpeakerArrangement:
      SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                            static_cast<const VstSpeakerArrangement*>(ptr));
      return 1;
    case effGetEffectName:
      if (!text) return 0;
      CopyText(text, EffectName(), kEffectNameField);
      return 1;
    case effGetVendorString:
      if (!text) return 0;
      CopyText(text, MakerName(), kVendorField);
      return 1;
    case effGetProductString:
      if (!text) return 0;
      CopyText(text, ProductName(), kProductField);
      return 1;
    case effVendorSpecific:
      // Display text of any normalised value: index 7 asks, value names the parameter.
      if (index != effGetParamDisplay || !text) return 0;
      if (IParameter* asked = ParamAt(ValueAsIndex(value))) asked->FormatValue(double(opt), true, text);
      return kVendorSpecificAnswer;
    case effCanDo:
      return CanDo(text);
    case effGetVstVersion:
      return kVstVersion;
    case effGetMidiKeyName: {
      MidiKeyName* key = static_cast<MidiKeyName*>(ptr);
      if (!key) return 0;
      key->keyName[0] = 0;
      const bool named = MidiKeyLabel(key->thisKeyNumber, key->keyName);
      key->keyName[sizeof key->keyName - 1] = 0;
      return named ? 1 : 0;
    }
    case effGetSpeakerArrangement:
      if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = &mInputArrangement;
      if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = &mOutputArrangement;
      return 1;
    default:
      return 0;
  }
}

VstIntPtr IEffectVST::CanDo(const char* text) {
  if (!text) return 0;
  TracePoint("IEffectVST::VSTDispatcher", __LINE__, "VSTCanDo(%s)", text);
  if (!std::strcmp(text, "receiveVstTimeInfo")) return 1;
  if (mDoesMidi && (!std::strcmp(text, "sendVstEvents") || !std::strcmp(text, "sendVstMidiEvent") ||
                    !std::strcmp(text, "receiveVstEvents") || !std::strcmp(text, "receiveVstMidiEvent"))) {
    return 1;
  }
  if (!std::strcmp(text, "hasCockosExtensions")) return kCockosAnswer;
  if (!std::strcmp(text, "hasCockosViewAsConfig")) return kCockosAnswer;
  return 0;
}

// Index 0 asks for the bank, any other index for the current program; both are the header
// and the current state. The chunk stays ours until the next request of the same kind.
VstIntPtr IEffectVST::GetChunk(VstInt32 index, void* ptr) {
  if (!ptr) return 0;
  const bool bank = index == 0;
  IStateChunk& chunk = bank ? mBankChunk : mProgramChunk;
  WriteChunkHeader(chunk);
  if (bank) UpdateCurrentPreset(nullptr);
  if (!WriteState(chunk) || chunk.Size() == 0) return 0;
  *static_cast<void**>(ptr) = chunk.Data();
  return chunk.Size();
}

VstIntPtr IEffectVST::SetChunk(VstInt32 index, VstIntPtr byteCount, const void* ptr) {
  // A missing or impossible chunk changes nothing.
  if (!ptr || byteCount < 0 || byteCount > INT32_MAX) return 0;
  const bool bank = index == 0;
  IStateChunk& chunk = bank ? mBankChunk : mProgramChunk;
  chunk.GrowZeroed(int32_t(byteCount));
  if (chunk.Size() != byteCount) return 0;  // no memory for it
  if (byteCount) std::memcpy(chunk.Data(), ptr, size_t(byteCount));

  int position = 0;
  const int32_t version = ReadChunkHeader(chunk, &position);
  if (version >= kChunkVersion && bank) {
    position = ReadState(chunk, position);
  } else {
    position = ReadState(chunk, position);
    UpdateCurrentPreset(nullptr);
  }
  if (position < 0) return 0;
  RefreshEditorValues();
  return 1;
}

VstIntPtr IEffectVST::ProcessEvents(const VstEvents* events) {
  if (!events) return 0;
  for (VstInt32 i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = events->events[i];
    if (!event) continue;
    if (event->type == kVstMidiType) {
      const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(event);
      const MidiMessage message{midi->deltaFrames, uint8_t(midi->midiData[0]), uint8_t(midi->midiData[1]),
                                uint8_t(midi->midiData[2])};
      HandleMidi(message);
    } else {
      ForwardEvent(*event);
    }
  }
  return 1;
}

VstIntPtr IEffectVST::PinProperties(bool input, VstInt32 index, VstPinProperties* pin) {
  const int count = input ? InputPortCount() : OutputPortCount();
  if (!pin || index < 0 || index >= count) return 0;
  // Even pins start a stereo pair.
  pin->flags = (index % 2 == 0) ? (kVstPinIsActive | kVstPinIsStereo) : kVstPinIsActive;
  char label[sizeof pin->label];
  std::snprintf(label, sizeof label, input ? "Input %d" : "Output %d", int(index) + 1);
  CopyText(pin->label, label, sizeof pin->label);
  return 1;
}

void IEffectVST::SetSpeakerArrangement(const VstSpeakerArrangement* inputs,
                                       const VstSpeakerArrangement* outputs) {
  // A channel count outside 0..port count is taken as the nearest count that exists.
  auto clampCount = [](int n, int ports) { return n < 0 ? 0 : (n > ports ? ports : n); };
  if (inputs) {
    const int n = clampCount(inputs->numChannels, InputPortCount());
    ConnectInputs(0, n, true);
    ConnectInputs(n, InputPortCount() - n, false);
  }
  if (outputs) {
    const int n = clampCount(outputs->numChannels, OutputPortCount());
    ConnectOutputs(0, n, true);
    ConnectOutputs(n, OutputPortCount() - n, false);
  }
}
