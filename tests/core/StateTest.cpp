#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "TestEffect.h"

namespace {

// Eleven parameters: "Drive" at 1 (0.1..1), a switch at 6, the rest plain 0..1.
class StateTest : public ::testing::Test {
protected:
  StateTest() : effect("1-1 2-2", 11) {
    for (int i = 0; i < 11; ++i) effect.ParamAt(i)->DefineDouble("P", 0.5, 0.0, 1.0, 0.01, "");
    effect.ParamAt(1)->DefineDouble("Drive", 0.55, 0.1, 1.0, 0.01, "Drive");
    effect.ParamAt(6)->DefineBool("Contour", false, "");
  }

  static void FillState(IStateChunk& chunk, const std::vector<double>& values) {
    for (double v : values) chunk.PutDouble(v);
  }

  TestEffect effect;
};

TEST_F(StateTest, ChunkLayoutIsHeaderThenLittleEndianDoubles) {
  IStateChunk chunk;
  effect.WriteChunkHeader(chunk);
  ASSERT_TRUE(effect.WriteState(chunk)) << "state written";
  ASSERT_EQ(chunk.Size(), 96) << "8 header bytes and 11 doubles";
  const uint8_t header[8] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  EXPECT_EQ(std::memcmp(chunk.Data(), header, 8), 0) << "magic and version bytes";
  const uint8_t drive[8] = {0x9a, 0x99, 0x99, 0x99, 0x99, 0x99, 0xe1, 0x3f};  // 0.55
  EXPECT_EQ(std::memcmp(chunk.Data() + 16, drive, 8), 0) << "parameter 1 as a little-endian double";
}

TEST_F(StateTest, RoundTripRestoresAndAnnouncesEachOnce) {
  IStateChunk chunk;
  effect.WriteChunkHeader(chunk);
  effect.WriteState(chunk);
  for (int i = 0; i < 11; ++i) effect.ParamAt(i)->mValue = 0.9;
  int position = 0;
  EXPECT_EQ(effect.ReadChunkHeader(chunk, &position), 0x00010000) << "header version";
  EXPECT_EQ(position, 8) << "position after the header";
  effect.changed.clear();
  EXPECT_EQ(effect.ReadState(chunk, position), 96) << "position after the last value";
  EXPECT_DOUBLE_EQ(effect.ParamAt(1)->mValue, 0.55) << "Drive restored";
  EXPECT_DOUBLE_EQ(effect.ParamAt(6)->mValue, 0.0) << "Contour restored";
  EXPECT_EQ(effect.changed, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10})) << "every parameter announced once";
}

TEST_F(StateTest, ValuesAreClampedNotRounded) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    int index;
    double stored, expected;
  } cases[] = {{1, 2.0, 1.0}, {1, 0.0, 0.1}, {6, 0.7, 0.7}, {1, nan, 0.1}, {2, nan, 0.0}, {2, -3.0, 0.0}};
  for (const auto& c : cases) {
    std::vector<double> values(11, 0.5);
    values[size_t(c.index)] = c.stored;
    values[1] = c.index == 1 ? c.stored : 0.5;
    IStateChunk state;
    FillState(state, values);
    EXPECT_EQ(effect.UnserializeParams(state, 0), 88) << "a full state is read";
    EXPECT_DOUBLE_EQ(effect.ParamAt(c.index)->mValue, c.expected) << "parameter " << c.index << " from " << c.stored;
  }
}

