#pragma once
// The project's own definitions of the VST 2.4 binary interface: records, opcodes and
// constants. Layouts use the platform's natural alignment; the static_asserts below pin
// them for x86_64 and i686.
#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VST_CALL __cdecl
#else
#define VST_CALL
#endif

struct AEffect;

using VstInt32 = int32_t;
using VstIntPtr = intptr_t;

using audioMasterCallback = VstIntPtr(VST_CALL*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                 VstIntPtr value, void* ptr, float opt);
using AEffectDispatcherProc = VstIntPtr(VST_CALL*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                   VstIntPtr value, void* ptr, float opt);
using AEffectProcessProc = void(VST_CALL*)(AEffect* effect, float** inputs, float** outputs,
                                           VstInt32 frames);
using AEffectProcessDoubleProc = void(VST_CALL*)(AEffect* effect, double** inputs, double** outputs,
                                                 VstInt32 frames);
using AEffectSetParameterProc = void(VST_CALL*)(AEffect* effect, VstInt32 index, float value);
using AEffectGetParameterProc = float(VST_CALL*)(AEffect* effect, VstInt32 index);

// The signature of both exported entry points.
using VstEntryProc = AEffect*(VST_CALL*)(audioMasterCallback host);

constexpr VstInt32 kEffectMagic = 0x56737450;  // 'VstP'

// Four characters packed first-character-most-significant ('Vq7L').
constexpr VstInt32 VstFourCC(char a, char b, char c, char d) {
  return VstInt32(uint32_t(uint8_t(a)) << 24 | uint32_t(uint8_t(b)) << 16 | uint32_t(uint8_t(c)) << 8 |
                  uint32_t(uint8_t(d)));
}

struct AEffect {
  VstInt32 magic;
  AEffectDispatcherProc dispatcher;
  AEffectProcessProc process;  // accumulating
  AEffectSetParameterProc setParameter;
  AEffectGetParameterProc getParameter;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 numInputs;
  VstInt32 numOutputs;
  VstInt32 flags;
  VstIntPtr resvd1;
  VstIntPtr resvd2;
  VstInt32 initialDelay;
  VstInt32 realQualities;
  VstInt32 offQualities;
  float ioRatio;
  void* object;  // the plug-in instance
  void* user;    // the host's
  VstInt32 uniqueID;
  VstInt32 version;
  AEffectProcessProc processReplacing;
  AEffectProcessDoubleProc processDoubleReplacing;
  char future[56];
};

enum VstEffectFlags : VstInt32 {
  effFlagsHasEditor = 0x1,
  effFlagsCanMono = 0x8,
  effFlagsCanReplacing = 0x10,
  effFlagsProgramChunks = 0x20,
  effFlagsIsSynth = 0x100,
  effFlagsNoSoundInStop = 0x200,
  effFlagsCanDoubleReplacing = 0x1000,
};

struct ERect {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
};

struct VstTimeInfo {
  double samplePos;
  double sampleRate;
  double nanoSeconds;
  double ppqPos;
  double tempo;
  double barStartPos;
  double cycleStartPos;
  double cycleEndPos;
  VstInt32 timeSigNumerator;
  VstInt32 timeSigDenominator;
  VstInt32 smpteOffset;
  VstInt32 smpteFrameRate;
  VstInt32 samplesToNextClock;
  VstInt32 flags;
};

enum VstTimeInfoFlags : VstInt32 {
  kVstTransportChanged = 0x1,
  kVstTransportPlaying = 0x2,
  kVstTransportCycleActive = 0x4,
  kVstTransportRecording = 0x8,
  kVstAutomationWriting = 0x40,
  kVstAutomationReading = 0x80,
  kVstNanosValid = 0x100,
  kVstPpqPosValid = 0x200,
  kVstTempoValid = 0x400,
  kVstBarsValid = 0x800,
  kVstCyclePosValid = 0x1000,
  kVstTimeSigValid = 0x2000,
  kVstSmpteValid = 0x4000,
  kVstClockValid = 0x8000,
};

struct VstEvent {
  VstInt32 type;
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  char data[16];
};

constexpr VstInt32 kVstMidiType = 1;

struct VstMidiEvent {
  VstInt32 type;  // kVstMidiType
  VstInt32 byteSize;  // sizeof(VstMidiEvent)
  VstInt32 deltaFrames;
  VstInt32 flags;
  VstInt32 noteLength;
  VstInt32 noteOffset;
  char midiData[4];
  char detune;
  char noteOffVelocity;
  char reserved1;
  char reserved2;
};

// Variable length: numEvents entries in events.
struct VstEvents {
  VstInt32 numEvents;
  VstIntPtr reserved;
  VstEvent* events[2];
};

