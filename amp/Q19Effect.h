#pragma once
#include "IEffectVST.h"
#include "Voicing.h"

// The Q19 preamp plug-in: eleven parameters, one program, stereo in and out.
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

private:
  void DeclareParameters();

  const ZORV::Voicing& mVoicing;
};

// The voicing of this binary, defined by the binary's entry source.
const ZORV::Voicing& BinaryVoicing();
