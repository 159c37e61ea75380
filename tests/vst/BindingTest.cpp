// The binding driven through its effect record, with a plug-in class of known behaviour.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "ProbeEffect.h"
#include "TestHost.h"

namespace {

class Binding : public ::testing::Test {
protected:
  static IEffectVST* CreateProbe(audioMasterCallback h) { return new ProbeEffect(h, sChannelIO, sPresets); }

  void Make(const char* channelIO = "1-1 2-2", int nPresets = 1) {
    sChannelIO = channelIO;
    sPresets = nPresets;
    AEffect* effect = VSTCreateInstance(CreateProbe, TestHost::Callback);
    ASSERT_NE(effect, nullptr) << "the probe plug-in is created";
    host.Adopt(effect);
    probe = static_cast<ProbeEffect*>(effect->object);
  }
  void SetUp() override { Make(); }

  static const char* sChannelIO;
  static int sPresets;
  TestHost host;
  ProbeEffect* probe = nullptr;
};
const char* Binding::sChannelIO = "1-1 2-2";
int Binding::sPresets = 1;

TEST_F(Binding, AddingAccumulatesReplacingOverwritesDoubleWritesHostBuffers) {
  TestHost::FloatBuffers in(2, std::vector<float>(16, 0.0f));
  TestHost::FloatBuffers out(2, std::vector<float>(16, 1.0f));
  host.ProcessAdding(in, out, 16);
  for (int c = 0; c < 2; ++c)
    for (int k = 0; k < 16; ++k) ASSERT_EQ(out[c][k], 1.25f) << "adding: channel " << c << " frame " << k;
  host.ProcessReplacing(in, out, 16);
  for (int c = 0; c < 2; ++c)
    for (int k = 0; k < 16; ++k) ASSERT_EQ(out[c][k], 0.25f) << "replacing: channel " << c << " frame " << k;
  TestHost::DoubleBuffers din(2, std::vector<double>(16, 0.5));
  TestHost::DoubleBuffers dout(2, std::vector<double>(16, 9.0));
  host.ProcessDouble(din, dout, 16);
  const ProbeEffect::Block& block = probe->blocks.back();
  EXPECT_EQ(block.inputs[1], din[1].data()) << "double inputs are the host's buffers";
  EXPECT_EQ(block.outputs[0], dout[0].data()) << "double outputs are the host's buffers";
  EXPECT_EQ(dout[1][15], 1.25) << "double result written in place";
}

TEST_F(Binding, FloatInputIsWidenedExactly) {
  TestHost::FloatBuffers in{{0.1f}, {-0.3f}};
  TestHost::FloatBuffers out(2, std::vector<float>(1));
  host.ProcessReplacing(in, out, 1);
  EXPECT_EQ(probe->blocks.back().firstInputs[0], double(0.1f)) << "input 0 widened";
  EXPECT_EQ(probe->blocks.back().firstInputs[1], double(-0.3f)) << "input 1 widened";
  EXPECT_EQ(out[0][0], float(0.25 + 2.0 * double(0.1f))) << "result narrowed to float";
}

TEST_F(Binding, OneChannelInputArrangementLeavesPortOneOnItsScratch) {
  VstSpeakerArrangement mono{};
  mono.numChannels = 1;
  EXPECT_EQ(host.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&mono), nullptr), 1)
      << "arrangement accepted";
  EXPECT_TRUE(probe->InputPortAt(0)->connected) << "input port 0 stays connected";
  EXPECT_FALSE(probe->InputPortAt(1)->connected) << "input port 1 is unconnected";
  TestHost::FloatBuffers in{std::vector<float>(8, 0.5f), std::vector<float>(8, std::nanf(""))};
  TestHost::FloatBuffers out(2, std::vector<float>(8));
  host.ProcessReplacing(in, out, 8);
  const ProbeEffect::Block& block = probe->blocks.back();
  EXPECT_EQ(block.firstInputs[0], 0.5) << "input 0 is the host's first buffer";
  EXPECT_EQ(block.inputs[1], reinterpret_cast<double*>(probe->InputPortAt(1)->scratch.Data()))
      << "input 1 reads its own scratch buffer";
  EXPECT_EQ(block.firstInputs[1], 0.0) << "the host's second buffer is not read";
  VstSpeakerArrangement* reported[2] = {nullptr, nullptr};
  host.Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&reported[0]), &reported[1]);
  ASSERT_NE(reported[0], nullptr) << "input arrangement reported";
  EXPECT_EQ(reported[0]->numChannels, 2) << "the stored arrangement is not changed";
}

