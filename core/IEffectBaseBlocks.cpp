// Binding of host buffers to the ports, and running one block (audio thread).
#include <cstring>

#include "IEffectBase.h"

namespace {
double* Scratch(HeapBuffer& scratch) { return reinterpret_cast<double*>(scratch.Data()); }

// frames never exceeds what the scratch holds (the binding slices longer blocks).
int Held(const HeapBuffer& scratch, int frames) {
  const int held = int(scratch.Size() / int32_t(sizeof(double)));
  return frames < held ? frames : held;
}
}  // namespace

void IEffectBase::BindInputs(int start, int count, float** hostBuffers, int frames, int firstFrame) {
  int next = 0;
  const int end = start + count < InputPortCount() ? start + count : InputPortCount();
  for (int i = start < 0 ? 0 : start; i < end; ++i) {
    InputPort* port = InputPortAt(i);
    double* scratch = Scratch(port->scratch);
    *port->slot = scratch;
    if (!port->connected) continue;
    // Every connected port takes its host buffer, so later ports stay on theirs even when
    // this one has no scratch to convert into.
    const float* source = hostBuffers ? hostBuffers[next++] : nullptr;
    if (!scratch) continue;
    const int n = Held(port->scratch, frames);
    if (source) {
      source += firstFrame;
      for (int k = 0; k < n; ++k) scratch[k] = source[k];
    } else {
      std::memset(scratch, 0, size_t(n) * sizeof(double));
    }
  }
}

void IEffectBase::BindInputs(int start, int count, double** hostBuffers, int frames, int firstFrame) {
  int next = 0;
  const int end = start + count < InputPortCount() ? start + count : InputPortCount();
  for (int i = start < 0 ? 0 : start; i < end; ++i) {
    InputPort* port = InputPortAt(i);
    double* scratch = Scratch(port->scratch);
    *port->slot = scratch;
    if (!port->connected) continue;
    double* source = hostBuffers ? hostBuffers[next++] : nullptr;
    if (source) {
      *port->slot = source + firstFrame;
    } else if (scratch) {
      std::memset(scratch, 0, size_t(Held(port->scratch, frames)) * sizeof(double));
    }
  }
}

void IEffectBase::BindOutputs(int start, int count, float** hostBuffers, int firstFrame) {
  int next = 0;
  const int end = start + count < OutputPortCount() ? start + count : OutputPortCount();
  for (int i = start < 0 ? 0 : start; i < end; ++i) {
    OutputPort* port = OutputPortAt(i);
    *port->slot = Scratch(port->scratch);
    port->hostFloatBuffer = nullptr;
    if (!port->connected) continue;
    float* target = hostBuffers ? hostBuffers[next++] : nullptr;
    if (target) port->hostFloatBuffer = target + firstFrame;
  }
}

void IEffectBase::BindOutputs(int start, int count, double** hostBuffers, int firstFrame) {
  int next = 0;
  const int end = start + count < OutputPortCount() ? start + count : OutputPortCount();
  for (int i = start < 0 ? 0 : start; i < end; ++i) {
    OutputPort* port = OutputPortAt(i);
    *port->slot = Scratch(port->scratch);
    port->hostFloatBuffer = nullptr;
    if (!port->connected) continue;
    double* target = hostBuffers ? hostBuffers[next++] : nullptr;
    if (target) *port->slot = target + firstFrame;
  }
}

void IEffectBase::RunBlock(int frames) {
  double** inputs = reinterpret_cast<double**>(mInputPointers.Data());
  double** outputs = reinterpret_cast<double**>(mOutputPointers.Data());
  ProcessBlock(inputs, outputs, frames);
}

void IEffectBase::RunBlockFloat(int frames) {
  RunBlock(frames);
  for (int i = 0; i < OutputPortCount(); ++i) {
    OutputPort* port = OutputPortAt(i);
    const double* result = Scratch(port->scratch);
    if (!port->connected || !port->hostFloatBuffer || !result) continue;
    const int n = Held(port->scratch, frames);
    for (int k = 0; k < n; ++k) port->hostFloatBuffer[k] = float(result[k]);
  }
}

void IEffectBase::RunBlockAdding(int frames) {
  RunBlock(frames);
  for (int i = 0; i < OutputPortCount(); ++i) {
    OutputPort* port = OutputPortAt(i);
    const double* result = Scratch(port->scratch);
    if (!port->connected || !port->hostFloatBuffer || !result) continue;
    const int n = Held(port->scratch, frames);
    for (int k = 0; k < n; ++k) port->hostFloatBuffer[k] += float(result[k]);
  }
}