TEST_F(StateTest, ShortStateSetsWhatItHasAndReportsRunningShort) {
  for (int i = 0; i < 11; ++i) effect.ParamAt(i)->mValue = 0.75;
  IStateChunk chunk;
  effect.WriteChunkHeader(chunk);
  for (int i = 0; i < 5; ++i) chunk.PutDouble(0.25);
  int position = 0;
  effect.ReadChunkHeader(chunk, &position);
  effect.changed.clear();
  EXPECT_EQ(effect.ReadState(chunk, position), -1) << "the state ran short";
  for (int i = 0; i < 5; ++i) EXPECT_DOUBLE_EQ(effect.ParamAt(i)->mValue, 0.25) << "parameter " << i << " read";
  EXPECT_DOUBLE_EQ(effect.ParamAt(5)->mValue, 0.0) << "the first missing value is 0 clamped";
  for (int i = 6; i < 11; ++i) EXPECT_DOUBLE_EQ(effect.ParamAt(i)->mValue, 0.75) << "parameter " << i << " kept";
  EXPECT_EQ(effect.changed.size(), 11u) << "all parameters announced even when short";
}

TEST_F(StateTest, ChunkHeaderEdgeCases) {
  IStateChunk shortChunk;
  shortChunk.PutInt32(IEffectBase::kChunkMagic);
  shortChunk.PutBytes("\0\0", 2);
  int position = 0;
  EXPECT_EQ(effect.ReadChunkHeader(shortChunk, &position), 0) << "magic without a full version";
  EXPECT_EQ(position, -1) << "6 bytes with the magic run short";
  IStateChunk bare;
  FillState(bare, {0.5});
  position = 0;
  EXPECT_EQ(effect.ReadChunkHeader(bare, &position), 0) << "no magic: bare state";
  EXPECT_EQ(position, 0) << "a bare state is read from 0";
}

TEST(Presets, UserPresetNamesCountExistingOnes) {
  TestEffect effect("1-1 2-2", 3, 4);
  effect.SetPresetName(1, "user preset 1");
  effect.SetPresetName(2, "my user preset 7");
  ASSERT_TRUE(effect.LoadPreset(3)) << "an unfilled slot loads";
  EXPECT_STREQ(effect.PresetName(3), "user preset 3") << "two names contain \"user preset\"";
  EXPECT_TRUE(effect.PresetFilled(3)) << "the slot is filled now";
  EXPECT_EQ(effect.CurrentPreset(), 3) << "and current";
}

TEST(Presets, DefaultsNamesAndLoading) {
  TestEffect effect("1-1 2-2", 3, 1);
  EXPECT_STREQ(effect.PresetName(0), "- 1 -") << "initial slot name";
  EXPECT_STREQ(effect.PresetName(1), "") << "a missing slot has the empty name";
  effect.StoreDefaultPresets("www.example.com", 1);
  EXPECT_STREQ(effect.PresetName(0), "www.example.com") << "default preset name";
  effect.EnsureOnePreset();
  EXPECT_EQ(effect.PresetCount(), 1) << "EnsureOnePreset keeps one existing slot";
  effect.ParamAt(0)->mValue = 0.9;
  ASSERT_TRUE(effect.LoadPreset(0)) << "a filled slot loads";
  EXPECT_DOUBLE_EQ(effect.ParamAt(0)->mValue, 0.0) << "its stored value comes back";
  EXPECT_FALSE(effect.LoadPreset(1)) << "index out of range";
  EXPECT_FALSE(effect.LoadPreset(-1)) << "negative index";
  effect.ParamAt(0)->mValue = 0.4;
  effect.UpdateCurrentPreset("Renamed");
  EXPECT_STREQ(effect.PresetName(0), "Renamed") << "update takes the name";
  effect.ParamAt(0)->mValue = 0.8;
  effect.LoadPreset(0);
  EXPECT_DOUBLE_EQ(effect.ParamAt(0)->mValue, 0.4) << "update stored the values";
}

TEST(Presets, EnsureOnePresetCreatesDefault) {
  TestEffect effect("1-1 2-2", 2, 0);
  effect.ParamAt(0)->mValue = 0.3;
  effect.EnsureOnePreset();
  ASSERT_EQ(effect.PresetCount(), 1) << "one slot created";
  EXPECT_STREQ(effect.PresetName(0), "Default") << "named Default";
  EXPECT_TRUE(effect.PresetFilled(0)) << "filled with the current values";
}

}  // namespace