TEST_F(Binding, UnconnectedOutputConsumesNoHostBuffer) {
  VstSpeakerArrangement mono{};
  mono.numChannels = 1;
  host.Dispatch(effSetSpeakerArrangement, 0, 0, &mono);
  TestHost::FloatBuffers in(2, std::vector<float>(4, 0.0f));
  TestHost::FloatBuffers out(2, std::vector<float>(4, 7.0f));
  host.ProcessReplacing(in, out, 4);
  EXPECT_EQ(out[0][0], 0.25f) << "output port 0 writes the first host buffer";
  EXPECT_EQ(out[1][0], 7.0f) << "the unconnected output port writes no host buffer";
}

TEST_F(Binding, FrameCountsZeroNegativeAndBeyondTheBlockSize) {
  TestHost::FloatBuffers in(2, std::vector<float>(200, 0.5f));
  TestHost::FloatBuffers out(2, std::vector<float>(200, 7.0f));
  host.ProcessReplacing(in, out, 0);
  ASSERT_EQ(probe->blocks.size(), 1u) << "frames 0 still runs one block";
  EXPECT_EQ(probe->blocks[0].frames, 0) << "with frames 0";
  EXPECT_EQ(out[0][0], 7.0f) << "frames 0 writes nothing";
  host.ProcessReplacing(in, out, -5);
  EXPECT_EQ(probe->blocks.size(), 1u) << "a negative frame count runs nothing";

  host.Dispatch(effSetBlockSize, 0, 64);
  probe->blocks.clear();
  for (int k = 0; k < 200; ++k) in[0][k] = float(k);
  host.ProcessReplacing(in, out, 200);
  ASSERT_EQ(probe->blocks.size(), 4u) << "200 frames at block size 64 run in four slices";
  EXPECT_EQ(probe->blocks[3].frames, 8) << "the last slice";
  for (int k = 0; k < 200; ++k) ASSERT_EQ(out[1][k], float(0.25 + 2.0 * k)) << "frame " << k << " of the sliced block";
}

TEST_F(Binding, MissingBuffersNeverCrash) {
  TestHost::FloatBuffers out(2, std::vector<float>(32, 7.0f));
  float* outputs[2] = {out[0].data(), nullptr};
  probe->Effect()->processReplacing(probe->Effect(), nullptr, outputs, 32);
  EXPECT_EQ(probe->blocks.back().firstInputs[0], 0.0) << "a missing input array reads silence";
  EXPECT_EQ(out[0][31], 0.25f) << "the connected output with a buffer is written";
  probe->Effect()->processReplacing(probe->Effect(), nullptr, nullptr, 32);
  probe->Effect()->process(probe->Effect(), nullptr, nullptr, 32);
  probe->Effect()->processDoubleReplacing(probe->Effect(), nullptr, nullptr, 32);
  double* dnull[2] = {nullptr, nullptr};
  probe->Effect()->processDoubleReplacing(probe->Effect(), dnull, dnull, 32);
  EXPECT_EQ(probe->blocks.size(), 5u) << "every call ran its block on scratch buffers";
}

TEST_F(Binding, ParameterCallbacks) {
  EXPECT_EQ(host.GetParameter(2), 0.0f) << "index out of range reads 0";
  host.SetParameter(2, 0.7f);  // must do nothing
  host.SetParameter(1, 0.3f);
  EXPECT_EQ(host.GetParameter(1), 0.0f) << "a switch set to 0.3 stores 0";
  host.SetParameter(1, 0.5f);
  EXPECT_EQ(host.GetParameter(1), 1.0f) << "a switch set to 0.5 stores 1";
  EXPECT_EQ(probe->changed, (std::vector<int>{1, 1})) << "each valid set announces its index";
}

