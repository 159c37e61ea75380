// The built plug-in binaries, loaded through their exported entry point by the test host:
// both voicings, natively and (the same source built with MinGW) under wine64.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "TestHost.h"

namespace {

struct VoicingCase {
  const char* binary;
  const char* effectName;
  VstInt32 uniqueID;
};

std::string PluginPath(const VoicingCase& v) {
  return std::string(ZORV_TEST_PLUGIN_DIR) + "/" + v.binary + ZORV_TEST_PLUGIN_SUFFIX;
}

constexpr double kDefaults[11] = {0.5, 0.55, 0.5, 0.5, 0.5, 0.5, 0.0, 1.0, 0.5, 0.0, 0.0};
constexpr const char* kWebAddress = "www.zorv-plugins.com";

class Plugin : public ::testing::TestWithParam<VoicingCase> {
protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(host.Load(PluginPath(GetParam()), error)) << error;
    ASSERT_NE(host.Create(), nullptr) << "the entry point returns an effect record";
  }

  double ChunkValue(const std::vector<uint8_t>& chunk, int i) {
    double v;
    std::memcpy(&v, chunk.data() + 8 + 8 * i, 8);  // every target is little-endian
    return v;
  }

  TestHost host;
};

TEST_P(Plugin, RecordRightAfterCreation) {
  const AEffect& e = *host.Effect();
  EXPECT_EQ(e.magic, kEffectMagic) << "magic 'VstP'";
  EXPECT_EQ(e.numPrograms, 1) << "one program";
  EXPECT_EQ(e.numParams, 11) << "eleven parameters";
  EXPECT_EQ(e.numInputs, 2) << "two inputs";
  EXPECT_EQ(e.numOutputs, 2) << "two outputs";
  EXPECT_EQ(e.flags, 0x1018) << "replacing, double replacing and mono; no editor yet";
  EXPECT_EQ(e.initialDelay, 0) << "no latency";
  EXPECT_EQ(e.ioRatio, 1.0f) << "ioRatio";
  EXPECT_EQ(e.version, 10000) << "version 1.0.0 in decimal form";
  EXPECT_EQ(e.uniqueID, GetParam().uniqueID) << "unique ID of the voicing";
  EXPECT_NE(e.object, nullptr) << "the instance";
  EXPECT_EQ(e.resvd1, 0) << "reserved";
  for (char c : e.future) ASSERT_EQ(c, 0) << "future bytes are zero";
  EXPECT_TRUE(host.calls.empty()) << "no host call during creation";
}

TEST_P(Plugin, MainIsTheSameEntryAndInstancesAreDistinct) {
  EXPECT_EQ(host.Symbol("main"), host.Symbol("VSTPluginMain")) << "main is VSTPluginMain";
  TestHost viaMain;
  std::string error;
  ASSERT_TRUE(viaMain.Load(PluginPath(GetParam()), error, true)) << error;
  AEffect* other = viaMain.Create();
  ASSERT_NE(other, nullptr) << "main creates an instance";
  EXPECT_NE(other, host.Effect()) << "a second record";
  EXPECT_NE(other->object, host.Effect()->object) << "a second instance";
  EXPECT_EQ(other->uniqueID, host.Effect()->uniqueID) << "same fields through main";
  EXPECT_EQ(other->flags, host.Effect()->flags) << "same flags through main";
  const float before = host.GetParameter(0);
  viaMain.SetParameter(0, 1.0f);
  EXPECT_EQ(host.GetParameter(0), before) << "instances keep their own values";
}

TEST_P(Plugin, FirstOpenAsksProductThenVersionOnce) {
  host.productString = "Cubase VST";
  host.vendorVersion = 50201;
  host.Dispatch(effOpen);
  host.Dispatch(effOpen);
  std::vector<VstInt32> asked;
  for (const HostCall& c : host.calls) asked.push_back(c.opcode);
  EXPECT_EQ(asked, (std::vector<VstInt32>{audioMasterGetProductString, audioMasterGetVendorVersion}))
      << "product string, then vendor version, once";
}

