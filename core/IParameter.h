#pragma once
#include <cstdint>

#include "HeapBuffer.h"

enum ParamKind : int32_t {
  kParamUndeclared = 0,
  kParamBool = 1,
  kParamDouble = 4,
};

// One automatable parameter. The plug-in reads the plain value; the host sees it
// normalised to 0..1 through the shape curve.
class IParameter {
public:
  static constexpr int kTextSize = 32;  // name, label and value-text fields, terminator included

  IParameter() : mValueTexts(HeapBuffer::kPage) { mName[0] = mLabel[0] = 0; }

  void DefineDouble(const char* name, double defaultValue, double minimum, double maximum, double step,
                    const char* label);
  // The third argument is accepted for compatibility and not stored.
  void DefineBool(const char* name, bool defaultValue, const char* text);

  // Clamps n into 0..1 first (hosts do send values outside it); NaN leaves the value as it is.
  void SetFromNormal(double n);
  double Normal() const { return NormalOf(mValue); }
  double NormalOf(double v) const;

  // Writes the display text of v (plain, or normalised when the flag is set) into out,
  // which holds kTextSize bytes.
  void FormatValue(double v, bool normalised, char* out) const;
  void FormatCurrent(char* out) const { FormatValue(mValue, false, out); }

  void AddValueText(int value, const char* text);
  const char* ValueText(int value) const;
  int ValueTextCount() const;
  bool ValueForText(const char* text, int* value) const;

  const char* Name() const { return mName; }
  const char* Label() const { return mLabel; }
  ParamKind Kind() const { return mKind; }
  int DisplayPrecision() const { return mDisplayPrecision; }

  // Read and written directly by the parameter's owner (state, amp model).
  double mValue = 0.0;
  double mMinimum = 0.0;
  double mMaximum = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  bool mNegateDisplay = false;

private:
  ParamKind mKind = kParamUndeclared;
  int32_t mDisplayPrecision = 0;
  char mName[kTextSize];
  char mLabel[kTextSize];
  HeapBuffer mValueTexts;  // entries of ValueTextEntry, in the order added
};