enum VstPinFlags : VstInt32 {
  kVstPinIsActive = 0x1,
  kVstPinIsStereo = 0x2,
  kVstPinUseSpeaker = 0x4,
};

struct VstPinProperties {
  char label[64];
  VstInt32 flags;
  VstInt32 arrangementType;
  char shortLabel[8];
  char future[48];
};

struct VstSpeakerProperties {
  float azimuth;
  float elevation;
  float radius;
  float reserved;
  char name[64];
  VstInt32 type;
  char future[28];
};

struct VstSpeakerArrangement {
  VstInt32 type;
  VstInt32 numChannels;
  VstSpeakerProperties speakers[8];
};

struct MidiKeyName {
  VstInt32 thisProgramIndex;
  VstInt32 thisKeyNumber;
  char keyName[64];
  VstInt32 reserved;
  VstInt32 flags;
};

constexpr VstInt32 kPlugCategEffect = 1;

// Dispatcher opcodes (host to plug-in).
enum VstDispatcherOpcode : VstInt32 {
  effOpen = 0,
  effClose = 1,
  effSetProgram = 2,
  effGetProgram = 3,
  effSetProgramName = 4,
  effGetProgramName = 5,
  effGetParamLabel = 6,
  effGetParamDisplay = 7,
  effGetParamName = 8,
  effGetVu = 9,
  effSetSampleRate = 10,
  effSetBlockSize = 11,
  effMainsChanged = 12,
  effEditGetRect = 13,
  effEditOpen = 14,
  effEditClose = 15,
  effEditDraw = 16,
  effEditMouse = 17,
  effEditKey = 18,
  effEditIdle = 19,
  effEditTop = 20,
  effEditSleep = 21,
  effIdentify = 22,
  effGetChunk = 23,
  effSetChunk = 24,
  effProcessEvents = 25,
  effCanBeAutomated = 26,
  effString2Parameter = 27,
  effGetNumProgramCategories = 28,
  effGetProgramNameIndexed = 29,
  effCopyProgram = 30,
  effConnectInput = 31,
  effConnectOutput = 32,
  effGetInputProperties = 33,
  effGetOutputProperties = 34,
  effGetPlugCategory = 35,
  effGetCurrentPosition = 36,
  effGetDestinationBuffer = 37,
  effOfflineNotify = 38,
  effOfflinePrepare = 39,
  effOfflineRun = 40,
  effProcessVarIo = 41,
  effSetSpeakerArrangement = 42,
  effSetBlockSizeAndSampleRate = 43,
  effSetBypass = 44,
  effGetEffectName = 45,
  effGetErrorText = 46,
  effGetVendorString = 47,
  effGetProductString = 48,
  effGetVendorVersion = 49,
  effVendorSpecific = 50,
  effCanDo = 51,
  effGetTailSize = 52,
  effIdle = 53,
  effGetIcon = 54,
  effSetViewPosition = 55,
  effGetParameterProperties = 56,
  effKeysRequired = 57,
  effGetVstVersion = 58,
  effEditKeyDown = 59,
  effEditKeyUp = 60,
  effSetEditKnobMode = 61,
  effGetMidiProgramName = 62,
  effGetCurrentMidiProgram = 63,
  effGetMidiProgramCategory = 64,
  effHasMidiProgramsChanged = 65,
  effGetMidiKeyName = 66,
  effBeginSetProgram = 67,
  effEndSetProgram = 68,
  effGetSpeakerArrangement = 69,
  effShellGetNextPlugin = 70,
  effStartProcess = 71,
  effStopProcess = 72,
  effSetTotalSampleToProcess = 73,
  effSetPanLaw = 74,
  effBeginLoadBank = 75,
  effBeginLoadProgram = 76,
  effSetProcessPrecision = 77,
};

// Host callback opcodes (plug-in to host).
enum VstHostOpcode : VstInt32 {
  audioMasterAutomate = 0,
  audioMasterVersion = 1,
  audioMasterWantMidi = 6,
  audioMasterGetTime = 7,
  audioMasterProcessEvents = 8,
  audioMasterIOChanged = 13,
  audioMasterSizeWindow = 15,
  audioMasterGetSampleRate = 16,
  audioMasterGetBlockSize = 17,
  audioMasterGetVendorString = 32,
  audioMasterGetProductString = 33,
  audioMasterGetVendorVersion = 34,
  audioMasterCanDo = 37,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44,
};

// Published text limits; the plug-in's own fields may be longer (see the binding).
constexpr int kVstMaxParamStrLen = 8;
constexpr int kVstMaxProgNameLen = 24;
constexpr int kVstMaxEffectNameLen = 32;
constexpr int kVstMaxVendorStrLen = 64;
constexpr int kVstMaxProductStrLen = 64;