TEST_P(Plugin, ParameterTexts) {
  const struct {
    const char* name;
    const char* label;
    const char* display;
  } params[11] = {{"Input", "Input", "0.50"},  {"Drive", "Drive", "0.55"},  {"Bass", "Bass", "0.50"},
                  {"Lo Mid", "Lo Mid", "0.50"}, {"Hi Mid", "Hi Mid", "0.50"}, {"Treble", "Treble", "0.50"},
                  {"Contour", "", "off"},      {"Gain Lo/Hi", "", "on"},     {"Output", "Output", "0.50"},
                  {"Trafo", "", "off"},        {"Stereo", "", "off"}};
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(host.TextOf(effGetParamName, i), params[i].name) << "name of " << i;
    EXPECT_EQ(host.TextOf(effGetParamLabel, i), params[i].label) << "label of " << i;
    EXPECT_EQ(host.TextOf(effGetParamDisplay, i), params[i].display) << "display of " << i;
    EXPECT_EQ(host.Dispatch(effCanBeAutomated, i), 1) << "automatable " << i;
  }
  VstIntPtr result = -1;
  const std::string untouched = host.TextOf(effGetParamName, 11, 0, 0.0f, &result);
  EXPECT_EQ(result, 0) << "index 11 returns 0";
  EXPECT_EQ(untouched, std::string(255, '#')) << "index 11 leaves the buffer untouched";
  EXPECT_EQ(host.TextOf(effGetParamDisplay, -1), std::string(255, '#')) << "index -1 leaves the buffer untouched";
}

TEST_P(Plugin, IdentityAndFixedAnswers) {
  VstIntPtr result = 0;
  EXPECT_EQ(host.TextOf(effGetEffectName, 0, 0, 0.0f, &result), GetParam().effectName) << "effect name";
  EXPECT_EQ(result, 1) << "effect name answered";
  EXPECT_EQ(host.TextOf(effGetVendorString), "ZORV Plugins") << "vendor";
  EXPECT_EQ(host.TextOf(effGetProductString, 0, 0, 0.0f, &result), "") << "product is empty";
  EXPECT_EQ(result, 1) << "product answered";
  EXPECT_EQ(host.Dispatch(effGetEffectName), 0) << "no buffer: 0";
  EXPECT_EQ(host.Dispatch(effIdentify), VstFourCC('N', 'v', 'E', 'f')) << "identify";
  EXPECT_EQ(host.Dispatch(effGetPlugCategory), kPlugCategEffect) << "category";
  EXPECT_EQ(host.Dispatch(effGetVstVersion), 2400) << "VST version";
  EXPECT_EQ(host.Dispatch(effGetProgram), 0) << "current program";
  for (VstInt32 opcode : {-1, 9, 16, 27, 41, 44, 49, 52, 70, 77, 1000}) {
    EXPECT_EQ(host.Dispatch(opcode, 1, 1, nullptr, 1.0f), 0) << "opcode " << opcode << " is not handled";
  }
  MidiKeyName key{};
  std::strcpy(key.keyName, "junk");
  EXPECT_EQ(host.Dispatch(effGetMidiKeyName, 0, 0, &key), 0) << "no key names";
  EXPECT_STREQ(key.keyName, "") << "key name emptied";
}

TEST_P(Plugin, EditorRequestsWithoutEditor) {
  ERect* rect = nullptr;
  EXPECT_EQ(host.Dispatch(effEditGetRect, 0, 0, &rect), 0) << "no editor: no rectangle";
  EXPECT_EQ(rect, nullptr) << "pointer untouched";
  EXPECT_EQ(host.Dispatch(effEditOpen), 0) << "no editor to open";
  EXPECT_EQ(host.Dispatch(effEditClose), 0) << "no editor to close";
  EXPECT_EQ(host.Dispatch(effEditIdle), 0) << "idle";
  EXPECT_EQ(host.Dispatch(effIdle), 0) << "idle";
}

