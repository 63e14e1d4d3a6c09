#include "varnht32/src/library_frame.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>

#include "varnht32/src/client.h"
#include "varnht32/src/clock.h"
#include "varnht32/src/process_identity.h"

namespace vnh {

namespace {

struct ProcessState {
  Segment segment;
  std::atomic<std::uint32_t> generation{1};
  bool attached = false;
};

// Constant-initialised: the library's constructor may run before any dynamic
// initialiser of this file.
constinit ProcessState g_process;
pthread_mutex_t g_attach_lock = PTHREAD_MUTEX_INITIALIZER;
thread_local ThreadSlot t_slot;

void ResetSlot(ThreadSlot& slot) {
  slot.mutex = nullptr;
  slot.client = 0;
  slot.callbacks = ClientCallbacks{};
  slot.generation = 0;
}

bool SlotCurrent(const ThreadSlot& slot) {
  return slot.mutex != nullptr && slot.generation == g_process.generation.load();
}

bool AttachProcess() {
  pthread_mutex_lock(&g_attach_lock);
  bool ok = g_process.attached;
  if (!ok && g_process.segment.Open(Segment::ConfiguredName())) {
    Shared().attach_count.fetch_add(1);
    SetWrapState(&Shared().tick_wraps);
    g_process.attached = true;
    ok = true;
  }
  pthread_mutex_unlock(&g_attach_lock);
  return ok;
}

void DetachSlot(ThreadSlot& slot) {
  if (!SlotCurrent(slot) || !g_process.attached) {
    ResetSlot(slot);
    return;
  }
  if (slot.client != 0) {
    MutexLock lock;
    if (lock.held()) ReleaseClient(slot.client);
  }
  ResetSlot(slot);
}

// A process that died holding the mutex left the shared state as it was at
// that moment; what can be repaired is repaired, and its clients go.
void RecoverAfterDeadHolder() {
  SharedState& s = Shared();
  s.polling = 0;
  s.current_origin = 0;
  ReleaseClientsOfDeadProcesses();
}

// A forked child is a new process: it inherits neither the parent's attach nor
// its threads' client records.
void ChildAfterFork() {
  pthread_mutex_init(&g_attach_lock, nullptr);
  if (g_process.attached) g_process.segment.Close();
  g_process.attached = false;
  g_process.generation.fetch_add(1);
  SetWrapState(nullptr);
  ForgetThisProcess();
  ResetSlot(t_slot);
}

std::string FindModuleDirectory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&FindModuleDirectory), &info) == 0 ||
      info.dli_fname == nullptr) {
    return ".";
  }
  std::string path = info.dli_fname;
  std::size_t cut = path.find_last_of('/');
  return cut == std::string::npos ? "." : path.substr(0, cut == 0 ? 1 : cut);
}

__attribute__((constructor)) void LibraryLoaded() { pthread_atfork(nullptr, nullptr, ChildAfterFork); }

__attribute__((destructor)) void LibraryUnloaded() { DetachProcess(); }

}  // namespace

ThreadSlot::~ThreadSlot() { DetachSlot(*this); }

ThreadSlot& CurrentThread() { return t_slot; }

bool AttachThread() {
  ThreadSlot& slot = t_slot;
  if (SlotCurrent(slot)) return true;
  if (!AttachProcess()) return false;
  ResetSlot(slot);
  slot.generation = g_process.generation.load();
  slot.mutex = &Shared().mutex;
  return true;
}

void DetachThread() { DetachSlot(t_slot); }

void DetachProcess() {
  if (!g_process.attached) return;
  // Every client of the process goes, also those of threads that still run
  // when the process ends: their thread detach never comes. At exit the
  // calling thread's own slot is already reset, so the lock attaches it anew.
  {
    MutexLock lock;
    if (lock.held()) ReleaseClientsOf(ThisProcess());
  }
  ResetSlot(t_slot);
  Shared().attach_count.fetch_sub(1);
  SetWrapState(nullptr);
  pthread_mutex_lock(&g_attach_lock);
  g_process.segment.Close();
  g_process.attached = false;
  g_process.generation.fetch_add(1);
  pthread_mutex_unlock(&g_attach_lock);
}

bool ProcessAttached() { return g_process.attached; }

std::uint32_t AttachGeneration() { return g_process.generation.load(); }

Segment& TheSegment() { return g_process.segment; }

std::uint32_t CurrentClient() { return SlotCurrent(t_slot) ? t_slot.client : 0; }

const std::string& ModuleDirectory() {
  static const std::string directory = FindModuleDirectory();
  return directory;
}

std::int32_t LockMutex() {
  if (!AttachThread()) return -2;
  int rc = pthread_mutex_lock(t_slot.mutex);
  if (rc == EOWNERDEAD) {
    pthread_mutex_consistent(t_slot.mutex);
    RecoverAfterDeadHolder();
    rc = 0;
  }
  return rc == 0 ? 1 : -2;
}

void UnlockMutex() { pthread_mutex_unlock(t_slot.mutex); }

std::int32_t LockInterface(std::int32_t* status) {
  auto fail = [status]() {
    if (status != nullptr) *status = -2;
    return -2;
  };
  if (!SlotCurrent(t_slot) || t_slot.client == 0) return fail();
  if (LockMutex() != 1) return fail();
  // The record must still be this thread's: a process wrongly taken for dead
  // would otherwise work on a record that another thread now owns.
  std::uint32_t c = t_slot.client;
  if (SharedHeap().CheckHandle(c, kTypeClient) != 1 || Client(c)->state == kClientReleased ||
      Client(c)->process_id != ThisProcess().pid) {
    t_slot.client = 0;
    UnlockMutex();
    return fail();
  }
  Shared().current_time = Now();
  return 1;
}

std::int32_t UnlockInterface() {
  UnlockMutex();
  return 1;
}

}  // namespace vnh
