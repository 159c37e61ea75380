#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <regex>
#include <thread>

#include "HostKind.h"
#include "RecursiveLock.h"
#include "TestEffect.h"
#include "Trace.h"

namespace {

TEST(HostKind, TableOrderDecides) {
  const struct {
    const char* product;
    HostKind kind;
  } cases[] = {{"REAPER", 1},        {"Cubase5", 3},      {"Cubase and Reaper", 3}, {"Olive", 9},
               {"Ableton Live 11", 9}, {"Nuendo", 4},      {"Cakewalk", 5},          {"Samplitude", 8},
               {"FruityLoops", 7},   {"Melodyne", 12},    {"VSTManLib", 13},        {"AULab", 14},
               {"Forte", 15},        {"Chainer", 16},     {"Audition", 17},         {"Orion", 18},
               {"SAWStudio", 20},    {"Some Other Host", 0}, {"", 0}};
  for (const auto& c : cases) EXPECT_EQ(HostKindFromName(c.product), c.kind) << "product \"" << c.product << "\"";
  EXPECT_EQ(HostKindFromName(nullptr), 0) << "no text";
}

TEST(HostKind, SetHostAndStereoRestriction) {
  TestEffect effect("1-1 4-4");
  EXPECT_EQ(effect.QueryHostKind(), -1) << "not asked yet";
  effect.SetHost("Forte 4", 0x00050201);
  EXPECT_EQ(effect.StoredHostKind(), 15) << "Forte";
  EXPECT_EQ(effect.HostVersion(), 0x00050201) << "version stored packed";
  effect.ConnectInputs(0, 4, true);
  effect.RestrictToStereo();
  EXPECT_TRUE(effect.InputPortAt(1)->connected) << "the first two inputs stay";
  EXPECT_FALSE(effect.InputPortAt(2)->connected) << "inputs beyond two are cut";
  EXPECT_FALSE(effect.InputPortAt(3)->connected) << "inputs beyond two are cut";
}

TEST(Trace, TimestampFormat) {
  const std::string stamp = TraceTimestamp();
  EXPECT_TRUE(std::regex_match(stamp, std::regex("[0-9]{8} [0-9]{2}:[0-9]{2} [A-Z]*"))) << "stamp \"" << stamp << "\"";
  TracePoint("Test", __LINE__, "%d:%s", 1, "silent");  // must compile and do nothing
}

TEST(RecursiveLock, SameThreadReentersOtherThreadWaits) {
  RecursiveLock lock;
  lock.Lock();
  lock.Lock();  // recursion must not deadlock
  std::atomic<bool> entered{false};
  std::thread other([&] {
    ScopedLock hold(lock);
    entered = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  lock.Unlock();
  EXPECT_FALSE(entered) << "another thread waits while the lock is still held once";
  lock.Unlock();
  other.join();
  EXPECT_TRUE(entered) << "the other thread gets the lock after the last release";
}

}  // namespace
