#pragma once
#include <memory>

#include "IEffectVST.h"
#include "Voicing.h"
#include "ZORVAmp.h"

// The Q19 preamp plug-in: eleven parameters, one program, stereo in and out. "Stereo" off
// runs the left amp on the first input and copies its output to both outputs; on, each
// channel has its own amp with the same settings.
class Q19Effect : public IEffectVST {
public:
  enum Param {
    kInput,
    kDrive,
    kBass,
    kLoMid,
    kHiMid,
    kTreble,
    kContour,
    kGainHi,
    kOutput,
    kTrafo,
    kStereo,
    kNumParams
  };

  // The maker's web address names the only program (at most 23 characters, the host's limit).
  static constexpr const char* kWebAddress = "www.zorv-plugins.com";

  explicit Q19Effect(audioMasterCallback host);
  ~Q19Effect() override;

  const ZORV::Voicing& Voicing() const { return mVoicing; }

  // [any thread, instance lock held]
  void OnRestart() override;
  void OnParameterChanged(int index) override;
  // [audio thread, instance lock held]
  void ProcessBlock(double** inputs, double** outputs, int frames) override;

  // Read-only views for tests and tools.
  const ZORV::ZORVAmp* LeftAmp() const { return mLeft.get(); }
  const ZORV::ZORVAmp* RightAmp() const { return mRight.get(); }
  float AmpSampleRate() const { return mSampleRate; }

private:
  void DeclareParameters();
  std::unique_ptr<ZORV::ZORVAmp> MakeAmp() const;
  void ApplyControls(ZORV::ZORVAmp& amp) const;

  const ZORV::Voicing& mVoicing;

  float mSampleRate = 44100.0f;  // rate at which the amps were last set up
  float mInput = 0, mDrive = 0, mBass = 0, mLoMid = 0, mHiMid = 0, mTreble = 0;
  float mOutput = 0;
  double mLastLeft = 0, mLastRight = 0;  // latest samples written by ProcessBlock
  unsigned char mContour = 0, mGainHi = 0, mTrafo = 0, mStereo = 0;
  std::unique_ptr<ZORV::ZORVAmp> mLeft, mRight;
};

// The voicing of this binary, defined by the binary's entry source.
const ZORV::Voicing& BinaryVoicing();
