#pragma once
#include "IEffectBase.h"
#include "VstAbi.h"

// The VST 2.4 binding: fills the effect record the host keeps, answers the dispatcher,
// runs the process and parameter callbacks, and makes every call back to the host.
// Every callback finds the instance through the record's object field and holds the
// instance lock for its whole duration.
class IEffectVST : public IEffectBase {
public:
  IEffectVST(audioMasterCallback host, int nParams, const char* channelIOStr, int nPresets,
             const char* effectName, const char* productName, const char* makerName, int32_t version,
             int32_t uniqueID, int32_t secondID, int latency, bool doesMidi, bool doesChunks,
             bool isInstrument);
  ~IEffectVST() override;

  AEffect* Effect() { return &mEffect; }
  const ERect& EditorRect() const { return mEditorRect; }

  // Host notifications and queries (any thread; the caller decides about the lock).
  void HostBeginEdit(int index) override;
  void HostAutomate(int index, double normalised) override;
  void HostEndEdit(int index) override;
  int HostSamplePosition() override;
  double HostTempo() override;
  void HostTimeSignature(int* numerator, int* denominator) override;
  HostKind QueryHostKind() override;
  void EditorSizeChanged(int width, int height) override;
  void OnHostOpen() override;
  void AttachEditor(IGraphicsBase* editor) override;
  void ChangeLatency(int samples) override;
  bool EmitMidi(const MidiMessage& message) override;
  bool EmitMidiList(const HeapBuffer& list) override;  // MidiMessage records one after another
  bool ForwardEvent(const VstEvent& event);

  // The effect record's callbacks.
  static VstIntPtr VST_CALL VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          void* ptr, float opt);
  static void VST_CALL VSTProcessAdding(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
  static void VST_CALL VSTProcessFloat(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
  static void VST_CALL VSTProcessDouble(AEffect* effect, double** inputs, double** outputs, VstInt32 frames);
  static float VST_CALL VSTGetParameter(AEffect* effect, VstInt32 index);
  static void VST_CALL VSTSetParameter(AEffect* effect, VstInt32 index, float value);

private:
  enum class BlockMode { Adding, Float, Double };

  static IEffectVST* FromEffect(AEffect* effect);
  VstIntPtr CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  VstIntPtr CanDo(const char* text);
  VstIntPtr GetChunk(VstInt32 index, void* ptr);
  VstIntPtr SetChunk(VstInt32 index, VstIntPtr byteCount, const void* ptr);
  VstIntPtr ProcessEvents(const VstEvents* events);
  VstIntPtr PinProperties(bool input, VstInt32 index, VstPinProperties* pin);
  void SetSpeakerArrangement(const VstSpeakerArrangement* inputs, const VstSpeakerArrangement* outputs);
  template <typename Sample>
  void ProcessSliced(Sample** inputs, Sample** outputs, VstInt32 frames, BlockMode mode);
  void SetEditorRectFromEditor();

  ERect mEditorRect;
  audioMasterCallback mHost;
  VstSpeakerArrangement mInputArrangement;
  VstSpeakerArrangement mOutputArrangement;
  bool mOpenDone = false;
  bool mDoesMidi;
  IStateChunk mProgramChunk;
  IStateChunk mBankChunk;
  AEffect mEffect;
};

// Creates one instance under the process-wide creation lock and returns its effect record,
// or null when it cannot be created. Makes no call to the host.
AEffect* VSTCreateInstance(IEffectVST* (*create)(audioMasterCallback host), audioMasterCallback host);
