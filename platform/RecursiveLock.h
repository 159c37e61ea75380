#pragma once
// Recursive lock behind a thin interface: a critical section on Windows, a recursive
// mutex elsewhere. A thread that holds it may take it again (host calls made while an
// instance is locked can come straight back into the same instance).

class RecursiveLock {
public:
  RecursiveLock();
  ~RecursiveLock();
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;

  void Lock();
  void Unlock();

private:
  struct Native;
  Native* mNative;  // owned; allocated once by the constructor
};

// Holds a RecursiveLock for the lifetime of a scope.
class ScopedLock {
public:
  explicit ScopedLock(RecursiveLock& lock) : mLock(lock) { mLock.Lock(); }
  ~ScopedLock() { mLock.Unlock(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

private:
  RecursiveLock& mLock;
};

// Process-wide lock that serialises plug-in instance construction. Created on first use,
// deleted at process exit.
void EnterCreationLock();
void LeaveCreationLock();
