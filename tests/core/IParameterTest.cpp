#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "IParameter.h"

namespace {

std::string Format(const IParameter& p, double v, bool normalised = false) {
  char out[IParameter::kTextSize];
  p.FormatValue(v, normalised, out);
  return out;
}

TEST(IParameter, DriveDeclaration) {
  IParameter drive;
  drive.DefineDouble("Drive", 0.55, 0.1, 1.0, 0.01, "Drive");
  EXPECT_EQ(drive.Kind(), kParamDouble) << "DefineDouble makes a continuous parameter";
  EXPECT_DOUBLE_EQ(drive.mValue, 0.55) << "default value";
  EXPECT_EQ(drive.DisplayPrecision(), 2) << "a step of 0.01 shows two decimals";
  EXPECT_NEAR(drive.Normal(), 0.5, 1e-12) << "0.55 in 0.1..1 is the middle";
  char out[IParameter::kTextSize];
  drive.FormatCurrent(out);
  EXPECT_STREQ(out, "0.55") << "display of the default";
  EXPECT_EQ(Format(drive, 0.0), "0") << "zero shows as 0";
}

TEST(IParameter, PrecisionFollowsTheStep) {
  const struct {
    double step;
    int precision;
  } cases[] = {{1, 0}, {0.5, 1}, {0.1, 1}, {0.25, 2}, {0.01, 2}, {0.001, 3}, {1e-7, 6}, {0.3333333, 6}};
  for (const auto& c : cases) {
    IParameter p;
    p.DefineDouble("P", 0, 0, 10, c.step, "");
    EXPECT_EQ(p.DisplayPrecision(), c.precision) << "step " << c.step;
  }
}

TEST(IParameter, MaximumRaisedToMinimumPlusStep) {
  IParameter p;
  p.DefineDouble("P", 0, 0, 0.5, 1, "");
  EXPECT_DOUBLE_EQ(p.mMaximum, 1.0) << "maximum below minimum + step is raised";
}

TEST(IParameter, BooleanDeclaration) {
  IParameter p;
  p.DefineBool("Gain Lo/Hi", true, "ignored");
  EXPECT_EQ(p.Kind(), kParamBool) << "DefineBool makes a boolean";
  EXPECT_DOUBLE_EQ(p.mValue, 1.0) << "default true is 1";
  EXPECT_STREQ(p.Label(), "") << "booleans have no label";
  EXPECT_EQ(p.ValueTextCount(), 2) << "off and on";
  EXPECT_STREQ(p.ValueText(0), "off") << "text of 0";
  EXPECT_STREQ(p.ValueText(1), "on") << "text of 1";
  p.SetFromNormal(0.49);
  EXPECT_DOUBLE_EQ(p.mValue, 0.0) << "below 0.5 is off";
  p.SetFromNormal(0.5);
  EXPECT_DOUBLE_EQ(p.mValue, 1.0) << "0.5 is on";
  EXPECT_EQ(Format(p, 0.7, true), "off") << "the unrounded 0.7 truncates to 0";
  int v = -1;
  EXPECT_TRUE(p.ValueForText("on", &v)) << "\"on\" is a value text";
  EXPECT_EQ(v, 1) << "value of \"on\"";
  EXPECT_FALSE(p.ValueForText("On", &v)) << "value texts compare exactly";
}

TEST(IParameter, SetFromNormalClampsAndIgnoresNaN) {
  IParameter p;
  p.DefineDouble("Drive", 0.55, 0.1, 1.0, 0.01, "Drive");
  p.SetFromNormal(1.3);
  EXPECT_DOUBLE_EQ(p.mValue, 1.0) << "above 1 gives the maximum";
  p.SetFromNormal(-0.5);
  EXPECT_DOUBLE_EQ(p.mValue, 0.1) << "below 0 gives the minimum";
  p.SetFromNormal(0.5);
  p.SetFromNormal(std::numeric_limits<double>::quiet_NaN());
  EXPECT_DOUBLE_EQ(p.mValue, 0.55) << "NaN leaves the value unchanged";
  p.mValue = 7.0;
  EXPECT_DOUBLE_EQ(p.Normal(), 1.0) << "a value above the range reads as 1";
  p.mValue = -7.0;
  EXPECT_DOUBLE_EQ(p.Normal(), 0.0) << "a value below the range reads as 0";
}

TEST(IParameter, DisplayTexts) {
  IParameter whole;
  whole.DefineDouble("W", 0, -1e15, 1e15, 1, "");
  EXPECT_EQ(Format(whole, 2.9), "2") << "step 1 truncates to a whole number";
  EXPECT_EQ(Format(whole, -2.9), "-2") << "truncation is toward zero";
  EXPECT_EQ(Format(whole, 1e12), "1000000000000") << "beyond an int it still shows the number";
  EXPECT_EQ(Format(whole, std::numeric_limits<double>::infinity()), "inf") << "infinity";
  EXPECT_EQ(Format(whole, -std::numeric_limits<double>::infinity()), "-inf") << "negative infinity";
  EXPECT_EQ(Format(whole, std::numeric_limits<double>::quiet_NaN()), "nan") << "NaN";
  IParameter half;
  half.DefineDouble("H", 0, 0, 10, 0.5, "");
  EXPECT_EQ(Format(half, 2.4), "2.4") << "step 0.5 shows one decimal";
  EXPECT_EQ(Format(half, 0.5, true), "5.0") << "normalised 0.5 of 0..10";
  half.mNegateDisplay = true;
  EXPECT_EQ(Format(half, 3.0), "-3.0") << "negated display";
  IParameter huge;
  huge.DefineDouble("X", 0, 0, 1e300, 0.01, "");
  EXPECT_LT(Format(huge, 1e300).size(), size_t(IParameter::kTextSize)) << "a long number is cut to the field";
}

TEST(IParameter, TextsAreBoundedToTheirFields) {
  IParameter p;
  const std::string longText(100, 'x');
  p.DefineDouble(longText.c_str(), 0, 0, 1, 0.01, longText.c_str());
  p.AddValueText(5, longText.c_str());
  EXPECT_EQ(std::string(p.Name()), std::string(31, 'x')) << "name cut to 31 characters";
  EXPECT_EQ(std::string(p.Label()), std::string(31, 'x')) << "label cut to 31 characters";
  EXPECT_EQ(std::string(p.ValueText(5)), std::string(31, 'x')) << "value text cut to 31 characters";
}

}  // namespace
