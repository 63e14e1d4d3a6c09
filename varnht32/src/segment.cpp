#include "varnht32/src/segment.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "varnht32/src/process_identity.h"

namespace vnh {

namespace {

constexpr std::uint64_t kPhaseSettingUp = 1;
constexpr std::uint64_t kPhaseReady = 2;

std::uint32_t Align64(std::uint32_t n) { return (n + 63u) & ~63u; }

std::uint32_t BitmapOffset() { return Align64(sizeof(SharedState)); }
std::uint32_t HeapOffset() { return Align64(BitmapOffset() + Heap::BitmapBytes(kHeapBytes)); }

bool InitMutex(pthread_mutex_t* mutex) {
  pthread_mutexattr_t attr;
  if (pthread_mutexattr_init(&attr) != 0) return false;
  bool ok = pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED) == 0 &&
            pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST) == 0 &&
            pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE) == 0 &&
            pthread_mutex_init(mutex, &attr) == 0;
  pthread_mutexattr_destroy(&attr);
  return ok;
}

}  // namespace

std::string Segment::ConfiguredName() {
  const char* env = std::getenv(kSegmentEnvironment);
  std::string name = (env != nullptr && *env != '\0') ? env : kDefaultSegmentName;
  if (name[0] != '/') name.insert(name.begin(), '/');
  return name;
}

std::size_t Segment::TotalSize() { return static_cast<std::size_t>(HeapOffset()) + kHeapBytes; }

bool Segment::Remove(const std::string& name) { return shm_unlink(name.c_str()) == 0; }

bool Segment::Open(const std::string& name) {
  Close();
  int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  struct stat st{};
  std::size_t size = TotalSize();
  // Every process may grow a new segment to its size: a second ftruncate to the
  // same size changes nothing, so there is no window where a mapper sees less.
  if (fstat(fd, &st) != 0 || (static_cast<std::size_t>(st.st_size) < size &&
                              ftruncate(fd, static_cast<off_t>(size)) != 0)) {
    close(fd);
    return false;
  }
  void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  if (p == MAP_FAILED) return false;
  base_ = static_cast<std::uint8_t*>(p);
  if (!SetUp()) {
    Close();
    return false;
  }
  return true;
}

bool Segment::SetUp() {
  SharedState& s = state();
  std::uint32_t me = ThisProcess().pid;
  for (;;) {
    std::uint64_t word = s.setup_word.load(std::memory_order_acquire);
    std::uint64_t phase = word >> 32;
    if (phase == kPhaseReady) {
      return s.magic == kSegmentMagic && s.segment_size == TotalSize();
    }
    auto setter = static_cast<std::uint32_t>(word);
    bool take = phase == 0 ||
                (phase == kPhaseSettingUp && setter != me &&
                 !ProcessAlive(ProcessIdentity{setter, 0}));
    if (!take) {
      // Another live process is setting the segment up: a few hundred
      // instructions of work, so yielding is enough.
      sched_yield();
      continue;
    }
    std::uint64_t mine = (kPhaseSettingUp << 32) | me;
    if (!s.setup_word.compare_exchange_strong(word, mine, std::memory_order_acq_rel)) continue;
    s.magic = kSegmentMagic;
    s.segment_size = static_cast<std::uint32_t>(TotalSize());
    new (&s.attach_count) std::atomic<std::uint32_t>(0);
    new (&s.tick_wraps) std::atomic<std::uint64_t>(0);
    if (!InitMutex(&s.mutex)) {
      // Left "being set up" by a live process, the segment would keep every
      // later attach (this process's included) waiting for ever.
      s.setup_word.store(0, std::memory_order_release);
      return false;
    }
    std::memset(base_ + BitmapOffset(), 0, HeapOffset() - BitmapOffset());
    Heap::Format(&s.heap, HeapOffset(), kHeapBytes, BitmapOffset());
    s.setup_word.store(kPhaseReady << 32, std::memory_order_release);
    return true;
  }
}

void Segment::Close() {
  if (base_ != nullptr) munmap(base_, TotalSize());
  base_ = nullptr;
}

}  // namespace vnh
