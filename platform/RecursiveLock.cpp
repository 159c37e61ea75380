#include "RecursiveLock.h"

#ifdef _WIN32
#include <windows.h>

struct RecursiveLock::Native {
  CRITICAL_SECTION section;
};

RecursiveLock::RecursiveLock() : mNative(new Native) { InitializeCriticalSection(&mNative->section); }

RecursiveLock::~RecursiveLock() {
  DeleteCriticalSection(&mNative->section);
  delete mNative;
}

void RecursiveLock::Lock() { EnterCriticalSection(&mNative->section); }
void RecursiveLock::Unlock() { LeaveCriticalSection(&mNative->section); }

#else
#include <mutex>

struct RecursiveLock::Native {
  std::recursive_mutex mutex;
};

RecursiveLock::RecursiveLock() : mNative(new Native) {}
RecursiveLock::~RecursiveLock() { delete mNative; }
void RecursiveLock::Lock() { mNative->mutex.lock(); }
void RecursiveLock::Unlock() { mNative->mutex.unlock(); }
#endif

namespace {
// A function-local static is initialised exactly once even when two threads make the
// first call together, and is destroyed at process exit.
RecursiveLock& CreationLock() {
  static RecursiveLock lock;
  return lock;
}
}  // namespace

void EnterCreationLock() { CreationLock().Lock(); }
void LeaveCreationLock() { CreationLock().Unlock(); }
