#pragma once
#include "IStateChunk.h"

// A named program: a copy of the state (without header) once filled.
struct PresetSlot {
  static constexpr int kNameSize = 256;

  bool filled = false;
  char name[kNameSize] = {0};
  IStateChunk chunk;
};
