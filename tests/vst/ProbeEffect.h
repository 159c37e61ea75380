#pragma once
// A plug-in on the VST binding whose block processing is known: every connected output
// sample becomes 0.25 + 2 x input 0. It records what the binding handed it.
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "IEffectVST.h"

class ProbeEffect : public IEffectVST {
public:
  explicit ProbeEffect(audioMasterCallback host, const char* channelIO = "1-1 2-2", int nPresets = 1)
      : IEffectVST(host, 2, channelIO, nPresets, "Probe", "", "ZORV Plugins", 0x00010000, 0x50726F62, 0x50726F62, 0,
                   false, false, false) {
    ParamAt(0)->DefineDouble("Level", 0.5, 0.0, 1.0, 0.01, "Level");
    ParamAt(1)->DefineBool("Switch", false, "");
  }

  struct Block {
    int frames;
    std::vector<double*> inputs;
    std::vector<double*> outputs;
    std::vector<double> firstInputs;  // input i's first sample, when there is one
  };

  void ProcessBlock(double** inputs, double** outputs, int frames) override {
    inBlock = true;
    Block block{frames, {}, {}, {}};
    for (int i = 0; i < InputPortCount(); ++i) {
      block.inputs.push_back(inputs[i]);
      block.firstInputs.push_back(frames > 0 ? inputs[i][0] : 0.0);
    }
    for (int i = 0; i < OutputPortCount(); ++i) {
      block.outputs.push_back(outputs[i]);
      for (int k = 0; k < frames; ++k) outputs[i][k] = 0.25 + 2.0 * inputs[0][k];
    }
    blocks.push_back(block);
    if (blockDelay.count()) std::this_thread::sleep_for(blockDelay);
    inBlock = false;
  }

  void OnParameterChanged(int index) override {
    IEffectVST::OnParameterChanged(index);
    changedDuringBlock = changedDuringBlock || inBlock;
    changed.push_back(index);
  }

  std::vector<Block> blocks;
  std::vector<int> changed;
  std::atomic<bool> inBlock{false};
  bool changedDuringBlock = false;
  std::chrono::milliseconds blockDelay{0};
};
