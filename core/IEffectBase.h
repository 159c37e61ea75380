#pragma once
#include <cstdint>

#include "ChannelPorts.h"
#include "HeapBuffer.h"
#include "HostKind.h"
#include "IParameter.h"
#include "IStateChunk.h"
#include "MidiMessage.h"
#include "PointerList.h"
#include "PresetSlot.h"
#include "RecursiveLock.h"

class IGraphicsBase;

// The plug-in object without any host interface: identity, parameters, presets, channel
// configurations and ports, host identity, the attached editor and the instance lock.
// A host binding derives from it and the plug-in class derives from the binding; they meet
// through the virtual interface below, whose slot order is fixed.
//
// Threads: host audio thread (process callbacks), host control threads (dispatcher,
// parameters), the editor's window thread. Everything that touches state holds mLock.
class IEffectBase {
public:
  static constexpr int kNameSize = 128;

  IEffectBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
              const char* productName, const char* makerName, int32_t version, int32_t uniqueID,
              int32_t secondID, int latency, bool doesMidi, bool doesChunks, bool isInstrument);

  // Virtual interface, in slot order.
  virtual ~IEffectBase();                                                  // 0
  virtual void OnRestart();                                                // 1
  virtual void OnParameterChanged(int index);                              // 2
  virtual void ProcessBlock(double** inputs, double** outputs, int frames); // 3
  virtual void OnEditorOpened() {}                                         // 4
  virtual void OnEditorClosed() {}                                         // 5
  virtual void EmptyHook() {}                                              // 6
  virtual void OnMainsChanged(bool on);                                    // 7
  virtual void HandleMidi(const MidiMessage& message);                     // 8
  virtual bool MidiKeyLabel(int key, char* text);                          // 9
  virtual bool WriteState(IStateChunk& chunk);                             // 10
  virtual int ReadState(const IStateChunk& chunk, int position);           // 11
  virtual void HostBeginEdit(int index) = 0;                               // 12
  virtual void HostAutomate(int index, double normalised) = 0;             // 13
  virtual void HostEndEdit(int index) = 0;                                 // 14
  virtual int HostSamplePosition() = 0;                                    // 15
  virtual double HostTempo() = 0;                                          // 16
  virtual void HostTimeSignature(int* numerator, int* denominator) = 0;    // 17
  virtual HostKind QueryHostKind();                                        // 18
  virtual void EditorSizeChanged(int width, int height) = 0;               // 19
  virtual void ReservedHook(int) {}                                        // 20
  virtual void OnHostOpen() = 0;                                           // 21
  virtual void AttachEditor(IGraphicsBase* editor);                        // 22
  virtual void ChangeBlockSize(int frames);                                // 23
  virtual void ChangeLatency(int samples);                                 // 24
  virtual bool EmitMidi(const MidiMessage& message) = 0;                   // 25
  virtual bool EmitMidiList(const HeapBuffer& list) = 0;                   // 26

  // Parameters.
  IParameter* ParamAt(int i) const { return mParams.Get(i); }
  int ParamCount() const { return mParams.Count(); }
  void SetParameterFromGUI(int i, double normalised);
  void AnnounceAllParameters();
  void RefreshEditorValues();

  // Channels and ports.
  bool LegalIO(int inputs, int outputs) const;
  int ChannelConfigCount() const { return mChannelConfigs.Count(); }
  const ChannelConfig* ChannelConfigAt(int i) const { return mChannelConfigs.Get(i); }
  int InputPortCount() const { return mInputPorts.Count(); }
  int OutputPortCount() const { return mOutputPorts.Count(); }
  InputPort* InputPortAt(int i) const { return mInputPorts.Get(i); }
  OutputPort* OutputPortAt(int i) const { return mOutputPorts.Get(i); }
  void ConnectInputs(int start, int count, bool connected);
  void ConnectOutputs(int start, int count, bool connected);

  // Block processing helpers for the host binding. The host buffers are read from
  // firstFrame on; each connected port consumes the next host buffer, an unconnected port
  // none. A missing array or buffer makes a connected input read silence and a connected
  // output write nowhere.
  void BindInputs(int start, int count, float** hostBuffers, int frames, int firstFrame = 0);
  void BindInputs(int start, int count, double** hostBuffers, int frames, int firstFrame = 0);
  void BindOutputs(int start, int count, float** hostBuffers, int firstFrame = 0);
  void BindOutputs(int start, int count, double** hostBuffers, int firstFrame = 0);
  void RunBlock(int frames);
  void RunBlockFloat(int frames);
  void RunBlockAdding(int frames);

  // Rates, sizes, identity.
  void StoreSampleRate(double rate) { mSampleRate = rate; }
  double SampleRate() const { return mSampleRate; }
  int BlockSize() const { return mBlockSize; }
  int Latency() const { return mLatency; }
  int32_t VersionNumber(bool decimal) const;
  const char* EffectName() const { return mEffectName; }
  const char* ProductName() const { return mProductName; }
  const char* MakerName() const { return mMakerName; }
  int32_t UniqueID() const { return mUniqueID; }
  int32_t SecondID() const { return mSecondID; }
  bool DoesChunks() const { return mDoesChunks; }
  bool IsInstrument() const { return mIsInstrument; }
  IGraphicsBase* Editor() const { return mEditor; }

  // Host identification.
  void SetHost(const char* productText, int32_t version);
  HostKind StoredHostKind() const { return mHostKind; }
  int32_t HostVersion() const { return mHostVersion; }
  void RestrictToStereo();

  // State and presets.
  bool SerializeParams(IStateChunk& chunk);
  int UnserializeParams(const IStateChunk& chunk, int position);
  void WriteChunkHeader(IStateChunk& chunk);
  int32_t ReadChunkHeader(const IStateChunk& chunk, int* position);
  void StoreDefaultPresets(const char* name, int count);
  void EnsureOnePreset();
  bool LoadPreset(int index);
  void UpdateCurrentPreset(const char* name);
  void NextUserPresetName(char* out);  // out holds PresetSlot::kNameSize bytes
  const char* PresetName(int index) const;
  int PresetCount() const { return mPresets.Count(); }
  int CurrentPreset() const { return mCurrentPreset; }
  bool PresetFilled(int index) const;
  void SetPresetName(int index, const char* name);

  RecursiveLock& Lock() { return mLock; }

  static constexpr int32_t kChunkMagic = 0x70666674;
  static constexpr int32_t kChunkVersion = 0x00010000;

private:
  void AddPresetSlot(int number);

  PointerList<ChannelConfig> mChannelConfigs;
  char mEffectName[kNameSize];
  char mProductName[kNameSize];
  char mMakerName[kNameSize];
  int32_t mUniqueID;
  int32_t mSecondID;
  int32_t mVersion;
  HostKind mHostKind = kHostNotAsked;
  int32_t mHostVersion = 0;
  bool mDoesChunks;
  bool mIsInstrument;
  double mSampleRate = 44100.0;
  int32_t mBlockSize = 0;
  int32_t mLatency;
  PointerList<IParameter> mParams;
  IGraphicsBase* mEditor = nullptr;
  PointerList<PresetSlot> mPresets;
  int32_t mCurrentPreset = 0;
  HeapBuffer mInputPointers{HeapBuffer::kPage};   // double* per input port
  HeapBuffer mOutputPointers{HeapBuffer::kPage};  // double* per output port
  PointerList<InputPort> mInputPorts;
  PointerList<OutputPort> mOutputPorts;
  RecursiveLock mLock;
};
