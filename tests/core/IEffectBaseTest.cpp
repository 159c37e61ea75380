#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "TestEffect.h"

namespace {

TEST(IEffectBase, ChannelConfigurationsAndPorts) {
  TestEffect effect("1-1 2-2");
  ASSERT_EQ(effect.ChannelConfigCount(), 2) << "\"1-1 2-2\" has two configurations";
  EXPECT_EQ(effect.ChannelConfigAt(1)->inputs, 2) << "second configuration's inputs";
  EXPECT_EQ(effect.InputPortCount(), 2) << "input ports = largest input count";
  EXPECT_EQ(effect.OutputPortCount(), 2) << "output ports = largest output count";
  const struct {
    int in, out;
    bool legal;
  } cases[] = {{1, -1, true}, {2, 2, true}, {1, 2, false}, {-1, -1, true}, {2, 1, false}, {3, -1, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(effect.LegalIO(c.in, c.out), c.legal) << "LegalIO(" << c.in << ", " << c.out << ")";
  }
}

TEST(IEffectBase, NoChannelTextMeansNoPorts) {
  TestEffect effect(nullptr);
  EXPECT_EQ(effect.InputPortCount(), 0) << "no input ports";
  EXPECT_EQ(effect.OutputPortCount(), 0) << "no output ports";
  EXPECT_FALSE(effect.LegalIO(-1, -1)) << "no configuration matches anything";
}

TEST(IEffectBaseDeathTest, MalformedChannelTextStopsNamingExpressionAndFile) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(TestEffect("1-1 2x"),
               "sscanf\\(channelIOStr, \"%d-%d\", &nIn, &nOut\\) == 2.*IEffectBase\\.cpp")
      << "a token without two numbers is a programming error";
}

TEST(IEffectBase, ParameterIndicesOutOfRangeAreNull) {
  TestEffect effect("1-1 2-2", 11);
  EXPECT_NE(effect.ParamAt(10), nullptr) << "parameter 10 exists";
  EXPECT_EQ(effect.ParamAt(11), nullptr) << "parameter 11 does not";
  EXPECT_EQ(effect.ParamAt(-1), nullptr) << "parameter -1 does not";
}

TEST(IEffectBase, BlockSizeChangeZeroFillsScratchAndRepointsUnconnectedPorts) {
  TestEffect effect;
  effect.ChangeBlockSize(64);
  effect.ConnectInputs(0, 1, true);
  InputPort* port = effect.InputPortAt(1);
  std::memset(port->scratch.Data(), 0x7F, port->scratch.Size());
  effect.ChangeBlockSize(64);
  EXPECT_EQ(port->scratch.Data()[0], 0x7F) << "the same block size changes nothing";
  effect.ChangeBlockSize(32768);
  EXPECT_EQ(effect.BlockSize(), 32768) << "new block size stored";
  EXPECT_EQ(port->scratch.Size(), 32768 * 8) << "scratch holds block-size doubles";
  ASSERT_EQ(*port->slot, reinterpret_cast<double*>(port->scratch.Data())) << "unconnected slot follows the scratch";
  for (int k = 0; k < 32768; ++k) ASSERT_EQ((*port->slot)[k], 0.0) << "sample " << k << " after the resize";
  for (int refused : {-5, 0, INT32_MAX}) {
    effect.ChangeBlockSize(refused);
    EXPECT_EQ(effect.BlockSize(), 32768) << "block size " << refused << " is refused";
  }
}

TEST(IEffectBase, DefaultProcessBlockCopiesAndZeroFills) {
  TestEffect effect("1-2");
  double in[4] = {1, 2, 3, 4};
  double out0[4] = {9, 9, 9, 9};
  double out1[4] = {9, 9, 9, 9};
  double* inputs[1] = {in};
  double* outputs[2] = {out0, out1};
  effect.ProcessBlock(inputs, outputs, 4);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(out0[k], in[k]) << "output 0 copies input 0 at " << k;
    EXPECT_EQ(out1[k], 0.0) << "output 1 has no input and is zero at " << k;
  }
}

TEST(IEffectBase, ParameterFromEditorAutomatesOnceThenAnnounces) {
  TestEffect effect;
  effect.ParamAt(1)->DefineDouble("Drive", 0.55, 0.1, 1.0, 0.01, "Drive");
  effect.SetParameterFromGUI(1, 0.25);
  ASSERT_EQ(effect.automated.size(), 1u) << "exactly one automation message";
  EXPECT_EQ(effect.automated[0].index, 1) << "automation index";
  EXPECT_EQ(effect.automated[0].value, 0.25) << "automation carries the normalised value given";
  EXPECT_EQ(effect.changed, std::vector<int>{1}) << "OnParameterChanged once";
  EXPECT_DOUBLE_EQ(effect.ParamAt(1)->mValue, 0.1 + 0.9 * 0.25) << "value stored from the normalised one";
}

TEST(IEffectBase, VersionNumber) {
  TestEffect effect;
  EXPECT_EQ(effect.VersionNumber(true), 10203) << "decimal form of 0x00010203";
  EXPECT_EQ(effect.VersionNumber(false), 0x00010203) << "packed form";
}

TEST(IEffectBase, ConnectingPortsIsCappedAtThePortCount) {
  TestEffect effect("1-1 2-2");
  effect.ConnectOutputs(0, 100, true);
  EXPECT_TRUE(effect.OutputPortAt(1)->connected) << "ports up to the count are connected";
  effect.ConnectOutputs(1, 100, false);
  EXPECT_TRUE(effect.OutputPortAt(0)->connected) << "ports before start are untouched";
  EXPECT_FALSE(effect.OutputPortAt(1)->connected) << "port 1 unconnected";
}

}  // namespace
