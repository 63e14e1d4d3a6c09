#pragma once
// The console of a simulator program: its reports go to standard output one
// line at a time, as they happen, and its commands come in as lines from
// standard input or a script, without the simulator ever waiting for them.

#include <functional>
#include <utility>
#include <string>
#include <vector>

namespace sim_console {

// Writes one report line to standard output at once.
void Report(const std::string& line);

// A whole decimal number from `low` to `high` in a command's word; false
// when the word is anything else.
bool ParseNumber(const std::string& text, long low, long high, long* value);

// The lines of a script file; false when it cannot be read.
bool ReadScript(const std::string& path, std::vector<std::string>* lines);

// Command lines from a file descriptor (standard input), handed on one at a
// time. The input ending is no reason to stop: the simulator goes on until
// it is told to quit or gets a signal.
class CommandInput {
 public:
  using LineSink = std::function<void(const std::string&)>;

  explicit CommandInput(LineSink sink, int fd = 0) : sink_(std::move(sink)), fd_(fd) {}

  // Waits up to `wait_ms` for input (0: only looks) and hands on the whole
  // lines that came.
  void Poll(int wait_ms);
  bool ended() const { return ended_; }
  int fd() const { return fd_; }

 private:
  LineSink sink_;
  int fd_;
  std::string pending_;
  bool ended_ = false;
};

}  // namespace sim_console
