#pragma once
// Helpers of the library's tests: a shared segment of the test's own, a virtual
// clock that every process of a test shares, and child processes driven step by
// step over pipes (no sleeps: every step answers when it is done).

#include <gtest/gtest.h>
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <new>
#include <string>

namespace vnh_test {

// Gives each test a fresh segment, named after the process and a counter, so
// that tests run in parallel never meet, and a settings folder of its own. The
// process detaches and both are removed at the end.
class SegmentTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  const std::string& segment_name() const { return name_; }
  const std::string& settings_folder() const { return settings_folder_; }
  std::string settings_file() const { return settings_folder_ + "/openfb.inf"; }
  // Detaches and starts over on a new segment, as if the machine restarted;
  // the settings folder stays.
  void Restart();

 private:
  void NewSegment();

  std::string name_;
  std::string settings_folder_;
};

// Milliseconds of protocol time, in memory shared with forked children.
class VirtualClock {
 public:
  VirtualClock();
  ~VirtualClock();
  VirtualClock(const VirtualClock&) = delete;
  VirtualClock& operator=(const VirtualClock&) = delete;
  // Makes it the tick source of this process and of children forked later;
  // the library's busy waits then move it on instead of spinning.
  void Install();
  void Advance(std::uint32_t ms) { ticks_->fetch_add(ms); }
  void Set(std::uint32_t ms) { ticks_->store(ms); }
  std::uint32_t ticks() const { return ticks_->load(); }

 private:
  std::atomic<std::uint32_t>* ticks_;
};

// A forked process that runs one command at a time for the parent and answers
// with the step's result.
class Child {
 public:
  using Step = std::function<std::int32_t(std::int32_t command)>;
  static constexpr std::int32_t kQuit = -1000;  // leaves through the library's process detach

  explicit Child(Step step);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Sends a command and waits for its answer (a failed or silent child gives
  // kNoAnswer after a generous limit, never a hang).
  std::int32_t Run(std::int32_t command);
  // Run in two halves, so that several children work at once.
  void Send(std::int32_t command);
  std::int32_t Wait();
  // Ends the child as a crash would: no detach, nothing released.
  void Kill();
  // Asks the child to leave normally; returns its exit code.
  int Quit();
  pid_t pid() const { return pid_; }

  static constexpr std::int32_t kNoAnswer = -999999;

 private:
  void Reap();

  pid_t pid_ = -1;
  int last_exit_ = -1;
  int to_child_ = -1;
  int from_child_ = -1;
};

}  // namespace vnh_test

namespace vnh_test {

// A block of memory that a test shares with the children it forks.
template <class T>
class Scratch {
 public:
  Scratch();
  ~Scratch();
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  T* operator->() { return value_; }
  T& operator*() { return *value_; }

 private:
  T* value_;
};

void* MapShared(std::size_t bytes);
void UnmapShared(void* p, std::size_t bytes);

template <class T>
Scratch<T>::Scratch() : value_(new (MapShared(sizeof(T))) T()) {}

template <class T>
Scratch<T>::~Scratch() {
  value_->~T();
  UnmapShared(value_, sizeof(T));
}

}  // namespace vnh_test