TEST_P(Plugin, VendorSpecificParameterDisplay) {
  VstIntPtr result = 0;
  EXPECT_EQ(host.TextOf(effVendorSpecific, effGetParamDisplay, 1, 0.5f, &result), "0.55") << "Drive at 0.5";
  EXPECT_EQ(result, 0xBEEF) << "answer for index 7";
  EXPECT_EQ(host.TextOf(effVendorSpecific, effGetParamDisplay, 99, 0.5f, &result), std::string(255, '#'))
      << "parameter 99 writes nothing";
  EXPECT_EQ(result, 0xBEEF) << "still answered";
  host.TextOf(effVendorSpecific, 6, 1, 0.5f, &result);
  EXPECT_EQ(result, 0) << "index 6 is not handled";
  EXPECT_EQ(host.Dispatch(effVendorSpecific, effGetParamDisplay, 1, nullptr, 0.5f), 0) << "no buffer";
}

TEST_P(Plugin, CanDo) {
  const struct {
    const char* text;
    VstIntPtr answer;
  } cases[] = {{"receiveVstTimeInfo", 1},
               {"receiveVstEvents", 0},
               {"sendVstMidiEvent", 0},
               {"hasCockosExtensions", static_cast<VstIntPtr>(0xBEEF0000u)},
               {"hasCockosViewAsConfig", static_cast<VstIntPtr>(0xBEEF0000u)},
               {"bypass", 0},
               {"ReceiveVstTimeInfo", 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(host.Dispatch(effCanDo, 0, 0, const_cast<char*>(c.text)), c.answer) << "canDo " << c.text;
  }
  EXPECT_EQ(host.Dispatch(effCanDo), 0) << "canDo without text";
}

TEST_P(Plugin, PinProperties) {
  const struct {
    VstInt32 opcode, index;
    VstIntPtr result;
    VstInt32 flags;
    const char* label;
  } cases[] = {{effGetInputProperties, 0, 1, 3, "Input 1"},   {effGetInputProperties, 1, 1, 1, "Input 2"},
               {effGetOutputProperties, 0, 1, 3, "Output 1"}, {effGetOutputProperties, 1, 1, 1, "Output 2"},
               {effGetInputProperties, 2, 0, -1, ""},        {effGetOutputProperties, -1, 0, -1, ""}};
  for (const auto& c : cases) {
    VstPinProperties pin;
    std::memset(&pin, 0, sizeof pin);
    pin.flags = -1;
    pin.arrangementType = 77;
    EXPECT_EQ(host.Dispatch(c.opcode, c.index, 0, &pin), c.result) << "pin " << c.opcode << "/" << c.index;
    EXPECT_EQ(pin.flags, c.flags) << "flags of " << c.label;
    EXPECT_STREQ(pin.label, c.label) << "label of pin " << c.index;
    EXPECT_EQ(pin.arrangementType, 77) << "other fields untouched";
  }
  EXPECT_EQ(host.Dispatch(effGetInputProperties, 0, 0, nullptr), 0) << "no record";
  VstSpeakerArrangement* in = nullptr;
  VstSpeakerArrangement* out = nullptr;
  EXPECT_EQ(host.Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1) << "arrangements";
  ASSERT_TRUE(in && out) << "both reported";
  EXPECT_EQ(in->numChannels, 2) << "input channels";
  EXPECT_EQ(out->numChannels, 2) << "output channels";
}

TEST_P(Plugin, ProgramsAndNames) {
  VstIntPtr result = 0;
  EXPECT_EQ(host.TextOf(effGetProgramName), kWebAddress) << "the only program is named with the web address";
  EXPECT_LE(std::strlen(kWebAddress), 23u) << "fits the published program name limit";
  EXPECT_EQ(host.TextOf(effGetProgramNameIndexed, 0, 0, 0.0f, &result), kWebAddress) << "indexed name";
  EXPECT_EQ(result, 1) << "a named program";
  EXPECT_EQ(host.TextOf(effGetProgramNameIndexed, 1, 0, 0.0f, &result), "") << "no program 1";
  EXPECT_EQ(result, 0) << "no program 1";
  host.SetParameter(1, 1.0f);
  host.Dispatch(effSetProgram, 0, 5);
  EXPECT_EQ(host.Dispatch(effGetProgram), 0) << "an out-of-range program changes nothing";
  EXPECT_EQ(host.GetParameter(1), 1.0f) << "the values stay";
  host.SetParameter(1, 0.0f);
  host.Dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(host.GetParameter(1), 0.0f) << "selecting the current program saves, then loads the same values";
  host.Dispatch(effSetProgramName, 0, 0, const_cast<char*>("Crunch"));
  EXPECT_EQ(host.TextOf(effGetProgramName), "Crunch") << "renamed";
}

TEST_P(Plugin, ParameterValues) {
  EXPECT_EQ(host.GetParameter(11), 0.0f) << "index 11 reads 0";
  EXPECT_EQ(host.GetParameter(1), 0.5f) << "Drive 0.55 is 0.5 normalised";
  host.SetParameter(6, 0.3f);
  EXPECT_EQ(host.GetParameter(6), 0.0f) << "switch at 0.3 is off";
  host.SetParameter(6, 0.5f);
  EXPECT_EQ(host.GetParameter(6), 1.0f) << "switch at 0.5 is on";
  host.SetParameter(1, 1.5f);
  EXPECT_EQ(host.GetParameter(1), 1.0f) << "a value above 1 is clamped";
  host.SetParameter(1, std::nanf(""));
  EXPECT_EQ(host.GetParameter(1), 1.0f) << "NaN is ignored";
  host.SetParameter(11, 0.5f);
  host.SetParameter(-1, 0.5f);
  EXPECT_EQ(host.TextOf(effGetParamDisplay, 1), "1.00") << "display follows the value";
}

TEST_P(Plugin, ChunksCarryHeaderAndPlainValues) {
  VstIntPtr size = 0;
  const std::vector<uint8_t> program = host.GetChunk(false, &size);
  ASSERT_EQ(size, 96) << "8 header bytes and 11 doubles";
  const uint8_t header[8] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  EXPECT_EQ(std::memcmp(program.data(), header, 8), 0) << "magic and version";
  for (int i = 0; i < 11; ++i) EXPECT_EQ(ChunkValue(program, i), kDefaults[i]) << "default value " << i;
  EXPECT_EQ(host.GetChunk(true), program) << "the bank chunk carries the same state";
  EXPECT_EQ(host.Dispatch(effGetChunk, 1), 0) << "no pointer: 0";

  std::vector<float> defaults;
  for (int i = 0; i < 11; ++i) defaults.push_back(host.GetParameter(i));
  EXPECT_EQ(defaults[1], 0.5f) << "Drive 0.55 is 0.5 normalised";
  for (int i = 0; i < 11; ++i) host.SetParameter(i, 0.9f);
  EXPECT_EQ(host.SetChunk(false, program), 1) << "program chunk accepted";
  for (int i = 0; i < 11; ++i) EXPECT_EQ(host.GetParameter(i), defaults[i]) << "restored " << i;
  for (int i = 0; i < 11; ++i) host.SetParameter(i, 0.9f);
  EXPECT_EQ(host.SetChunk(true, program), 1) << "bank chunk accepted";
  EXPECT_EQ(host.GetParameter(8), defaults[8]) << "bank restores Output";
  std::vector<uint8_t> bare(program.begin() + 8, program.end());
  host.SetParameter(0, 0.9f);
  EXPECT_EQ(host.SetChunk(true, bare), 1) << "a state without header is read from 0";
  EXPECT_EQ(host.GetParameter(0), defaults[0]) << "bare state restores Input";
}

TEST_P(Plugin, GarbageAndBadChunks) {
  host.SetParameter(1, 0.9f);
  EXPECT_EQ(host.SetChunk(false, {1, 2, 3, 4}), 0) << "4 bytes of garbage run short";
  EXPECT_EQ(host.GetParameter(0), 0.0f) << "parameter 0 got 0 clamped to its minimum";
  EXPECT_EQ(host.TextOf(effGetParamDisplay, 0), "0.00") << "Input at its minimum 0.0001";
  EXPECT_FLOAT_EQ(host.GetParameter(1), 0.9f) << "later parameters keep their values";
  uint8_t data[4] = {0};
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, -4, data), 0) << "negative byte count";
  EXPECT_EQ(host.Dispatch(effSetChunk, 0, 96, nullptr), 0) << "null data";
  EXPECT_FLOAT_EQ(host.GetParameter(1), 0.9f) << "refused chunks change nothing";
  std::vector<uint8_t> nanState(88, 0);
  const double nan = std::nan("");
  for (int i = 0; i < 11; ++i) std::memcpy(nanState.data() + 8 * i, &nan, 8);
  EXPECT_EQ(host.SetChunk(false, nanState), 1) << "a full state of NaN is read";
  EXPECT_EQ(host.GetParameter(1), 0.0f) << "NaN counts as 0, clamped to Drive's minimum";
}

