#pragma once
// The frame around the shared state: process and thread attach and detach, the
// per-thread storage, and the system-wide library mutex that every export
// touching shared state holds for its whole run.

#include <pthread.h>

#include <cstdint>
#include <string>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/heap.h"
#include "varnht32/src/segment.h"
#include "varnht32/src/shared_state.h"

namespace vnh {

// A client's callbacks. Function pointers mean something only in the process
// that set them, and every callback runs on the client's own thread, so they
// live with the thread; the shared client record only notes which are set.
struct ClientCallbacks {
  VNHAsyncActionCallBack async_action;
  VNHVariableCallBack variable_read;
  VNHVariableCallBack variable_write;
  VNHTovraMessageCallBack tovra_message;
  VNHTovraReplyCallBack tovra_reply;
  VNHStreamOpenCallBack stream_open;
  VNHStreamDataCallBack stream_received;
  VNHStreamDataCallBack stream_send;
  VNHStreamClosedCallBack stream_closed;
  VNHNodeStatusCallBack node_status;
  VNHIdentifyCallBack identify;
  VNHTraceCallBack trace;
};

// Per-thread storage.
struct ThreadSlot {
  std::uint32_t generation = 0;      // the process attach this slot belongs to
  pthread_mutex_t* mutex = nullptr;  // the thread's handle to the library mutex
  std::uint32_t client = 0;          // the thread's client record, 0 before InitVarnholtnet
  ClientCallbacks callbacks{};
  ~ThreadSlot();
};

ThreadSlot& CurrentThread();
// Thread attach, with the process attach on a process's first call. False when
// the shared segment cannot be mapped.
bool AttachThread();
void DetachThread();
void DetachProcess();
bool ProcessAttached();
// Changes with every attach and detach of the process.
std::uint32_t AttachGeneration();

Segment& TheSegment();
inline SharedState& Shared() { return TheSegment().state(); }
inline Heap SharedHeap() { return TheSegment().heap(); }
// The calling thread's client record, 0 without one.
std::uint32_t CurrentClient();
// Directory of the library's own file, where its settings file lives.
const std::string& ModuleDirectory();

// Takes the library mutex for the calling thread (attached or not): 1, or -2
// when the wait fails. Recovers the mutex from a process that died holding it.
std::int32_t LockMutex();
void UnlockMutex();

// The interface lock of the exports: fails with -2 (written to `status` when
// given) for a thread without client record or when the wait fails; refreshes
// the current time stamp.
std::int32_t LockInterface(std::int32_t* status);
std::int32_t UnlockInterface();

// Holds the interface lock for one export and releases it on every way out.
class InterfaceLock {
 public:
  explicit InterfaceLock(std::int32_t* status) : result_(LockInterface(status)) {}
  ~InterfaceLock() {
    if (held()) UnlockInterface();
  }
  InterfaceLock(const InterfaceLock&) = delete;
  InterfaceLock& operator=(const InterfaceLock&) = delete;

  bool held() const { return result_ == 1; }
  std::int32_t failure() const { return result_; }
  // Releases the lock now; the value most exports return.
  std::int32_t Unlock() {
    result_ = 0;
    return UnlockInterface();
  }

 private:
  std::int32_t result_;
};

// Holds the bare library mutex (no client record needed).
class MutexLock {
 public:
  MutexLock() : held_(LockMutex() == 1) {}
  ~MutexLock() {
    if (held_) UnlockMutex();
  }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;
  bool held() const { return held_; }

 private:
  bool held_;
};

}  // namespace vnh
