#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "HeapBuffer.h"
#include "PointerList.h"

namespace {

struct GrowthCase {
  int32_t size;
  int32_t capacity;
};

TEST(HeapBuffer, PageAwareGrowth) {
  // Capacities stop 96 bytes below a page boundary.
  for (const GrowthCase& c : std::vector<GrowthCase>{{1, 4000}, {8, 4000}, {3999, 4000}, {4000, 8096}, {8192, 12192}}) {
    HeapBuffer buffer;
    EXPECT_NE(buffer.SetByteSize(c.size, false), nullptr) << "size " << c.size << " should be stored";
    EXPECT_EQ(buffer.Capacity(), c.capacity) << "capacity for a first request of " << c.size << " bytes";
    EXPECT_EQ(buffer.Size(), c.size) << "size after a request of " << c.size << " bytes";
  }
}

TEST(HeapBuffer, GrowsAndShrinksOnlyWhenFarBelowCapacity) {
  HeapBuffer buffer;
  buffer.SetByteSize(8, false);
  buffer.SetByteSize(4000, false);
  EXPECT_EQ(buffer.Capacity(), 4000) << "4000 bytes still fit a capacity of 4000";
  buffer.SetByteSize(4001, false);
  EXPECT_EQ(buffer.Capacity(), 8096) << "4001 bytes reallocate";
  // Shrinking needs the new size below capacity - 4 pages: 8096 never shrinks.
  buffer.SetByteSize(12, true);
  EXPECT_EQ(buffer.Capacity(), 8096) << "a small block is kept even when shrinking is allowed";
  buffer.SetByteSize(100000, false);
  const int32_t large = buffer.Capacity();
  buffer.SetByteSize(12, false);
  EXPECT_EQ(buffer.Capacity(), large) << "without allowShrink the block is never given back";
  buffer.SetByteSize(100000, false);
  buffer.SetByteSize(12, true);
  EXPECT_EQ(buffer.Capacity(), 4000) << "a large block shrinks to the small capacity";
  EXPECT_EQ(buffer.Size(), 12) << "size after shrinking";
}

TEST(HeapBuffer, KeepsContentsAcrossGrowth) {
  HeapBuffer buffer;
  std::memcpy(buffer.SetByteSize(5, false), "hello", 5);
  buffer.SetByteSize(50000, false);
  EXPECT_EQ(std::memcmp(buffer.Data(), "hello", 5), 0) << "the first bytes survive a reallocation";
}

TEST(HeapBuffer, ZeroSizeReadsAsNull) {
  HeapBuffer buffer;
  buffer.SetByteSize(100, false);
  EXPECT_EQ(buffer.SetByteSize(0, false), nullptr) << "size 0 returns null";
  EXPECT_EQ(buffer.Data(), nullptr) << "an empty buffer has no data";
  EXPECT_EQ(buffer.Capacity(), 4000) << "the block stays allocated";
}

TEST(HeapBuffer, MinimumCapacity) {
  HeapBuffer buffer;
  buffer.SetMinimumCapacity(20000);
  buffer.SetByteSize(8, false);
  EXPECT_EQ(buffer.Capacity(), 20000) << "capacity never drops below the minimum";
  buffer.SetByteSize(30000, false);
  buffer.SetByteSize(8, true);
  EXPECT_GE(buffer.Capacity(), 20000) << "shrinking stops at the minimum";
}

TEST(HeapBuffer, ImpossibleSizesFailAndChangeNothing) {
  for (int32_t size : {-1, INT_MIN, INT_MAX, INT_MAX - 100}) {
    HeapBuffer buffer;
    std::memcpy(buffer.SetByteSize(3, false), "abc", 3);
    EXPECT_EQ(buffer.SetByteSize(size, true), nullptr) << "size " << size << " must be refused";
    EXPECT_EQ(buffer.Size(), 3) << "size unchanged after refusing " << size;
    EXPECT_EQ(buffer.Capacity(), 4000) << "capacity unchanged after refusing " << size;
    EXPECT_EQ(std::memcmp(buffer.Data(), "abc", 3), 0) << "contents unchanged after refusing " << size;
  }
}

TEST(HeapBuffer, GrowZeroedZeroesOnlyTheAddedBytes) {
  HeapBuffer buffer;
  std::memset(buffer.SetByteSize(16, false), 0xAB, 16);
  buffer.SetByteSize(4, false);
  EXPECT_EQ(buffer.GrowZeroed(16), 4) << "returns the previous size";
  const uint8_t* bytes = buffer.Data();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bytes[i], 0xAB) << "byte " << i << " was there before";
  for (int i = 4; i < 16; ++i) EXPECT_EQ(bytes[i], 0) << "byte " << i << " was added";
  EXPECT_EQ(buffer.GrowZeroed(2), 16) << "shrinking returns the previous size";
  EXPECT_EQ(buffer.Size(), 2) << "shrinking only sets the size";
  EXPECT_EQ(bytes[1], 0xAB) << "shrinking touches no byte";
}

TEST(HeapBuffer, SetText) {
  HeapBuffer buffer;
  buffer.SetText("", 0);
  EXPECT_EQ(buffer.Capacity(), 0) << "an empty text on an empty buffer allocates nothing";
  buffer.SetText("abc", 0);
  EXPECT_EQ(buffer.Size(), 4) << "text and terminator";
  EXPECT_STREQ(reinterpret_cast<const char*>(buffer.Data()), "abc") << "stored text";
  buffer.SetText("abcdef", 2);
  EXPECT_STREQ(reinterpret_cast<const char*>(buffer.Data()), "ab") << "text cut to maxLength";
}

struct Tracked {
  explicit Tracked(int id, std::vector<int>& log) : id(id), log(log) {}
  ~Tracked() { log.push_back(id); }
  int id;
  std::vector<int>& log;
};

TEST(PointerList, OutOfRangeIsNullAndTeardownRunsBackwards) {
  std::vector<int> deleted;
  PointerList<Tracked> list;
  EXPECT_EQ(list.Get(0), nullptr) << "an empty list has no element 0";
  for (int i = 0; i < 3; ++i) ASSERT_NE(list.Add(new Tracked(i, deleted)), nullptr) << "Add " << i;
  EXPECT_EQ(list.Count(), 3) << "three added";
  EXPECT_EQ(list.Get(1)->id, 1) << "elements keep their order";
  EXPECT_EQ(list.Get(-1), nullptr) << "element -1";
  EXPECT_EQ(list.Get(3), nullptr) << "element count";
  list.ClearAndDelete(true);
  EXPECT_EQ(deleted, (std::vector<int>{2, 1, 0})) << "elements are deleted from the last to the first";
  EXPECT_EQ(list.Count(), 0) << "the list is empty afterwards";
}

}  // namespace