TEST_P(Plugin, ProcessPathsAgree) {
  // Identical instances fed the same input: the three paths must tell the same story.
  TestHost other;
  TestHost third;
  std::string error;
  ASSERT_TRUE(other.Load(PluginPath(GetParam()), error) && other.Create()) << error;
  ASSERT_TRUE(third.Load(PluginPath(GetParam()), error) && third.Create()) << error;
  const int frames = 512;
  TestHost::FloatBuffers in(2, std::vector<float>(frames));
  for (int k = 0; k < frames; ++k) in[0][k] = in[1][k] = float(0.3 * std::sin(k * 0.05));
  TestHost::FloatBuffers replaced(2, std::vector<float>(frames, 0.0f));
  TestHost::FloatBuffers added(2, std::vector<float>(frames, 1.0f));
  TestHost::DoubleBuffers din(2, std::vector<double>(frames));
  TestHost::DoubleBuffers dout(2, std::vector<double>(frames, 0.0));
  for (int c = 0; c < 2; ++c)
    for (int k = 0; k < frames; ++k) din[c][k] = in[c][k];
  host.ProcessReplacing(in, replaced, frames);
  other.ProcessAdding(in, added, frames);
  third.ProcessDouble(din, dout, frames);
  bool anySignal = false;
  for (int c = 0; c < 2; ++c) {
    for (int k = 0; k < frames; ++k) {
      ASSERT_EQ(added[c][k], 1.0f + replaced[c][k]) << "adding adds the replacing result, " << c << "/" << k;
      ASSERT_EQ(replaced[c][k], float(dout[c][k])) << "float path narrows the double result, " << c << "/" << k;
      anySignal = anySignal || replaced[c][k] != 0.0f;
    }
  }
  EXPECT_TRUE(anySignal) << "the plug-in produced output";
}

