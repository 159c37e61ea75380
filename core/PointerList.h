#pragma once
#include "HeapBuffer.h"

// A HeapBuffer used as an array of object pointers. Out-of-range reads give null.
template <typename T>
class PointerList {
public:
  explicit PointerList(int32_t granularity = HeapBuffer::kPage) : mBuffer(granularity) {}

  int Count() const { return int(mBuffer.Size() / int32_t(sizeof(T*))); }

  T* Get(int i) const {
    T** items = reinterpret_cast<T**>(mBuffer.Data());
    return (items && i >= 0 && i < Count()) ? items[i] : nullptr;
  }

  // Appends p; returns p, or null (nothing stored) when the list cannot grow.
  T* Add(T* p) {
    const int32_t offset = int32_t(Count() * sizeof(T*));
    if (!mBuffer.SetByteSize(offset + int32_t(sizeof(T*)), false)) return nullptr;
    if (offset + int32_t(sizeof(T*)) > mBuffer.Size()) return nullptr;
    reinterpret_cast<T**>(mBuffer.Data())[Count() - 1] = p;
    return p;
  }

  // Empties the list; with deleteElements, destroys them from the last to the first.
  void ClearAndDelete(bool deleteElements) {
    if (deleteElements) {
      for (int i = Count() - 1; i >= 0; --i) {
        T* item = Get(i);
        mBuffer.SetByteSize(int32_t(i * sizeof(T*)), false);
        delete item;
      }
    }
    mBuffer.SetByteSize(0, false);
  }

private:
  HeapBuffer mBuffer;
};