// Layout checks for every target built: Linux x86_64, Windows x86_64, Windows i686.
#if defined(__x86_64__) || defined(_M_X64)
static_assert(sizeof(AEffect) == 192, "AEffect is 192 bytes on x86_64");
static_assert(offsetof(AEffect, dispatcher) == 8, "AEffect::dispatcher");
static_assert(offsetof(AEffect, numPrograms) == 40, "AEffect::numPrograms");
static_assert(offsetof(AEffect, flags) == 56, "AEffect::flags");
static_assert(offsetof(AEffect, resvd1) == 64, "AEffect::resvd1");
static_assert(offsetof(AEffect, initialDelay) == 80, "AEffect::initialDelay");
static_assert(offsetof(AEffect, ioRatio) == 92, "AEffect::ioRatio");
static_assert(offsetof(AEffect, object) == 96, "AEffect::object");
static_assert(offsetof(AEffect, user) == 104, "AEffect::user");
static_assert(offsetof(AEffect, uniqueID) == 112, "AEffect::uniqueID");
static_assert(offsetof(AEffect, version) == 116, "AEffect::version");
static_assert(offsetof(AEffect, processReplacing) == 120, "AEffect::processReplacing");
static_assert(offsetof(AEffect, processDoubleReplacing) == 128, "AEffect::processDoubleReplacing");
static_assert(offsetof(AEffect, future) == 136, "AEffect::future");
static_assert(sizeof(VstEvents) == 32, "VstEvents is 32 bytes on x86_64");
static_assert(offsetof(VstEvents, events) == 16, "VstEvents::events");
#elif defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(AEffect) == 144, "AEffect is 144 bytes on i686");
static_assert(offsetof(AEffect, dispatcher) == 4, "AEffect::dispatcher");
static_assert(offsetof(AEffect, numPrograms) == 20, "AEffect::numPrograms");
static_assert(offsetof(AEffect, flags) == 36, "AEffect::flags");
static_assert(offsetof(AEffect, resvd1) == 40, "AEffect::resvd1");
static_assert(offsetof(AEffect, initialDelay) == 48, "AEffect::initialDelay");
static_assert(offsetof(AEffect, ioRatio) == 60, "AEffect::ioRatio");
static_assert(offsetof(AEffect, object) == 64, "AEffect::object");
static_assert(offsetof(AEffect, user) == 68, "AEffect::user");
static_assert(offsetof(AEffect, uniqueID) == 72, "AEffect::uniqueID");
static_assert(offsetof(AEffect, version) == 76, "AEffect::version");
static_assert(offsetof(AEffect, processReplacing) == 80, "AEffect::processReplacing");
static_assert(offsetof(AEffect, processDoubleReplacing) == 84, "AEffect::processDoubleReplacing");
static_assert(offsetof(AEffect, future) == 88, "AEffect::future");
static_assert(sizeof(VstEvents) == 16, "VstEvents is 16 bytes on i686");
static_assert(offsetof(VstEvents, events) == 8, "VstEvents::events");
#else
#error "VST layouts are checked for x86_64 and i686 only"
#endif

static_assert(sizeof(ERect) == 8, "ERect");
static_assert(sizeof(VstTimeInfo) == 88, "VstTimeInfo");
static_assert(offsetof(VstTimeInfo, tempo) == 32, "VstTimeInfo::tempo");
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64, "VstTimeInfo::timeSigNumerator");
static_assert(offsetof(VstTimeInfo, flags) == 84, "VstTimeInfo::flags");
static_assert(sizeof(VstEvent) == 32, "VstEvent");
static_assert(sizeof(VstMidiEvent) == 32, "VstMidiEvent");
static_assert(offsetof(VstMidiEvent, deltaFrames) == 8, "VstMidiEvent::deltaFrames");
static_assert(offsetof(VstMidiEvent, midiData) == 24, "VstMidiEvent::midiData");
static_assert(sizeof(VstPinProperties) == 128, "VstPinProperties");
static_assert(offsetof(VstPinProperties, flags) == 64, "VstPinProperties::flags");
static_assert(sizeof(VstSpeakerProperties) == 112, "VstSpeakerProperties");
static_assert(sizeof(VstSpeakerArrangement) == 904, "VstSpeakerArrangement");
static_assert(offsetof(VstSpeakerArrangement, numChannels) == 4, "VstSpeakerArrangement::numChannels");
static_assert(sizeof(MidiKeyName) == 80, "MidiKeyName");
static_assert(offsetof(MidiKeyName, keyName) == 8, "MidiKeyName::keyName");