TEST_P(Plugin, FrameCountsTheHostGetsWrong) {
  TestHost::FloatBuffers in(2, std::vector<float>(5000, 0.1f));
  TestHost::FloatBuffers out(2, std::vector<float>(5000, std::nanf("")));
  host.ProcessReplacing(in, out, 0);
  EXPECT_TRUE(std::isnan(out[0][0])) << "frames 0 writes nothing";
  host.ProcessReplacing(in, out, -7);
  EXPECT_TRUE(std::isnan(out[0][0])) << "negative frames write nothing";
  host.ProcessReplacing(in, out, 5000);  // beyond the block size of 1024
  for (int k = 0; k < 5000; ++k) ASSERT_TRUE(std::isfinite(out[1][k])) << "frame " << k << " of a long block written";
  host.Dispatch(effSetBlockSize, 0, 64);
  host.ProcessAdding(in, out, 1000);
  for (int k = 0; k < 1000; ++k) ASSERT_TRUE(std::isfinite(out[0][k])) << "frame " << k << " after block size 64";
  host.Effect()->processReplacing(host.Effect(), nullptr, nullptr, 256);
  host.Effect()->processDoubleReplacing(host.Effect(), nullptr, nullptr, 256);
  float* holes[2] = {nullptr, nullptr};
  host.Effect()->process(host.Effect(), holes, holes, 256);
  SUCCEED() << "missing buffers did not crash";
}

