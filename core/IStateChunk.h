#pragma once
#include <cstdint>

#include "HeapBuffer.h"

// A HeapBuffer read and written as a little-endian byte stream: values are appended at the
// end; reads take a byte position and return the position after the value, or -1 when the
// data ran out (the value is then left untouched).
class IStateChunk : public HeapBuffer {
public:
  IStateChunk() : HeapBuffer(kPage) {}

  bool PutInt32(int32_t v);
  bool PutDouble(double v);
  bool PutBytes(const void* bytes, int32_t count);

  int GetInt32(int32_t* v, int position) const;
  int GetDouble(double* v, int position) const;
};
