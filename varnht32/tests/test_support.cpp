#include "varnht32/tests/test_support.h"

#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/clock.h"
#include "varnht32/src/segment.h"
#include "varnht32/src/system_variables.h"

namespace vnh_test {

namespace {

constexpr int kAnswerLimitMs = 10000;

std::uint32_t VirtualTicks(void* context) {
  return static_cast<std::atomic<std::uint32_t>*>(context)->load();
}

// The library's busy waits move the virtual clock on instead of spinning.
void VirtualWait(std::int32_t ms, void* context) {
  static_cast<std::atomic<std::uint32_t>*>(context)->fetch_add(static_cast<std::uint32_t>(ms));
}

bool WriteAll(int fd, const void* data, std::size_t n) {
  const auto* p = static_cast<const char*>(data);
  while (n > 0) {
    ssize_t w = write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

bool ReadAll(int fd, void* data, std::size_t n, int limit_ms) {
  auto* p = static_cast<char*>(data);
  while (n > 0) {
    if (limit_ms >= 0) {
      pollfd pfd{fd, POLLIN, 0};
      int r = poll(&pfd, 1, limit_ms);
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) return false;
    }
    ssize_t got = read(fd, p, n);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    p += got;
    n -= static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace

void SegmentTest::NewSegment() {
  static int counter = 0;
  name_ = "/vnhtest." + std::to_string(getpid()) + "." + std::to_string(++counter);
  vnh::Segment::Remove(name_);
  setenv(vnh::kSegmentEnvironment, name_.c_str(), 1);
}

void SegmentTest::SetUp() {
  NewSegment();
  char pattern[] = "/tmp/vnhtest-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  settings_folder_ = pattern;
  setenv(vnh::kSettingsDirectoryEnvironment, settings_folder_.c_str(), 1);
}

void SegmentTest::TearDown() {
  DllMain(nullptr, 0, nullptr);
  vnh::SetTickSource(nullptr, nullptr);
  vnh::Segment::Remove(name_);
  if (!settings_folder_.empty()) std::filesystem::remove_all(settings_folder_);
  unsetenv(vnh::kSettingsDirectoryEnvironment);
}

void SegmentTest::Restart() {
  DllMain(nullptr, 0, nullptr);
  vnh::Segment::Remove(name_);
  NewSegment();
}

void* MapShared(std::size_t bytes) {
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) std::abort();
  return p;
}

void UnmapShared(void* p, std::size_t bytes) { munmap(p, bytes); }

VirtualClock::VirtualClock()
    : ticks_(new (MapShared(sizeof(std::atomic<std::uint32_t>))) std::atomic<std::uint32_t>(1000)) {}

VirtualClock::~VirtualClock() {
  vnh::SetTickSource(nullptr, nullptr);
  vnh::SetWaitFunction(nullptr, nullptr);
  UnmapShared(ticks_, sizeof(std::atomic<std::uint32_t>));
}

void VirtualClock::Install() {
  vnh::SetTickSource(VirtualTicks, ticks_);
  vnh::SetWaitFunction(VirtualWait, ticks_);
}

Child::Child(Step step) {
  int down[2];
  int up[2];
  if (pipe(down) != 0 || pipe(up) != 0) std::abort();
  pid_ = fork();
  if (pid_ < 0) std::abort();
  if (pid_ == 0) {
    // A child must not outlive a test run that was stopped.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    close(down[1]);
    close(up[0]);
    for (;;) {
      std::int32_t command = 0;
      if (!ReadAll(down[0], &command, sizeof command, -1)) _exit(3);
      if (command == kQuit) {
        DllMain(nullptr, 0, nullptr);
        _exit(0);
      }
      std::int32_t result = step(command);
      if (!WriteAll(up[1], &result, sizeof result)) _exit(4);
    }
  }
  close(down[0]);
  close(up[1]);
  to_child_ = down[1];
  from_child_ = up[0];
}

Child::~Child() {
  if (pid_ > 0) Quit();
}

std::int32_t Child::Run(std::int32_t command) {
  Send(command);
  return Wait();
}

void Child::Send(std::int32_t command) {
  if (pid_ > 0) WriteAll(to_child_, &command, sizeof command);
}

std::int32_t Child::Wait() {
  std::int32_t result = kNoAnswer;
  if (pid_ <= 0 || !ReadAll(from_child_, &result, sizeof result, kAnswerLimitMs)) return kNoAnswer;
  return result;
}

void Child::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  Reap();
}

int Child::Quit() {
  if (pid_ <= 0) return -1;
  std::int32_t command = kQuit;
  WriteAll(to_child_, &command, sizeof command);
  // A child stuck in a step (a test that failed) must not stop the test run.
  pollfd pfd{from_child_, POLLIN, 0};
  char byte = 0;
  if (poll(&pfd, 1, kAnswerLimitMs) <= 0 || read(from_child_, &byte, 1) != 0) kill(pid_, SIGKILL);
  Reap();
  return last_exit_;
}

void Child::Reap() {
  close(to_child_);
  close(from_child_);
  to_child_ = from_child_ = -1;
  int status = 0;
  if (waitpid(pid_, &status, 0) == pid_) last_exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  pid_ = -1;
}

}  // namespace vnh_test
