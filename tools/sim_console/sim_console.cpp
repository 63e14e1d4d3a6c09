#include "tools/sim_console/sim_console.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/base/files.h"

namespace sim_console {

namespace {
// A line longer than this is no command: it is thrown away.
constexpr std::size_t kLongestLine = 65536;
}  // namespace

void Report(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

bool ParseNumber(const std::string& text, long low, long high, long* value) {
  char* end = nullptr;
  errno = 0;
  long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || n < low || n > high) return false;
  *value = n;
  return true;
}

bool ReadScript(const std::string& path, std::vector<std::string>* lines) {
  std::string contents;
  if (!ReadWholeFile(path, contents)) return false;
  std::istringstream in(contents);
  for (std::string line; std::getline(in, line);) lines->push_back(line);
  return true;
}

void CommandInput::Poll(int wait_ms) {
  if (ended_) {
    if (wait_ms > 0) poll(nullptr, 0, wait_ms);
    return;
  }
  pollfd p{fd_, POLLIN, 0};
  if (poll(&p, 1, wait_ms) <= 0) return;
  char buffer[4096];
  ssize_t got = read(fd_, buffer, sizeof buffer);
  if (got <= 0) {
    if (got == 0 || (errno != EINTR && errno != EAGAIN)) ended_ = true;
    return;
  }
  pending_.append(buffer, static_cast<std::size_t>(got));
  std::size_t end;
  while ((end = pending_.find('\n')) != std::string::npos) {
    std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    sink_(line);
  }
  if (pending_.size() > kLongestLine) pending_.clear();
}

}  // namespace sim_console