TEST_F(Binding, SetParameterWaitsForTheBlockInProgress) {
  probe->blockDelay = std::chrono::milliseconds(100);
  TestHost::FloatBuffers in(2, std::vector<float>(4));
  TestHost::FloatBuffers out(2, std::vector<float>(4));
  std::thread audio([&] { host.ProcessReplacing(in, out, 4); });
  while (!probe->inBlock) std::this_thread::yield();
  host.SetParameter(0, 0.9f);
  audio.join();
  EXPECT_FALSE(probe->changedDuringBlock) << "a parameter change never overlaps a block";
}

TEST_F(Binding, TransportQueries) {
  EXPECT_EQ(probe->HostTempo(), 0.0) << "no time info: tempo 0";
  host.provideTimeInfo = true;
  host.timeInfo.tempo = 120.0;
  host.timeInfo.samplePos = 4410.7;
  host.timeInfo.timeSigNumerator = 7;
  host.timeInfo.timeSigDenominator = 8;
  host.timeInfo.flags = 0;
  EXPECT_EQ(probe->HostTempo(), 0.0) << "tempo without kVstTempoValid is 0";
  host.timeInfo.flags = kVstTempoValid | kVstTimeSigValid;
  EXPECT_EQ(probe->HostTempo(), 120.0) << "valid tempo";
  EXPECT_EQ(host.LastCall(audioMasterGetTime)->value, kVstTempoValid) << "tempo asks with kVstTempoValid";
  EXPECT_EQ(probe->HostSamplePosition(), 4410) << "sample position truncated";
  int num = -1, den = -1;
  probe->HostTimeSignature(&num, &den);
  EXPECT_EQ(num, 7) << "numerator";
  EXPECT_EQ(den, 8) << "denominator";
  host.timeInfo.samplePos = -3;
  EXPECT_EQ(probe->HostSamplePosition(), 0) << "negative position reads 0";

  ProbeEffect orphan(nullptr);
  EXPECT_EQ(orphan.HostTempo(), 0.0) << "no host callback: tempo 0";
  EXPECT_EQ(orphan.HostSamplePosition(), 0) << "no host callback: position 0";
}

TEST_F(Binding, NotificationsReachTheHost) {
  probe->HostBeginEdit(1);
  probe->HostAutomate(1, 0.75);
  probe->HostEndEdit(1);
  ASSERT_EQ(host.calls.size(), 3u) << "three notifications";
  EXPECT_EQ(host.calls[0].opcode, audioMasterBeginEdit) << "begin edit";
  EXPECT_EQ(host.calls[1].opcode, audioMasterAutomate) << "automate";
  EXPECT_EQ(host.calls[1].opt, 0.75f) << "automate carries the value";
  EXPECT_EQ(host.calls[2].opcode, audioMasterEndEdit) << "end edit";
  EXPECT_EQ(host.calls[2].index, 1) << "end edit index";
  probe->ChangeLatency(64);
  EXPECT_EQ(probe->Effect()->initialDelay, 64) << "latency reaches the record";
  EXPECT_EQ(probe->Latency(), 64) << "and the base";
}

TEST_F(Binding, EmitMidiBuildsOneEvent) {
  EXPECT_TRUE(probe->EmitMidi({12, 0x90, 60, 100})) << "the host answered 1";
  const HostCall* call = host.LastCall(audioMasterProcessEvents);
  ASSERT_NE(call, nullptr) << "events sent";
  ASSERT_EQ(call->events.size(), 1u) << "one event";
  const VstMidiEvent& midi = reinterpret_cast<const VstMidiEvent&>(call->events[0]);
  EXPECT_EQ(midi.type, kVstMidiType) << "MIDI type";
  EXPECT_EQ(midi.byteSize, 32) << "byte size";
  EXPECT_EQ(midi.deltaFrames, 12) << "frame offset";
  EXPECT_EQ(uint8_t(midi.midiData[0]), 0x90) << "status";
  EXPECT_EQ(midi.midiData[1], 0x3C) << "note";
  EXPECT_EQ(midi.midiData[2], 0x64) << "velocity";
  EXPECT_EQ(midi.midiData[3], 0) << "fourth byte";

  HeapBuffer list;
  const MidiMessage messages[2] = {{0, 0x80, 60, 0}, {1, 0x80, 61, 0}};
  std::memcpy(list.SetByteSize(sizeof messages, false), messages, sizeof messages);
  host.processEventsAnswer = 0;
  host.ClearCalls();
  EXPECT_FALSE(probe->EmitMidiList(list)) << "a refused event makes the list fail";
  EXPECT_EQ(host.CountCalls(audioMasterProcessEvents), 2) << "all entries are sent regardless";
}

