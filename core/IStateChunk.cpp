#include "IStateChunk.h"

#include <cstring>

namespace {
bool Readable(const HeapBuffer& buffer, int position, int count) {
  return position >= 0 && int64_t(position) + count <= buffer.Size();
}
}  // namespace

bool IStateChunk::PutBytes(const void* bytes, int32_t count) {
  if (count < 0) return false;
  const int32_t oldSize = Size();
  if (int64_t(oldSize) + count > INT32_MAX) return false;
  if (!SetByteSize(oldSize + count, true)) return count == 0 && oldSize == 0;
  if (count) std::memcpy(Data() + oldSize, bytes, size_t(count));
  return true;
}

bool IStateChunk::PutInt32(int32_t v) {
  const uint32_t u = uint32_t(v);
  const uint8_t bytes[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
  return PutBytes(bytes, 4);
}

bool IStateChunk::PutDouble(double v) {
  uint64_t u;
  std::memcpy(&u, &v, 8);
  uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = uint8_t(u >> (8 * i));
  return PutBytes(bytes, 8);
}

int IStateChunk::GetInt32(int32_t* v, int position) const {
  if (!Readable(*this, position, 4)) return -1;
  const uint8_t* p = Data() + position;
  *v = int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
  return position + 4;
}

int IStateChunk::GetDouble(double* v, int position) const {
  if (!Readable(*this, position, 8)) return -1;
  const uint8_t* p = Data() + position;
  uint64_t u = 0;
  for (int i = 0; i < 8; ++i) u |= uint64_t(p[i]) << (8 * i);
  std::memcpy(v, &u, 8);
  return position + 8;
}
