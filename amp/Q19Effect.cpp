#include "Q19Effect.h"

namespace {
constexpr int32_t kVersion = 0x00010000;  // 1.0.0
}  // namespace

Q19Effect::Q19Effect(audioMasterCallback host)
    : IEffectVST(host, kNumParams, "1-1 2-2", 1, BinaryVoicing().effectName, "", "ZORV Plugins", kVersion,
                 BinaryVoicing().uniqueID, BinaryVoicing().uniqueID, 0, false, false, false),
      mVoicing(BinaryVoicing()) {
  DeclareParameters();
  StoreDefaultPresets(kWebAddress, 1);
}

Q19Effect::~Q19Effect() = default;

void Q19Effect::DeclareParameters() {
  // No control uses decibels: "Input" and "Output" are linear factors, the rest are
  // potentiometer positions.
  ParamAt(kInput)->DefineDouble("Input", 0.5, 0.0001, 1.0, 0.01, "Input");
  ParamAt(kDrive)->DefineDouble("Drive", 0.55, 0.1, 1.0, 0.01, "Drive");
  ParamAt(kBass)->DefineDouble("Bass", 0.5, 0.0, 1.0, 0.01, "Bass");
  ParamAt(kLoMid)->DefineDouble("Lo Mid", 0.5, 0.0, 1.0, 0.01, "Lo Mid");
  ParamAt(kHiMid)->DefineDouble("Hi Mid", 0.5, 0.0, 1.0, 0.01, "Hi Mid");
  ParamAt(kTreble)->DefineDouble("Treble", 0.5, 0.0, 1.0, 0.01, "Treble");
  ParamAt(kContour)->DefineBool("Contour", false, "");
  ParamAt(kGainHi)->DefineBool("Gain Lo/Hi", true, "");
  ParamAt(kOutput)->DefineDouble("Output", 0.5, 0.0, 1.0, 0.01, "Output");
  ParamAt(kTrafo)->DefineBool("Trafo", false, "");
  ParamAt(kStereo)->DefineBool("Stereo", false, "");
}