TEST_F(Binding, HostIdentificationAskedOnce) {
  host.productString = "";
  EXPECT_EQ(probe->QueryHostKind(), 0) << "an empty product string is not recognised";
  EXPECT_EQ(host.CountCalls(audioMasterGetVendorVersion), 0) << "no version asked without a product";
  probe->QueryHostKind();
  EXPECT_EQ(host.CountCalls(audioMasterGetProductString), 1) << "the host is asked only once";

  const struct {
    VstIntPtr vendor;
    int32_t packed;
  } versions[] = {{50201, 0x00050201}, {5021, 0x00003215}, {0, 0}};
  for (const auto& v : versions) {
    Make();
    host.productString = "Reaper";
    host.vendorVersion = v.vendor;
    EXPECT_EQ(probe->QueryHostKind(), 1) << "Reaper";
    EXPECT_EQ(probe->HostVersion(), v.packed) << "vendor version " << v.vendor;
  }
}

TEST_F(Binding, StereoRestrictionOnlyForItsHosts) {
  const struct {
    const char* product;
    bool restricted;
  } cases[] = {{"Forte", true}, {"Chainer", false}, {"Audition", true}, {"Orion", true}, {"SAWStudio", true}};
  for (const auto& c : cases) {
    Make("1-1 4-4");
    host.productString = c.product;
    host.Dispatch(effOpen);
    EXPECT_EQ(probe->InputPortAt(3)->connected, !c.restricted) << c.product << ": input port 3";
    EXPECT_TRUE(probe->InputPortAt(1)->connected) << c.product << ": input port 1 stays";
    EXPECT_EQ(probe->Effect()->numInputs, 4) << c.product << ": numInputs is the port count";
  }
}

TEST_F(Binding, ZeroPresetsStillGiveOneDefaultProgram) {
  Make("1-1 2-2", 0);
  EXPECT_EQ(probe->Effect()->numPrograms, 1) << "numPrograms at least 1";
  EXPECT_EQ(host.TextOf(effGetProgramName), "Default") << "the created preset";
}

TEST_F(Binding, BadChunkAndEventRequestsChangeNothing) {
  host.SetParameter(0, 0.8f);
  uint8_t bytes[8] = {0};
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, -4, bytes), 0) << "negative byte count";
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, 8, nullptr), 0) << "null data";
  EXPECT_FLOAT_EQ(host.GetParameter(0), 0.8f) << "the value is untouched";
  VstEvents events{};
  events.numEvents = -3;
  EXPECT_EQ(host.Dispatch(effProcessEvents, 0, 0, &events), 1) << "negative event count answers 1";
  EXPECT_EQ(host.CountCalls(audioMasterProcessEvents), 0) << "and sends nothing";
  EXPECT_EQ(host.Dispatch(effProcessEvents, 0, 0, nullptr), 0) << "no event list";
  host.Dispatch(effSetBlockSize, 0, -1);
  host.Dispatch(effSetBlockSize, 0, 0);
  host.Dispatch(effSetBlockSize, 0, VstIntPtr(INT32_MAX));
  EXPECT_EQ(probe->BlockSize(), 1024) << "impossible block sizes are refused";
  TestHost::FloatBuffers in(2, std::vector<float>(8, 0.0f));
  TestHost::FloatBuffers out(2, std::vector<float>(8, 7.0f));
  host.ProcessReplacing(in, out, 8);
  EXPECT_EQ(out[0][7], 0.25f) << "blocks still run after the refused sizes";
}

TEST_F(Binding, LongProgramNamesAreCutToTheHostField) {
  const std::string name(100, 'n');
  host.Dispatch(effSetProgramName, 0, 0, const_cast<char*>(name.c_str()));
  EXPECT_EQ(host.TextOf(effGetProgramName), std::string(23, 'n')) << "program names fit 24 bytes";
  EXPECT_EQ(host.TextOf(effGetProgramNameIndexed, 0), std::string(23, 'n')) << "indexed names too";
}

}  // namespace
