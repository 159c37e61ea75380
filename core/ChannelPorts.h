#pragma once
#include <cstdint>

#include "HeapBuffer.h"

// One legal pair of input and output counts, read from the channel I/O text ("1-1 2-2").
struct ChannelConfig {
  int32_t inputs;
  int32_t outputs;
};

// A port's slot is its entry of the plug-in's input or output pointer array: what the block
// processing sees. A connected port's slot leads to the host's samples (or a scratch copy of
// them); an unconnected port's slot leads to its own scratch buffer.
struct InputPort {
  bool connected = false;
  double** slot = nullptr;
  HeapBuffer scratch{HeapBuffer::kPage};  // block-size doubles
};

struct OutputPort {
  bool connected = false;
  double** slot = nullptr;
  float* hostFloatBuffer = nullptr;  // set per block by the float paths
  HeapBuffer scratch{HeapBuffer::kPage};  // block-size doubles
};
