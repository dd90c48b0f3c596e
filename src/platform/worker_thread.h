// A thread of the program's own: a plain Win32 thread that runs one member
// function, which throws nothing, and is waited for before it is let go;
// and the lock its owner shares with it. std::thread and std::mutex would
// bring the C++ library's error machinery (system_error and its messages)
// into each program for the same work.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace veltra {

// Neither copied nor moved (its handle cannot be copied, and with a
// destructor of its own it gets no moves): the thread reads its entry
// through the object's address.
class WorkerThread {
 public:
  ~WorkerThread() { Join(); }

  // Runs `Run` of `object` on a new thread, after waiting for one this
  // object started before. False, with the system's error for
  // GetLastError, when no thread could be started.
  template <auto Run, class Object>
  bool Start(Object& object) noexcept {
    return Start([](void* context) noexcept { (static_cast<Object*>(context)->*Run)(); }, &object);
  }
  // Whether a thread was started and not yet waited for.
  bool running() const noexcept { return static_cast<bool>(thread_); }
  // Waits for the thread to end; at once when none runs.
  void Join() noexcept;

 private:
  using Entry = void (*)(void*) noexcept;
  bool Start(Entry entry, void* context) noexcept;
  static DWORD WINAPI ThreadMain(void* self) noexcept;

  Entry entry_ = nullptr;
  void* context_ = nullptr;
  UniqueHandle thread_;
};

// For std::lock_guard: a slim reader/writer lock, always taken exclusively,
// which cannot fail to lock (std::mutex reports that by throwing).
class Lock {
 public:
  Lock() = default;
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  void lock() noexcept { ::AcquireSRWLockExclusive(&lock_); }
  void unlock() noexcept { ::ReleaseSRWLockExclusive(&lock_); }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
};

}  // namespace veltra
