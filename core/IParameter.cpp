#include "IParameter.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "TextCopy.h"

namespace {
struct ValueTextEntry {
  int32_t value;
  char text[IParameter::kTextSize];
};
static_assert(sizeof(ValueTextEntry) == 36, "a value-text entry is an int and a 32-byte text");
}  // namespace

void IParameter::DefineDouble(const char* name, double defaultValue, double minimum, double maximum,
                              double step, const char* label) {
  if (mKind == kParamUndeclared) mKind = kParamDouble;
  CopyText(mName, name, kTextSize);
  CopyText(mLabel, label, kTextSize);
  mValue = defaultValue;
  mMinimum = minimum;
  mMaximum = maximum > minimum + step ? maximum : minimum + step;
  mStep = step;
  // One decimal more for every factor of ten the step needs to become whole, at most 6.
  mDisplayPrecision = 0;
  double s = step;
  while (s != std::floor(s)) {
    if (++mDisplayPrecision >= 6) break;
    s *= 10.0;
  }
}

void IParameter::DefineBool(const char* name, bool defaultValue, const char* /*text*/) {
  if (mKind == kParamUndeclared) mKind = kParamBool;
  DefineDouble(name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, "");
  AddValueText(0, "off");
  AddValueText(1, "on");
}

void IParameter::SetFromNormal(double n) {
  if (std::isnan(n)) return;
  n = n < 0.0 ? 0.0 : (n > 1.0 ? 1.0 : n);
  double v = mMinimum + (mMaximum - mMinimum) * std::pow(n, mShape);
  if (mKind != kParamDouble) v = mStep * std::floor(v / mStep + 0.5);
  if (v > mMaximum) v = mMaximum;
  mValue = v;
}

double IParameter::NormalOf(double v) const {
  if (v < mMinimum) v = mMinimum;
  else if (v > mMaximum) v = mMaximum;
  return std::pow((v - mMinimum) / (mMaximum - mMinimum), 1.0 / mShape);
}

void IParameter::FormatValue(double v, bool normalised, char* out) const {
  if (!out) return;
  if (normalised) v = mMinimum + (mMaximum - mMinimum) * std::pow(v, mShape);
  // Only a value an int can hold has a value text, and only such a value may be converted.
  const bool fitsInt = std::isfinite(v) && v > -2147483649.0 && v < 2147483648.0;
  if (fitsInt) {
    const char* text = ValueText(int(v));
    if (text[0]) {
      CopyText(out, text, kTextSize);
      return;
    }
  }
  if (mNegateDisplay) v = -v;
  if (std::isnan(v)) {
    CopyText(out, "nan", kTextSize);
  } else if (std::isinf(v)) {
    CopyText(out, v > 0 ? "inf" : "-inf", kTextSize);
  } else if (v == 0.0) {
    CopyText(out, "0", kTextSize);
  } else if (mDisplayPrecision == 0) {
    if (fitsInt) std::snprintf(out, kTextSize, "%d", int(v));
    else std::snprintf(out, kTextSize, "%.0f", std::trunc(v));
  } else {
    char format[16];
    std::snprintf(format, sizeof format, "%%.%df", mDisplayPrecision);
    std::snprintf(out, kTextSize, format, v);
  }
}

void IParameter::AddValueText(int value, const char* text) {
  const int32_t oldSize = mValueTexts.Size();
  if (!mValueTexts.SetByteSize(oldSize + int32_t(sizeof(ValueTextEntry)), false)) return;
  ValueTextEntry* entry = reinterpret_cast<ValueTextEntry*>(mValueTexts.Data() + oldSize);
  entry->value = value;
  CopyText(entry->text, text, kTextSize);
}

int IParameter::ValueTextCount() const { return int(mValueTexts.Size() / int32_t(sizeof(ValueTextEntry))); }

const char* IParameter::ValueText(int value) const {
  const ValueTextEntry* entries = reinterpret_cast<const ValueTextEntry*>(mValueTexts.Data());
  for (int i = 0; i < ValueTextCount(); ++i) {
    if (entries[i].value == value) return entries[i].text;
  }
  return "";
}

bool IParameter::ValueForText(const char* text, int* value) const {
  if (!text) return false;
  const ValueTextEntry* entries = reinterpret_cast<const ValueTextEntry*>(mValueTexts.Data());
  for (int i = 0; i < ValueTextCount(); ++i) {
    if (std::strcmp(entries[i].text, text) == 0) {
      if (value) *value = entries[i].value;
      return true;
    }
  }
  return false;
}