TEST_P(Plugin, SampleRateBlockSizeAndMains) {
  EXPECT_EQ(host.Dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f), 0) << "sample rate";
  EXPECT_EQ(host.Dispatch(effSetBlockSize, 0, 256), 0) << "block size";
  EXPECT_EQ(host.Dispatch(effMainsChanged, 0, 1), 0) << "on";
  EXPECT_EQ(host.Dispatch(effMainsChanged, 0, 0), 0) << "off";
  TestHost::FloatBuffers in(2, std::vector<float>(256, 0.1f));
  TestHost::FloatBuffers out(2, std::vector<float>(256));
  host.ProcessReplacing(in, out, 256);
  EXPECT_TRUE(std::isfinite(out[0][255])) << "processing after reconfiguration";
}

TEST_P(Plugin, MidiAndOtherEventsPassToTheHost) {
  VstMidiEvent midi{};
  midi.type = kVstMidiType;
  midi.byteSize = sizeof midi;
  midi.deltaFrames = 12;
  midi.midiData[0] = char(0x90);
  midi.midiData[1] = 60;
  midi.midiData[2] = 100;
  VstEvent sysex{};
  sysex.type = 6;
  sysex.byteSize = sizeof sysex;
  sysex.deltaFrames = 3;
  sysex.data[0] = 42;
  // VstEvents is variable length: one with three entries, the middle one missing (skipped).
  struct {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[3];
  } list{3, 0, {reinterpret_cast<VstEvent*>(&midi), nullptr, &sysex}};
  EXPECT_EQ(host.Dispatch(effProcessEvents, 0, 0, &list), 1) << "events taken";
  ASSERT_EQ(host.CountCalls(audioMasterProcessEvents), 2) << "one call per non-null event";
  const VstMidiEvent& echoed = reinterpret_cast<const VstMidiEvent&>(host.calls[0].events.at(0));
  EXPECT_EQ(echoed.deltaFrames, 12) << "MIDI frame offset";
  EXPECT_EQ(uint8_t(echoed.midiData[0]), 0x90) << "MIDI status";
  EXPECT_EQ(echoed.midiData[2], 100) << "MIDI velocity";
  EXPECT_EQ(host.calls[1].events.at(0).type, 6) << "other events forwarded unchanged";
  EXPECT_EQ(host.calls[1].events.at(0).data[0], 42) << "forwarded data";
}

INSTANTIATE_TEST_SUITE_P(Voicings, Plugin,
                         ::testing::Values(VoicingCase{"ZORV_Q19_1.6_Lum", "ZORV Q19 v1.6 Lum", VstFourCC('V', 'q', '7', 'L')},
                                           VoicingCase{"ZORV_Q19_1.6_Dar", "ZORV Q19 v1.6 Dar", VstFourCC('V', 'q', '7', 'D')}),
                         [](const ::testing::TestParamInfo<VoicingCase>& info) {
                           return std::string(info.param.effectName).substr(14);
                         });

}  // namespace
