#pragma once
// UiLock: the one lock that the UI thread and the resolve worker share around the list view,
// the file list and the log box. Re-entrant for the thread that holds it.
//
// On Windows it is a critical section. The thread that constructs it is taken as the UI thread:
// while that thread waits for the lock it keeps serving messages that other threads send to its
// windows, so a worker that holds the lock and sends a message to a control (SetWindowText,
// LVM_INSERTITEM, ...) never deadlocks against a UI thread waiting in Enter.
#include <memory>

namespace shell {

class UiLock {
 public:
  UiLock();
  ~UiLock();
  UiLock(const UiLock&) = delete;
  UiLock& operator=(const UiLock&) = delete;

  void Enter();
  void Leave();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Holds the lock for a scope.
class UiLockHold {
 public:
  explicit UiLockHold(UiLock& lock) : lock_(lock) { lock_.Enter(); }
  ~UiLockHold() { lock_.Leave(); }
  UiLockHold(const UiLockHold&) = delete;
  UiLockHold& operator=(const UiLockHold&) = delete;

 private:
  UiLock& lock_;
};

}  // namespace shell
