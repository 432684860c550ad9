#pragma once

#include <memory>

// The plug-in lock: one re-entrant mutual-exclusion lock per plug-in object.
// The thread that holds it may take it again; every Lock() needs one Unlock().
// The platform half (a critical section on Windows, a recursive mutex
// elsewhere) lives in IPlugLock_win.cpp / IPlugLock_linux.cpp.
class IPlugLock
{
public:
  IPlugLock();
  ~IPlugLock();
  IPlugLock(const IPlugLock&) = delete;
  IPlugLock& operator=(const IPlugLock&) = delete;

  // Blocks until the calling thread holds the lock.
  void Lock();
  void Unlock();

private:
  struct Impl;
  std::unique_ptr<Impl> impl;
};

// Holds an IPlugLock for the lifetime of the guard.
class IPlugLockGuard
{
public:
  explicit IPlugLockGuard(IPlugLock& l) : lock(l) { lock.Lock(); }
  ~IPlugLockGuard() { lock.Unlock(); }
  IPlugLockGuard(const IPlugLockGuard&) = delete;
  IPlugLockGuard& operator=(const IPlugLockGuard&) = delete;

private:
  IPlugLock& lock;
};
