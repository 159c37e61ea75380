#pragma once
#include <cstdint>

// Growable heap block. Small buffers grow to just under a page, large ones by half their
// size in whole pages; 96 bytes below each page boundary are left for the allocator's own
// header so that block plus header fill whole pages.
class HeapBuffer {
public:
  static constexpr int32_t kPage = 4096;

  explicit HeapBuffer(int32_t granularity = kPage) : mGranularity(granularity) {}
  ~HeapBuffer();
  HeapBuffer(const HeapBuffer&) = delete;
  HeapBuffer& operator=(const HeapBuffer&) = delete;

  // Sets the bytes in use. Returns the data, or null when the size is 0 afterwards or the
  // request fails (negative size, capacity beyond 32 bits, no memory); a failed request
  // leaves the buffer exactly as it was.
  void* SetByteSize(int32_t newSize, bool allowShrink);
  // SetByteSize(newSize, true), zeroing the bytes added; returns the previous size.
  int32_t GrowZeroed(int32_t newSize);
  // Stores a NUL-terminated text, cut to maxLength characters when maxLength is not 0.
  void SetText(const char* text, int32_t maxLength);

  // The data, or null when the buffer is empty (even if a block is still allocated).
  uint8_t* Data() const { return mSize != 0 ? mData : nullptr; }
  int32_t Size() const { return mSize; }
  int32_t Capacity() const { return mCapacity; }
  int32_t Granularity() const { return mGranularity; }
  void SetMinimumCapacity(int32_t bytes) { mMinimumCapacity = bytes; }

private:
  uint8_t* mData = nullptr;
  int32_t mGranularity;
  int32_t mCapacity = 0;
  int32_t mSize = 0;
  int32_t mMinimumCapacity = 0;
};
