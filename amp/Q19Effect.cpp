#include "Q19Effect.h"

#include <cmath>
#include <new>

#include "IParameter.h"

namespace {
constexpr int32_t kVersion = 0x00010000;  // 1.0.0
constexpr double kWarmUpLevel = 1e-6;     // construction warm-up input

// Rates a host may sensibly ask for; anything else (0, negative, NaN) is ignored rather than
// letting the amps divide by it.
constexpr double kMinRate = 1.0;
constexpr double kMaxRate = 10000000.0;
}  // namespace

Q19Effect::Q19Effect(audioMasterCallback host)
    : IEffectVST(host, kNumParams, "1-1 2-2", 1, BinaryVoicing().effectName, "", "ZORV Plugins", kVersion,
                 BinaryVoicing().uniqueID, BinaryVoicing().uniqueID, 0, false, false, false),
      mVoicing(BinaryVoicing()) {
  DeclareParameters();
  StoreDefaultPresets(kWebAddress, 1);

  // Copies of the defaults: floats for the knobs, value != 0 for the switches.
  mInput = float(ParamAt(kInput)->mValue);
  mDrive = float(ParamAt(kDrive)->mValue);
  mBass = float(ParamAt(kBass)->mValue);
  mLoMid = float(ParamAt(kLoMid)->mValue);
  mHiMid = float(ParamAt(kHiMid)->mValue);
  mTreble = float(ParamAt(kTreble)->mValue);
  mContour = ParamAt(kContour)->mValue != 0;
  mGainHi = ParamAt(kGainHi)->mValue != 0;
  mOutput = float(ParamAt(kOutput)->mValue);
  mTrafo = ParamAt(kTrafo)->mValue != 0;
  mStereo = ParamAt(kStereo)->mValue != 0;
  mSampleRate = float(SampleRate());

  mLeft = MakeAmp();
  mRight = MakeAmp();
}

Q19Effect::~Q19Effect() {
  mLeft.reset();
  mRight.reset();
}

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

std::unique_ptr<ZORV::ZORVAmp> Q19Effect::MakeAmp() const {
  const ZORV::TriodeTables tables = {mVoicing.tableA, mVoicing.tableB, mVoicing.tableC, mVoicing.tableD};
  std::unique_ptr<ZORV::ZORVAmp> amp(new (std::nothrow) ZORV::ZORVAmp(tables));
  if (!amp)
    return amp;
  amp->Setup(mSampleRate);
  amp->SetControls(mBass, mDrive, mLoMid, mHiMid, mTreble);
  // drive and treble keep the tapered values SetControls just stored
  amp->input = mInput;
  amp->bass = mBass;
  amp->loMid = mLoMid;
  amp->hiMid = mHiMid;
  amp->output = mOutput;
  amp->contour = mContour ? 1.0 : 0.0;
  amp->gainHi = mGainHi ? 1.0 : 0.0;
  amp->trafo = mTrafo ? 1.0 : 0.0;
  amp->WarmUp(kWarmUpLevel);
  return amp;
}

void Q19Effect::OnParameterChanged(int index) {
  ZORV::ZORVAmp* amps[2] = {mLeft.get(), mRight.get()};
  const IParameter* param = ParamAt(index);
  if (param) {
    const double v = param->mValue;
    for (ZORV::ZORVAmp* amp : amps) {
      if (!amp)
        continue;
      switch (index) {
        case kInput: mInput = float(v); amp->input = mInput; break;
        case kDrive: mDrive = float(v); amp->drive = mDrive; break;
        case kBass: mBass = float(v); amp->bass = mBass; break;
        case kLoMid: mLoMid = float(v); amp->loMid = mLoMid; break;
        case kHiMid: mHiMid = float(v); amp->hiMid = mHiMid; break;
        case kTreble: mTreble = float(v); amp->trebleCtl = mTreble; break;
        case kContour: mContour = v >= 0.5; amp->contour = mContour ? 1.0 : 0.0; break;
        case kGainHi: mGainHi = v != 0; amp->gainHi = mGainHi ? 1.0 : 0.0; break;
        case kOutput: mOutput = float(v); amp->output = mOutput; break;
        case kTrafo: mTrafo = v != 0; amp->trafo = mTrafo ? 1.0 : 0.0; break;
        case kStereo: mStereo = v != 0; break;
        default: break;
      }
    }
  }
  for (ZORV::ZORVAmp* amp : amps)
    if (amp)
      amp->SetControls(mBass, mDrive, mLoMid, mHiMid, mTreble);
}

void Q19Effect::OnRestart() {
  const double rate = SampleRate();
  if (!(rate >= kMinRate && rate <= kMaxRate))
    return;
  const float r = float(std::trunc(rate));
  if (r == mSampleRate)
    return;  // a block-size change or a suspend at the same rate leaves the amps alone
  mSampleRate = r;
  if (mLeft)
    mLeft->SetSampleRate(r);
  if (mRight)
    mRight->SetSampleRate(r);
}

void Q19Effect::ProcessBlock(double** inputs, double** outputs, int frames) {
  if (frames <= 0)
    return;
  if (!mLeft || !mRight) {  // no memory for the amps at construction: play silence
    for (int i = 0; i < frames; ++i)
      outputs[0][i] = outputs[1][i] = 0.0;
    return;
  }
  constexpr int kChunk = ZORV::ZORVAmp::kChunk;
  // The stereo pair gathers both amps into its lanes on every call: give it longer stretches.
  constexpr int kPairChunk = 4 * kChunk;
  double yL[kPairChunk], yR[kPairChunk];
  const int chunk = mStereo ? kPairChunk : kChunk;
  for (int start = 0; start < frames; start += chunk) {
    const int n = frames - start < chunk ? frames - start : chunk;
    // Both inputs of a chunk are read before any output of it is written: hosts may
    // process in place.
    double* outL = outputs[0] + start;
    double* outR = outputs[1] + start;
    if (mStereo) {
      ZORV::ZORVAmp::ProcessBlockPair(*mLeft, inputs[0] + start, yL, *mRight, inputs[1] + start, yR, n);
      for (int i = 0; i < n; ++i) {
        mLastLeft = yL[i];
        mLastRight = yR[i];
        outL[i] = mLastLeft + 1e-24;
        outR[i] = mLastRight + 1e-24;
      }
    } else {
      mLeft->ProcessBlock(inputs[0] + start, yL, n);
      for (int i = 0; i < n; ++i) {
        mLastLeft = yL[i];
        outL[i] = yL[i] + 1e-24;
        outR[i] = mLastLeft + 1e-24;
      }
    }
  }
}
