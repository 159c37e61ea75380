#include "HeapBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

HeapBuffer::~HeapBuffer() { std::free(mData); }

void* HeapBuffer::SetByteSize(int32_t newSize, bool allowShrink) {
  if (newSize == mSize) return Data();
  if (newSize < 0) return nullptr;  // refused like an allocation failure

  const bool grow = newSize > mCapacity;
  const bool shrink = allowShrink && newSize < mSize && newSize < mCapacity / 2 &&
                      int64_t(newSize) < int64_t(mCapacity) - 4 * int64_t(mGranularity);
  if (grow || shrink) {
    // 64-bit arithmetic so that a capacity beyond 32 bits is refused, not wrapped.
    int64_t step = std::max<int64_t>(newSize / 2, mGranularity);
    int64_t capacity;
    if (mGranularity >= kPage) {
      step = std::clamp<int64_t>(step / kPage * kPage, kPage, 4194304);
      capacity = (step + newSize + 96) / kPage * kPage - 96;
    } else {
      capacity = step + newSize;
    }
    capacity = std::max<int64_t>(capacity, mMinimumCapacity);
    if (capacity > std::numeric_limits<int32_t>::max()) return nullptr;
    if (capacity != mCapacity) {
      // realloc keeps min(old, new) bytes, which covers min(size, newSize).
      void* block = std::realloc(mData, size_t(capacity));
      if (!block) return nullptr;
      mData = static_cast<uint8_t*>(block);
      mCapacity = int32_t(capacity);
    }
  }
  mSize = newSize;
  return Data();
}

int32_t HeapBuffer::GrowZeroed(int32_t newSize) {
  const int32_t oldSize = mSize;
  if (SetByteSize(newSize, true) && mSize > oldSize) std::memset(mData + oldSize, 0, size_t(mSize - oldSize));
  return oldSize;
}

void HeapBuffer::SetText(const char* text, int32_t maxLength) {
  size_t length = text ? std::strlen(text) : 0;
  if (maxLength > 0 && size_t(maxLength) < length) length = size_t(maxLength);
  if (length == 0 && mSize == 0) return;
  if (length >= size_t(std::numeric_limits<int32_t>::max())) return;
  if (!SetByteSize(int32_t(length + 1), false)) return;  // keeps the old text
  if (length) std::memcpy(mData, text, length);
  mData[length] = 0;
}
