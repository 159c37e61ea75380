#pragma once
// A plug-in on the bare core: the host side is a recorder, so tests can see what the core
// asks of its binding.
#include <vector>

#include "IEffectBase.h"

class TestEffect : public IEffectBase {
public:
  explicit TestEffect(const char* channelIO = "1-1 2-2", int nParams = 3, int nPresets = 1)
      : IEffectBase(nParams, channelIO, nPresets, "Test Effect", "", "ZORV Plugins", 0x00010203, 0x54737431, 0x54737431, 0,
                    false, false, false) {}

  void OnParameterChanged(int index) override {
    IEffectBase::OnParameterChanged(index);
    changed.push_back(index);
  }
  void HostBeginEdit(int) override {}
  void HostAutomate(int index, double normalised) override { automated.push_back({index, normalised}); }
  void HostEndEdit(int) override {}
  int HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int* n, int* d) override { *n = *d = 0; }
  void EditorSizeChanged(int, int) override {}
  void OnHostOpen() override {}
  bool EmitMidi(const MidiMessage&) override { return true; }
  bool EmitMidiList(const HeapBuffer&) override { return true; }

  struct Automation {
    int index;
    double value;
  };
  std::vector<int> changed;
  std::vector<Automation> automated;
};
